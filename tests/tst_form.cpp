// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's form on its own: widget tree, texts, groups, layout,
// connections and the compiled-in resources. No box is involved.

#include "app/mainwindow.h"
#include "app/resources_init.h"
#include "settings/settingstable.h"
#include "ui_VortalexForm.h"

#include <QtTest>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QResource>
#include <QTabWidget>
#include <QTextEdit>
#include <memory>

namespace formtest {

// Stands in for the real window. uic connects by slot signature, so a class
// with the same slots receives every connection of the form; each slot only
// records its name.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    QStringList calls;

public slots:
    void on_ProgressChange(int, int) { calls << QStringLiteral("on_ProgressChange"); }

private slots:
    void SaveEDIDtoFile() { calls << QStringLiteral("SaveEDIDtoFile"); }
    void LoadEDIDfromFile() { calls << QStringLiteral("LoadEDIDfromFile"); }
    void FileExit() { calls << QStringLiteral("FileExit"); }
    void FileAbout() { calls << QStringLiteral("FileAbout"); }
    void ReadEDID() { calls << QStringLiteral("ReadEDID"); }
    void WriteEDID() { calls << QStringLiteral("WriteEDID"); }
    void WriteCEC() { calls << QStringLiteral("WriteCEC"); }
    void WriteIF() { calls << QStringLiteral("WriteIF"); }
    void CalculateChkSum() { calls << QStringLiteral("CalculateChkSum"); }
    void SetActivePort() { calls << QStringLiteral("SetActivePort"); }
    void SetAutoSwitch() { calls << QStringLiteral("SetAutoSwitch"); }
    void SetAudioSource() { calls << QStringLiteral("SetAudioSource"); }
    void SetHDCP_Version() { calls << QStringLiteral("SetHDCP_Version"); }
    void SetOut_420() { calls << QStringLiteral("SetOut_420"); }
    void SetEDID_Mode() { calls << QStringLiteral("SetEDID_Mode"); }
    void SetEPState() { calls << QStringLiteral("SetEPState"); }
    void SaveCEC_1() { calls << QStringLiteral("SaveCEC_1"); }
    void SaveCEC_2() { calls << QStringLiteral("SaveCEC_2"); }
    void force2c() { calls << QStringLiteral("force2c"); }
    void force51() { calls << QStringLiteral("force51"); }
    void forceHdr() { calls << QStringLiteral("forceHdr"); }
    void forceFullAudio() { calls << QStringLiteral("forceFullAudio"); }
    void setSwPriority() { calls << QStringLiteral("setSwPriority"); }
    void changeCustomEdid() { calls << QStringLiteral("changeCustomEdid"); }
    bool sendAVI()
    {
        calls << QStringLiteral("sendAVI");
        return true;
    }
    void CecLpRepurp() { calls << QStringLiteral("CecLpRepurp"); }
    void hdrForceActivate() { calls << QStringLiteral("hdrForceActivate"); }
    void hdrSamsung() { calls << QStringLiteral("hdrSamsung"); }
    void setLogoLed() { calls << QStringLiteral("setLogoLed"); }
    void setBt2020() { calls << QStringLiteral("setBt2020"); }
    void setBlueLed() { calls << QStringLiteral("setBlueLed"); }
    void factoryReset() { calls << QStringLiteral("factoryReset"); }
    void setYUV() { calls << QStringLiteral("setYUV"); }
    void setCEC() { calls << QStringLiteral("setCEC"); }
    void setCecLa() { calls << QStringLiteral("setCecLa"); }
    void setAVR() { calls << QStringLiteral("setAVR"); }
    void readTvEdidA() { calls << QStringLiteral("readTvEdidA"); }
    void readTvEdidB() { calls << QStringLiteral("readTvEdidB"); }
    void set3D() { calls << QStringLiteral("set3D"); }
    void setEdidAlgo() { calls << QStringLiteral("setEdidAlgo"); }
    void setAviPers() { calls << QStringLiteral("setAviPers"); }
};

} // namespace formtest

