// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "colour/gamut.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QWidget>
#include <optional>

class QPainter;
class QPalette;

// Where the xy plane lands inside a rectangle: x 0-0.8 and y 0-0.9 at one
// scale, room for the tick labels on the left and below.
class ChromaticityPlot
{
public:
    ChromaticityPlot(const QRectF &rect, const QFont &font);
    QPointF map(const vortalex::XyPoint &point) const;

    static constexpr double kMaxX = 0.8;
    static constexpr double kMaxY = 0.9;

private:
    QPointF m_origin; // where x = 0, y = 0 lands
    double m_scale = 1; // pixels per unit of x or y
};

// What the diagram shows: a gamut named in the legend, and optionally a
// second one drawn dashed (the captured frame's next to the fields').
struct ChromaticityContent
{
    vortalex::Gamut gamut;
    QString gamutName;
    std::optional<vortalex::Gamut> dashed;
    QString dashedName;
};

// Colours taken from the palette, so that they read on light and dark themes.
QColor referenceGamutColour(vortalex::ReferenceGamut reference, const QPalette &palette);
QColor shownGamutColour(const QPalette &palette);

// Where a legend of `legendSize` goes in the plot drawn with `font`: the top
// right corner, or nowhere (an empty rectangle) where it would cover the
// locus or its labels. The room under the line of purples is no fallback: it
// is smaller than the corner's wherever the corner is too small.
QRectF chromaticityLegendRect(
    const ChromaticityPlot &plot, const QSizeF &legendSize, const QFont &font);

// Draws the whole diagram inside `rect` and nowhere else: spectral locus and
// line of purples, axes, the reference triangles with their legend, then the
// shown triangle and white point.
void paintChromaticityDiagram(QPainter &painter, const QRectF &rect, const QPalette &palette,
    const ChromaticityContent &content);

// The CIE 1931 xy chromaticity diagram as a widget, with the plotted points
// in its accessible description.
class ChromaticityDiagram : public QWidget
{
    Q_OBJECT

public:
    explicit ChromaticityDiagram(QWidget *parent = nullptr);

    void setContent(const ChromaticityContent &content);
    const ChromaticityContent &content() const { return m_content; }

    QSize sizeHint() const override { return { 380, 400 }; }
    QSize minimumSizeHint() const override { return { 220, 240 }; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ChromaticityContent m_content;
};
