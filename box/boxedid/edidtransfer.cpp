// SPDX-License-Identifier: GPL-3.0-or-later
#include "edidtransfer.h"

#include <algorithm>

namespace vortalex {

namespace {

// Byte 0 echoes the command, byte 1 is the status byte with the busy bit.
constexpr std::uint32_t kBusyAnswerLength = 2;

void waitWhileBusy(BoxRequests &requests, Clock &clock)
{
    for (int reads = 0; reads < kEdidBusyPollLimit; ++reads) {
        Response response;
        requests.readSettingsBlock(response);
        clock.sleep(kEdidBusyPollPauseMs);
        // Any answer that reaches the status byte is trusted, short or not
        // echoed: the box is still loading the table while the bit is set.
        // Without that byte (the box is gone) the wait ends rather than
        // blocking the window for 502 reads.
        if (requests.link().lastAnswerLength() < kBusyAnswerLength
            || (response[1] & kDeviceBusyBit) == 0)
            return;
    }
}

} // namespace

bool readEdid(BoxRequests &requests, Clock &clock, EdidSource source, const EdidProgress &progress,
    EdidTable &table)
{
    Response ack;
    requests.request(Frames::fetch(source), kAckLength, ack, toByte(fetchCommand(source)),
        RequestEvent::EdidFetchRefused);
    clock.sleep(kEdidFetchPauseMs);
    waitWhileBusy(requests, clock);

    EdidTable read {};
    for (int offset = 0; offset < kEdidSize; offset += kEdidReadChunk) {
        progress(offset, kEdidReadProgressMax);
        Response chunk;
        if (!requests.exchange(Frames::chunkRead(std::uint8_t(offset)), kEdidReadChunk, chunk,
                BoxRequests::kNoEcho))
            return false;
        std::copy_n(chunk.bytes.begin(), kEdidReadChunk, read.begin() + offset);
    }
    progress(0, 0);
    requests.report(
        source == EdidSource::Box ? RequestEvent::EdidReadFromBox : RequestEvent::EdidReadFromTv);
    table = read;
    return true;
}

EdidWriteOutcome writeEdid(
    BoxRequests &requests, Clock &clock, const EdidTable &table, const EdidProgress &progress)
{
    EdidWriteOutcome outcome;
    for (int i = 0; i < kEdidWriteChunkCount; ++i) {
        progress(i, kEdidWriteChunkCount);
        const int offset = i * kEdidWriteChunk;
        Response ack;
        if (!requests.request(Frames::chunkWrite(std::uint8_t(offset), table.data() + offset),
                kAckLength, ack, toByte(Command::Chunk), RequestEvent::EdidChunkRefused))
            ++outcome.failedChunks;
        clock.sleep(kEdidChunkWritePauseMs);
    }

    Response ack;
    outcome.applied = requests.request(
        Frames::apply(), kAckLength, ack, toByte(Command::Apply), RequestEvent::EdidApplyFailed);
    if (outcome.applied)
        requests.report(RequestEvent::EdidWritten);
    progress(0, 0);
    return outcome;
}

} // namespace vortalex
