// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <cstdint>

namespace vortalex::simedid {

// What an emulated sink (a TV, or the box towards its sources) offers; turned
// into a 256-byte EDID 1.3 table with one CTA-861 extension block.
struct SinkProfile
{
    char manufacturer[4] = "VTX"; // three letters A-Z (VESA E-EDID, 3.4)
    std::uint16_t productCode = 0;
    std::uint32_t serial = 0;
    std::uint8_t week = 1;
    int year = 2023;
    std::uint8_t widthCm = 0;
    std::uint8_t heightCm = 0;
    QByteArray name; // monitor name, at most 13 characters
    // Short video descriptors in order; the first one is the native format
    // and also gives the preferred detailed timing.
    QList<std::uint8_t> vics;
    // Short audio descriptors, 3 bytes each (CTA-861, 7.5.2).
    QList<QByteArray> audio;
    std::uint8_t speakers = 0x01; // speaker allocation byte 1 (CTA-861, 7.5.3)
    int maxTmdsMhz = 340; // above 340 adds an HDMI Forum VSDB
    bool hdr = false; // HDR static metadata block, SDR + ST 2084 + HLG
    bool bt2020 = false; // colorimetry block with BT.2020
    bool ycbcr = true; // YCbCr 4:4:4 and 4:2:2 supported
    std::uint16_t physicalAddress = 0x1000;
};

// Short audio descriptors used by the emulated sinks.
QByteArray lpcm(int channels);
QByteArray ac3();
QByteArray eac3();
QByteArray dts();
QByteArray trueHd();

QByteArray build(const SinkProfile &profile);

// The three sinks of the emulated set-up.
SinkProfile tvAProfile(); // 4K60 HDR TV on TX A
SinkProfile tvBProfile(); // 1080p SDR TV on TX B
SinkProfile boxFixedProfile(); // the box's fixed EDID: 4K60 4:4:4 600 MHz HDR BT.2020

// What a sink table offers, read back from its CTA-861 block. Missing or
// broken blocks give an empty capability set.
struct Capabilities
{
    QList<std::uint8_t> vics;
    QList<QByteArray> audio;
    std::uint8_t speakers = 0;
    int maxTmdsMhz = 0;
    bool hdr = false;
    bool bt2020 = false;
};
Capabilities capabilities(const QByteArray &table);

// EDID option switches of the box that shape a mixed EDID.
struct MixOptions
{
    int algorithm = 0; // 0 min mixed, 1 max audio min video, 2 TOP priority, 3 max both
    bool stereoOnly = false; // "2.0"
    bool surround51 = false; // "5.1"
    bool hdr = false; // "HDR"
    bool fullAudio = false; // "FULL Audio"
    bool bt2020 = false; // "BT.2020"
    bool ycbcr = true; // "YCbCr"
};
// The box's automix EDID built from the two TVs' tables.
QByteArray automix(const QByteArray &tvA, const QByteArray &tvB, const MixOptions &options);

// Sum of a 128-byte block must be 0 modulo 256 (VESA E-EDID, 3.11).
std::uint8_t blockChecksum(const QByteArray &table, int blockStart);

} // namespace vortalex::simedid
