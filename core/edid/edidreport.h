// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "edidinfo.h"

#include <QJsonObject>
#include <QList>
#include <QString>

namespace vortalex {

// What a decoded table says, for people (the "EDID details" window, the
// command-line report) and for programs (JSON). Every front end shows the
// same sections, so the window and the text report never disagree.

struct ReportLine
{
    QString label;
    QString value;
    bool problem = false; // shown in red by the window
};

struct ReportSection
{
    QString title;
    QList<ReportLine> lines;
};

// One line: "LG TV · GSM · 2016 · 3840x2160@60 · HDMI 2.0 600 MHz · HDR10, HLG ·
// LPCM 2ch, AC-3 6ch"; facts the table lacks are left out.
QString edidSummary(const EdidInfo &info);

// One audio format's capabilities, as the report shows them: "6 channels; 32 44.1
// 48 kHz; up to 640 kb/s", "level 3; 48 kHz" (MPEG-H 3D Audio).
QString audioDescriptorText(const AudioDescriptor &sad);

// The base block, each extension block, then "Problems".
QList<ReportSection> edidReportSections(const EdidInfo &info);

// The summary line, then each section as a title and indented "label: value"
// lines; ends with a line feed.
QString edidReportText(const EdidInfo &info);

// One object with the keys header_ok, checksums_ok, manufacturer,
// product_code, serial_number, week, year, model_year, version, name,
// serial_string, size_cm, aspect_ratio, preferred, detailed, range,
// extensions, problems. A CTA-861 extension has ycbcr420_vics (4:2:0 only)
// and ycbcr420_capable_vics (the capability map); a DisplayID one has
// version, product and detailed.
// Absent facts are null or empty lists.
QJsonObject edidToJson(const EdidInfo &info);

} // namespace vortalex
