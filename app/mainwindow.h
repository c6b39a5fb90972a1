#pragma once

#include "appcontext.h"
#include "dialogs.h"
#include "device/requests.h"
#include "device/usblink.h"

#include <QByteArray>
#include <QHash>
#include <QMainWindow>
#include <array>
#include <cstdint>

class QMenu;
class QProgressBar;
class Ui_MainWindow;

using vortalex::AppContext;
using vortalex::BoxRequests;
using vortalex::EdidSource;
using vortalex::kSettingCount;
using vortalex::UsbLink;

// The utility's only window and only controller. Each slot reads widgets,
// calls the plain code of device/, settings/, edid/ or cec/, and writes the
// results back to widgets and the status bar.
// Its meta-object class name is "MainWindow", the translation context of
// every window text.
class MainWindow : public QMainWindow, private vortalex::StatusSink
{
    Q_OBJECT

public:
    static constexpr int kPollIntervalMs = 3000;

    explicit MainWindow(AppContext &context, QWidget *parent = nullptr);
    ~MainWindow() override;

    Ui_MainWindow *form() const { return ui; }
    UsbLink &link() { return m_link; }
    bool isReady() const { return m_ready != 0; }
    bool edidPending() const { return m_edidPending != 0; }
    bool pollTimerRunning() const { return m_pollTimerRunning; }
    const std::array<std::uint8_t, kSettingCount> &settingsMirror() const { return m_mirror; }
    QProgressBar *edidProgressBar() const { return m_edidProgress; }
    // The "Tools" menu: windows added beside the settings window.
    QMenu *toolsMenu() const { return m_toolsMenu; }

    void startPollTimer(int intervalMs);
    void stopPollTimer();

public slots:
    void on_ProgressChange(int a, int b);

private slots:
    void SaveEDIDtoFile();
    void LoadEDIDfromFile();
    void FileExit();
    void FileAbout();
    void ReadEDID();
    void WriteEDID();
    void WriteCEC();
    void WriteIF();
    void CalculateChkSum();
    void SetActivePort();
    void SetAutoSwitch();
    void SetAudioSource();
    void SetHDCP_Version();
    void SetOut_420();
    void SetEDID_Mode();
    void SetEPState();
    void SaveCEC_1();
    void SaveCEC_2();
    void force2c();
    void force51();
    void forceHdr();
    void forceFullAudio();
    void setSwPriority();
    void changeCustomEdid();
    bool sendAVI();
    void CecLpRepurp();
    void hdrForceActivate();
    void hdrSamsung();
    void setLogoLed();
    void setBt2020();
    void setBlueLed();
    void factoryReset();
    void setYUV();
    void setCEC();
    void setCecLa();
    void setAVR();
    void readTvEdidA();
    void readTvEdidB();
    void set3D();
    void setEdidAlgo();
    void setAviPers();

protected:
    void timerEvent(QTimerEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // StatusSink: the status bar.
    void showStatus(const QString &text, int ms) override;

    void initialSync();
    void pollTick();
    void refreshSettings();
    void showSignalStatus();
    void readEdidFrom(EdidSource source);
    void writeEdidTable();
    void releaseForm();
    // Adds the "Tools" menu before "Help" and its entries (mainwindow_tools.cpp).
    void setupToolsMenu();

    // Setting slots share these: one setting, one mirror position.
    void writeCheckSetting(bool on, std::uint8_t settingId, int position);
    void writeComboSetting(std::uint8_t settingId, int index);
    // Settings area: a setting control of the form by object name (cached).
    QWidget *settingControl(const char *objectName);

    AppContext &m_context;
    QProgressBar *m_edidProgress = nullptr;
    QMenu *m_toolsMenu = nullptr;
    Ui_MainWindow *ui = nullptr;

    UsbLink m_link;
    BoxRequests m_requests;
    std::uint8_t m_ready = 0;
    std::uint8_t m_edidPending = 1;
    bool m_pollTimerRunning = false;
    int m_pollTimerId = 0;
    std::array<std::uint8_t, kSettingCount> m_mirror {};
    // Settings area: the controls the settings refresh sets, found once.
    QHash<QByteArray, QWidget *> m_settingControls;
};
