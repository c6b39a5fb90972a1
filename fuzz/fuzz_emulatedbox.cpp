// SPDX-License-Identifier: GPL-3.0-or-later
// The emulated box behind its bridge, as the demo program and every window
// test use it, fed any request frames with time passing between them: any
// setting value (an EDID mode, preset or automix algorithm the box does not
// know included) and any page, chunk or data request must give a defined
// answer, and the EDID tables must stay 256 bytes.
#include "fuzzrequire.h"
#include "emulated/emulatedbox.h"
#include "emulated/simbridge.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

using namespace vortalex;

namespace {

constexpr std::uint8_t kCommands[]
    = { 0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6 };

// Mostly frames of the right shape with any content; sometimes any bytes.
QByteArray frame(FuzzedDataProvider &input)
{
    if (input.ConsumeIntegralInRange(0, 7) == 0)
        return QByteArray::fromStdString(input.ConsumeRandomLengthString(80));
    QByteArray f;
    f.append(char(input.ConsumeBool() ? 0x10 : 0x11));
    const int payload = input.ConsumeIntegralInRange(0, 60);
    f.append(char(input.ConsumeBool() ? payload : input.ConsumeIntegral<std::uint8_t>()));
    f.append(
        char(kCommands[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kCommands) - 1)]));
    f.append(QByteArray::fromStdString(input.ConsumeBytesAsString(std::size_t(payload))));
    return f;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    VirtualClock clock(input.ConsumeIntegral<std::uint32_t>());
    EmulatedBox box(clock);
    SimBridge bridge(clock, box);
    BridgeHandle handle = kNoHandle;
    require(bridge.open(0, handle) == BridgeStatus::Success);

    for (int i = 0; i < 200 && input.remaining_bytes() > 0; ++i) {
        if (input.ConsumeIntegralInRange(0, 15) == 0) {
            // Any value at any position, as a test may set it.
            box.setSetting(input.ConsumeIntegralInRange(-2, kSettingCount + 1),
                input.ConsumeIntegral<std::uint8_t>());
            continue;
        }
        const QByteArray request = frame(input);
        std::uint32_t written = 0;
        bridge.write(handle, reinterpret_cast<const std::uint8_t *>(request.constData()),
            std::uint32_t(request.size()), written);
        std::uint8_t answer[SimBridge::kPacketSize] = {};
        std::uint32_t received = 0;
        bridge.read(handle, answer, sizeof answer, received);
        require(received <= sizeof answer);
        clock.advance(input.ConsumeIntegralInRange<std::uint32_t>(0, 2000));
    }

    for (const EdidSource source : { EdidSource::Box, EdidSource::TvA, EdidSource::TvB })
        require(box.edid(source).size() == kEdidSize);
    require(box.transferTable().size() == kEdidSize);
    require(box.pageData(input.ConsumeIntegral<std::uint8_t>()).size() >= 64);
    bridge.close(handle);
    return 0;
}
