// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

namespace vortalex {

// A point of the CIE 1931 xy chromaticity diagram.
struct XyPoint
{
    double x = 0;
    double y = 0;
};

// Three primaries and a white point, as displays and HDR content give them.
struct Gamut
{
    XyPoint red;
    XyPoint green;
    XyPoint blue;
    XyPoint white;
};

// From x, y of red, green, blue and white, in that order (the EDID base
// block's order).
Gamut gamutFromXy(const double xy[8]);

// The reference colour spaces drawn for comparison, smallest first.
enum class ReferenceGamut { Bt709, DciP3, Bt2020 };
constexpr int kReferenceGamutCount = 3;
// ITU-R BT.709 (sRGB primaries), SMPTE EG 432-1 DCI-P3 with the D65 white
// (Display P3), ITU-R BT.2020.
Gamut referenceGamut(ReferenceGamut reference);
QString referenceGamutName(ReferenceGamut reference); // "BT.709", "DCI-P3", "BT.2020"

// Area of a simple polygon by the shoelace formula, never negative.
double polygonArea(const std::vector<XyPoint> &polygon);
// The triangle of the primaries, counter-clockwise.
std::vector<XyPoint> primariesTriangle(const Gamut &gamut);
double triangleArea(const Gamut &gamut);
// What two convex polygons share (Sutherland-Hodgman clipping); empty when
// nothing, or when either has no area.
std::vector<XyPoint> convexIntersection(
    const std::vector<XyPoint> &subject, const std::vector<XyPoint> &clip);

// Whether the primaries span a triangle at all: finite coordinates and an
// area above rounding noise. All-zero chromaticity, two equal primaries or
// three in a line are "not given".
bool primariesGiven(const Gamut &gamut);

// The shown triangle next to each reference: its area as a share of the
// reference's, and the share of the reference it covers.
struct GamutCoverage
{
    bool given = false;
    double areaShare[kReferenceGamutCount] = {}; // 0.529: 52.9 %
    double covered[kReferenceGamutCount] = {};
};
GamutCoverage gamutCoverage(const Gamut &gamut);

// "Area 100.0 % of BT.709, …" and below it "Covers 100.0 % of BT.709, …",
// or that the primaries are not given.
QString gamutCoverageText(const GamutCoverage &coverage);
// The points in words for screen readers: "red 0.6396, 0.3300; green …;
// blue …; white …; about 53 % of BT.2020 by area in xy".
QString gamutDescription(const Gamut &gamut);
// "0.6396, 0.3300"
QString xyText(const XyPoint &point);

} // namespace vortalex
