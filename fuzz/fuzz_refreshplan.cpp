// The settings refresh plan over any settings block answer, and the combo
// and factory-reset choices of the setting controls: every plan names only
// the form's controls, and a refused block changes nothing.
#include "settings/refreshplan.h"
#include "settings/settingstable.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>

using namespace vortalex;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

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
        require(plan.steps.isEmpty());
    } else {
        require(std::memcmp(plan.settings.data(), block + 2, kSettingCount) == 0);
        for (const ControlStep &step : plan.steps) {
            require(step.objectName && std::strlen(step.objectName) > 0);
            if (step.kind != ControlStep::SetCurrentIndex)
                require(step.value == 0 || step.value == 1);
        }
    }

    // Combo values round trip wherever the index names an item.
    const std::uint8_t comboIds[] = { SettingId::ActiveInput, SettingId::CustomEdidPreset,
        SettingId::CecDeviceType, SettingId::AutomixAlgorithm };
    for (const std::uint8_t id : comboIds) {
        const std::uint8_t value = input.ConsumeIntegral<std::uint8_t>();
        const int index = comboIndexForValue(id, value);
        if (index >= 0) {
            const auto back = comboSettingValue(id, index);
            require(back.has_value() && *back == value);
        }
        comboSettingValue(id, input.ConsumeIntegral<int>());
    }

    const QString word
        = QString::fromUtf8(QByteArray::fromStdString(input.ConsumeRandomLengthString(16)));
    const FactoryResetChoice choice
        = chooseFactoryReset(word, input.ConsumeBool(), input.ConsumeBool());
    if (word != QLatin1String(kResetConfirmationWord))
        require(choice.outcome == FactoryResetChoice::NotConfirmed);
    return 0;
}
