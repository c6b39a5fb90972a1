// SPDX-License-Identifier: GPL-3.0-or-later
// The chromaticity diagram: gamut geometry against values worked out by
// hand, the drawing at two sizes, the legend kept off the locus, and both Tools windows following
// their fields.
#include "colour/cielocus.h"
#include "colour/gamut.h"
#include "infoframe/hdrinfoframe.h"
#include "infoframe/infoframehex.h"
#include "support/windowharness.h"
#include "tools/chromaticitydiagram.h"
#include "ui_VortalexForm.h"

#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QtTest>

using namespace vortalex;

using Polygon = std::vector<XyPoint>;
Q_DECLARE_METATYPE(Polygon)
Q_DECLARE_METATYPE(vortalex::Gamut)

namespace {

const Gamut kBt709 = referenceGamut(ReferenceGamut::Bt709);
const Gamut kP3 = referenceGamut(ReferenceGamut::DciP3);
const Gamut kBt2020 = referenceGamut(ReferenceGamut::Bt2020);
// The emulated box's automix table: 10-bit codes 655/338, 307/614, 154/61, 320/337.
const Gamut kDisplay { { 655 / 1024.0, 338 / 1024.0 }, { 307 / 1024.0, 614 / 1024.0 },
    { 154 / 1024.0, 61 / 1024.0 }, { 320 / 1024.0, 337 / 1024.0 } };

QString hdrCaptureText(HdrPrimaries primaries)
{
    HdrMetadata values = defaultHdrMetadata();
    setHdrPrimaries(values, primaries);
    // The capture shows the data bytes: the frame without its four header bytes.
    return infoFrameText(encodeHdrInfoFrame(values).mid(kHdrInfoFrameHeaderLength));
}

QString automixText()
{
    QFile file(QStringLiteral(VORTALEX_TEST_DATA "/sim_box_automix.bin"));
    return file.open(QIODevice::ReadOnly) ? infoFrameText(file.readAll()).replace(u':', u' ')
                                          : QString();
}

} // namespace

class TestChromaticity : public QObject
{
    Q_OBJECT

private slots:
    void intersection_data();
    void intersection();
    void coverage_data();
    void coverage();
    void locusHoldsBt2020Primaries();
    void drawing_data();
    void drawing();
    void legendPlacement_data();
    void legendPlacement();
    void windowsFollowFields_data();
    void windowsFollowFields();
};

void TestChromaticity::intersection_data()
{
    QTest::addColumn<Polygon>("a");
    QTest::addColumn<Polygon>("b");
    QTest::addColumn<double>("area");

    const Polygon unit { { 0, 0 }, { 1, 0 }, { 0, 1 } };
    // Two right triangles over one side share the triangle up to (0.5, 0.5).
    QTest::newRow("half overlap") << unit << Polygon { { 0, 0 }, { 1, 0 }, { 1, 1 } } << 0.25;
    QTest::newRow("clockwise clip") << unit << Polygon { { 1, 1 }, { 1, 0 }, { 0, 0 } } << 0.25;
    QTest::newRow("disjoint") << unit << Polygon { { 2, 2 }, { 3, 2 }, { 2, 3 } } << 0.0;
    QTest::newRow("inside") << Polygon { { 0.1, 0.1 }, { 0.3, 0.1 }, { 0.1, 0.3 } } << unit << 0.02;
    QTest::newRow("two equal points") << Polygon { { 0, 0 }, { 0, 0 }, { 1, 1 } } << unit << 0.0;
    QTest::newRow("all zero") << unit << Polygon { { 0, 0 }, { 0, 0 }, { 0, 0 } } << 0.0;
    QTest::newRow("BT.709 in BT.2020")
        << primariesTriangle(kBt709) << primariesTriangle(kBt2020) << 0.11205;
}

