// SPDX-License-Identifier: GPL-3.0-or-later
#include "chromaticitydiagram.h"

#include "colour/cielocus.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPalette>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <iterator>

using namespace vortalex;

namespace {

constexpr double kTickLength = 4;
constexpr double kReferenceMarkerRadius = 3;
constexpr double kShownMarkerRadius = 4;
// Wavelengths named along the locus; 460 and 500 nm would sit on the axis labels.
constexpr int kLocusLabelsNm[] = { 480, 520, 540, 560, 580, 600 };
constexpr XyPoint kLocusLabelCentre { 0.33, 0.33 };

bool darkTheme(const QPalette &palette)
{
    return palette.color(QPalette::Base).lightness() < 128;
}

QColor blend(const QColor &a, const QColor &b, double share)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * share),
        float(a.greenF() + (b.greenF() - a.greenF()) * share),
        float(a.blueF() + (b.blueF() - a.blueF()) * share));
}

QPolygonF trianglePolygon(const ChromaticityPlot &plot, const Gamut &gamut)
{
    return QPolygonF({ plot.map(gamut.red), plot.map(gamut.green), plot.map(gamut.blue) });
}

void drawMarkers(QPainter &painter, const ChromaticityPlot &plot, const Gamut &gamut,
    const QColor &colour, double radius)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    for (const XyPoint &p : { gamut.red, gamut.green, gamut.blue })
        painter.drawEllipse(plot.map(p), radius, radius);
}

QPolygonF locusPolygon(const ChromaticityPlot &plot)
{
    QPolygonF locus;
    for (int i = 0; i < spectralLocusSize(); ++i)
        locus << plot.map(spectralLocus()[i].xy);
    return locus; // closed by the line of purples
}

QFont locusLabelFont(QFont font)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 0.85);
    else
        font.setPixelSize(std::max(1, int(font.pixelSize() * 0.85)));
    return font;
}

struct LocusLabel
{
    QString text;
    QRectF rect;
};

// The wavelengths named along the locus, each set outward from its middle.
QList<LocusLabel> locusLabels(const ChromaticityPlot &plot, const QFont &labelFont)
{
    const QFontMetricsF metrics(labelFont);
    QList<LocusLabel> labels;
    for (int i = 0; i < spectralLocusSize(); ++i) {
        const LocusPoint &point = spectralLocus()[i];
        if (std::find(std::begin(kLocusLabelsNm), std::end(kLocusLabelsNm), point.wavelengthNm)
            == std::end(kLocusLabelsNm))
            continue;
        const double dx = point.xy.x - kLocusLabelCentre.x;
        const double dy = point.xy.y - kLocusLabelCentre.y;
        const double length = std::hypot(dx, dy);
        const QString text = QString::number(point.wavelengthNm);
        const QPointF at
            = plot.map(point.xy) + QPointF(dx / length, -dy / length) * metrics.height() * 1.1;
        const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
        labels.append({ text, QRectF(at - QPointF(size.width() / 2, size.height() / 2), size) });
    }
    return labels;
}

void drawLocus(QPainter &painter, const ChromaticityPlot &plot, const QPalette &palette)
{
    const QColor text = palette.color(QPalette::Text);
    painter.setPen(QPen(text, 1.2));
    painter.setBrush(blend(palette.color(QPalette::Base), text, 0.06));
    painter.drawPolygon(locusPolygon(plot));

    const QFont labelFont = locusLabelFont(painter.font());
    painter.setFont(labelFont);
    for (const LocusLabel &label : locusLabels(plot, labelFont))
        painter.drawText(label.rect, Qt::AlignCenter, label.text);
}

