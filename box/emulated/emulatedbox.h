// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/clock.h"
#include "link/frames.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <array>
#include <cstdint>

namespace vortalex {

// A state model of the box: it answers every request frame the program sends
// with the bytes the box would send back, and keeps what it was told so that
// tests can look at it. Time (busy periods) runs on the given clock.
//
// Behaviour worth knowing:
// - Settings block: 0xE1, status byte (bit 0 = device busy), 40 setting bytes.
// - Pages are answered at the length asked (0xE0, status, page data),
//   truncated or zero padded. Pages 6, 21, 30 and 31 describe the source on
//   the active input: port A (inputs 1 and 3) is a 4K60 HDR player, port B
//   (inputs 2 and 4) a 1080p SDR console. Page 31 holds the captured AVI
//   InfoFrame (type 0x82, length, 13 data bytes). Other page numbers read as
//   zeros.
// - A fetch request starts loading the chosen EDID into the transfer table and
//   keeps the busy bit set for kFetchBusyMs; the table is swapped in when the
//   load is done, so chunk reads made while busy still see the old table.
// - A change of the EDID mode (setting id 5), a factory reset that touches the
//   EDID (values 1 and 3), and a settings-block write that changes the mode
//   rebuild the box's EDID; the busy bit stays set for kEdidRebuildBusyMs and
//   the new table is in force when that time is over.
// - The apply request takes the transfer table as the custom EDID; in custom
//   mode with preset 0 it becomes the box's EDID at once.
// - An HDR InfoFrame (0xE5) or AVI InfoFrame (0xE6) followed by an activate
//   request with selector 0x20 or 0x80 becomes the stored InfoFrame of page
//   35 or 36.
// - Malformed or unknown frames get no answer (empty result).
// What a user changes in the box and expects to find again: the settings,
// the box's and the custom EDID, the stored CEC commands and InfoFrames.
struct EmulatedBoxState
{
    std::array<std::uint8_t, kSettingCount> settings {};
    QByteArray boxEdid;
    QByteArray customEdid;
    QByteArray storedSp;
    QByteArray storedLp;
    QByteArray storedHdr;
    QByteArray storedAvi;
};

class EmulatedBox
{
public:
    static constexpr std::uint32_t kFetchBusyMs = 60;
    static constexpr std::uint32_t kEdidRebuildBusyMs = 1500;
    static constexpr int kHdrPageLength = 31; // page 35 data bytes
    static constexpr int kAviPageLength = 13; // page 36 data bytes

    // The block position of a setting id, from the program's settings table;
    // ids that have none (unused ids and the factory reset) map to -1.
    static int positionOfSettingId(int settingId);

    // The 40 setting bytes the box leaves the factory with.
    static std::array<std::uint8_t, kSettingCount> factorySettings();

    explicit EmulatedBox(Clock &clock);

    // The bytes the box sends back for one request frame; empty when it sends
    // nothing. Never reads outside `request`.
    QByteArray answer(const QByteArray &request);

    // The state after any pending EDID rebuild or load, and back.
    EmulatedBoxState state();
    void restoreState(const EmulatedBoxState &state);

    // --- settings and status byte ---
    const std::array<std::uint8_t, kSettingCount> &settings() const { return m_settings; }
    std::uint8_t setting(int position) const;
    void setSetting(int position, std::uint8_t value);
    // Status byte of every answer; bit 0 is the device busy bit.
    std::uint8_t statusByte();
    bool busy();
    // Sets the busy bit for `ms` of clock time from now (extends, never shortens).
    void setBusyFor(std::uint32_t ms);
    // While true the busy bit reads 1 whatever the timers say.
    void setStuckBusy(bool stuck) { m_stuckBusy = stuck; }
    // Every write setting received, in order (id, value), factory resets included.
    const QList<QPair<std::uint8_t, std::uint8_t>> &settingWrites() const
    {
        return m_settingWrites;
    }
    // Values of the factory reset requests received, in order.
    const QList<std::uint8_t> &factoryResets() const { return m_factoryResets; }
    int settingsBlockWrites() const { return m_settingsBlockWrites; }