namespace {

// One object of the form as the user sees it after setupUi. pointSize and
// bold are the effective font (inherited where the form sets none);
// 0 / -1 mean "not checked".
struct ObjectSpec
{
    const char *name;
    const char *className;
    const char *parent;
    int pointSize;
    int bold;
    const char *family;
    const char *text;
    int checked; // -1: not checkable
    int alignment; // 0: not checked
    const char *frame; // "shape/shadow", or empty
};

constexpr int kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr int kLeftTop = Qt::AlignLeft | Qt::AlignTop;
const char *const kTitleImage
    = "<html><head/><body><p><img src=\":/Vortalex_32.png\"/></p></body></html>";
const char *const kCecExamples
    = "<html><head/><body><p>Examples:</p><p>0f:36 - turn off [broadcast]</p><p>50:04 - "
      "turn on [TV]</p><p>54:44:01 - menu up [playback device 1]</p><p>58:44:02 - menu "
      "down [playback device 2]</p><p>5b:44:40 - toggle power [playback device "
      "3]</p><p><br/></p></body></html>";

const ObjectSpec kObjects[] = {
    { "actionExit", "QAction", "MainWindow", 7, 0, "", "Exit", -1, 0, "" },
    { "actionAbout", "QAction", "MainWindow", 7, 0, "", "About", -1, 0, "" },
    { "centralwidget", "QWidget", "MainWindow", 8, 0, "", "", -1, 0, "" },
    { "menubar", "QMenuBar", "MainWindow", 6, 0, "", "", -1, 0, "" },
    { "menuFile", "QMenu", "menubar", 0, -1, "", "File", -1, 0, "" },
    { "menuHelp", "QMenu", "menubar", 0, -1, "", "Help", -1, 0, "" },
    { "statusbar", "QStatusBar", "MainWindow", 6, 0, "", "", -1, 0, "" },
    // Top panel.
    { "layoutWidget2", "QWidget", "centralwidget", 8, 0, "", "", -1, 0, "" },
    { "labelTitle_2", "QLabel", "layoutWidget2", 12, 1, "", kTitleImage, -1, 0, "" },
    { "labelTitle", "QLabel", "layoutWidget2", 10, 1, "", "VORTALEX GUI", -1, 0, "" },
    { "labelFw1", "QLabel", "centralwidget", 6, 0, "", "ver: ", -1, 0, "" },
    { "frame_2", "QFrame", "centralwidget", 8, 0, "", "", -1, 0, "Box/Raised" },
    { "lblVideoSource", "QLabel", "centralwidget", 5, 0, "", "Video Source:", -1, 0, "" },
    { "label_video_format", "QLabel", "centralwidget", 5, 0, "", "Video Format", -1, 0, "" },
    { "lblCsc", "QLabel", "frame_2", 5, 0, "", "Color Space", -1, 0, "" },
    { "lblHdrInput", "QLabel", "frame_2", 5, 0, "", "HDR Input:", -1, 0, "" },
    { "label_3", "QLabel", "centralwidget", 6, 0, "", "ACTIVE INPUT:", -1, kRight, "" },
    { "cmbInputSel", "QComboBox", "centralwidget", 6, 0, "", "", -1, 0, "" },
    { "label_10", "QLabel", "centralwidget", 6, 0, "", "AUTO SWITCH:", -1, kRight, "" },
    { "autoSwEn", "QRadioButton", "centralwidget", 6, 0, "", "ENABLE", 1, 0, "" },
    { "autoSwDis", "QRadioButton", "centralwidget", 6, 0, "", "DISABLE", 0, 0, "" },
    { "label_12", "QLabel", "centralwidget", 6, 0, "", " PRIORITY:", -1, kRight, "" },
    { "bPrioNorm", "QRadioButton", "centralwidget", 6, 0, "", "NORMAL", 1, 0, "" },
    { "pPrioForce", "QRadioButton", "centralwidget", 6, 0, "", "FORCED", 0, 0, "" },
    { "label_5", "QLabel", "centralwidget", 6, 0, "", "AUDIO SOURCE:", -1, kRight, "" },
    { "audioHdmi", "QRadioButton", "centralwidget", 6, 0, "", "HDMI", 1, 0, "" },
    { "audioJack", "QRadioButton", "centralwidget", 6, 0, "", "JACK", 0, 0, "" },
    { "label_6", "QLabel", "centralwidget", 6, 0, "", "HDCP VERSION:", -1, kRight, "" },
    { "hdcp14", "QRadioButton", "centralwidget", 6, 0, "", "1.4", 1, 0, "" },
    { "hdcp22", "QRadioButton", "centralwidget", 6, 0, "", "2.2", 0, 0, "" },
    { "tabWidget", "QTabWidget", "centralwidget", 6, 0, "", "", -1, 0, "" },
    // Page "EDID".
    { "automixEDID", "QRadioButton", "tab", 5, 0, "", "AUTOMIX: Auto create the EDID table", 1, 0,
        "" },
    { "cb2cForce", "QCheckBox", "tab", 6, 0, "", "2.0", 0, 0, "" },
    { "cb51", "QCheckBox", "tab", 6, 0, "", "5.1", 0, 0, "" },
    { "cbFull", "QCheckBox", "tab", 6, 0, "", "FULL Audio", 0, 0, "" },
    { "cbYUV", "QCheckBox", "tab", 6, 0, "", "YCbCr", 1, 0, "" },
    { "cbBt2020", "QCheckBox", "tab", 6, 0, "", "BT.2020", 0, 0, "" },
    { "cbHdr", "QCheckBox", "tab", 6, 0, "", "HDR", 1, 0, "" },
    { "cb3D", "QCheckBox", "tab", 6, 0, "", "No 3D", 0, 0, "" },
    { "fixedEDID", "QRadioButton", "tab", 5, 0, "", "FIXED EDID: Use the fixed default EDID table",
        0, 0, "" },
    { "customEDID", "QRadioButton", "tab", 5, 0, "", "CUSTOM:", 0, 0, "" },
    { "cmBEdid", "QComboBox", "tab", 5, 0, "", "", -1, 0, "" },
    { "EDIDtext", "QTextEdit", "tab", 6, 0, "Courier New", "", -1, 0, "" },
    { "layoutWidget", "QWidget", "tab", 6, 0, "", "", -1, 0, "" },
    { "ButReadEDID", "QPushButton", "layoutWidget", 5, 0, "", "Read EDID", -1, 0, "" },
    { "pbReadTvEdidA", "QPushButton", "layoutWidget", 5, 0, "", "Read TOP", -1, 0, "" },
    { "pbReadTvEdidB", "QPushButton", "layoutWidget", 5, 0, "", "Read BOT", -1, 0, "" },
    { "ButLoadEDID", "QPushButton", "layoutWidget", 5, 0, "", "Load", -1, 0, "" },
    { "ButSaveEDID", "QPushButton", "layoutWidget", 5, 0, "", "Save", -1, 0, "" },
    { "ButWriteEDID", "QPushButton", "layoutWidget", 5, 0, "", "Write EDID", -1, 0, "" },
    // Page "CEC".
    { "cbCec", "QCheckBox", "tab_3", 7, 0, "", "CEC ENABLE", 1, 0, "" },
    { "label_26", "QLabel", "tab_3", 6, 0, "", "Activate Vortalex CEC processing", -1, 0, "" },
    { "label_28", "QLabel", "tab_3", 7, 0, "", "VORTALEX CEC DEVICE TYPE:", -1, 0, "" },
    { "cmbLa", "QComboBox", "tab_3", 6, 0, "", "", -1, 0, "" },
    { "label_4", "QLabel", "tab_3", 7, 0, "", "CEC COMMAND:", -1, 0, "" },
    { "CECtext", "QTextEdit", "tab_3", 7, 1, "Times New Roman", "", -1, 0, "Box/Plain" },
    { "label_2", "QLabel", "tab_3", 6, 0, "", kCecExamples, -1, kLeftTop, "" },
    { "ButWriteCEC", "QPushButton", "tab_3", 5, 0, "", "Send CEC", -1, 0, "" },
    { "ButSaveCEC_1", "QPushButton", "tab_3", 5, 0, "", "Save CEC SP", -1, 0, "" },
    { "ButSaveCEC_2", "QPushButton", "tab_3", 5, 0, "", "Save CEC LP", -1, 0, "" },
    // Page "HDR / IF".
    { "cbHdrForceMode", "QCheckBox", "tab_2", 6, 0, "", "FORCE HDR ACTIVE", 0, 0, "" },
    { "bFullHdr", "QRadioButton", "tab_2", 6, 0, "", "Full HDR mode", 1, 0, "" },
    { "label_36", "QLabel", "tab_2", 5, 0, "", "Send the HDR IF below", -1, 0, "" },
    { "bSamHdr", "QRadioButton", "tab_2", 6, 0, "", "Samsung mode", 0, 0, "" },
    { "cbAviPersistent", "QCheckBox", "tab_2", 6, 0, "", "REPLACE AVI", 0, 0, "" },
    { "label_40", "QLabel", "tab_2", 5, 0, "",
        "Replace AVI - send the AVI IF below [for advanced users]", -1, 0, "" },
    { "label_8", "QLabel", "tab_2", 7, 0, "", "CUSTOM HDR IF:", -1, 0, "" },
    { "IFtext", "QTextEdit", "tab_2", 6, 1, "Times New Roman", "", -1, 0, "Box/Plain" },
    { "label_39", "QLabel", "tab_2", 5, 0, "", "The above infoframe is injected", -1, 0, "" },
    { "label_20", "QLabel", "tab_2", 5, 0, "",
        "<html><head/><body><p>Example:87:01:17:5c:02:00:d0:84:..</p></body></html>", -1, 0, "" },
    { "label_16", "QLabel", "tab_2", 5, 0, "", "Header and CRC, length 2-31 bytes", -1, 0, "" },
    { "label_32", "QLabel", "tab_2", 5, 0, "", "HDR IF is persistent", -1, 0, "" },
    { "ButWriteIF", "QPushButton", "tab_2", 5, 0, "", "Send IF", -1, 0, "" },
    { "label_9", "QLabel", "tab_2", 7, 0, "", "CUSTOM AVI IF:", -1, 0, "" },
    { "AVItext", "QTextEdit", "tab_2", 6, 1, "Times New Roman", "", -1, 0, "Box/Plain" },
    { "label", "QLabel", "tab_2", 5, 0, "", "Example to inject BT2020 Color Space:", -1, 0, "" },
    { "label_13", "QLabel", "tab_2", 5, 0, "", "60:c8:60:61:00", -1, 0, "" },
    { "label_14", "QLabel", "tab_2", 5, 0, "", "no header, no CRC, start with data byte 1", -1, 0,
        "" },
    { "label_19", "QLabel", "tab_2", 5, 0, "", "length 2-13", -1, 0, "" },
    { "ButWriteAVI", "QPushButton", "tab_2", 5, 0, "", "Send AVI", -1, 0, "" },
    { "line_5", "QFrame", "tab_2", 0, -1, "", "", -1, 0, "HLine/Sunken" },
    { "label_41", "QLabel", "tab_2", 7, 0, "", "HDR INFOFRAME CAPTURE:", -1, 0, "" },
    { "txtHdrIf", "QTextEdit", "tab_2", 6, 1, "Times New Roman", "", -1, 0, "Box/Plain" },
    { "label_22", "QLabel", "tab_2", 5, 0, "",
        "If the source is sending HDR Infoframe, it appears here", -1, 0, "" },
    // Page "CONFIG".
    { "label_27", "QLabel", "tab_4", 7, 0, "", "LED CONTROL:", -1, kRight, "" },
    { "label_23", "QLabel", "tab_4", 6, 0, "", "GREEN LED:", -1, kRight, "" },
    { "enableLed", "QRadioButton", "tab_4", 6, 0, "", "ENABLE", 0, 0, "" },
    { "disableLed", "QRadioButton", "tab_4", 6, 0, "", "DISABLE", 0, 0, "" },
    { "label_25", "QLabel", "tab_4", 6, 0, "", "BLUE LEDS:", -1, kRight, "" },
    { "enableBLed", "QRadioButton", "tab_4", 6, 0, "", "ENABLE", 0, 0, "" },
    { "disableBLed", "QRadioButton", "tab_4", 6, 0, "", "DISABLE", 0, 0, "" },
    { "label_21", "QLabel", "tab_4", 7, 0, "", "HDR HOTKEY:", -1, kRight, "" },
    { "bHdrRepurpEn", "QRadioButton", "tab_4", 6, 0, "", "ENABLE", 0, 0, "" },
    { "bHdrRepurpDis", "QRadioButton", "tab_4", 6, 0, "", "DISABLE", 0, 0, "" },
    { "label_15", "QLabel", "tab_4", 5, 0, "", "Repurpose CEC SP/LP buttons as HDR enable/disable",
        -1, 0, "" },
    { "label_7", "QLabel", "tab_4", 7, 0, "", "4:2:0 OUTPUT:", -1, kRight, "" },
    { "enable420", "QRadioButton", "tab_4", 6, 0, "", "ENABLE", 0, 0, "" },
    { "disable420", "QRadioButton", "tab_4", 6, 0, "", "DISABLE", 0, 0, "" },
    { "label_29", "QLabel", "tab_4", 5, 0, "", "600MHz automatic 4:4:4/RGB to 4:2:0 conversion", -1,
        0, "" },
    { "label_31", "QLabel", "tab_4", 5, 0, "", "TOP output 4:2:0, BOT output bypass", -1, 0, "" },
    { "label_37", "QLabel", "tab_4", 7, 0, "", "AUTOMIX ALGO:", -1, kRight, "" },
    { "cmbEdidAlgo", "QComboBox", "tab_4", 6, 0, "", "", -1, 0, "" },
    { "label_38", "QLabel", "tab_4", 5, 0, "",
        "Selects the EDID automix algorithm based on priorities", -1, 0, "" },
    { "line_2", "QFrame", "tab_4", 0, -1, "", "", -1, 0, "HLine/Sunken" },
    { "label_33", "QLabel", "tab_4", 6, 0, "", "BETA test mode:", -1, 0, "" },
    { "label_11", "QLabel", "tab_4", 7, 0, "", "AVR Audio: ", -1, kRight, "" },
    { "enableAVR", "QRadioButton", "tab_4", 6, 0, "", "ENABLE", 0, 0, "" },
    { "disableAVR", "QRadioButton", "tab_4", 6, 0, "", "DISABLE", 0, 0, "" },
    { "label_30", "QLabel", "tab_4", 5, 0, "", "Special AVR audio compatibility test mode", -1, 0,
        "" },
    { "label_34", "QLabel", "tab_4", 5, 0, "", "TOP output audio / BOT output video", -1, 0, "" },
    { "line", "QFrame", "tab_4", 0, -1, "", "", -1, 0, "HLine/Sunken" },
    { "label_24", "QLabel", "tab_4", 7, 0, "", "RESET TO FACTORY DEFAULTS:", -1, 0, "" },
    { "cbClearSettings", "QCheckBox", "tab_4", 5, 0, "", "CLEAR ALL SETTINGS TO FACTORY DEFAULTS",
        0, 0, "" },
    { "cbClearEdid", "QCheckBox", "tab_4", 5, 0, "", "EDID FACTORY SETTINGS", 0, 0, "" },
    { "layoutWidget1", "QWidget", "tab_4", 6, 0, "", "", -1, 0, "" },
    { "label_17", "QLabel", "layoutWidget1", 5, 0, "", "Type RESET:", -1, 0, "" },
    { "leReset", "QLineEdit", "layoutWidget1", 6, 0, "", "", -1, 0, "" },
    { "pbReset", "QPushButton", "layoutWidget1", 5, 0, "", "OK", -1, 0, "" },
};

// The only tool tips and accessible names of the form.
const QHash<QString, QString> kToolTips = {
    { "enable420", "Enabled for 600MHz inputs only" },
    { "enableAVR", "Enabled for 600MHz inputs only" },
};
const QHash<QString, QString> kAccessibleNames = {
    { "EDIDtext", "EDID table" },
    { "CECtext", "CEC command" },
    { "IFtext", "Custom HDR InfoFrame" },
    { "AVItext", "Custom AVI InfoFrame" },
    { "txtHdrIf", "Captured HDR InfoFrame" },
    { "cmbInputSel", "Active input" },
    { "cmBEdid", "Custom EDID preset" },
    { "cmbLa", "CEC device type" },
    { "cmbEdidAlgo", "Automix algorithm" },
    { "leReset", "Reset confirmation" },
};

// The form's connections: sender, signal, slot.
struct Connection
{
    const char *sender;
    const char *signal;
    const char *slot;
};

const Connection kConnections[] = {
    { "actionExit", "triggered()", "FileExit" },
    { "actionAbout", "triggered()", "FileAbout" },
    { "autoSwEn", "clicked()", "SetAutoSwitch" },
    { "audioHdmi", "clicked()", "SetAudioSource" },
    { "hdcp14", "clicked()", "SetHDCP_Version" },
    { "autoSwDis", "clicked()", "SetAutoSwitch" },
    { "audioJack", "clicked()", "SetAudioSource" },
    { "hdcp22", "clicked()", "SetHDCP_Version" },
    { "bPrioNorm", "clicked()", "setSwPriority" },
    { "pPrioForce", "clicked()", "setSwPriority" },
    { "ButReadEDID", "released()", "ReadEDID" },
    { "ButWriteEDID", "pressed()", "WriteEDID" },
    { "ButLoadEDID", "released()", "LoadEDIDfromFile" },
    { "ButSaveEDID", "released()", "SaveEDIDtoFile" },
    { "pbReadTvEdidA", "released()", "CalculateChkSum" },
    { "ButWriteCEC", "released()", "WriteCEC" },
    { "enable420", "clicked()", "SetOut_420" },
    { "disable420", "clicked()", "SetOut_420" },
    { "automixEDID", "clicked()", "SetEDID_Mode" },
    { "fixedEDID", "clicked()", "SetEDID_Mode" },
    { "customEDID", "clicked()", "SetEDID_Mode" },
    { "ButSaveCEC_1", "released()", "SaveCEC_1" },
    { "ButSaveCEC_2", "released()", "SaveCEC_2" },
    { "ButWriteIF", "released()", "WriteIF" },
    { "cb2cForce", "stateChanged(int)", "force2c" },
    { "cb51", "stateChanged(int)", "force51" },
    { "cbHdr", "stateChanged(int)", "forceHdr" },
    { "cbFull", "stateChanged(int)", "forceFullAudio" },
    { "cmBEdid", "currentIndexChanged(int)", "changeCustomEdid" },
    { "ButWriteAVI", "released()", "sendAVI" },
    { "enableLed", "clicked()", "setLogoLed" },
    { "disableLed", "clicked()", "setLogoLed" },
    { "cbBt2020", "stateChanged(int)", "setBt2020" },
    { "pbReset", "clicked()", "factoryReset" },
    { "enableBLed", "clicked()", "setBlueLed" },
    { "disableBLed", "clicked()", "setBlueLed" },
    { "cbYUV", "stateChanged(int)", "setYUV" },
    { "cbCec", "stateChanged(int)", "setCEC" },
    { "cmbLa", "currentIndexChanged(int)", "setCecLa" },
    { "enableAVR", "clicked()", "setAVR" },
    { "disableAVR", "clicked()", "setAVR" },
    { "pbReadTvEdidA", "pressed()", "readTvEdidA" },
    { "pbReadTvEdidB", "pressed()", "readTvEdidB" },
    { "cb3D", "stateChanged(int)", "set3D" },
    { "cmbEdidAlgo", "currentIndexChanged(int)", "setEdidAlgo" },
    { "bHdrRepurpEn", "clicked()", "CecLpRepurp" },
    { "bHdrRepurpDis", "clicked()", "CecLpRepurp" },
    { "cmbInputSel", "currentIndexChanged(int)", "SetActivePort" },
    { "cbAviPersistent", "clicked()", "setAviPers" },
    { "cbHdrForceMode", "stateChanged(int)", "hdrForceActivate" },
    { "bSamHdr", "clicked()", "hdrSamsung" },
    { "bFullHdr", "clicked()", "hdrSamsung" },
};

// Signals a user or the program can fire on each kind of sender; all that
// the table does not list must run nothing.
QStringList signalsOf(const QObject *sender)
{
    if (qobject_cast<const QAction *>(sender))
        return { "triggered()", "hovered()", "toggled(bool)" };
    if (qobject_cast<const QComboBox *>(sender))
        return { "currentIndexChanged(int)", "activated(int)", "highlighted(int)",
            "currentTextChanged(QString)" };
    QStringList buttonSignals { "clicked()", "pressed()", "released()", "toggled(bool)" };
    if (qobject_cast<const QCheckBox *>(sender))
        buttonSignals << "stateChanged(int)";
    return buttonSignals;
}

// Emits `signature` on `sender` as if the widget had fired it.
bool emitSignal(QObject *sender, const QByteArray &signature)
{
    const QMetaObject *meta = sender->metaObject();
    const int index = meta->indexOfSignal(QMetaObject::normalizedSignature(signature));
    if (index < 0)
        return false;
    const QMetaMethod method = meta->method(index);
    if (method.parameterCount() == 0)
        return method.invoke(sender, Qt::DirectConnection);
    switch (method.parameterType(0)) {
    case QMetaType::Int:
        return method.invoke(sender, Qt::DirectConnection, Q_ARG(int, 0));
    case QMetaType::Bool:
        return method.invoke(sender, Qt::DirectConnection, Q_ARG(bool, true));
    case QMetaType::QString:
        return method.invoke(sender, Qt::DirectConnection, Q_ARG(QString, QString()));
    default:
        return false;
    }
}

QString frameDescription(const QFrame *frame)
{
    const QMetaEnum shape = QMetaEnum::fromType<QFrame::Shape>();
    const QMetaEnum shadow = QMetaEnum::fromType<QFrame::Shadow>();
    return QString::fromLatin1(shape.valueToKey(frame->frameShape())) + QLatin1Char('/')
        + QString::fromLatin1(shadow.valueToKey(frame->frameShadow()));
}

} // namespace

