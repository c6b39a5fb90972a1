// SPDX-License-Identifier: GPL-3.0-or-later
#include "infoframebuilder.h"

#include "chromaticitydiagram.h"
#include "edid/edidvic.h"
#include "infoframe/infoframehex.h"
#include "ui_InfoFrameBuilder.h"

#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>
#include <QTextEdit>

namespace {

constexpr int kCustomPrimaries = 3; // the last entry of the primaries list
const QString kProblemStyle = QStringLiteral("color: #c00000;");
// The longest reason beside a field ("from 0 to 6.5535 cd/m² in steps of
// 0.0001") fits this many average characters on one or two lines.
constexpr int kErrorColumnChars = 34;

// A decoded line under the sections: red when the field does not decode
// cleanly; an empty field is no problem.
void showDecodedLine(QLabel *label, const QString &text, const QString &summary, bool problem)
{
    const bool empty = text.trimmed().isEmpty();
    label->setText(empty ? InfoFrameBuilder::tr("Empty") : summary);
    label->setStyleSheet(problem && !empty ? kProblemStyle : QString());
}

vortalex::XyPoint xyPoint(const vortalex::Chromaticity &point)
{
    return { double(point.x) / vortalex::kChromaticityCodesPerUnit,
        double(point.y) / vortalex::kChromaticityCodesPerUnit };
}

vortalex::Gamut hdrGamut(const vortalex::HdrMetadata &values)
{
    return { xyPoint(values.red), xyPoint(values.green), xyPoint(values.blue),
        xyPoint(values.white) };
}

} // namespace

using namespace vortalex;

