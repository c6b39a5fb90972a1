// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "appcontext.h"
#include "link/requests.h"
#include "link/usblink.h"
#include "dialogs.h"
#include "boxedid/edidtext.h"

#include <QByteArray>
#include <QHash>
#include <QMainWindow>
#include <array>
#include <cstdint>
#include <optional>

class QMenu;
class QProgressBar;
class Ui_MainWindow;

namespace vortalex {
struct RefreshEnabling;
struct Setting;
struct ShownSetting;
} // namespace vortalex

// The utility's only window and only controller. Each slot reads widgets,
// calls the box layer's procedures, and words what they report in widgets,
// the status bar and message boxes.
// Its meta-object class name is "MainWindow", the translation context of
// every window text.
class MainWindow : public QMainWindow, private vortalex::RequestObserver
{
    Q_OBJECT

public:
    static constexpr int kPollIntervalMs = 3000;
    using Mirror = std::array<std::uint8_t, vortalex::kSettingCount>;

    explicit MainWindow(vortalex::AppContext &context, QWidget *parent = nullptr);
    ~MainWindow() override;

    Ui_MainWindow *form() const { return ui; }
    vortalex::UsbLink &link() { return m_link; }
    bool isReady() const { return m_ready; }
    bool edidPending() const { return m_edidPending; }
    bool pollTimerRunning() const { return m_pollTimerRunning; }
    const Mirror &settingsMirror() const { return m_mirror; }
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
    // RequestObserver: each event of the request procedures in the status bar
    // or on standard output (mainwindow_outcomes.cpp).
    void requestEvent(vortalex::RequestEvent event) override;
    // The link's warnings, shown in a blocking message box.
    static QString linkNoticeText(vortalex::LinkNotice notice);
    void showStatus(const QString &text, int ms);

    void initialSync();
    void pollTick();
    void refreshSettings();
    void showSignalStatus();
    void readEdidFrom(vortalex::EdidSource source);
    void writeEdidTable();
    // The EDID text as a table; a "Hex Format Error" warning when it is none.
    bool readEdidTextOrWarn(vortalex::EdidTable &table, int &byteCount);
    void releaseForm();
    // Adds the "Tools" menu before "Help" and its entries (mainwindow_tools.cpp).
    void setupToolsMenu();

    // Settings area (mainwindow_settings.cpp): every setting slot hands its
    // row of the settings table to the one write path; the refresh shows each
    // row, then enables the controls.
    std::optional<std::uint8_t> writeSettingFromForm(std::uint8_t settingId);
    std::optional<std::uint8_t> formValue(const vortalex::Setting &row);
    void showSetting(const vortalex::ShownSetting &shown);
    void enableSettingControls(const vortalex::RefreshEnabling &enabling);
    // A setting control of the form by object name (cached).
    QWidget *settingControl(const char *objectName);

    vortalex::AppContext &m_context;
    QProgressBar *m_edidProgress = nullptr;
    QMenu *m_toolsMenu = nullptr;
    Ui_MainWindow *ui = nullptr;

    vortalex::UsbLink m_link;
    vortalex::BoxRequests m_requests;
    // Set as the last step of the initial sync, never cleared.
    bool m_ready = false;
    // The poll tick re-reads the EDID once the box is idle: at start and after
    // every EDID mode change.
    bool m_edidPending = true;
    bool m_pollTimerRunning = false;
    int m_pollTimerId = 0;
    Mirror m_mirror {};
    // Settings area: the controls the settings refresh sets, found once.
    QHash<QByteArray, QWidget *> m_settingControls;
};