class tst_Form : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void objects_data();
    void objects();
    void window();
    void buttonGroups_data();
    void buttonGroups();
    void settingRowsNameFormControls_data();
    void settingRowsNameFormControls();
    void layoutFits_data();
    void layoutFits();
    void standInMatchesWindow();
    void connections_data();
    void connections();
    void mouseOnEdidButtons();
    void resources_data();
    void resources();

private:
    template<typename T = QObject> T *object(const QString &name) const
    {
        const QList<T *> found = m_window->findChildren<T *>(name);
        return found.size() == 1 ? found.first() : nullptr;
    }

    std::unique_ptr<formtest::MainWindow> m_window;
    Ui_MainWindow m_ui {};
};

void tst_Form::initTestCase()
{
    vortalexInitResources();
}

void tst_Form::init()
{
    // A signature that does not match a slot would only warn at setupUi time.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("QObject::connect")));
    m_window = std::make_unique<formtest::MainWindow>();
    m_ui.setupUi(m_window.get());
}

void tst_Form::cleanup()
{
    m_window.reset();
}

void tst_Form::objects_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("className");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<int>("bold");
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("checked");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QString>("frame");

    for (const ObjectSpec &o : kObjects) {
        QTest::newRow(o.name) << QString::fromLatin1(o.name) << QByteArray(o.className)
                              << QString::fromLatin1(o.parent) << o.pointSize << o.bold
                              << QString::fromLatin1(o.family) << QString::fromUtf8(o.text)
                              << o.checked << o.alignment << QString::fromLatin1(o.frame);
    }
}

