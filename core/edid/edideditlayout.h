// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The pieces behind the edits of edidedit.h: a table opened for editing,
// and the CTA-861 extension block taken apart into its data blocks and
// detailed timings and put together again.

#include "edidedit.h"

#include <functional>

namespace vortalex {

constexpr int kCtaFirstDataBlock = 4;
constexpr int kCtaDataEnd = 127; // the checksum byte
constexpr int kDetailedTimingBytes = 18;
constexpr int kMaxDataBlockPayload = 31;

EdidEditResult editRefused(const QString &reason);
// The table with both checksums recomputed.
EdidEditResult editDone(QByteArray table);

// The extension block as a list of whole data blocks (header byte
// included) and the detailed timings that follow them. Byte 3's flags and
// native count, the revision and the tag stay in `header`.
struct CtaLayout
{
    QByteArray base; // the base block, for edits that change both blocks
    QByteArray header; // bytes 0-3
    QList<QByteArray> blocks;
    QList<QByteArray> timings;
    bool hadNoDataArea = false; // timing offset 0
    bool added = false; // the table had no extension; this block is new
    QStringList notes; // what the change did besides its own edit

    int usedBytes() const;
    int bytesLeft() const { return kCtaDataEnd - usedBytes(); }
    // Index of the first block with `tag` (and extended tag), or -1.
    int find(int tag, int extendedTag = -1, int from = 0) const;
    // Index of the first vendor block with `oui` (as stored, low byte first), or -1.
    int findVendor(quint32 oui) const;
};

// Takes the extension block of `table` apart; a refusal when it is not a
// CTA-861 block or its data blocks run past their area. A table without an
// extension gets a new CTA-861 block (revision 3, underscanned IT formats,
// the first detailed timing native, a video capability block) that
// edid-decode accepts as it is.
bool openCta(const QByteArray &table, CtaLayout &layout, QString &refusal);
bool hasCtaExtension(const QByteArray &table);

// Puts `layout` back into the table as its extension block, or refuses with
// the numbers when it does not fit.
EdidEditResult closeCta(const QByteArray &table, const CtaLayout &before, const CtaLayout &after);

// The common shape of an extension edit: open, change, close. `change`
// returns a refusal or a null string.
EdidEditResult editCta(const QByteArray &table, const std::function<QString(CtaLayout &)> &change);

// A removal: on a table without a CTA-861 block, or where `change` leaves
// the block as it was, the table comes back unchanged with `absent` as its
// note; never with a new extension block.
EdidEditResult removeInCta(const QByteArray &table, const QString &absent,
    const std::function<QString(CtaLayout &)> &change);

// The base block's first detailed timing, when its first descriptor is one.
std::optional<DetailedTiming> firstDetailedTiming(const QByteArray &base);

// Widens the range limits descriptor of `base` (when it has one) so that it
// covers `timing`, using EDID 1.4's +255 offsets where a rate needs them; a
// refusal when it cannot. `what` names the timing in the note; a YCbCr
// 4:2:0-only timing counts at half its pixel clock (`clockDivider` 2).
QString widenRangeLimits(QByteArray &base, const DetailedTiming &timing, const QString &what,
    QStringList &notes, int clockDivider = 1);

// Why the video list may not change at position `firstShifted` or later: the
// HDMI vendor block's 3D fields (HDMI 1.4b, 8.3.2: 3D_Structure_ALL with its
// mask, and the 2D_VIC_order entries) name the first 16 VICs by their place
// in the list, so moving them would give 3D to other formats. Null when the
// block has no such fields or the change comes after them.
QString hdmi3dPositionsProblem(const CtaLayout &cta, int firstShifted);

// Puts `vic` first in the video data block (adding it; a 4:2:0-only VIC
// becomes a regular one marked 4:2:0-capable) and first in a video format
// preference block; the first detailed timing becomes the one native
// timing (no VIC keeps the native mark).
void makeVicPreferred(CtaLayout &cta, int vic);

// A data block from its tag and payload; an extended block when extendedTag >= 0.
QByteArray makeDataBlock(int tag, const QByteArray &payload, int extendedTag = -1);

} // namespace vortalex
