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
    QByteArray header; // bytes 0-3
    QList<QByteArray> blocks;
    QList<QByteArray> timings;
    bool hadNoDataArea = false; // timing offset 0

    int usedBytes() const;
    int bytesLeft() const { return kCtaDataEnd - usedBytes(); }
    // Index of the first block with `tag` (and extended tag), or -1.
    int find(int tag, int extendedTag = -1, int from = 0) const;
    // Index of the first vendor block with `oui` (as stored, low byte first), or -1.
    int findVendor(quint32 oui) const;
};

// Takes the extension block of `table` apart; a refusal when it is not a
// CTA-861 block or its data blocks run past their area. A table without an
// extension gets an empty CTA-861 block (revision 3).
bool openCta(const QByteArray &table, CtaLayout &layout, QString &refusal);

// Puts `layout` back into the table as its extension block, or refuses with
// the numbers when it does not fit.
EdidEditResult closeCta(const QByteArray &table, const CtaLayout &before, const CtaLayout &after);

// The common shape of an extension edit: open, change, close. `change`
// returns a refusal or a null string.
EdidEditResult editCta(const QByteArray &table, const std::function<QString(CtaLayout &)> &change);

// A data block from its tag and payload; an extended block when extendedTag >= 0.
QByteArray makeDataBlock(int tag, const QByteArray &payload, int extendedTag = -1);

} // namespace vortalex