void tst_Form::objects()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, className);
    QFETCH(QString, parent);
    QFETCH(int, pointSize);
    QFETCH(int, bold);
    QFETCH(QString, family);
    QFETCH(QString, text);
    QFETCH(int, checked);
    QFETCH(int, alignment);
    QFETCH(QString, frame);

    QObject *obj = object(name);
    QVERIFY2(obj, "missing, or not unique");
    QCOMPARE(QByteArray(obj->metaObject()->className()), className);
    QVERIFY(obj->parent());
    QCOMPARE(obj->parent()->objectName(), parent);

    QFont font;
    if (auto *action = qobject_cast<QAction *>(obj)) {
        font = action->font();
        QCOMPARE(action->text(), text);
        QCOMPARE(action->toolTip(), action->text()); // Qt's default: no tool tip of its own
    } else {
        auto *widget = qobject_cast<QWidget *>(obj);
        QVERIFY(widget);
        font = widget->font();
        QVERIFY(widget->isEnabled());
        QCOMPARE(widget->toolTip(), kToolTips.value(name));
        QCOMPARE(widget->accessibleName(), kAccessibleNames.value(name));
        if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
            QCOMPARE(button->text(), text);
            QCOMPARE(button->isCheckable(), checked >= 0);
            if (checked >= 0)
                QCOMPARE(button->isChecked(), checked == 1);
        } else if (auto *label = qobject_cast<QLabel *>(widget)) {
            QCOMPARE(label->text(), text);
            if (alignment)
                QCOMPARE(int(label->alignment()), alignment);
        } else if (auto *menu = qobject_cast<QMenu *>(widget)) {
            QCOMPARE(menu->title(), text);
        } else if (auto *edit = qobject_cast<QTextEdit *>(widget)) {
            QVERIFY(edit->document()->isEmpty());
            QVERIFY(!edit->isReadOnly());
        } else if (auto *line = qobject_cast<QLineEdit *>(widget)) {
            QVERIFY(line->text().isEmpty());
            QVERIFY(!line->isReadOnly());
        } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
            QCOMPARE(combo->count(), 0);
        }
        if (!frame.isEmpty())
            QCOMPARE(frameDescription(qobject_cast<QFrame *>(widget)), frame);
    }
    if (pointSize > 0)
        QCOMPARE(font.pointSize(), pointSize);
    if (bold >= 0)
        QCOMPARE(font.bold(), bold == 1);
    if (!family.isEmpty())
        QCOMPARE(font.family(), family);
}

