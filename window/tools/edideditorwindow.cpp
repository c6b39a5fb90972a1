// SPDX-License-Identifier: GPL-3.0-or-later
#include "edideditorwindow.h"

#include "app/dialogs.h"
#include "boxedid/edidfileio.h"
#include "boxedid/edidtext.h"
#include "edid/edidchangewords.h"
#include "edid/edidedit.h"
#include "edid/edidinfo.h"
#include "edid/edidinput.h"
#include "edid/edidreport.h"
#include "edid/edidtimingsize.h"
#include "edid/edidvic.h"
#include "toolwindowtext.h"
#include "ui_EdidEditor.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QTextEdit>
#include <QUndoCommand>

using namespace vortalex;

namespace {

const QColor kProblemColour(Qt::red);
const QString kFileFilter = QStringLiteral("Binary Files (*.bin);;All files (*.*)");

// One edit: the whole table before and after, so undo gives the same bytes.
class TableCommand : public QUndoCommand
{
public:
    TableCommand(EdidEditorWindow *window, QByteArray before, QByteArray after, const QString &text)
        : QUndoCommand(text)
        , m_window(window)
        , m_before(std::move(before))
        , m_after(std::move(after))
    {
    }
    void undo() override { m_window->showTable(m_before); }
    void redo() override { m_window->showTable(m_after); }

private:
    EdidEditorWindow *m_window;
    QByteArray m_before;
    QByteArray m_after;
};

EdidTable toEdidTable(const QByteArray &bytes)
{
    EdidTable table {};
    std::copy_n(bytes.constData(), std::min<qsizetype>(bytes.size(), kEdidSize), table.begin());
    return table;
}

constexpr int kNameLength = 13; // characters of a display name descriptor
constexpr int kAtmos = 0x100; // with the format code in the format list's data

// The sample rates of the rate check boxes, in their order.
const double kRatesKhz[7] = { 32, 44.1, 48, 88.2, 96, 176.4, 192 };
const int kBitDepths[3] = { 16, 20, 24 };

QStringList checkedEotfs(const QList<QCheckBox *> &boxes)
{
    QStringList words;
    for (const QCheckBox *box : boxes) {
        if (box->isChecked())
            words << box->text().section(u' ', 0, 0);
    }
    return words;
}

} // namespace