InfoFrameBuilder::InfoFrameBuilder(
    QTextEdit *capture, QTextEdit *customHdr, QTextEdit *customAvi, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , ui(std::make_unique<Ui_InfoFrameBuilder>())
    , m_capture(capture)
    , m_customHdr(customHdr)
    , m_customAvi(customAvi)
{
    // The form scrolls inside the window, so that the window fits small screens.
    auto *content = new QWidget;
    ui->setupUi(content);
    content->setObjectName(QStringLiteral("builderContent"));
    setObjectName(QStringLiteral("InfoFrameBuilder"));
    setWindowTitle(content->windowTitle());
    auto *scroll = new QScrollArea;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setMinimumSize(480, 360);
    scroll->setAccessibleName(tr("InfoFrame fields"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    resize(content->sizeHint().boundedTo(QSize(1300, 680)) + QSize(2, 2));
    // Esc and Ctrl+W close the window.
    for (const QKeySequence &keys :
        { QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W) })
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
    // The reasons wrap in a column of their own width, so that a reason
    // appearing does not narrow the fields; messages keep room for two lines.
    const QFontMetrics metrics = fontMetrics();
    ui->hdrLayout->setColumnMinimumWidth(3, kErrorColumnChars * metrics.averageCharWidth());
    for (QLabel *error : findChildren<QLabel *>()) {
        if (error->objectName().endsWith(QLatin1String("Error"))) {
            error->setWordWrap(true);
            error->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        }
    }
    for (QLabel *message : { ui->hdrMessage, ui->aviMessage })
        message->setMinimumHeight(2 * metrics.lineSpacing());
    ui->aviVic->setAccessibleName(tr("VIC"));
    ui->hdrUse->setAccessibleName(tr("Use HDR InfoFrame"));
    ui->aviUse->setAccessibleName(tr("Use AVI InfoFrame"));
    m_hdrFields = {
        { ui->redX, ui->redY, ui->redError, &HdrMetadata::red, nullptr, nullptr },
        { ui->greenX, ui->greenY, ui->greenError, &HdrMetadata::green, nullptr, nullptr },
        { ui->blueX, ui->blueY, ui->blueError, &HdrMetadata::blue, nullptr, nullptr },
        { ui->whiteX, ui->whiteY, ui->whiteError, &HdrMetadata::white, nullptr, nullptr },
        { ui->hdrMaxLum, nullptr, ui->hdrMaxLumError, nullptr, &HdrMetadata::maxLuminance,
            &readMaxLuminance },
        { ui->hdrMinLum, nullptr, ui->hdrMinLumError, nullptr, &HdrMetadata::minLuminance,
            &readMinLuminance },
        { ui->hdrMaxCll, nullptr, ui->hdrMaxCllError, nullptr, &HdrMetadata::maxCll,
            &readLightLevel },
        { ui->hdrMaxFall, nullptr, ui->hdrMaxFallError, nullptr, &HdrMetadata::maxFall,
            &readLightLevel },
    };
    for (int i = 0; i < m_hdrFields.size(); ++i) {
        const HdrField &field = m_hdrFields.at(i);
        // Every edit is checked at once; typing a primary makes them custom.
        auto check = [this, i](const QString &) {
            HdrMetadata scratch;
            readHdrField(m_hdrFields.at(i), scratch);
            clearHdrRefusal();
            if (m_hdrFields.at(i).point && m_hdrFields.at(i).point != &HdrMetadata::white) {
                const QSignalBlocker blocker(ui->hdrPrimaries);
                ui->hdrPrimaries->setCurrentIndex(kCustomPrimaries);
            }
        };
        connect(field.edit, &QLineEdit::textEdited, this, check);
        if (field.y)
            connect(field.y, &QLineEdit::textEdited, this, check);
        // The diagram follows the points, typed or filled in.
        if (field.point) {
            connect(field.edit, &QLineEdit::textChanged, this, &InfoFrameBuilder::showGamut);
            connect(field.y, &QLineEdit::textChanged, this, &InfoFrameBuilder::showGamut);
        }
    }
    connect(ui->hdrPrimaries, &QComboBox::activated, this, &InfoFrameBuilder::choosePrimaries);
    connect(ui->hdrCopyCapture, &QPushButton::clicked, this, &InfoFrameBuilder::copyFromCapture);
    connect(ui->hdrUse, &QPushButton::clicked, this, &InfoFrameBuilder::useHdr);
    connect(ui->aviUse, &QPushButton::clicked, this, &InfoFrameBuilder::useAvi);
    connect(ui->aviVic, &QSpinBox::valueChanged, this, [this] {
        int vic = 0;
        if (readVic(vic))
            ui->aviMessage->clear();
    });
    for (QTextEdit *field : { m_capture, m_customHdr, m_customAvi })
        connect(field, &QTextEdit::textChanged, this, &InfoFrameBuilder::showDecodedFields);

    // Start from what the custom fields hold, where they decode.
    const HdrDecode hdr = decodeHdrInfoFrameText(m_customHdr->toPlainText());
    showHdrValues(hdr.ok ? hdr.values : defaultHdrMetadata());
    const AviDecode avi = decodeAviInfoFrameText(m_customAvi->toPlainText());
    showAviValues(avi.ok ? avi.values : AviValues());
    showDecodedFields();
}

InfoFrameBuilder::~InfoFrameBuilder() = default;

void InfoFrameBuilder::choosePrimaries(int index)
{
    if (index == kCustomPrimaries)
        return;
    HdrMetadata values;
    readHdrFields(values);
    setHdrPrimaries(values, HdrPrimaries(index));
    values.white = d65WhitePoint();
    showHdrValues(values);
}

void InfoFrameBuilder::copyFromCapture()
{
    const HdrDecode capture = decodeHdrInfoFrameText(m_capture->toPlainText());
    if (!capture.ok) {
        ui->hdrMessage->setText(tr("Capture: %1").arg(capture.problem));
        return;
    }
    ui->hdrMessage->clear();
    showHdrValues(capture.values);
}

void InfoFrameBuilder::useHdr()
{
    HdrMetadata values;
    if (!readHdrFields(values)) {
        ui->hdrMessage->setText(tr("Not used: correct the values marked in red."));
        return;
    }
    ui->hdrMessage->clear();
    m_customHdr->setPlainText(infoFrameText(encodeHdrInfoFrame(values)));
}

bool InfoFrameBuilder::readVic(int &vic)
{
    vic = ui->aviVic->value();
    if (vic == 0 || vicFormat(vic))
        return true;
    ui->aviMessage->setText(tr("VIC %1 is no CTA-861 video format: give 1-127 or 193-219 "
                               "(None for no VIC).")
                                .arg(vic));
    return false;
}

void InfoFrameBuilder::clearHdrRefusal()
{
    // After a refusal every field shows its reason, so reading them all again
    // changes no reason the user has not seen.
    HdrMetadata values;
    if (ui->hdrMessage->text() == tr("Not used: correct the values marked in red.")
        && readHdrFields(values))
        ui->hdrMessage->clear();
}

void InfoFrameBuilder::useAvi()
{
    int vic = 0;
    if (!readVic(vic))
        return;
    AviValues values;
    values.colourFormat = std::uint8_t(ui->aviColour->currentIndex());
    setAviColorimetry(values, AviColorimetry(ui->aviColorimetry->currentIndex()));
    setAviRange(values, AviRange(ui->aviRange->currentIndex()));
    values.vic = std::uint8_t(vic);
    values.pictureAspect = std::uint8_t(ui->aviAspect->currentIndex());
    const QByteArray data = encodeAviInfoFrame(values);
    if (data.size() > kAviFieldDataBytes) {
        ui->aviMessage->setText(tr("Not used: %1 is signalled in data byte %2, the custom AVI "
                                   "field takes %3 data bytes.")
                                    .arg(ui->aviColorimetry->currentText())
                                    .arg(data.size())
                                    .arg(kAviFieldDataBytes));
        return;
    }
    ui->aviMessage->clear();
    m_customAvi->setPlainText(infoFrameText(data));
}

void InfoFrameBuilder::showHdrValues(const HdrMetadata &values)
{
    ui->hdrEotf->setCurrentIndex(values.eotf < ui->hdrEotf->count() ? values.eotf : 0);
    int primaries = kCustomPrimaries;
    for (int i = kCustomPrimaries - 1; i >= 0; --i) {
        if (hdrPrimariesMatch(values, HdrPrimaries(i)) && values.white == d65WhitePoint())
            primaries = i;
    }
    ui->hdrPrimaries->setCurrentIndex(primaries);
    for (const HdrField &field : std::as_const(m_hdrFields)) {
        if (field.point) {
            field.edit->setText(coordinateText((values.*field.point).x));
            field.y->setText(coordinateText((values.*field.point).y));
        } else if (field.level == &HdrMetadata::minLuminance) {
            field.edit->setText(minLuminanceText(values.*field.level));
        } else {
            field.edit->setText(QString::number(values.*field.level));
        }
        field.error->clear();
    }
}

void InfoFrameBuilder::showAviValues(const AviValues &values)
{
    if (values.colourFormat < ui->aviColour->count())
        ui->aviColour->setCurrentIndex(values.colourFormat);
    const AviColorimetry colorimetry = aviColorimetry(values);
    if (colorimetry != AviColorimetry::Reserved)
        ui->aviColorimetry->setCurrentIndex(int(colorimetry));
    const AviRange range = values.colourFormat == 0
        ? AviRange(qMin<int>(values.rgbQuantisation, int(AviRange::Full)))
        : (values.yccQuantisation == 1 ? AviRange::Full : AviRange::Limited);
    ui->aviRange->setCurrentIndex(int(range));
    ui->aviVic->setValue(values.vic);
    if (values.pictureAspect < ui->aviAspect->count())
        ui->aviAspect->setCurrentIndex(values.pictureAspect);
}

bool InfoFrameBuilder::readHdrField(const HdrField &field, HdrMetadata &values)
{
    QString error;
    const bool ok = field.point
        ? readChromaticity(field.edit->text(), field.y->text(), values.*field.point, error)
        : field.read(field.edit->text(), values.*field.level, error);
    field.error->setText(ok ? QString() : error);
    return ok;
}

bool InfoFrameBuilder::readHdrFields(HdrMetadata &values)
{
    values = HdrMetadata();
    values.eotf = std::uint8_t(ui->hdrEotf->currentIndex());
    bool ok = true;
    for (const HdrField &field : std::as_const(m_hdrFields))
        ok = readHdrField(field, values) && ok;
    return ok;
}

void InfoFrameBuilder::showDecodedFields()
{
    showGamut();
    const QString capture = m_capture->toPlainText();
    const HdrDecode captured = decodeHdrInfoFrameText(capture);
    showDecodedLine(ui->captureLine, capture, hdrSummary(captured), !captured.problem.isEmpty());
    const QString hdrText = m_customHdr->toPlainText();
    const HdrDecode hdr = decodeHdrInfoFrameText(hdrText);
    showDecodedLine(ui->customHdrLine, hdrText, hdrSummary(hdr), !hdr.problem.isEmpty());
    const QString aviText = m_customAvi->toPlainText();
    const AviDecode avi = decodeAviInfoFrameText(aviText);
    showDecodedLine(ui->customAviLine, aviText, aviSummary(avi), !avi.problem.isEmpty());
}

void InfoFrameBuilder::showGamut()
{
    // The fields' points when all four read; not given otherwise.
    HdrMetadata fields;
    bool ok = true;
    for (const HdrField &field : std::as_const(m_hdrFields)) {
        QString error;
        if (field.point)
            ok = ok
                && readChromaticity(
                    field.edit->text(), field.y->text(), fields.*field.point, error);
    }
    ChromaticityContent content { ok ? hdrGamut(fields) : Gamut(), tr("Fields"), std::nullopt,
        QString() };
    const HdrDecode capture = decodeHdrInfoFrameText(m_capture->toPlainText());
    if (capture.ok) {
        content.dashed = hdrGamut(capture.values);
        content.dashedName = tr("Capture");
    }
    ui->chromaticityDiagram->setContent(content);
    ui->gamutCoverageLabel->setText(gamutCoverageText(gamutCoverage(content.gamut)));
}