void tst_Form::window()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("VORTALEX UTILITY"));
    QCOMPARE(m_window->size(), QSize(400, 800));
    QCOMPARE(m_window->maximumSize(), QSize(1000, 1000));
    QCOMPARE(m_window->font().pointSize(), 8);
    QVERIFY(m_window->windowIcon().availableSizes().contains(QSize(32, 32)));
    QCOMPARE(m_window->centralWidget(), m_ui.centralwidget);
    QCOMPARE(m_window->menuBar(), m_ui.menubar);
    QCOMPARE(m_window->statusBar(), m_ui.statusbar);

    // The first two status lines are stacked above the status frame.
    const QObjectList stack = m_ui.centralwidget->children();
    QVERIFY(stack.indexOf(m_ui.lblVideoSource) > stack.indexOf(m_ui.frame_2));
    QVERIFY(stack.indexOf(m_ui.label_video_format) > stack.indexOf(m_ui.frame_2));

    // Menus: File then Help, each with its one action.
    QCOMPARE(m_ui.menubar->actions(),
        (QList<QAction *> { m_ui.menuFile->menuAction(), m_ui.menuHelp->menuAction() }));
    QCOMPARE(m_ui.menuFile->actions(), QList<QAction *> { m_ui.actionExit });
    QCOMPARE(m_ui.menuHelp->actions(), QList<QAction *> { m_ui.actionAbout });

    // Four pages in this order, the first one shown.
    const QList<QWidget *> pages { m_ui.tab, m_ui.tab_3, m_ui.tab_2, m_ui.tab_4 };
    const QStringList titles { "EDID", "CEC", "HDR / IF", "CONFIG" };
    QCOMPARE(m_ui.tabWidget->count(), pages.size());
    for (int i = 0; i < pages.size(); ++i) {
        QCOMPARE(m_ui.tabWidget->widget(i), pages.at(i));
        QCOMPARE(m_ui.tabWidget->tabText(i), titles.at(i));
    }
    QCOMPARE(m_ui.tabWidget->currentIndex(), 0);

    // Input limits: the 51st character and the 11th / 16th item are refused.
    m_ui.leReset->setText(QString(60, QLatin1Char('R')));
    QCOMPARE(m_ui.leReset->text().size(), 50);
    QCOMPARE(m_ui.leReset->maxLength(), 50);
    for (int i = 0; i < 20; ++i) {
        m_ui.cmBEdid->addItem(QString::number(i));
        m_ui.cmbLa->addItem(QString::number(i));
    }
    QCOMPARE(m_ui.cmBEdid->count(), 10);
    QCOMPARE(m_ui.cmbLa->count(), 15);

    // Keyboard focus order: each listed widget is the next of the list to
    // follow its predecessor in the focus chain.
    const QStringList focusOrder = QStringLiteral(
        "autoSwEn audioHdmi audioJack hdcp22 tabWidget autoSwDis bPrioNorm pPrioForce hdcp14 "
        "cmBEdid EDIDtext cb2cForce cbFull cb51 automixEDID fixedEDID customEDID cbHdr "
        "cbBt2020 cbYUV ButReadEDID pbReadTvEdidA pbReadTvEdidB ButLoadEDID ButSaveEDID "
        "ButWriteEDID cb3D CECtext ButSaveCEC_1 ButSaveCEC_2 ButWriteCEC cbCec cmbLa IFtext "
        "ButWriteIF AVItext ButWriteAVI cbHdrForceMode bSamHdr bFullHdr cbClearSettings "
        "enableLed disableLed enableBLed disableBLed leReset pbReset enable420 disable420 "
        "disableAVR enableAVR")
                                       .split(QLatin1Char(' '));
    QList<QWidget *> listed;
    for (const QString &name : focusOrder) {
        auto *widget = object<QWidget>(name);
        QVERIFY2(widget, qPrintable(name));
        listed << widget;
    }
    for (int i = 0; i + 1 < listed.size(); ++i) {
        QWidget *next = listed.at(i)->nextInFocusChain();
        while (next != listed.at(i) && !listed.contains(next))
            next = next->nextInFocusChain();
        QVERIFY2(next == listed.at(i + 1), qPrintable(focusOrder.at(i)));
    }
}

