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
// checksums are recomputed. Facts that belong together move together (a
// TMDS cap and the FRL rate, the range limits and the timings, the
// preferred timing and the native VIC), and the notes say so.
//
// Removing what the table does not have leaves it as it is, with a note. An
// addition to a table without an extension adds a CTA-861 block with a video
// capability block, unless the base block's serial number and serial text
// would then contradict each other.

struct EdidEditResult
{
    QByteArray table; // the new table; empty when refused
    QString refusal; // why the edit was not made
    QStringList notes = {}; // what else changed, or why nothing did
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
// Up to 13 printable ASCII characters; an empty serial text removes its
// descriptor, an empty name is refused (edid-decode wants one).
EdidEditResult setDisplayName(const QByteArray &table, const QString &name);
EdidEditResult setSerialString(const QByteArray &table, const QString &serial);
EdidEditResult setPreferredTiming(const QByteArray &table, const DetailedTiming &timing);
// The preferred timing becomes the first detailed timing; other detailed
// timings identical to it go, and the range limits widen to cover it.
// setPreferredVic also puts the VIC first in the video data block (added
// when absent); the first detailed timing is then the one native timing and
// no VIC keeps the native mark.
EdidEditResult setPreferredVic(const QByteArray &table, int vic);
std::optional<DetailedTiming> vicTiming(int vic);
// Range limits only widen (rates up to 255, clock up to 2550 MHz): the
// table's timings stay covered. A table that gives none is refused.
EdidEditResult setRangeLimits(const QByteArray &table, const RangeLimits &range);

// CTA-861 extension: video. A VIC is either regular or 4:2:0-only: adding a
// 4:2:0-only VIC as regular moves it and marks it 4:2:0-capable; adding a
// regular one as 4:2:0-only marks it 4:2:0-capable instead; 4:2:0 is for
// formats of 590 MHz or more, as HDMI carries it. The range limits
// widen to cover what is added. Removing VICs the table does not have
// changes nothing and says so.
EdidEditResult addVics(const QByteArray &table, const QList<int> &vics);
EdidEditResult removeVics(const QByteArray &table, const QList<int> &vics);
// Marks `vic` (1-64, in the video data block, the size of the preferred
// timing) as the one native format, on a table that marks no detailed
// timing native; 0 clears every native mark of the VICs.
EdidEditResult setNativeVic(const QByteArray &table, int vic);
EdidEditResult addYcbcr420Vics(const QByteArray &table, const QList<int> &vics);
EdidEditResult removeYcbcr420Vics(const QByteArray &table, const QList<int> &vics);

// Audio: the audio data block, the speaker allocation and the vendor-specific
// audio blocks (Dolby) of `source` replace those of `table`, with its basic
// audio flag (set whenever audio descriptors come). `source` is any table
// (any size, CTA-861 data blocks in a CTA-861 or a DisplayID extension);
// reserved short audio descriptors are left out, with a note.
EdidEditResult takeAudio(const QByteArray &table, const QByteArray &source);

// One short audio descriptor in real units (CTA-861-H, 7.5.2): format code
// 1 (LPCM) to 14, 1-8 channels, sample rates in kHz; then LPCM's bit depths
// (16, 20, 24), the maximum bit rate of codes 2-8 (kbit/s), or the byte of
// codes 9-14 (for E-AC-3 and TrueHD, bit 0 is joint object coding: Dolby
// Atmos).
struct ShortAudio
{
    int formatCode = 0;
    int channels = 0;
    QList<double> ratesKhz;
    QList<int> bitDepths;
    int maxBitrateKbps = 0;
    int formatValue = 0;
};
// "lpcm", "ac3", "mpeg1", "mp3", "mpeg2", "aac", "dts", "atrac", "dsd",
// "eac3", "dtshd", "truehd" (or "mat"), "dst", "wma": code 1-14; 0 for others.
int audioFormatCode(const QString &word);
QString audioFormatWord(int code);
// Replaces the table's descriptor of that format, or adds one (and the
// audio data block) and sets the basic audio flag.
EdidEditResult addAudioFormat(const QByteArray &table, const ShortAudio &audio);
// Removes every descriptor of the format (and an audio block left empty).
EdidEditResult removeAudioFormat(const QByteArray &table, int formatCode);

// HDMI vendor block and HDMI Forum block. At 340 MHz or less the HDMI Forum
// block's character rate is 0 and FRL goes off; below 600 MHz FRL stays at
// 3 Gbit/s on 3 lanes at most (edid-decode's pairs).
EdidEditResult setPhysicalAddress(const QByteArray &table, const QString &address);
// The HDMI vendor block's limit (at most 340 MHz); with the HDMI Forum block
// present, its character rate too (above 340 MHz, 0 otherwise) and its FRL
// rate as above.
EdidEditResult setMaxTmds(const QByteArray &table, int mhz);
EdidEditResult setDeepColour(const QByteArray &table, const QList<int> &bits, bool ycbcr444);
EdidEditResult setForumMaxTmds(const QByteArray &table, int mhz);
EdidEditResult setForumScdc(const QByteArray &table, bool scdc);
// Max_FRL_Rate code 0-6 (0: no FRL, 6: 4 lanes at 12 Gbit/s).
EdidEditResult setForumFrlRate(const QByteArray &table, int code);

// HDR static metadata: EOTF words "SDR", "HDR", "PQ", "HLG" (case ignored);
// the block is added when missing, except when the list is empty (no EOTF
// on a table without the block changes nothing). Luminances in cd/m2
// (maximum and frame average 50-12525, minimum up to a hundredth of the
// maximum); absent ones are kept.
EdidEditResult setHdrStatic(const QByteArray &table, const QStringList &eotfs,
    std::optional<double> maxLuminance = {}, std::optional<double> maxFrameAvg = {},
    std::optional<double> minLuminance = {});
// The luminances alone, keeping the EOTFs; refused without the block.
EdidEditResult setHdrLuminance(const QByteArray &table, std::optional<double> maxLuminance,
    std::optional<double> maxFrameAvg, std::optional<double> minLuminance);
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
