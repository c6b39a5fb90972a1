// SPDX-License-Identifier: GPL-3.0-or-later
// The link and every request procedure against a bridge that answers random
// bytes: operations, their arguments and every bridge result come from the
// input. Nothing may crash, a transaction never leaves the busy flag set, a
// transaction without an open device never reaches the bridge, and every
// failed request operation reports its own event.
#include "fuzzbridge.h"
#include "fuzzrequire.h"

#include "boxedid/edidtransfer.h"
#include "cec/cecrequests.h"
#include "cec/infoframesender.h"
#include "link/requests.h"
#include "link/usblink.h"
#include "settings/refreshplan.h"
#include "settings/statusfacts.h"

#include <QString>

#include <cstdlib>

using namespace vortalex;

namespace {

class RecordingObserver : public RequestObserver
{
public:
    void requestEvent(RequestEvent event) override
    {
        last = event;
        ++count;
    }
    RequestEvent last = RequestEvent::PageReadFailed;
    int count = 0;
};

// A failed request operation must leave exactly its own event behind.
void requireEvent(const RecordingObserver &observer, int countBefore, RequestEvent event)
{
    require(observer.count > countBefore);
    require(observer.last == event);
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
    RecordingObserver observer;
    int nestedDepth = 0;
    UsbLink *linkPtr = nullptr;
    BoxRequests *requestsPtr = nullptr;

    // A link notice is a blocking box with its own event loop: the user may
    // close the window (closing the device) or start another action meanwhile.
    UsbLink link(bridge, clock, [&](LinkNotice) {
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
    BoxRequests requests(link, observer);
    linkPtr = &link;
    requestsPtr = &requests;
    CecContext cec { requests, clock };

    std::uint32_t index = 0;
    if (link.findDevice(UsbLink::kBoxIdString, index))
        link.openDevice(index);

    for (int step = 0; step < 64 && input.remaining_bytes() > 0; ++step) {
        const auto operation = Operation(input.ConsumeIntegralInRange<int>(0, kOperationCount - 1));
        const int eventsBefore = observer.count;
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
                requireEvent(observer, eventsBefore, RequestEvent::SettingWriteFailed);
            break;
        case ReadSettingsBlock: {
            Response response;
            const auto length = input.ConsumeBool() ? std::uint8_t(kSettingsBlockLength)
                                                    : input.ConsumeIntegral<std::uint8_t>();
            if (!requests.readSettingsBlock(response, length))
                requireEvent(observer, eventsBefore, RequestEvent::SettingsReadFailed);
            break;
        }
        case ReadPage: {
            Response response;
            if (!requests.readPage(input.ConsumeIntegral<std::uint8_t>(), response,
                    input.ConsumeIntegral<std::uint8_t>()))
                requireEvent(observer, eventsBefore, RequestEvent::PageReadFailed);
            break;
        }
        case WriteSettingsBlock: {
            std::array<std::uint8_t, kSettingCount> settings {};
            input.ConsumeData(settings.data(), settings.size());
            if (!requests.writeSettingsBlock(settings))
                requireEvent(observer, eventsBefore, RequestEvent::SettingsBlockWriteFailed);
            break;
        }
        case Exchange: {
            const QByteArray frame
                = QByteArray::fromStdString(input.ConsumeRandomLengthString(300));
            Response response;
            requests.exchange(frame, input.ConsumeIntegralInRange(0, 100), response,
                input.ConsumeIntegralInRange(-1, 255));
            // Only a nested action started from a link notice may report something.
            require(nestedDepth > 0 || observer.count == eventsBefore
                || observer.last == RequestEvent::SettingsReadFailed);
            break;
        }
        case ReadEdid: {
            EdidTable table {};
            const auto source = EdidSource(input.ConsumeIntegralInRange(0, 2));
            if (readEdid(
                    requests, clock, source, [](int, int) {}, table))
                require(observer.last
                    == (source == EdidSource::Box ? RequestEvent::EdidReadFromBox
                                                  : RequestEvent::EdidReadFromTv));
            break;
        }
        case WriteEdid: {
            EdidTable table {};
            input.ConsumeData(table.data(), table.size());
            const EdidWriteOutcome outcome = writeEdid(requests, clock, table, [](int, int) {});
            require(outcome.failedChunks >= 0 && outcome.failedChunks <= kEdidWriteChunkCount);
            if (!outcome.applied)
                require(observer.last == RequestEvent::EdidApplyFailed);
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