void tst_Form::settingRowsNameFormControls_data()
{
    QTest::addColumn<QString>("setting");
    for (const vortalex::Setting &s : vortalex::settingTable())
        QTest::newRow(s.name) << QString::fromLatin1(s.name);
}

// The settings table names the controls as plain data: each must be the
// form's, of the kind the row says; a radio group's buttons, with the row's
// texts, must make up one exclusive group of the form.
void tst_Form::settingRowsNameFormControls()
{
    QFETCH(QString, setting);
    const vortalex::Setting &s = *vortalex::findSetting(setting);

    if (s.kind == vortalex::SettingKind::Combo) {
        QVERIFY(object<QComboBox>(s.controlName));
        return;
    }
    if (s.kind == vortalex::SettingKind::Check) {
        QVERIFY(object<QCheckBox>(s.controlName));
        return;
    }
    QVERIFY(!s.controlName);
    QButtonGroup *group = nullptr;
    QList<QAbstractButton *> buttons;
    for (const vortalex::SettingValue &v : s.values) {
        if (!v.controlName)
            continue;
        auto *radio = object<QRadioButton>(v.controlName);
        QVERIFY2(radio, v.controlName);
        QCOMPARE(radio->text(), QString::fromLatin1(v.windowText));
        group = group ? group : radio->group();
        QCOMPARE(radio->group(), group);
        buttons << radio;
    }
    QVERIFY(group && group->exclusive());
    QCOMPARE(group->buttons().size(), buttons.size());
}

