#include "refreshplan.h"

#include "device/frames.h"
#include "settingstable.h"

#include <cstring>

namespace vortalex {

namespace {

// Every rule at its longest: 4 combo boxes, 2 + 4 + 2 + 2 + 4 radio steps,
// 2 + 2 + 4 enabled steps, 10 check boxes and 6 radio pairs.
constexpr int kMostSteps = 4 + 14 + 8 + 10 + 12;

class PlanBuilder
{
public:
    explicit PlanBuilder(QVector<ControlStep> &steps)
        : m_steps(steps)
    {
    }

    void index(const char *name, int i)
    {
        m_steps.append({ name, ControlStep::SetCurrentIndex, i });
    }
    void check(const char *name, bool on) { m_steps.append({ name, ControlStep::SetChecked, on }); }
    void enable(const char *name, bool on)
    {
        m_steps.append({ name, ControlStep::SetEnabled, on });
    }

    // A radio pair of a 0/1 setting: every value other than 1 counts as 0.
    void pair(const char *onButton, const char *offButton, std::uint8_t v)
    {
        check(onButton, v == 1);
        check(offButton, v != 1);
    }

private:
    QVector<ControlStep> &m_steps;
};

} // namespace

RefreshPlan planRefresh(const std::uint8_t *block, bool blockRead, bool statusPageRead)
{
    RefreshPlan plan;
    if (!blockRead || !statusPageRead || !block)
        return plan;
    if ((block[1] & kDeviceBusyBit) != 0 || block[0] != toByte(Command::SettingsBlock))
        return plan;

    plan.accepted = true;
    const std::uint8_t *v = block + 2;
    std::memcpy(plan.settings.data(), v, plan.settings.size());

    plan.steps.reserve(kMostSteps);
    PlanBuilder b(plan.steps);

    b.index("cmbInputSel", comboIndexForValue(SettingId::ActiveInput, v[SettingPos::ActiveInput]));
    b.index("cmBEdid",
        comboIndexForValue(SettingId::CustomEdidPreset, v[SettingPos::CustomEdidPreset]));
    b.index("cmbLa", comboIndexForValue(SettingId::CecDeviceType, v[SettingPos::CecDeviceType]));
    b.index("cmbEdidAlgo",
        comboIndexForValue(SettingId::AutomixAlgorithm, v[SettingPos::AutomixAlgorithm]));

    // Audio source 2 and HDCP 1 ask for neither button; in an exclusive group
    // that keeps the current choice.
    switch (v[SettingPos::AudioSource]) {
    case 1:
        b.check("audioHdmi", true);
        b.check("audioJack", false);
        break;
    case 2:
        b.check("audioHdmi", false);
        b.check("audioJack", false);
        break;
    case 3:
        b.check("audioHdmi", false);
        b.check("audioJack", true);
        break;
    }

    switch (v[SettingPos::EdidMode]) {
    case EdidModeValue::Automix:
    case EdidModeValue::Fixed:
    case EdidModeValue::Custom: {
        const std::uint8_t mode = v[SettingPos::EdidMode];
        b.check("automixEDID", mode == EdidModeValue::Automix);
        b.check("customEDID", mode == EdidModeValue::Custom);
        b.check("fixedEDID", mode == EdidModeValue::Fixed);
        b.enable("EDIDtext", mode == EdidModeValue::Custom);
        break;
    }
    }

    switch (v[SettingPos::HdcpVersion]) {
    case 1:
        b.check("hdcp14", false);
        b.check("hdcp22", false);
        break;
    case HdcpValue::Hdcp14:
        b.check("hdcp14", true);
        b.check("hdcp22", false);
        break;
    case HdcpValue::Hdcp22:
        b.check("hdcp14", false);
        b.check("hdcp22", true);
        break;
    }

    switch (v[SettingPos::Output420]) {
    case 0:
    case 1:
        b.check("disable420", v[SettingPos::Output420] == 0);
        b.check("enable420", v[SettingPos::Output420] == 1);
        break;
    }

    switch (v[SettingPos::AutoSwitch]) {
    case 0:
    case 1: {
        const bool on = v[SettingPos::AutoSwitch] == 1;
        b.check("autoSwDis", !on);
        b.check("autoSwEn", on);
        b.enable("pPrioForce", on);
        b.enable("bPrioNorm", on);
        break;
    }
    }

    const bool audioAvailable = v[SettingPos::AudioSourceAvailable] == 1;
    b.enable("audioHdmi", audioAvailable);
    b.enable("audioJack", audioAvailable);
    const bool hdcpAvailable = v[SettingPos::HdcpAvailable] == 1;
    b.enable("hdcp22", hdcpAvailable);
    b.enable("hdcp14", hdcpAvailable);
    // Comes after the EDID mode step, so the EDID text follows availability.
    const bool edidModeAvailable = v[SettingPos::EdidModeAvailable] == 1;
    b.enable("automixEDID", edidModeAvailable);
    b.enable("customEDID", edidModeAvailable);
    b.enable("fixedEDID", edidModeAvailable);
    b.enable("EDIDtext", edidModeAvailable);

    b.check("cb2cForce", v[SettingPos::EdidOption20] == 1);
    b.check("cb51", v[SettingPos::EdidOption51] == 1);
    b.check("cbFull", v[SettingPos::EdidOptionFullAudio] == 1);
    b.check("cb3D", v[SettingPos::EdidOptionNo3D] == 1);
    b.check("cbHdr", v[SettingPos::EdidOptionHdr] == 1);
    b.pair("pPrioForce", "bPrioNorm", v[SettingPos::SwitchPriority]);
    b.pair("bHdrRepurpEn", "bHdrRepurpDis", v[SettingPos::HdrHotkey]);
    b.pair("bSamHdr", "bFullHdr", v[SettingPos::HdrMode]);
    b.check("cbHdrForceMode", v[SettingPos::ForceHdrActive] == 1);
    b.pair("enableLed", "disableLed", v[SettingPos::GreenLed]);
    b.pair("enableBLed", "disableBLed", v[SettingPos::BlueLeds]);
    b.check("cbCec", v[SettingPos::Cec] == 1);
    b.check("cbYUV", v[SettingPos::EdidOptionYcbcr] == 1);
    b.check("cbBt2020", v[SettingPos::EdidOptionBt2020] == 1);
    b.pair("enableAVR", "disableAVR", v[SettingPos::AvrTestMode]);
    b.check("cbAviPersistent", v[SettingPos::ReplaceAvi] == 1);

    return plan;
}

} // namespace vortalex
