// SPDX-License-Identifier: GPL-3.0-or-later
#include "gamut.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace vortalex {

namespace {

// Below this an xy area is rounding noise: a 10-bit EDID coordinate step
// squared is about 1e-6.
constexpr double kMinArea = 1e-7;

double cross(const XyPoint &a, const XyPoint &b, const XyPoint &p)
{
    return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
}

double signedArea(const std::vector<XyPoint> &polygon)
{
    double twice = 0;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const XyPoint &a = polygon[i];
        const XyPoint &b = polygon[(i + 1) % polygon.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2;
}

std::vector<XyPoint> counterClockwise(std::vector<XyPoint> polygon)
{
    if (signedArea(polygon) < 0)
        std::reverse(polygon.begin(), polygon.end());
    return polygon;
}

// Four decimals, cut rather than rounded, as the EDID report writes them, so
// that the diagram and the tree beside it say the same numbers.
QString cutCoordinate(double value)
{
    return QString::number(std::floor(value * 10000 + 1e-9) / 10000, 'f', 4);
}

QString percentText(double share)
{
    return QStringLiteral("%1 %").arg(share * 100, 0, 'f', 1);
}

} // namespace

Gamut gamutFromXy(const double xy[8])
{
    return { { xy[0], xy[1] }, { xy[2], xy[3] }, { xy[4], xy[5] }, { xy[6], xy[7] } };
}

Gamut referenceGamut(ReferenceGamut reference)
{
    constexpr XyPoint kD65 { 0.3127, 0.3290 };
    switch (reference) {
    case ReferenceGamut::Bt709:
        return { { 0.640, 0.330 }, { 0.300, 0.600 }, { 0.150, 0.060 }, kD65 };
    case ReferenceGamut::DciP3:
        return { { 0.680, 0.320 }, { 0.265, 0.690 }, { 0.150, 0.060 }, kD65 };
    case ReferenceGamut::Bt2020:
        break;
    }
    return { { 0.708, 0.292 }, { 0.170, 0.797 }, { 0.131, 0.046 }, kD65 };
}

QString referenceGamutName(ReferenceGamut reference)
{
    switch (reference) {
    case ReferenceGamut::Bt709:
        return QStringLiteral("BT.709");
    case ReferenceGamut::DciP3:
        return QStringLiteral("DCI-P3");
    case ReferenceGamut::Bt2020:
        break;
    }
    return QStringLiteral("BT.2020");
}

double polygonArea(const std::vector<XyPoint> &polygon)
{
    return std::abs(signedArea(polygon));
}

std::vector<XyPoint> primariesTriangle(const Gamut &gamut)
{
    return counterClockwise({ gamut.red, gamut.green, gamut.blue });
}

double triangleArea(const Gamut &gamut)
{
    return polygonArea({ gamut.red, gamut.green, gamut.blue });
}

std::vector<XyPoint> convexIntersection(
    const std::vector<XyPoint> &subject, const std::vector<XyPoint> &clip)
{
    if (subject.size() < 3 || clip.size() < 3 || polygonArea(subject) < kMinArea
        || polygonArea(clip) < kMinArea)
        return {};
    // Keep the part of `subject` on the inner (left) side of each edge of
    // the counter-clockwise `clip`.
    const std::vector<XyPoint> edges = counterClockwise(clip);
    std::vector<XyPoint> result = subject;
    for (size_t e = 0; e < edges.size() && !result.empty(); ++e) {
        const XyPoint &a = edges[e];
        const XyPoint &b = edges[(e + 1) % edges.size()];
        const std::vector<XyPoint> input = std::move(result);
        result.clear();
        for (size_t i = 0; i < input.size(); ++i) {
            const XyPoint &p = input[i];
            const XyPoint &q = input[(i + 1) % input.size()];
            const double sideP = cross(a, b, p);
            const double sideQ = cross(a, b, q);
            if (sideP >= 0)
                result.push_back(p);
            // The edge crosses the line: sideP and sideQ differ in sign, so
            // sideP - sideQ is never zero here.
            if ((sideP >= 0) != (sideQ >= 0)) {
                const double t = sideP / (sideP - sideQ);
                result.push_back({ p.x + t * (q.x - p.x), p.y + t * (q.y - p.y) });
            }
        }
    }
    return result;
}

bool primariesGiven(const Gamut &gamut)
{
    for (const XyPoint &p : { gamut.red, gamut.green, gamut.blue }) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return false;
    }
    return triangleArea(gamut) >= kMinArea;
}

GamutCoverage gamutCoverage(const Gamut &gamut)
{
    GamutCoverage coverage;
    if (!primariesGiven(gamut))
        return coverage;
    coverage.given = true;
    const double area = triangleArea(gamut);
    for (int i = 0; i < kReferenceGamutCount; ++i) {
        const Gamut reference = referenceGamut(ReferenceGamut(i));
        const double referenceArea = triangleArea(reference);
        coverage.areaShare[i] = area / referenceArea;
        coverage.covered[i] = polygonArea(convexIntersection(
                                  primariesTriangle(gamut), primariesTriangle(reference)))
            / referenceArea;
    }
    return coverage;
}

QString gamutCoverageText(const GamutCoverage &coverage)
{
    if (!coverage.given)
        return QStringLiteral("Primaries not given: no gamut to compare");
    QStringList area;
    QStringList covered;
    for (int i = 0; i < kReferenceGamutCount; ++i) {
        const QString name = referenceGamutName(ReferenceGamut(i));
        area << QStringLiteral("%1 of %2").arg(percentText(coverage.areaShare[i]), name);
        covered << QStringLiteral("%1 of %2").arg(percentText(coverage.covered[i]), name);
    }
    return QStringLiteral("Area %1\nCovers %2")
        .arg(area.join(QStringLiteral(", ")), covered.join(QStringLiteral(", ")));
}

QString xyText(const XyPoint &point)
{
    return QStringLiteral("%1, %2").arg(cutCoordinate(point.x), cutCoordinate(point.y));
}

QString gamutDescription(const Gamut &gamut)
{
    const GamutCoverage coverage = gamutCoverage(gamut);
    const QString share = coverage.given
        ? QStringLiteral("about %1 % of BT.2020 by area in xy")
              .arg(std::lround(coverage.areaShare[int(ReferenceGamut::Bt2020)] * 100))
        : QStringLiteral("primaries not given");
    return QStringLiteral("red %1; green %2; blue %3; white %4; %5")
        .arg(
            xyText(gamut.red), xyText(gamut.green), xyText(gamut.blue), xyText(gamut.white), share);
}

} // namespace vortalex