void tst_Form::buttonGroups_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QStringList>("buttons");

    QTest::newRow("auto switch") << "buttonGroup_2" << QStringList { "autoSwEn", "autoSwDis" };
    QTest::newRow("audio") << "buttonGroup_3" << QStringList { "audioHdmi", "audioJack" };
    QTest::newRow("hdcp") << "buttonGroup_4" << QStringList { "hdcp22", "hdcp14" };
    QTest::newRow("priority") << "buttonGroup_5" << QStringList { "bPrioNorm", "pPrioForce" };
    QTest::newRow("edid mode") << "buttonGroup_6"
                               << QStringList { "automixEDID", "fixedEDID", "customEDID" };
    QTest::newRow("hdr mode") << "buttonGroup_7" << QStringList { "bFullHdr", "bSamHdr" };
    QTest::newRow("4:2:0") << "buttonGroup_8" << QStringList { "enable420", "disable420" };
    QTest::newRow("blue led") << "buttonGroup_9" << QStringList { "enableBLed", "disableBLed" };
    QTest::newRow("green led") << "buttonGroup_10" << QStringList { "enableLed", "disableLed" };
    QTest::newRow("avr") << "buttonGroup_12" << QStringList { "disableAVR", "enableAVR" };
    QTest::newRow("hdr hotkey") << "buttonGroup_13"
                                << QStringList { "bHdrRepurpDis", "bHdrRepurpEn" };
}

void tst_Form::buttonGroups()
{
    QFETCH(QString, group);
    QFETCH(QStringList, buttons);

    auto *buttonGroup = object<QButtonGroup>(group);
    QVERIFY(buttonGroup);
    QCOMPARE(buttonGroup->parent(), m_window.get());
    QVERIFY(buttonGroup->exclusive());
    QStringList members;
    for (QAbstractButton *button : buttonGroup->buttons())
        members << button->objectName();
    QCOMPARE(members, buttons);

    // Every radio button of the form is in exactly one group; check boxes in none.
    const QList<QRadioButton *> radios = m_window->findChildren<QRadioButton *>();
    QCOMPARE(radios.size(), 23);
    for (QRadioButton *radio : radios) {
        int groups = 0;
        for (QButtonGroup *g : m_window->findChildren<QButtonGroup *>())
            groups += g->buttons().contains(radio) ? 1 : 0;
        QVERIFY2(groups == 1, qPrintable(radio->objectName()));
    }
    for (QCheckBox *box : m_window->findChildren<QCheckBox *>())
        QVERIFY2(!box->group(), qPrintable(box->objectName()));

    // Choosing the last button of this group clears the others of the group
    // and leaves every other radio button as it was.
    QHash<QRadioButton *, bool> before;
    for (QRadioButton *radio : radios)
        before.insert(radio, radio->isChecked());
    auto *chosen = qobject_cast<QRadioButton *>(buttonGroup->buttons().last());
    chosen->click();
    for (QRadioButton *radio : radios) {
        const bool expected = radio == chosen
            ? true
            : (buttonGroup->buttons().contains(radio) ? false : before.value(radio));
        QVERIFY2(radio->isChecked() == expected, qPrintable(radio->objectName()));
    }
}

void tst_Form::layoutFits_data()
{
    QTest::addColumn<int>("page");
    QTest::newRow("EDID") << 0;
    QTest::newRow("CEC") << 1;
    QTest::newRow("HDR / IF") << 2;
    QTest::newRow("CONFIG") << 3;
}

// Every visible widget of the form lies inside its parent, overlaps none of
// its visible siblings and is at least as large as its contents need.
void tst_Form::layoutFits()
{
    QFETCH(int, page);

    m_ui.tabWidget->setCurrentIndex(page);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCOMPARE(m_window->size(), QSize(400, 800));

    QList<QWidget *> formWidgets;
    for (const ObjectSpec &o : kObjects) {
        auto *widget = object<QWidget>(QString::fromLatin1(o.name));
        if (widget && !widget->isWindow() && widget->isVisible())
            formWidgets << widget;
    }
    // The first two status lines are drawn over the status frame on purpose.
    const QSet<QString> overFrame { "lblVideoSource", "label_video_format" };

    for (QWidget *widget : formWidgets) {
        const QString name = widget->objectName();
        const QRect geometry = widget->geometry();
        QVERIFY2(!geometry.isEmpty(), qPrintable(name));
        QVERIFY2(widget->parentWidget()->rect().contains(geometry),
            qPrintable(QStringLiteral("%1 %2,%3 %4x%5 outside its parent")
                           .arg(name)
                           .arg(geometry.x())
                           .arg(geometry.y())
                           .arg(geometry.width())
                           .arg(geometry.height())));
        if (qobject_cast<QLabel *>(widget) || qobject_cast<QAbstractButton *>(widget)) {
            const QSize needed = widget->minimumSizeHint();
            QVERIFY2(geometry.width() >= needed.width() && geometry.height() >= needed.height(),
                qPrintable(QStringLiteral("%1 is %2x%3, needs %4x%5")
                               .arg(name)
                               .arg(geometry.width())
                               .arg(geometry.height())
                               .arg(needed.width())
                               .arg(needed.height())));
        }
        for (QWidget *other : formWidgets) {
            if (other == widget || other->parentWidget() != widget->parentWidget())
                continue;
            if (other == m_ui.frame_2 && overFrame.contains(name)) {
                QVERIFY2(other->geometry().contains(geometry), qPrintable(name));
                continue;
            }
            if (widget == m_ui.frame_2 && overFrame.contains(other->objectName()))
                continue;
            QVERIFY2(!geometry.intersects(other->geometry()),
                qPrintable(name + QStringLiteral(" overlaps ") + other->objectName()));
        }
    }
    // The status lines over the frame do not cover the two lines inside it.
    for (const QString &name : overFrame) {
        QRect onFrame = object<QWidget>(name)->geometry();
        onFrame.translate(-m_ui.frame_2->pos());
        QVERIFY(!onFrame.intersects(m_ui.lblCsc->geometry()));
        QVERIFY(!onFrame.intersects(m_ui.lblHdrInput->geometry()));
    }
}

