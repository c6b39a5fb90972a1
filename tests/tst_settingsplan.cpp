#include "settings/refreshplan.h"
#include "settings/settingstable.h"

#include <QtTest>

using namespace vortalex;

namespace {

using Block = std::array<std::uint8_t, kSettingsBlockLength>;

// A good settings block answer; `settings` is "position=value,..." .
Block block(const QString &settings)
{
    Block b {};
    b[0] = 0xE1;
    for (const QString &pair : settings.split(',', Qt::SkipEmptyParts)) {
        const QStringList parts = pair.split('=');
        b[std::size_t(parts[0].toInt() + 2)] = std::uint8_t(parts[1].toInt());
    }
    return b;
}

QString render(const ControlStep &step)
{
    static const char *const kinds[] = { "index", "check", "enable" };
    return QStringLiteral("%1 %2 %3").arg(kinds[step.kind]).arg(step.objectName).arg(step.value);
}

QStringList render(const RefreshPlan &plan)
{
    QStringList lines;
    for (const ControlStep &step : plan.steps)
        lines << render(step);
    return lines;
}

} // namespace

class TestSettingsPlan : public QObject
{
    Q_OBJECT

private slots:
    void refused_data();
    void refused();
    void stepsInRuleOrder();
    void mirrorTakesAllForty();
    void valueFromText_data();
    void valueFromText();
};

void TestSettingsPlan::refused_data()
{
    QTest::addColumn<int>("echo");
    QTest::addColumn<int>("statusByte");
    QTest::addColumn<bool>("blockRead");
    QTest::addColumn<bool>("pageRead");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("good") << 0xE1 << 0x00 << true << true << true;
    QTest::newRow("other status bits") << 0xE1 << 0xFE << true << true << true;
    QTest::newRow("busy") << 0xE1 << 0x01 << true << true << false;
    QTest::newRow("busy, all bits") << 0xE1 << 0xFF << true << true << false;
    QTest::newRow("wrong echo") << 0xE0 << 0x00 << true << true << false;
    QTest::newRow("block read failed") << 0xE1 << 0x00 << false << true << false;
    QTest::newRow("status page read failed") << 0xE1 << 0x00 << true << false << false;
}

void TestSettingsPlan::refused()
{
    QFETCH(int, echo);
    QFETCH(int, statusByte);
    QFETCH(bool, blockRead);
    QFETCH(bool, pageRead);
    QFETCH(bool, accepted);

    Block b = block("0=2,5=1");
    b[0] = std::uint8_t(echo);
    b[1] = std::uint8_t(statusByte);
    const RefreshPlan plan = planRefresh(b.data(), blockRead, pageRead);
    QCOMPARE(plan.accepted, accepted);
    QCOMPARE(plan.steps.isEmpty(), !accepted);
}

void TestSettingsPlan::stepsInRuleOrder()
{
    const Block b = block("0=2,19=5,30=1,32=3,1=3,2=3,3=2,4=1,6=1,11=1,10=0,9=1,13=1,14=0,17=1,"
                          "15=0,16=1,18=1,21=0,24=1,22=0,26=1,27=0,5=1,29=0,28=1,31=1,33=1");
    const QStringList expected {
        "index cmbInputSel 1",
        "index cmBEdid 5",
        "index cmbLa 1",
        "index cmbEdidAlgo 3",
        "check audioHdmi 0",
        "check audioJack 1",
        "check automixEDID 0",
        "check customEDID 1",
        "check fixedEDID 0",
        "enable EDIDtext 1",
        "check hdcp14 1",
        "check hdcp22 0",
        "check disable420 0",
        "check enable420 1",
        "check autoSwDis 0",
        "check autoSwEn 1",
        "enable pPrioForce 1",
        "enable bPrioNorm 1",
        "enable audioHdmi 1",
        "enable audioJack 1",
        "enable hdcp22 0",
        "enable hdcp14 0",
        "enable automixEDID 1",
        "enable customEDID 1",
        "enable fixedEDID 1",
        "enable EDIDtext 1",
        "check cb2cForce 1",
        "check cb51 0",
        "check cbFull 1",
        "check cb3D 0",
        "check cbHdr 1",
        "check pPrioForce 1",
        "check bPrioNorm 0",
        "check bHdrRepurpEn 0",
        "check bHdrRepurpDis 1",
        "check bSamHdr 1",
        "check bFullHdr 0",
        "check cbHdrForceMode 0",
        "check enableLed 1",
        "check disableLed 0",
        "check enableBLed 0",
        "check disableBLed 1",
        "check cbCec 1",
        "check cbYUV 0",
        "check cbBt2020 1",
        "check enableAVR 1",
        "check disableAVR 0",
        "check cbAviPersistent 1",
    };
    QCOMPARE(render(planRefresh(b.data(), true, true)), expected);
}

void TestSettingsPlan::mirrorTakesAllForty()
{
    Block b {};
    b[0] = 0xE1;
    for (int i = 2; i < kSettingsBlockLength; ++i)
        b[std::size_t(i)] = std::uint8_t(0x80 + i);
    const RefreshPlan plan = planRefresh(b.data(), true, true);
    for (int p = 0; p < kSettingCount; ++p)
        QCOMPARE(plan.settings[std::size_t(p)], std::uint8_t(0x80 + p + 2));
}

void TestSettingsPlan::valueFromText_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value"); // -1: refused
    QTest::addColumn<QString>("name"); // settingValueName of the value

    QTest::newRow("name") << "active-input" << "matrix-swap" << 4 << "matrix-swap";
    QTest::newRow("name, other case") << "active-input" << "Port-B" << 2 << "port-b";
    QTest::newRow("number in range") << "active-input" << "1" << 1 << "port-a";
    QTest::newRow("below range") << "active-input" << "0" << -1 << "";
    QTest::newRow("above range") << "active-input" << "5" << -1 << "";
    QTest::newRow("unnamed value in range") << "audio-source" << "2" << 2 << "2";
    QTest::newRow("dotted name") << "hdcp" << "2.2" << 3 << "2.2";
    QTest::newRow("numbers only") << "custom-edid" << "7" << 7 << "7";
    QTest::newRow("numbers only, past the end") << "custom-edid" << "8" << -1 << "";
    QTest::newRow("other setting's name") << "cec" << "port-a" << -1 << "";
    QTest::newRow("negative") << "cec" << "-1" << -1 << "";
    QTest::newRow("hex is not a number here") << "automix" << "0x1" << -1 << "";
    QTest::newRow("empty") << "automix" << "" << -1 << "";
}

void TestSettingsPlan::valueFromText()
{
    QFETCH(QString, setting);
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(QString, name);

    const Setting *s = findSetting(setting);
    QVERIFY(s);
    const std::optional<std::uint8_t> parsed = settingValueFromText(*s, text);
    QCOMPARE(parsed ? int(*parsed) : -1, value);
    if (parsed)
        QCOMPARE(settingValueName(*s, *parsed), name);
}

QTEST_GUILESS_MAIN(TestSettingsPlan)
#include "tst_settingsplan.moc"