void TestChromaticity::intersection()
{
    QFETCH(Polygon, a);
    QFETCH(Polygon, b);
    QFETCH(double, area);
    QVERIFY(qAbs(polygonArea(convexIntersection(a, b)) - area) < 1e-9);
    QVERIFY(qAbs(polygonArea(convexIntersection(b, a)) - area) < 1e-9);
}

void TestChromaticity::coverage_data()
{
    QTest::addColumn<Gamut>("gamut");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("description");

    // Areas by hand: BT.709 0.11205, DCI-P3 0.152, BT.2020 0.2118665.
    QTest::newRow("BT.709")
        << kBt709
        << "Area 100.0 % of BT.709, 73.7 % of DCI-P3, 52.9 % of BT.2020\nCovers 100.0 % of "
           "BT.709, 73.7 % of DCI-P3, 52.9 % of BT.2020"
        << "red 0.6400, 0.3300; green 0.3000, 0.6000; blue 0.1500, 0.0600; white 0.3127, 0.3290; "
           "about 53 % of BT.2020 by area in xy";
    QTest::newRow("DCI-P3")
        << kP3
        << "Area 135.7 % of BT.709, 100.0 % of DCI-P3, 71.7 % of BT.2020\nCovers 100.0 % of "
           "BT.709, 100.0 % of DCI-P3, 71.7 % of BT.2020"
        << "red 0.6800, 0.3200; green 0.2650, 0.6900; blue 0.1500, 0.0600; white 0.3127, 0.3290; "
           "about 72 % of BT.2020 by area in xy";
    // Green beyond BT.2020's: bigger than BT.2020, yet not all of it covered.
    QTest::newRow("wide green")
        << Gamut { kBt709.red, { 0.05, 0.9 }, kBt709.blue, kBt709.white }
        << "Area 195.7 % of BT.709, 144.3 % of DCI-P3, 103.5 % of BT.2020\nCovers 100.0 % of "
           "BT.709, 91.6 % of DCI-P3, 85.2 % of BT.2020"
        << "red 0.6400, 0.3300; green 0.0500, 0.9000; blue 0.1500, 0.0600; white 0.3127, 0.3290; "
           "about 104 % of BT.2020 by area in xy";
    const QString notGiven = QStringLiteral("Primaries not given: no gamut to compare");
    QTest::newRow("all zero") << Gamut() << notGiven
                              << "red 0.0000, 0.0000; green 0.0000, 0.0000; blue 0.0000, 0.0000; "
                                 "white 0.0000, 0.0000; primaries not given";
    QTest::newRow("red on green")
        << Gamut { kBt709.green, kBt709.green, kBt709.blue, kBt709.white } << notGiven
        << "red 0.3000, 0.6000; green 0.3000, 0.6000; blue 0.1500, 0.0600; white 0.3127, 0.3290; "
           "primaries not given";
}

void TestChromaticity::coverage()
{
    QFETCH(Gamut, gamut);
    QTEST(gamutCoverageText(gamutCoverage(gamut)), "line");
    QTEST(gamutDescription(gamut), "description");
}

