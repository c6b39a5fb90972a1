// SPDX-License-Identifier: GPL-3.0-or-later
// The settings refresh plan over any settings block answer, and the combo,
// value-text and factory-reset choices of the setting controls: every plan
// shows each row of the table with one of its own buttons, and a refused
// block changes nothing.
#include "fuzzrequire.h"
#include "settings/refreshplan.h"
#include "settings/settingstable.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>

using namespace vortalex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool blockRead = input.ConsumeBool();
    const bool statusRead = input.ConsumeBool();

    // The answer buffer of a transaction: always 64 bytes of room.
    std::uint8_t block[kResponseCapacity] = {};
    input.ConsumeData(block, sizeof block);

    const RefreshPlan plan = planRefresh(block, blockRead, statusRead);
    const bool acceptable = blockRead && statusRead && block[0] == 0xE1 && !(block[1] & 1);
    require(plan.accepted == acceptable);
    if (!plan.accepted) {
        require(plan.shown.isEmpty());
    } else {
        require(std::memcmp(plan.settings.data(), block + 2, kSettingCount) == 0);
        require(plan.shown.size() == settingTable().size());
        for (const ShownSetting &shown : plan.shown) {
            // A radio button to check is always one of the row's own buttons.
            if (shown.button)
                require(shown.button->controlName
                    && findSettingValue(*shown.setting, shown.button->number) == shown.button);
        }
    }

    // Combo values round trip wherever the index names an item, and the
    // value texts of every setting read back as the value they name.
    for (const Setting &s : settingTable()) {
        const std::uint8_t value = input.ConsumeIntegral<std::uint8_t>();
        if (s.kind == SettingKind::Combo) {
            const int index = comboIndexForValue(s, value);
            if (index >= 0) {
                const auto back = comboSettingValue(s, index);
                require(back.has_value() && *back == value);
            }
            comboSettingValue(s, input.ConsumeIntegral<int>());
        }
        // A listed value reads back by its name; any value in range (a gap
        // in the list too) only as --raw reads it.
        const QString name = settingValueName(s, value);
        if (findSettingValue(s, value))
            require(settingValueFromText(s, name) == std::optional<std::uint8_t>(value));
        const auto parsed = settingValueFromRawText(s, name);
        if (value >= settingMinValue(s) && value <= settingMaxValue(s))
            require(parsed.has_value() && *parsed == value);
    }

    const QString word
        = QString::fromUtf8(QByteArray::fromStdString(input.ConsumeRandomLengthString(16)));
    const FactoryResetChoice choice
        = chooseFactoryReset(word, input.ConsumeBool(), input.ConsumeBool());
    if (word != QLatin1String(kResetConfirmationWord))
        require(choice.outcome == FactoryResetChoice::NotConfirmed);
    return 0;
}