// The form is tested on a stand-in; it must offer exactly the real window's
// slots, or a connection that works here could fail silently in the program.
void tst_Form::standInMatchesWindow()
{
    auto slotList = [](const QMetaObject &meta) {
        QStringList list;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            const QMetaMethod method = meta.method(i);
            if (method.methodType() == QMetaMethod::Slot)
                list << QString::fromLatin1(
                    method.typeName() + QByteArray(" ") + method.methodSignature());
        }
        return list;
    };
    const QStringList real = slotList(::MainWindow::staticMetaObject);
    QCOMPARE(real.size(), 42);
    QCOMPARE(slotList(formtest::MainWindow::staticMetaObject), real);
}

void tst_Form::connections_data()
{
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<QStringList>("expectedCalls");

    QMultiHash<QString, QPair<QByteArray, QString>> table;
    QStringList senders;
    for (const Connection &c : kConnections) {
        table.insert(
            QString::fromLatin1(c.sender), { QByteArray(c.signal), QString::fromLatin1(c.slot) });
        if (!senders.contains(QLatin1String(c.sender)))
            senders << QString::fromLatin1(c.sender);
    }
    // Build a throw-away form to learn each sender's kind.
    formtest::MainWindow probe;
    Ui_MainWindow probeUi;
    probeUi.setupUi(&probe);
    for (const QString &sender : senders) {
        for (const QString &signature : signalsOf(probe.findChild<QObject *>(sender))) {
            QStringList expected;
            for (const auto &entry : table.values(sender)) {
                if (entry.first == signature.toLatin1())
                    expected << entry.second;
            }
            QTest::addRow("%s %s", qPrintable(sender), qPrintable(signature))
                << sender << signature.toLatin1() << expected;
        }
    }
    // Widgets without a connection of their own.
    for (const char *quiet : { "cbClearSettings", "cbClearEdid" }) {
        for (const QString &signature : signalsOf(probe.findChild<QObject *>(quiet)))
            QTest::addRow("%s %s", quiet, qPrintable(signature))
                << QString::fromLatin1(quiet) << signature.toLatin1() << QStringList();
    }
}

void tst_Form::connections()
{
    QFETCH(QString, sender);
    QFETCH(QByteArray, signature);
    QFETCH(QStringList, expectedCalls);

    QObject *obj = object(sender);
    QVERIFY(obj);
    QVERIFY(emitSignal(obj, signature));
    QCOMPARE(m_window->calls, expectedCalls);
}

// The two EDID buttons with a press action, driven by the mouse.
void tst_Form::mouseOnEdidButtons()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));

    QTest::mousePress(m_ui.pbReadTvEdidA, Qt::LeftButton);
    QCOMPARE(m_window->calls, QStringList { "readTvEdidA" });
    QTest::mouseRelease(m_ui.pbReadTvEdidA, Qt::LeftButton);
    QCOMPARE(m_window->calls, (QStringList { "readTvEdidA", "CalculateChkSum" }));

    m_window->calls.clear();
    QTest::mousePress(m_ui.ButWriteEDID, Qt::LeftButton);
    QCOMPARE(m_window->calls, QStringList { "WriteEDID" });
    QTest::mouseRelease(m_ui.ButWriteEDID, Qt::LeftButton);
    QCOMPARE(m_window->calls, QStringList { "WriteEDID" });

    m_window->calls.clear();
    QTest::mouseClick(m_ui.pbReadTvEdidB, Qt::LeftButton);
    QCOMPARE(m_window->calls, QStringList { "readTvEdidB" });

    m_window->calls.clear();
    m_ui.actionExit->trigger();
    m_ui.actionAbout->trigger();
    QCOMPARE(m_window->calls, (QStringList { "FileExit", "FileAbout" }));
}

void tst_Form::resources_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("imageSize");
    QTest::addColumn<bool>("compressed");

    QTest::newRow("256") << ":/Vortalex.png" << QSize(256, 256) << false;
    QTest::newRow("48") << ":/Vortalex_48.png" << QSize(48, 48) << false;
    QTest::newRow("32") << ":/Vortalex_32.png" << QSize(32, 32) << false;
    QTest::newRow("16") << ":/Vortalex_16.png" << QSize(16, 16) << false;
    QTest::newRow("ico") << ":/Vortalex.ico" << QSize() << true;
    QTest::newRow("form") << ":/QT/forms/VortalexForm.ui" << QSize() << true;
}

void tst_Form::resources()
{
    QFETCH(QString, path);
    QFETCH(QSize, imageSize);
    QFETCH(bool, compressed);

    QResource resource(path);
    QVERIFY(resource.isValid());
    QCOMPARE(resource.compressionAlgorithm() != QResource::NoCompression, compressed);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    QVERIFY(!data.isEmpty());
    if (imageSize.isValid()) {
        QImage image;
        QVERIFY(image.loadFromData(data, "PNG"));
        QCOMPARE(image.size(), imageSize);
    } else if (path.endsWith(QLatin1String(".ui"))) {
        QVERIFY(data.contains("<class>MainWindow</class>"));
    } else {
        QVERIFY(data.startsWith(QByteArray("\0\0\1\0", 4))); // ICO header
    }
}

QTEST_MAIN(tst_Form)
#include "tst_form.moc"