void TestChromaticity::locusHoldsBt2020Primaries()
{
    // BT.2020's primaries are spectral colours (630, 532 and 467 nm): each
    // must lie on the locus the table draws.
    for (const XyPoint &p : { kBt2020.red, kBt2020.green, kBt2020.blue }) {
        double nearest = 1;
        for (int i = 0; i + 1 < spectralLocusSize(); ++i) {
            const XyPoint a = spectralLocus()[i].xy;
            const XyPoint b = spectralLocus()[i + 1].xy;
            const double dx = b.x - a.x;
            const double dy = b.y - a.y;
            const double t
                = qBound(0.0, ((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 1.0);
            nearest = qMin(nearest, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
        }
        QVERIFY2(nearest < 0.001, qPrintable(xyText(p)));
    }
}

void TestChromaticity::drawing_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("pixelRatio");

    QTest::newRow("small") << QSize(320, 340) << qreal(1);
    QTest::newRow("large, HiDPI") << QSize(560, 420) << qreal(2);
}

void TestChromaticity::drawing()
{
    QFETCH(QSize, size);
    QFETCH(qreal, pixelRatio);

    // The diagram goes into the middle of a larger image; the margin must
    // keep its colour. A red x beyond the plotted range must not leak out.
    const int margin = 40;
    const QRgb outside = qRgb(1, 2, 3);
    QImage image(
        (size + QSize(2 * margin, 2 * margin)) * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(outside);
    const QRectF rect(QPointF(margin, margin), size);
    const QPalette palette;
    ChromaticityContent content { kDisplay, QStringLiteral("Display"),
        Gamut { { 1.2, 0.1 }, kP3.green, kP3.blue, kP3.white }, QStringLiteral("Capture") };
    {
        QPainter painter(&image);
        paintChromaticityDiagram(painter, rect, palette, content);
    }

    const QRect inside = QRectF(rect.topLeft() * pixelRatio, rect.size() * pixelRatio).toRect();
    int leaked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            leaked += !inside.contains(x, y) && image.pixel(x, y) != outside;
    QCOMPARE(leaked, 0);

    const ChromaticityPlot plot(rect, QFont()); // a painter's font on an image
    const auto pixelAt = [&](const XyPoint &p) {
        const QPointF at = plot.map(p) * pixelRatio;
        return image.pixel(int(at.x()), int(at.y()));
    };
    const QRgb reference = referenceGamutColour(ReferenceGamut::Bt2020, palette).rgb();
    const QRgb shown = shownGamutColour(palette).rgb();
    QVERIFY(reference != shown);
    for (const XyPoint &p : { kBt2020.red, kBt2020.green, kBt2020.blue })
        QCOMPARE(pixelAt(p), reference);
    for (const XyPoint &p : { kDisplay.red, kDisplay.green, kDisplay.blue })
        QCOMPARE(pixelAt(p), shown);
    // Red right of green, green above blue: x grows rightwards, y upwards.
    QVERIFY(plot.map(kDisplay.red).x() > plot.map(kDisplay.green).x());
    QVERIFY(plot.map(kDisplay.green).y() < plot.map(kDisplay.blue).y());
    QVERIFY(rect.contains(plot.map({ 0.8, 0.9 })) && rect.contains(plot.map({ 0, 0 })));
}

void TestChromaticity::legendPlacement_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("shown");

    QTest::newRow("200 x 200") << QSize(200, 200) << false;
    QTest::newRow("320 x 240") << QSize(320, 240) << false;
    QTest::newRow("380 x 400") << QSize(380, 400) << true;
    QTest::newRow("600 x 500") << QSize(600, 500) << true;
}

void TestChromaticity::legendPlacement()
{
    QFETCH(QSize, size);
    QFETCH(bool, shown);

    // Five entries as the InfoFrame builder shows them, the widest "BT.2020".
    const QFont font;
    const QFontMetricsF metrics(font);
    const QSizeF legend(
        metrics.horizontalAdvance(QStringLiteral("BT.2020")) + 2.5 * metrics.height(),
        5.67 * metrics.height());
    const ChromaticityPlot plot(QRectF(QPointF(0, 0), size), font);
    const QRectF box = chromaticityLegendRect(plot, legend, font);
    QCOMPARE(!box.isEmpty(), shown);
    if (!shown)
        return;
    const QPointF topRight = plot.map({ ChromaticityPlot::kMaxX, ChromaticityPlot::kMaxY });
    QCOMPARE(box.size(), legend);
    QCOMPARE(box.top(), topRight.y());
    QVERIFY(box.right() < topRight.x() && box.right() > topRight.x() - metrics.height());
    QPolygonF locus;
    for (int i = 0; i < spectralLocusSize(); ++i)
        locus << plot.map(spectralLocus()[i].xy);
    QVERIFY(!QPolygonF(box).intersects(locus));
}

void TestChromaticity::windowsFollowFields_data()
{
    QTest::addColumn<QString>("window"); // the Tools menu action
    QTest::addColumn<QStringList>("steps"); // "field=text": main window or builder fields
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("line");

    const QString edid = QStringLiteral("actionEdidDetails");
    const QString builder = QStringLiteral("actionInfoFrameBuilder");
    QTest::newRow("EDID details: automix table")
        << edid << QStringList { "EDIDtext=" + automixText() }
        << "red 0.6396, 0.3300; green 0.2998, 0.5996; blue 0.1503, 0.0595; white 0.3125, 0.3291; "
           "about 53 % of BT.2020 by area in xy"
        << "Area 99.9 % of BT.709, 73.6 % of DCI-P3, 52.8 % of BT.2020\nCovers 99.8 % of "
           "BT.709, 73.6 % of DCI-P3, 52.8 % of BT.2020";
    QTest::newRow("EDID details: not hex")
        << edid << QStringList { "EDIDtext=" + automixText(), "EDIDtext=00,FF" }
        << "red 0.0000, 0.0000; green 0.0000, 0.0000; blue 0.0000, 0.0000; white 0.0000, "
           "0.0000; primaries not given"
        << "Primaries not given: no gamut to compare";
    QTest::newRow("builder: BT.709 typed, P3 captured")
        << builder
        << QStringList { "txtHdrIf=" + hdrCaptureText(HdrPrimaries::DciP3), "redX=0.64",
               "redY=0.33", "greenX=0.3", "greenY=0.6", "blueX=0.15", "blueY=0.06" }
        << "red 0.6400, 0.3300; green 0.3000, 0.6000; blue 0.1500, 0.0600; white 0.3127, 0.3290; "
           "about 53 % of BT.2020 by area in xy; dashed, Capture: red 0.6800, 0.3200; green "
           "0.2650, 0.6900; blue 0.1500, 0.0600; white 0.3127, 0.3290; about 72 % of BT.2020 by "
           "area in xy"
        << "Area 100.0 % of BT.709, 73.7 % of DCI-P3, 52.9 % of BT.2020\nCovers 100.0 % of "
           "BT.709, 73.7 % of DCI-P3, 52.9 % of BT.2020";
    QTest::newRow("builder: red x unreadable")
        << builder << QStringList { "redX=x" }
        << "red 0.0000, 0.0000; green 0.0000, 0.0000; blue 0.0000, 0.0000; white 0.0000, "
           "0.0000; primaries not given"
        << "Primaries not given: no gamut to compare";
}

void TestChromaticity::windowsFollowFields()
{
    QFETCH(QString, window);
    QFETCH(QStringList, steps);

    WindowHarness h;
    h.start();
    h.ui()->txtHdrIf->clear();
    auto *action = h.window()->findChild<QAction *>(window);
    QVERIFY(action);
    action->trigger();
    auto *diagram = h.window()->findChild<ChromaticityDiagram *>();
    QVERIFY(diagram && diagram->isVisible());
    QCOMPARE(diagram->accessibleName(), QStringLiteral("Chromaticity diagram"));
    for (const QString &step : steps) {
        const QString name = step.section(u'=', 0, 0);
        const QString text = step.section(u'=', 1);
        if (auto *field = h.window()->findChild<QTextEdit *>(name)) {
            field->setPlainText(text);
        } else {
            auto *edit = diagram->window()->findChild<QLineEdit *>(name);
            QVERIFY2(edit, qPrintable(name));
            edit->selectAll();
            QTest::keyClicks(edit, text);
        }
    }
    QTEST(diagram->accessibleDescription(), "description");
    auto *line = diagram->window()->findChild<QLabel *>(QStringLiteral("gamutCoverageLabel"));
    QVERIFY(line);
    QTEST(line->text(), "line");
}

QTEST_MAIN(TestChromaticity)
#include "tst_chromaticity.moc"
