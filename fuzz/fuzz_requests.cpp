// SPDX-License-Identifier: GPL-3.0-or-later
// The link and every request procedure against a bridge that answers random
// bytes: operations, their arguments and every bridge result come from the
// input. Nothing may crash, a transaction never leaves the busy flag set, a
// transaction without an open device never reaches the bridge, and every
// failed request operation shows its own status-bar message.
#include "fuzzbridge.h"
#include "fuzzrequire.h"

#include "cec/cecrequests.h"
#include "link/requests.h"
#include "link/usblink.h"
#include "boxedid/edidtransfer.h"
#include "cec/infoframesender.h"
#include "settings/refreshplan.h"
#include "settings/statusfacts.h"

#include <QString>

#include <cstdlib>

using namespace vortalex;

namespace {

struct Message
{
    QString text;
    int ms = 0;
};

class RecordingStatus : public StatusSink
{
public:
    void showStatus(const QString &text, int ms) override
    {
        last = { text, ms };
        ++count;
    }
    Message last;
    int count = 0;
};

// A failed request operation must leave exactly its own message behind.
void requireMessage(const RecordingStatus &status, int countBefore, const char *text, int ms)
{
    require(status.count > countBefore);
    require(status.last.text == QLatin1String(text) && status.last.ms == ms);
}

enum Operation : std::uint8_t {
    Find,
    Open,
    Close,
    WriteSetting,
    ReadSettingsBlock,
    ReadPage,
    WriteSettingsBlock,
    Exchange,
    ReadEdid,
    WriteEdid,
    SendCec,
    StoreCec,
    SendHdr,
    SendAvi,
    RefreshAndStatus,
    kOperationCount
};

QString randomText(FuzzedDataProvider &input)
{
    return QString::fromUtf8(QByteArray::fromStdString(input.ConsumeRandomLengthString(120)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    VirtualClock clock(input.ConsumeIntegral<std::uint32_t>()); // any start, wraps included
    FuzzBridge bridge(input, clock);
    RecordingStatus status;
    int nestedDepth = 0;
    UsbLink *linkPtr = nullptr;
    BoxRequests *requestsPtr = nullptr;

    // A link message is a blocking box with its own event loop: the user may
    // close the window (closing the device) or start another action meanwhile.
    UsbLink link(bridge, clock, [&](const QString &) {
        switch (input.ConsumeIntegralInRange(0, 3)) {
        case 1:
            linkPtr->closeDevice();
            break;
        case 2:
            if (nestedDepth == 0) {
                ++nestedDepth;
                Response response;
                requestsPtr->readSettingsBlock(response);
                --nestedDepth;
            }
            break;
        default:
            break;
        }
    });
    BoxRequests requests(link, status);
    linkPtr = &link;
    requestsPtr = &requests;
    CecContext cec { requests, clock, [](const QString &) {} };

    std::uint32_t index = 0;
    if (link.findDevice(UsbLink::kBoxIdString, index))
        link.openDevice(index);

    for (int step = 0; step < 64 && input.remaining_bytes() > 0; ++step) {
        const auto operation = Operation(input.ConsumeIntegralInRange<int>(0, kOperationCount - 1));
        const int messagesBefore = status.count;
        const int writesBefore = bridge.writes();
        const bool deviceOpen = link.handle() != kNoHandle;

        switch (operation) {
        case Find:
            if (link.findDevice(UsbLink::kBoxIdString, index))
                link.openDevice(index);
            break;
        case Open:
            link.openDevice(input.ConsumeIntegral<std::uint32_t>());
            break;
        case Close:
            link.closeDevice();
            require(link.handle() == kNoHandle);
            break;
        case WriteSetting:
            if (!requests.writeSetting(
                    input.ConsumeIntegral<std::uint8_t>(), input.ConsumeIntegral<std::uint8_t>()))
                requireMessage(status, messagesBefore, "Error Writing values", 4000);
            break;
        case ReadSettingsBlock: {
            Response response;
            const auto length = input.ConsumeBool() ? std::uint8_t(kSettingsBlockLength)
                                                    : input.ConsumeIntegral<std::uint8_t>();
            if (!requests.readSettingsBlock(response, length))
                requireMessage(status, messagesBefore, "Error Reading values", 4000);
            break;
        }
        case ReadPage: {
            Response response;
            if (!requests.readPage(input.ConsumeIntegral<std::uint8_t>(), response,
                    input.ConsumeIntegral<std::uint8_t>()))
                requireMessage(status, messagesBefore, "...", 2000);
            break;
        }
        case WriteSettingsBlock: {
            std::array<std::uint8_t, kSettingCount> settings {};
            input.ConsumeData(settings.data(), settings.size());
            if (!requests.writeSettingsBlock(settings))
                requireMessage(status, messagesBefore, "Error Writing values", 4000);
            break;
        }
        case Exchange: {
            const QByteArray frame
                = QByteArray::fromStdString(input.ConsumeRandomLengthString(300));
            Response response;
            requests.exchange(frame, input.ConsumeIntegralInRange(0, 100), response,
                input.ConsumeIntegralInRange(-1, 255));
            // Only a nested action started from a link message may show something.
            require(nestedDepth > 0 || status.count == messagesBefore
                || status.last.text == QLatin1String("Error Reading values"));
            break;
        }
        case ReadEdid: {
            EdidTable table {};
            const auto source = EdidSource(input.ConsumeIntegralInRange(0, 2));
            if (readEdid(
                    requests, clock, source, [](int, int) {}, table))
                require(status.last.text
                    == QLatin1String(
                        source == EdidSource::Box ? "EDID values read." : "TV EDID values read."));
            break;
        }
        case WriteEdid: {
            EdidTable table {};
            input.ConsumeData(table.data(), table.size());
            const EdidWriteOutcome outcome = writeEdid(requests, clock, table, [](int, int) {});
            require(outcome.failedChunks >= 0 && outcome.failedChunks <= kEdidWriteChunkCount);
            if (!outcome.applied)
                require(status.last.text == QLatin1String("Error Populating EDID values."));
            break;
        }
        case SendCec:
            sendCecMessage(cec, randomText(input));
            break;
        case StoreCec:
            storeCecCommand(cec, input.ConsumeBool() ? Command::CecStoreSp : Command::CecStoreLp,
                randomText(input));
            break;
        case SendHdr:
            sendHdrInfoFrame(cec, randomText(input));
            break;
        case SendAvi:
            sendAviInfoFrame(cec, randomText(input));
            break;
        case RefreshAndStatus: {
            // What the poll tick does with the answers: plan the controls from
            // the settings block and decode the status pages' facts.
            Response block;
            Response page;
            const bool blockRead = requests.readSettingsBlock(block);
            const bool pageRead = requests.readPage(Page::Status, page, kRefreshStatusLength);
            const RefreshPlan plan = planRefresh(block.data(), blockRead, pageRead);
            require(plan.accepted || plan.shown.isEmpty());
            const auto bytes = [](const Response &r) {
                return QByteArray(
                    reinterpret_cast<const char *>(r.bytes.data()), int(r.bytes.size()));
            };
            decodeSignalFacts(bytes(page), bytes(block), bytes(page));
            break;
        }
        case kOperationCount:
            break;
        }

        require(!link.busy());
        if (!deviceOpen && operation != Find && operation != Open)
            require(bridge.writes() == writesBefore);
    }
    link.closeDevice();
    return 0;
}
