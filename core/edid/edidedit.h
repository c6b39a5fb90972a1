// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "edidinfo.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace vortalex {

// Edits of an EDID table in real units. A table is 128 or 256 bytes: the
// base block and at most one CTA-861 extension, as the box holds. Every edit
// returns the whole new table or a refusal that says why, never a broken
// table: bytes the edit does not concern stay as they were, data blocks keep
// their order, the detailed timings of the extension block move with the
// data block collection (and its timing offset follows), and both
// checksums are recomputed. An edit of the extension block on a table
// without one adds an empty CTA-861 block.

struct EdidEditResult
{
    QByteArray table; // the new table; empty when refused
    QString refusal; // why the edit was not made
    bool ok() const { return refusal.isNull(); }
};

// CTA-861-H, 7.5: data block tags and the extended tags the editor names.
enum CtaTag {
    AudioBlockTag = 1,
    VideoBlockTag = 2,
    VendorBlockTag = 3,
    SpeakerBlockTag = 4,
    ExtendedBlockTag = 7
};
enum CtaExtendedTag {
    ColorimetryExtTag = 5,
    HdrStaticExtTag = 6,
    Ycbcr420VideoExtTag = 14,
    Ycbcr420MapExtTag = 15,
    HdmiForumSinkExtTag = 0x79
};

// The table as given, checked for size (128 or 256 bytes, one extension at
// most), with both checksums recomputed. Every edit starts with this.
EdidEditResult checkEditableTable(const QByteArray &table);

// Bytes free in the extension block's data area (before the checksum, after
// the data blocks and detailed timings), or -1 without a CTA-861 block.
int ctaBytesLeft(const QByteArray &table);

// Base block (VESA E-EDID 1.4, section 3).
EdidEditResult setManufacturer(const QByteArray &table, const QString &pnpId);
EdidEditResult setProductCode(const QByteArray &table, int code);
EdidEditResult setSerialNumber(const QByteArray &table, quint32 serial);
EdidEditResult setManufactureDate(const QByteArray &table, int week, int year);
// Up to 13 printable ASCII characters; an empty text removes the descriptor.
EdidEditResult setDisplayName(const QByteArray &table, const QString &name);
EdidEditResult setSerialString(const QByteArray &table, const QString &serial);
EdidEditResult setPreferredTiming(const QByteArray &table, const DetailedTiming &timing);
// The preferred timing from the CTA-861 timing of `vic` (the common formats).
EdidEditResult setPreferredVic(const QByteArray &table, int vic);
std::optional<DetailedTiming> vicTiming(int vic);
EdidEditResult setRangeLimits(const QByteArray &table, const RangeLimits &range);

// CTA-861 extension: video.
EdidEditResult addVics(const QByteArray &table, const QList<int> &vics);
EdidEditResult removeVics(const QByteArray &table, const QList<int> &vics);
// Marks `vic` (1-64, in the video data block) as the one native format; 0
// clears every native mark.
EdidEditResult setNativeVic(const QByteArray &table, int vic);
EdidEditResult addYcbcr420Vics(const QByteArray &table, const QList<int> &vics);
EdidEditResult removeYcbcr420Vics(const QByteArray &table, const QList<int> &vics);

// Audio: the audio data block, speaker allocation and basic audio flag of
// `source` replace those of `table`.
EdidEditResult takeAudio(const QByteArray &table, const QByteArray &source);

// HDMI vendor block and HDMI Forum block.
EdidEditResult setPhysicalAddress(const QByteArray &table, const QString &address);
// The HDMI vendor block's limit (at most 340 MHz); with the HDMI Forum block
// present, its character rate too (above 340 MHz, 0 otherwise).
EdidEditResult setMaxTmds(const QByteArray &table, int mhz);
EdidEditResult setDeepColour(const QByteArray &table, const QList<int> &bits, bool ycbcr444);
EdidEditResult setForumMaxTmds(const QByteArray &table, int mhz);
EdidEditResult setForumScdc(const QByteArray &table, bool scdc);
// Max_FRL_Rate code 0-6 (0: no FRL, 6: 4 lanes at 12 Gbit/s).
EdidEditResult setForumFrlRate(const QByteArray &table, int code);

// HDR static metadata: EOTF words "SDR", "HDR", "PQ", "HLG" (case ignored);
// the block is added when missing. Luminances in cd/m2; absent ones are kept.
EdidEditResult setHdrStatic(const QByteArray &table, const QStringList &eotfs,
    std::optional<double> maxLuminance = {}, std::optional<double> maxFrameAvg = {},
    std::optional<double> minLuminance = {});
// Colorimetry names as the decoder reports them ("BT2020RGB", ...); the
// block is added when missing, removed when the list is empty.
EdidEditResult setColorimetry(const QByteArray &table, const QStringList &names);
// Removes every data block with `tag` (and, for tag 7, `extendedTag`).
EdidEditResult removeDataBlocks(const QByteArray &table, int tag, int extendedTag = -1);
// Removes every block that makes the display claim HDR: the HDR static and
// dynamic metadata blocks and the Dolby Vision and HDR10+ video blocks.
EdidEditResult removeHdr(const QByteArray &table);
// Removes the HDMI Forum vendor block and the HDMI Forum sink capability block.
EdidEditResult removeHdmiForumBlock(const QByteArray &table);
EdidEditResult setCtaFlags(
    const QByteArray &table, bool underscan, bool basicAudio, bool ycbcr444, bool ycbcr422);

// Table `video` with the audio of table `audio` (takeAudio).
EdidEditResult mergeEdid(const QByteArray &video, const QByteArray &audio);

} // namespace vortalex