void drawAxes(QPainter &painter, const ChromaticityPlot &plot, const QPalette &palette)
{
    const QColor text = palette.color(QPalette::Text);
    const QColor grid = blend(palette.color(QPalette::Base), text, 0.12);
    const QFontMetricsF metrics(painter.font());
    const int ticksX = int(std::lround(ChromaticityPlot::kMaxX * 10));
    const int ticksY = int(std::lround(ChromaticityPlot::kMaxY * 10));
    for (int i = 1; i <= std::max(ticksX, ticksY); ++i) {
        painter.setPen(QPen(grid, 1));
        if (i <= ticksX)
            painter.drawLine(
                plot.map({ i / 10.0, 0 }), plot.map({ i / 10.0, ChromaticityPlot::kMaxY }));
        if (i <= ticksY)
            painter.drawLine(
                plot.map({ 0, i / 10.0 }), plot.map({ ChromaticityPlot::kMaxX, i / 10.0 }));
    }
    painter.setPen(QPen(text, 1));
    painter.drawLine(plot.map({ 0, 0 }), plot.map({ ChromaticityPlot::kMaxX, 0 }));
    painter.drawLine(plot.map({ 0, 0 }), plot.map({ 0, ChromaticityPlot::kMaxY }));
    for (int i = 0; i <= std::max(ticksX, ticksY); ++i) {
        const QString label = QString::number(i / 10.0, 'f', 1);
        const double width = metrics.horizontalAdvance(label);
        if (i <= ticksX) {
            const QPointF at = plot.map({ i / 10.0, 0 });
            painter.drawLine(at, at + QPointF(0, kTickLength));
            painter.drawText(
                QRectF(at.x() - width / 2, at.y() + kTickLength + 1, width, metrics.height()),
                Qt::AlignCenter, label);
        }
        if (i <= ticksY) {
            const QPointF at = plot.map({ 0, i / 10.0 });
            painter.drawLine(at, at - QPointF(kTickLength, 0));
            painter.drawText(QRectF(at.x() - kTickLength - 2 - width, at.y() - metrics.height() / 2,
                                 width, metrics.height()),
                Qt::AlignCenter, label);
        }
    }
}

struct LegendEntry
{
    QString name;
    QPen pen;
};

void drawLegend(QPainter &painter, const ChromaticityPlot &plot, const QPalette &palette,
    const QList<LegendEntry> &entries)
{
    const QFontMetricsF metrics(painter.font());
    const double sample = metrics.height() * 1.5;
    double textWidth = 0;
    for (const LegendEntry &entry : entries)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(entry.name));
    const double padding = metrics.height() / 3;
    const QRectF box = chromaticityLegendRect(plot,
        QSizeF(sample + textWidth + 3 * padding, entries.size() * metrics.height() + 2 * padding),
        painter.font());
    if (box.isEmpty())
        return;
    QColor background = palette.color(QPalette::Base);
    background.setAlphaF(0.85f);
    painter.setPen(
        QPen(blend(palette.color(QPalette::Base), palette.color(QPalette::Text), 0.3), 1));
    painter.setBrush(background);
    painter.drawRect(box);
    double y = box.top() + padding;
    for (const LegendEntry &entry : entries) {
        painter.setPen(entry.pen);
        const double middle = y + metrics.height() / 2;
        painter.drawLine(
            QPointF(box.left() + padding, middle), QPointF(box.left() + padding + sample, middle));
        painter.setPen(palette.color(QPalette::Text));
        painter.drawText(QRectF(box.left() + 2 * padding + sample, y, textWidth, metrics.height()),
            Qt::AlignLeft | Qt::AlignVCenter, entry.name);
        y += metrics.height();
    }
}

} // namespace

ChromaticityPlot::ChromaticityPlot(const QRectF &rect, const QFont &font)
{
    const QFontMetricsF metrics(font);
    const double labelWidth = metrics.horizontalAdvance(QStringLiteral("0.0"));
    const QRectF room = rect.adjusted(labelWidth + kTickLength + 4, metrics.height() / 2 + 2,
        -(labelWidth / 2 + 4), -(metrics.height() + kTickLength + 4));
    m_scale = std::max(0.0, std::min(room.width() / kMaxX, room.height() / kMaxY));
    m_origin = QPointF(room.left() + (room.width() - kMaxX * m_scale) / 2,
        room.top() + (room.height() + kMaxY * m_scale) / 2);
}

QPointF ChromaticityPlot::map(const XyPoint &point) const
{
    return { m_origin.x() + point.x * m_scale, m_origin.y() - point.y * m_scale };
}

