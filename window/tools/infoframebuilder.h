// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "infoframe/aviinfoframe.h"
#include "infoframe/hdrinfoframe.h"

#include <QWidget>
#include <QList>
#include <memory>

class QLabel;
class QLineEdit;
class QTextEdit;
class Ui_InfoFrameBuilder;

// "InfoFrame builder…": HDR and AVI InfoFrames from values in real units.
// It reads the capture and writes the custom HDR and AVI fields of the
// settings window, whose own "Send IF" and "Send AVI" still send them; under
// both sections it shows those three fields decoded, following every change.
// An ordinary window: the settings window can come above it.
class InfoFrameBuilder : public QWidget
{
    Q_OBJECT

public:
    InfoFrameBuilder(
        QTextEdit *capture, QTextEdit *customHdr, QTextEdit *customAvi, QWidget *parent = nullptr);
    ~InfoFrameBuilder() override;

private:
    // One value field of the HDR section, or an x, y pair, with the label
    // that says why its text is refused.
    struct HdrField
    {
        QLineEdit *edit = nullptr;
        QLineEdit *y = nullptr; // set for x, y pairs
        QLabel *error = nullptr;
        vortalex::Chromaticity vortalex::HdrMetadata::*point = nullptr;
        std::uint16_t vortalex::HdrMetadata::*level = nullptr;
        bool (*read)(const QString &, std::uint16_t &, QString &) = nullptr;
    };

    void choosePrimaries(int index);
    void copyFromCapture();
    void useHdr();
    void useAvi();
    void showHdrValues(const vortalex::HdrMetadata &values);
    void showAviValues(const vortalex::AviValues &values);
    // Reads `field` into `values`; shows the reason beside the field.
    bool readHdrField(const HdrField &field, vortalex::HdrMetadata &values);
    bool readHdrFields(vortalex::HdrMetadata &values);
    void showDecodedFields();
    // The VIC field's value, or the reason it is no VIC in aviMessage.
    bool readVic(int &vic);
    // Clears "correct the values marked in red" once they are corrected.
    void clearHdrRefusal();
    // The fields' primaries and white point in the diagram, the capture's dashed.
    void showGamut();

    std::unique_ptr<Ui_InfoFrameBuilder> ui;
    QTextEdit *m_capture;
    QTextEdit *m_customHdr;
    QTextEdit *m_customAvi;
    QList<HdrField> m_hdrFields;
};