    // --- EDID ---
    // The table in force now (a pending rebuild or load counts once its time is over).
    QByteArray edid(EdidSource source);
    void setEdid(EdidSource source, const QByteArray &table256);
    // Builds the box's table from the current settings and TV tables at once.
    void rebuildEdidNow();
    // The transfer table that chunk reads read and chunk writes fill.
    QByteArray transferTable();
    void setTransferTable(const QByteArray &table256);
    // Last applied custom EDID; empty when none was applied since the last EDID reset.
    QByteArray customEdid() const { return m_customEdid; }
    int applyCount() const { return m_applyCount; }
    int chunkWriteCount() const { return m_chunkWrites; }
    // Fetch requests received, by source, in order.
    const QList<EdidSource> &fetches() const { return m_fetches; }

    // --- pages ---
    // Page data as the box would send it after the echo and status byte:
    // data[0] is answer byte 2. At least 64 bytes.
    QByteArray pageData(std::uint8_t page);
    // Replaces the page's data (data[0] = answer byte 2) until clearPage().
    void setPage(std::uint8_t page, const QByteArray &data);
    void clearPage(std::uint8_t page);
    // Page 7, answer bytes 2 to 5.
    void setFirmwareVersion(
        std::uint8_t major, std::uint8_t minor, std::uint8_t patch, std::uint8_t build);

    // --- CEC and InfoFrames ---
    // Payload of the last CEC send request (header block, count, opcode, operands).
    QByteArray lastCecMessage() const { return m_lastCec; }
    int cecSendCount() const { return m_cecSends; }
    // Stored command text of 0xE3 (SP) or 0xE4 (LP): the text between "CEC "
    // and the carriage return; empty when none was stored.
    QByteArray storedCec(Command code) const;
    // Last InfoFrame bytes received with 0xE5 / 0xE6.
    QByteArray hdrInfoFrame() const { return m_hdrInfoFrame; }
    QByteArray aviInfoFrame() const { return m_aviInfoFrame; }
    // Stored InfoFrames of pages 35 (31 bytes) and 36 (13 bytes).
    QByteArray storedHdrInfoFrame() const { return m_storedHdr; }
    QByteArray storedAviInfoFrame() const { return m_storedAvi; }
    // Selector bytes of the activate requests received, in order.
    const QList<std::uint8_t> &activations() const { return m_activations; }

private:
    void settle();
    std::uint32_t now() { return m_clock.tickCount(); }
    bool timeReached(std::uint32_t at);
    void startEdidRebuild();
    QByteArray buildBoxEdid() const;
    void writeSetting(std::uint8_t id, std::uint8_t value);
    void factoryReset(std::uint8_t value);
    void resetEdidSettings();

    QByteArray answerRead(const QByteArray &request);
    QByteArray answerSet(const QByteArray &request);
    QByteArray ack(std::uint8_t code);
    QByteArray readAnswer(std::uint8_t code, const QByteArray &data, int length);

    Clock &m_clock;
    std::array<std::uint8_t, kSettingCount> m_settings {};
    bool m_stuckBusy = false;
    bool m_busyTimed = false;
    std::uint32_t m_busyUntil = 0;

    QByteArray m_boxEdid;
    QByteArray m_tvAEdid;
    QByteArray m_tvBEdid;
    QByteArray m_transfer;
    QByteArray m_customEdid;
    bool m_rebuildPending = false;
    std::uint32_t m_rebuildAt = 0;
    bool m_loadPending = false;
    EdidSource m_loadSource = EdidSource::Box;
    std::uint32_t m_loadAt = 0;

    QMap<std::uint8_t, QByteArray> m_pageOverrides;
    std::array<std::uint8_t, 4> m_firmware { 1, 2, 0, 15 };

    QByteArray m_lastCec;
    QByteArray m_storedSp;
    QByteArray m_storedLp;
    QByteArray m_hdrInfoFrame;
    QByteArray m_aviInfoFrame;
    QByteArray m_storedHdr;
    QByteArray m_storedAvi;
    QList<std::uint8_t> m_activations;

    QList<QPair<std::uint8_t, std::uint8_t>> m_settingWrites;
    QList<std::uint8_t> m_factoryResets;
    QList<EdidSource> m_fetches;
    int m_settingsBlockWrites = 0;
    int m_applyCount = 0;
    int m_chunkWrites = 0;
    int m_cecSends = 0;
};

} // namespace vortalex