EdidEditorWindow::EdidEditorWindow(QTextEdit *edidText, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , ui(new Ui_EdidEditorWindow)
    , m_edidText(edidText)
    , m_dialogs(dialogs)
{
    ui->setupUi(this);
    ui->diffTree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    for (int vic = 1; vic < 256; ++vic) {
        if (vicFormat(vic)) {
            const QString name = QStringLiteral("%1 · %2").arg(vic).arg(vicName(vic));
            ui->vicCombo->addItem(name, vic);
            if (vicTiming(vic))
                ui->preferredVicCombo->addItem(name, vic);
        }
    }
    static const char *const frl[7] = { "none", "3 Gbit/s × 3", "6 Gbit/s × 3", "6 Gbit/s × 4",
        "8 Gbit/s × 4", "10 Gbit/s × 4", "12 Gbit/s × 4" };
    for (const char *rate : frl)
        ui->frlCombo->addItem(QString::fromUtf8(rate));
    // Formats 1-14; Dolby Atmos is E-AC-3 or TrueHD with joint object coding.
    for (int code = 1; code <= 14; ++code) {
        ui->audioFormatCombo->addItem(audioFormatName(code), code);
        if (code == 10 || code == 12)
            ui->audioFormatCombo->addItem(
                tr("%1 with Dolby Atmos").arg(audioFormatName(code)), code | kAtmos);
    }
    ui->audioFormatCombo->setAccessibleName(tr("Audio format"));
    connect(ui->audioFormatCombo, &QComboBox::currentIndexChanged, this,
        &EdidEditorWindow::showAudioFields);
    connect(ui->audioList, &QListWidget::currentRowChanged, this, [this](int row) {
        const int data
            = ui->audioList->item(row) ? ui->audioList->item(row)->data(Qt::UserRole).toInt() : 0;
        if (data)
            ui->audioFormatCombo->setCurrentIndex(ui->audioFormatCombo->findData(data));
        showAudioFields();
    });
    ui->timingWidthSpin->setValue(1920);
    ui->timingHeightSpin->setValue(1080);
    ui->timingRefreshSpin->setValue(60);

    // Ctrl+Z and Ctrl+Shift+Z anywhere in the window.
    QAction *undo = m_undo.createUndoAction(this, tr("Undo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction *redo = m_undo.createRedoAction(this, tr("Redo"));
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    for (QAction *action : { undo, redo }) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    connect(ui->undoButton, &QPushButton::clicked, &m_undo, &QUndoStack::undo);
    connect(ui->redoButton, &QPushButton::clicked, &m_undo, &QUndoStack::redo);
    // Ctrl+Z in a field undoes the table's edits too, not the field's typing.
    for (QWidget *field : findChildren<QLineEdit *>())
        field->installEventFilter(this);
    for (QWidget *field : findChildren<QAbstractSpinBox *>())
        field->installEventFilter(this);
    // Esc closes the window as Close does (asking first about unsaved edits).
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
        &QWidget::close);
    connect(&m_undo, &QUndoStack::canUndoChanged, ui->undoButton, &QWidget::setEnabled);
    connect(&m_undo, &QUndoStack::canRedoChanged, ui->redoButton, &QWidget::setEnabled);
    ui->undoButton->setEnabled(false);
    ui->redoButton->setEnabled(false);

    ui->diffTree->setColumnCount(1);
    ui->diffTree->setHeaderHidden(true);
    connect(ui->fromTextButton, &QPushButton::clicked, this, &EdidEditorWindow::startFromEdidText);
    connect(ui->openButton, &QPushButton::clicked, this, &EdidEditorWindow::openFile);
    connect(ui->useButton, &QPushButton::clicked, this, &EdidEditorWindow::use);
    connect(ui->saveButton, &QPushButton::clicked, this, &EdidEditorWindow::saveAs);
    connect(ui->closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->audioFromFileButton, &QPushButton::clicked, this, &EdidEditorWindow::audioFromFile);
    connectEdits();
    startFromEdidText();
}

EdidEditorWindow::~EdidEditorWindow()
{
    delete ui;
}

void EdidEditorWindow::connectEdits()
{
    Ui_EdidEditorWindow *f = ui;
    const auto onText = [this](QLineEdit *edit, const QString &what,
                            EdidEditResult (*edit_)(const QByteArray &, const QString &)) {
        connect(edit, &QLineEdit::editingFinished, this,
            [this, edit, what, edit_] { apply(edit_(m_table, edit->text()), what); });
    };
    onText(f->manufacturerEdit, tr("manufacturer"), setManufacturer);
    onText(f->nameEdit, tr("name"), setDisplayName);
    connect(f->nameEdit, &QLineEdit::textChanged, this, [this](const QString &name) {
        const bool over = name.size() > kNameLength;
        ui->nameLimitLabel->setText(over
                ? tr("%1 characters: %2 at most").arg(name.size()).arg(kNameLength)
                : tr("%1 characters at most").arg(kNameLength));
        ui->nameLimitLabel->setStyleSheet(over ? QStringLiteral("color: red") : QString());
    });
    onText(f->serialStringEdit, tr("serial text"), setSerialString);
    onText(f->physicalAddressEdit, tr("physical address"), setPhysicalAddress);
    connect(f->serialNumberEdit, &QLineEdit::editingFinished, this, [this] {
        bool ok = false;
        const quint32 serial = ui->serialNumberEdit->text().toUInt(&ok);
        if (ok)
            apply(setSerialNumber(m_table, serial), tr("serial number"));
        else
            showStatus(tr("The serial number is a number 0-4294967295"), true);
    });
    connect(f->productCodeSpin, &QSpinBox::valueChanged, this,
        [this](int code) { apply(setProductCode(m_table, code), tr("product code")); });
    const auto date = [this] {
        apply(
            setManufactureDate(m_table, ui->weekSpin->value(), ui->yearSpin->value()), tr("date"));
    };
    connect(f->weekSpin, &QSpinBox::valueChanged, this, date);
    connect(f->yearSpin, &QSpinBox::valueChanged, this, date);
    connect(f->preferredVicButton, &QPushButton::clicked, this, [this] {
        apply(setPreferredVic(m_table, ui->preferredVicCombo->currentData().toInt()),
            tr("preferred timing"));
    });

    const auto comboVic = [this] { return ui->vicCombo->currentData().toInt(); };
    const auto listVic = [](const QListWidget *list) {
        return list->currentItem() ? list->currentItem()->data(Qt::UserRole).toInt() : 0;
    };
    connect(f->addVicButton, &QPushButton::clicked, this, [this, comboVic] {
        apply(addVics(m_table, { comboVic() }), tr("add VIC"),
            tr("VIC %1 is already in the video data block").arg(comboVic()));
    });
    connect(f->removeVicButton, &QPushButton::clicked, this, [this, listVic] {
        apply(removeVics(m_table, { listVic(ui->vicList) }), tr("remove VIC"));
    });
    // The button clears the mark of a native VIC and marks any other.
    connect(f->nativeVicButton, &QPushButton::clicked, this, [this, listVic] {
        const QListWidgetItem *item = ui->vicList->currentItem();
        if (!item) {
            showStatus(tr("Choose a VIC in the video data block first"), true);
            return;
        }
        const bool native = item->data(Qt::UserRole + 1).toBool();
        apply(setNativeVic(m_table, native ? 0 : listVic(ui->vicList)), tr("native VIC"));
    });
    connect(
        f->vicList, &QListWidget::currentItemChanged, this, &EdidEditorWindow::showNativeButton);
    connect(f->add420Button, &QPushButton::clicked, this, [this, comboVic] {
        apply(addYcbcr420Vics(m_table, { comboVic() }), tr("add 4:2:0 VIC"),
            tr("VIC %1 is already in the 4:2:0 list").arg(comboVic()));
    });
    connect(f->remove420Button, &QPushButton::clicked, this, [this, listVic] {
        apply(removeYcbcr420Vics(m_table, { listVic(ui->ycbcr420List) }), tr("remove 4:2:0 VIC"));
    });

    connect(f->removeAudioButton, &QPushButton::clicked, this, [this] {
        const EdidEditResult audio = removeDataBlocks(m_table, AudioBlockTag);
        apply(audio.ok() ? removeDataBlocks(audio.table, SpeakerBlockTag) : audio,
            tr("remove audio"), tr("There is no audio block to remove"));
    });
    const auto flags = [this] {
        apply(
            setCtaFlags(m_table, ui->underscanCheck->isChecked(), ui->basicAudioCheck->isChecked(),
                ui->ycbcr444Check->isChecked(), ui->ycbcr422Check->isChecked()),
            tr("flags"));
    };
    for (QCheckBox *box :
        { f->basicAudioCheck, f->underscanCheck, f->ycbcr444Check, f->ycbcr422Check })
        connect(box, &QCheckBox::toggled, this, flags);

    connect(f->maxTmdsSpin, &QSpinBox::valueChanged, this,
        [this](int mhz) { apply(setMaxTmds(m_table, mhz), tr("max TMDS clock")); });
    const auto deep = [this] {
        QList<int> bits;
        if (ui->deep30Check->isChecked())
            bits << 30;
        if (ui->deep36Check->isChecked())
            bits << 36;
        if (ui->deep48Check->isChecked())
            bits << 48;
        apply(setDeepColour(m_table, bits, ui->deepY444Check->isChecked()), tr("deep colour"));
    };
    for (QCheckBox *box : { f->deep30Check, f->deep36Check, f->deep48Check, f->deepY444Check })
        connect(box, &QCheckBox::toggled, this, deep);
    connect(f->scdcCheck, &QCheckBox::toggled, this,
        [this](bool on) { apply(setForumScdc(m_table, on), tr("SCDC")); });
    connect(f->frlCombo, &QComboBox::activated, this,
        [this](int code) { apply(setForumFrlRate(m_table, code), tr("FRL rate")); });

    const auto eotfs = [this] {
        apply(setHdrStatic(
                  m_table, checkedEotfs({ ui->sdrCheck, ui->hdrCheck, ui->pqCheck, ui->hlgCheck })),
            tr("EOTFs"));
    };
    for (QCheckBox *box : { f->sdrCheck, f->hdrCheck, f->pqCheck, f->hlgCheck })
        connect(box, &QCheckBox::toggled, this, eotfs);
    connect(f->luminanceButton, &QPushButton::clicked, this, &EdidEditorWindow::setLuminance);
    connect(f->sizeTimingButton, &QPushButton::clicked, this, &EdidEditorWindow::setTimingFromSize);
    connect(f->rangeButton, &QPushButton::clicked, this, &EdidEditorWindow::setRange);
    connect(f->addAudioButton, &QPushButton::clicked, this, &EdidEditorWindow::addAudio);
    connect(f->removeFormatButton, &QPushButton::clicked, this, [this] {
        const int code = ui->audioFormatCombo->currentData().toInt() & ~kAtmos;
        apply(removeAudioFormat(m_table, code), tr("remove %1").arg(audioFormatName(code)),
            tr("There is no %1 descriptor to remove").arg(audioFormatName(code)));
    });
    connect(f->removeHdrButton, &QPushButton::clicked, this, [this] {
        apply(removeHdr(m_table), tr("remove HDR"), tr("There is no HDR block to remove"));
    });
    connect(f->colorimetryEdit, &QLineEdit::editingFinished, this, [this] {
        QStringList names;
        for (const QString &name : ui->colorimetryEdit->text().split(u',', Qt::SkipEmptyParts))
            names << name.trimmed();
        apply(setColorimetry(m_table, names), tr("colorimetry"));
    });
}

void EdidEditorWindow::setLuminance()
{
    // "not given" (0) leaves a luminance as it is; the minimum needs a maximum.
    const double max = ui->maxLuminanceSpin->value();
    const double average = ui->frameAvgSpin->value();
    if (max <= 0 && average <= 0) {
        showStatus(tr("Not done (luminance): give a maximum or a frame-average luminance; "
                      "\"not given\" leaves a value as it is"),
            true);
        return;
    }
    const auto given
        = [](double value) { return value > 0 ? std::optional<double>(value) : std::nullopt; };
    apply(setHdrStatic(m_table,
              checkedEotfs({ ui->sdrCheck, ui->hdrCheck, ui->pqCheck, ui->hlgCheck }), given(max),
              given(average),
              max > 0 ? std::optional<double>(ui->minLuminanceSpin->value()) : std::nullopt),
        tr("luminance"), tr("The HDR block already has these luminances"));
}

QList<QCheckBox *> EdidEditorWindow::rateChecks() const
{
    return { ui->rate32Check, ui->rate44_1Check, ui->rate48Check, ui->rate88_2Check,
        ui->rate96Check, ui->rate176_4Check, ui->rate192Check };
}

QList<QCheckBox *> EdidEditorWindow::depthChecks() const
{
    return { ui->depth16Check, ui->depth20Check, ui->depth24Check };
}

void EdidEditorWindow::setTimingFromSize()
{
    // A size that is a CTA-861 format becomes the preferred timing as a VIC
    // does (the video data block and the native marks follow). A CVT timing
    // is only named: as the first detailed timing it would need those rules too.
    int vic = 0;
    const DetailedTiming timing = timingForSize(ui->timingWidthSpin->value(),
        ui->timingHeightSpin->value(), ui->timingRefreshSpin->value(), &vic);
    const QString size = QStringLiteral("%1x%2@%3")
                             .arg(timing.width)
                             .arg(timing.height)
                             .arg(ui->timingRefreshSpin->value());
    if (!vic) {
        showStatus(tr("Not done (preferred timing): %1 is no CTA-861 format (as CVT reduced "
                      "blanking v2 it runs at %2 MHz); choose a size and rate of a VIC")
                       .arg(size)
                       .arg(timing.pixelClockMhz, 0, 'f', 3),
            true);
        return;
    }
    const int before = m_undo.count();
    apply(setPreferredVic(m_table, vic), tr("preferred timing"),
        tr("The preferred timing is already %1").arg(size));
    if (m_undo.count() > before)
        showStatus(tr("Preferred timing %1: the timing of VIC %2").arg(size).arg(vic), false);
}

void EdidEditorWindow::setRange()
{
    apply(setRangeLimits(m_table,
              { ui->vMinSpin->value(), ui->vMaxSpin->value(), ui->hMinSpin->value(),
                  ui->hMaxSpin->value(), ui->maxClockSpin->value() }),
        tr("range limits"), tr("The range limits are already these"));
}

void EdidEditorWindow::addAudio()
{
    const int data = ui->audioFormatCombo->currentData().toInt();
    ShortAudio audio;
    audio.formatCode = data & ~kAtmos;
    audio.channels = ui->channelsSpin->value();
    const QList<QCheckBox *> rates = rateChecks();
    for (int i = 0; i < rates.size(); ++i) {
        if (rates.at(i)->isChecked())
            audio.ratesKhz << kRatesKhz[i];
    }
    if (audio.formatCode == 1) {
        const QList<QCheckBox *> depths = depthChecks();
        for (int i = 0; i < depths.size(); ++i) {
            if (depths.at(i)->isChecked())
                audio.bitDepths << kBitDepths[i];
        }
    } else if (audio.formatCode <= 8) {
        audio.maxBitrateKbps = ui->bitrateSpin->value();
    } else {
        audio.formatValue = data & kAtmos ? 1 : 0;
    }
    apply(addAudioFormat(m_table, audio), tr("audio %1").arg(ui->audioFormatCombo->currentText()),
        tr("The table already has this %1 descriptor").arg(ui->audioFormatCombo->currentText()));
}

void EdidEditorWindow::showAudioFields()
{
    const int code = ui->audioFormatCombo->currentData().toInt() & ~kAtmos;
    for (QCheckBox *box : depthChecks())
        box->setVisible(code == 1);
    ui->bitrateSpin->setVisible(code >= 2 && code <= 8);
    const QListWidgetItem *item = ui->audioList->currentItem();
    if (!item || (item->data(Qt::UserRole).toInt() & ~kAtmos) != code)
        return;
    const AudioDescriptor sad = m_audio.value(ui->audioList->row(item));
    ui->channelsSpin->setValue(sad.channels);
    const QList<QCheckBox *> rates = rateChecks();
    for (int i = 0; i < rates.size(); ++i)
        rates.at(i)->setChecked(sad.ratesKhz.contains(kRatesKhz[i]));
    const QList<QCheckBox *> depths = depthChecks();
    for (int i = 0; i < depths.size(); ++i)
        depths.at(i)->setChecked(sad.bitDepths.contains(kBitDepths[i]));
    if (sad.maxBitrateKbps)
        ui->bitrateSpin->setValue(sad.maxBitrateKbps);
}

void EdidEditorWindow::startFromEdidText()
{
    if (!m_edidText || !mayDiscardEdits())
        return;
    QByteArray bytes;
    QString error;
    if (!edidFromText(m_edidText->toPlainText(), bytes, error)) {
        showStatus(error, true);
        return;
    }
    startFrom(bytes, tr("Started from the EDID text"));
}

bool EdidEditorWindow::mayDiscardEdits()
{
    if (m_undo.isClean())
        return true;
    switch (m_dialogs.unsavedChanges(this, tr("EDID editor"),
        tr("The edited table is neither in the EDID text nor saved in a file. Save it "
           "first?"))) {
    case Dialogs::Unsaved::Save:
        return saveAs();
    case Dialogs::Unsaved::Discard:
        return true;
    case Dialogs::Unsaved::Cancel:
        break;
    }
    return false;
}

void EdidEditorWindow::closeEvent(QCloseEvent *event)
{
    if (mayDiscardEdits())
        event->accept();
    else
        event->ignore();
}

bool EdidEditorWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A field keeps Ctrl+Z for its own typing; here it undoes the table's edits.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const QKeyCombination combination = key->keyCombination();
        const bool undo = combination == QKeyCombination(Qt::CTRL, Qt::Key_Z);
        const bool redo = combination == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z);
        if (undo || redo) {
            if (event->type() == QEvent::KeyPress) {
                // The field's text is the table's again, so leaving it is no edit.
                const QScopedValueRollback<bool> showing(m_showing, true);
                undo ? m_undo.undo() : m_undo.redo();
            }
            event->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void EdidEditorWindow::startFrom(const QByteArray &table, const QString &source)
{
    const EdidEditResult checked = checkEditableTable(table);
    if (!checked.ok()) {
        showStatus(tr("Cannot edit this table: %1").arg(checked.refusal), true);
        return;
    }
    m_undo.clear();
    m_start = checked.table;
    showTable(m_start);
    ui->sourceLabel->setText(source);
    showStatus(QString(), false);
}

void EdidEditorWindow::apply(
    const EdidEditResult &result, const QString &what, const QString &unchanged)
{
    if (m_table.isEmpty() || m_showing)
        return;
    if (!result.ok()) {
        showStatus(tr("Not done (%1): %2").arg(what, result.refusal), true);
        showTable(m_table); // the fields show the table again
        return;
    }
    if (result.table == m_table) {
        showStatus(unchanged, !unchanged.isEmpty());
        return;
    }
    m_undo.push(new TableCommand(this, m_table, result.table, what));
    showStatus(QString(), false);
}

void EdidEditorWindow::showTable(const QByteArray &table)
{
    m_table = table;
    const EdidInfo info = decodeEdid(table);
    // Filling the fields must not read them back as edits.
    const QScopedValueRollback<bool> showing(m_showing, true);

    showSummary(ui->summaryLabel, edidSummary(info), false);
    if (info.base) {
        const BaseBlock &b = *info.base;
        ui->manufacturerEdit->setText(b.manufacturer);
        ui->productCodeSpin->setValue(b.productCode);
        ui->serialNumberEdit->setText(QString::number(b.serialNumber));
        ui->weekSpin->setValue(b.week);
        ui->yearSpin->setValue(b.year ? b.year : b.modelYear);
        ui->nameEdit->setText(b.name);
        ui->serialStringEdit->setText(b.serialString);
        const auto preferred = preferredTiming(info);
        ui->preferredLabel->setText(preferred
                ? QStringLiteral("%1x%2%3@%4 Hz")
                      .arg(preferred->width)
                      .arg(preferred->height)
                      .arg(preferred->interlaced ? QStringLiteral("i") : QString())
                      .arg(preferred->refreshHz, 0, 'f', 2)
                : tr("none"));
        const RangeLimits range = b.range.value_or(RangeLimits());
        for (QSpinBox *spin :
            { ui->vMinSpin, ui->vMaxSpin, ui->hMinSpin, ui->hMaxSpin, ui->maxClockSpin })
            spin->setEnabled(b.range.has_value());
        ui->rangeButton->setEnabled(b.range.has_value());
        ui->vMinSpin->setValue(range.vMinHz);
        ui->vMaxSpin->setValue(range.vMaxHz);
        ui->hMinSpin->setValue(range.hMinKhz);
        ui->hMaxSpin->setValue(range.hMaxKhz);
        ui->maxClockSpin->setValue(range.maxPixelClockMhz);
        ui->rangeLabel->setText(b.range ? QString() : tr("none in the table"));
    }
    showExtension(table, info);

    ui->diffTree->clear();
    for (const QString &change : edidChangesInWords(m_start, m_table)) {
        auto *item = new QTreeWidgetItem(ui->diffTree, { change });
        item->setToolTip(0, change);
    }
    ui->problemsList->clear();
    for (const QString &problem : info.problems)
        ui->problemsList->addItem(problem);
    for (int i = 0; i < ui->problemsList->count(); ++i)
        ui->problemsList->item(i)->setForeground(kProblemColour);
    if (info.problems.isEmpty())
        ui->problemsList->addItem(tr("none"));
    ui->sectionTabs->setTabText(ui->sectionTabs->indexOf(ui->changesTab),
        tr("Chan&ges (%1)").arg(ui->diffTree->topLevelItemCount()));
    ui->sectionTabs->setTabText(
        ui->sectionTabs->indexOf(ui->problemsTab), tr("Pro&blems (%1)").arg(info.problems.size()));
}

// The extension block's tabs; all four are off when the block cannot be
// edited, with the reason above them.
void EdidEditorWindow::showExtension(const QByteArray &table, const EdidInfo &info)
{
    const int left = ctaBytesLeft(table);
    QString damage;
    if (left < 0 && !info.extensions.isEmpty()) {
        // Any edit of the block says why it cannot be taken apart.
        const EdidEditResult probe = setCtaFlags(table, false, false, false, false);
        damage = probe.ok() ? tr("it is not a CTA-861 block") : probe.refusal;
    }
    ui->bytesLeftLabel->setText(!damage.isEmpty()
            ? tr("The extension block cannot be edited: %1").arg(damage)
            : left < 0  ? tr("No CTA-861 extension block; an edit of it adds one")
            : left == 1 ? tr("Extension block: 1 byte left")
                        : tr("Extension block: %1 bytes left").arg(left));
    ui->bytesLeftLabel->setStyleSheet(damage.isEmpty() ? QString() : QStringLiteral("color: red"));
    for (QWidget *tab : { ui->videoTab, ui->audioTab, ui->hdmiTab, ui->hdrTab })
        ui->sectionTabs->setTabEnabled(ui->sectionTabs->indexOf(tab), damage.isEmpty());

    const CtaBlock cta
        = !damage.isEmpty() || info.extensions.isEmpty() || !info.extensions.first().cta
        ? CtaBlock()
        : *info.extensions.first().cta;
    const int selectedVic
        = ui->vicList->currentItem() ? ui->vicList->currentItem()->data(Qt::UserRole).toInt() : 0;
    ui->vicList->clear();
    for (const VideoDescriptor &v : cta.vics) {
        auto *item
            = new QListWidgetItem(QStringLiteral("%1 · %2%3")
                                      .arg(v.vic)
                                      .arg(vicName(v.vic), v.native ? tr(" (native)") : QString()),
                ui->vicList);
        item->setData(Qt::UserRole, v.vic);
        item->setData(Qt::UserRole + 1, v.native);
        if (v.vic == selectedVic)
            ui->vicList->setCurrentItem(item);
    }
    showNativeButton();
    ui->ycbcr420List->clear();
    for (int vic : cta.ycbcr420OnlyVics) {
        auto *item = new QListWidgetItem(
            QStringLiteral("%1 · %2").arg(vic).arg(vicName(vic)), ui->ycbcr420List);
        item->setData(Qt::UserRole, vic);
    }
    ui->audioList->clear();
    m_audio = cta.audio;
    for (const AudioDescriptor &sad : cta.audio) {
        auto *item = new QListWidgetItem(
            QStringLiteral("%1: %2").arg(sad.format, audioDescriptorText(sad)), ui->audioList);
        // The format list's entry of this descriptor (Dolby Atmos: joint object coding).
        const bool atmos = (sad.formatCode == 10 || sad.formatCode == 12) && sad.formatValue & 1;
        item->setData(Qt::UserRole,
            sad.formatCode >= 1 && sad.formatCode <= 14 ? sad.formatCode | (atmos ? kAtmos : 0)
                                                        : 0);
    }
    ui->speakersLabel->setText(
        tr("Speakers: %1")
            .arg(cta.speakers.isEmpty() ? tr("not given")
                                        : cta.speakers.join(QStringLiteral(", "))));
    ui->basicAudioCheck->setChecked(cta.basicAudio);
    ui->underscanCheck->setChecked(cta.underscan);
    ui->ycbcr444Check->setChecked(cta.ycbcr444);
    ui->ycbcr422Check->setChecked(cta.ycbcr422);
    ui->physicalAddressEdit->setText(cta.hdmi ? cta.hdmi->physicalAddress : QString());
    ui->maxTmdsSpin->setValue(cta.hdmi
            ? std::max(cta.hdmi->maxTmdsMhz, cta.hdmiForum ? cta.hdmiForum->maxTmdsMhz : 0)
            : 0);
    const QList<int> deep = cta.hdmi ? cta.hdmi->deepColor : QList<int>();
    ui->deep30Check->setChecked(deep.contains(30));
    ui->deep36Check->setChecked(deep.contains(36));
    ui->deep48Check->setChecked(deep.contains(48));
    ui->deepY444Check->setChecked(cta.hdmi && cta.hdmi->deepColorY444);
    ui->scdcCheck->setChecked(cta.hdmiForum && cta.hdmiForum->scdc);
    static const int frlGbps[7] = { 0, 9, 18, 24, 32, 40, 48 };
    ui->frlCombo->setCurrentIndex(cta.hdmiForum
            ? int(std::find(frlGbps, frlGbps + 7, cta.hdmiForum->maxFrlGbps) - frlGbps) % 7
            : 0);
    const QStringList eotfs = cta.hdrStatic ? cta.hdrStatic->eotfs : QStringList();
    for (QCheckBox *box : { ui->sdrCheck, ui->hdrCheck, ui->pqCheck, ui->hlgCheck })
        box->setChecked(eotfs.contains(box->text().section(u' ', 0, 0)));
    const HdrStaticBlock hdr = cta.hdrStatic.value_or(HdrStaticBlock());
    ui->maxLuminanceSpin->setValue(hdr.maxLuminance.value_or(0));
    ui->frameAvgSpin->setValue(hdr.maxFrameAvg.value_or(0));
    ui->minLuminanceSpin->setValue(hdr.minLuminance.value_or(0));
    // The field shows what it can take back; the rest of the block stays as it is.
    QStringList editable;
    QStringList kept;
    for (const QString &name : cta.colorimetry)
        (setColorimetry(table, { name }).ok() ? editable : kept) << name;
    ui->colorimetryEdit->setText(editable.join(QStringLiteral(", ")));
    ui->colorimetryKeptLabel->setText(kept.isEmpty()
            ? QString()
            : tr("Kept as they are: %1").arg(kept.join(QStringLiteral(", "))));
    ui->colorimetryKeptLabel->setVisible(!kept.isEmpty());
}

void EdidEditorWindow::showNativeButton()
{
    const QListWidgetItem *item = ui->vicList->currentItem();
    ui->nativeVicButton->setText(
        item && item->data(Qt::UserRole + 1).toBool() ? tr("Clear &native") : tr("Mark &native"));
}

// Asks for a table file and reads it; false (the reason in the status line)
// when none was chosen or it cannot be read.
bool EdidEditorWindow::askForTable(const QString &title, QString &name, QByteArray &bytes)
{
    name = m_dialogs.openFileName(this, title, QString(), kFileFilter);
    if (name.isEmpty())
        return false;
    QString error;
    if (!readEdidInput(name, bytes, error)) {
        showStatus(error, true);
        return false;
    }
    return true;
}

void EdidEditorWindow::openFile()
{
    if (!mayDiscardEdits())
        return;
    QString name;
    QByteArray bytes;
    if (askForTable(tr("Open EDID table"), name, bytes))
        startFrom(bytes, tr("Started from %1").arg(name));
}

void EdidEditorWindow::audioFromFile()
{
    QString name;
    QByteArray bytes;
    if (!askForTable(tr("Audio from table"), name, bytes))
        return;
    apply(takeAudio(m_table, bytes), tr("audio from %1").arg(name));
}

void EdidEditorWindow::use()
{
    if (m_table.isEmpty() || !m_edidText)
        return;
    m_edidText->setPlainText(formatEdidText(toEdidTable(m_table)));
    m_undo.setClean();
    showStatus(tr("The table is in the EDID text; Write EDID sends it to the box"), false);
}

bool EdidEditorWindow::saveAs()
{
    if (m_table.isEmpty())
        return false;
    const QString name = m_dialogs.saveFileName(this, tr("Save EDID table"),
        QStringLiteral("VORTALEX_edid_edited.bin"), tr("Binary file (*.bin)"));
    if (name.isEmpty())
        return false;
    const QString reason = saveEdidTable(name, toEdidTable(m_table));
    if (!reason.isNull()) {
        showStatus(tr("Cannot write file %1: %2").arg(name, reason), true);
        return false;
    }
    m_undo.setClean();
    showStatus(tr("Saved as %1").arg(name), false);
    return true;
}

void EdidEditorWindow::showStatus(const QString &text, bool problem)
{
    ui->statusLabel->setText(text);
    ui->statusLabel->setStyleSheet(problem ? QStringLiteral("color: red") : QString());
}