QRectF chromaticityLegendRect(
    const ChromaticityPlot &plot, const QSizeF &legendSize, const QFont &font)
{
    const double inset = QFontMetricsF(font).height() / 3;
    const QPointF topRight = plot.map({ ChromaticityPlot::kMaxX, ChromaticityPlot::kMaxY });
    const QRectF box(QPointF(topRight.x() - inset - legendSize.width(), topRight.y()), legendSize);
    const QList<LocusLabel> labels = locusLabels(plot, locusLabelFont(font));
    const bool coversLabel = std::any_of(labels.cbegin(), labels.cend(),
        [&box](const LocusLabel &label) { return label.rect.intersects(box); });
    return coversLabel || QPolygonF(box).intersects(locusPolygon(plot)) ? QRectF() : box;
}

QColor referenceGamutColour(ReferenceGamut reference, const QPalette &palette)
{
    static constexpr int kHues[kReferenceGamutCount] = { 30, 300, 160 };
    return QColor::fromHsl(kHues[int(reference)], 200, darkTheme(palette) ? 170 : 95);
}

QColor shownGamutColour(const QPalette &palette)
{
    const QColor highlight = palette.color(QPalette::Highlight);
    const int contrast
        = std::abs(highlight.lightness() - palette.color(QPalette::Base).lightness());
    return contrast >= 60 ? highlight : palette.color(QPalette::Text);
}

void paintChromaticityDiagram(QPainter &painter, const QRectF &rect, const QPalette &palette,
    const ChromaticityContent &content)
{
    painter.save();
    // Primaries beyond the plotted range (custom HDR fields reach 1.31) must
    // not spill over the neighbouring widgets.
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect, palette.color(QPalette::Base));
    const ChromaticityPlot plot(rect, painter.font());

    drawAxes(painter, plot, palette);
    const QFont font = painter.font();
    drawLocus(painter, plot, palette);
    painter.setFont(font);

    QList<LegendEntry> legend;
    for (int i = 0; i < kReferenceGamutCount; ++i) {
        const ReferenceGamut reference = ReferenceGamut(i);
        const QColor colour = referenceGamutColour(reference, palette);
        painter.setPen(QPen(colour, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolygon(trianglePolygon(plot, referenceGamut(reference)));
        drawMarkers(painter, plot, referenceGamut(reference), colour, kReferenceMarkerRadius);
        legend.append({ referenceGamutName(reference), QPen(colour, 1) });
    }

    const QColor shown = shownGamutColour(palette);
    if (content.dashed && primariesGiven(*content.dashed)) {
        const QPen pen(palette.color(QPalette::Text), 1.5, Qt::DashLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPolygon(trianglePolygon(plot, *content.dashed));
        legend.append({ content.dashedName, pen });
    }
    if (primariesGiven(content.gamut)) {
        QColor fill = shown;
        fill.setAlphaF(0.18f);
        painter.setPen(QPen(shown, 2));
        painter.setBrush(fill);
        painter.drawPolygon(trianglePolygon(plot, content.gamut));
        drawMarkers(painter, plot, content.gamut, shown, kShownMarkerRadius);
        // The white point: a ring with a dot.
        const QPointF white = plot.map(content.gamut.white);
        painter.setPen(QPen(shown, 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(white, kShownMarkerRadius + 1, kShownMarkerRadius + 1);
        painter.setPen(Qt::NoPen);
        painter.setBrush(shown);
        painter.drawEllipse(white, 1.5, 1.5);
        legend.append({ content.gamutName, QPen(shown, 2) });
    }
    drawLegend(painter, plot, palette, legend);
    painter.restore();
}

ChromaticityDiagram::ChromaticityDiagram(QWidget *parent)
    : QWidget(parent)
{
    setAccessibleName(tr("Chromaticity diagram"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setContent({});
}

void ChromaticityDiagram::setContent(const ChromaticityContent &content)
{
    m_content = content;
    QString description = gamutDescription(content.gamut);
    if (content.dashed && primariesGiven(*content.dashed))
        description
            += tr("; dashed, %1: %2").arg(content.dashedName, gamutDescription(*content.dashed));
    setAccessibleDescription(description);
    update();
}

void ChromaticityDiagram::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintChromaticityDiagram(painter, rect(), palette(), m_content);
}
