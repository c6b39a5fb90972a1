// SPDX-License-Identifier: GPL-3.0-or-later
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

QString render(const ShownSetting &shown)
{
    const QString name = QString::fromLatin1(shown.setting->name);
    switch (shown.setting->kind) {
    case SettingKind::Combo:
        return name + " index " + QString::number(shown.comboIndex);
    case SettingKind::Check:
        return name + (shown.checked ? " checked" : " unchecked");
    case SettingKind::RadioGroup:
        break;
    }
    return name + " button " + (shown.button ? shown.button->controlName : "none");
}

QStringList render(const RefreshPlan &plan)
{
    QStringList lines;
    for (const ShownSetting &shown : plan.shown)
        lines << render(shown);
    const RefreshEnabling &e = plan.enabling;
    const auto optional = [](const std::optional<bool> &on) {
        return on ? QString::number(*on) : QStringLiteral("-");
    };
    lines << QStringLiteral("enable EDIDtext by mode %1, priority %2, audio %3, hdcp %4, mode %5")
                 .arg(optional(e.edidTextByMode), optional(e.priorityChoice))
                 .arg(e.audioSourceChoice)
                 .arg(e.hdcpChoice)
                 .arg(e.edidModeChoice);
    return lines;
}

} // namespace

class TestSettingsPlan : public QObject
{
    Q_OBJECT

private slots:
    void refused_data();
    void refused();
    void shownInTableOrder();
    void shownForValue_data();
    void shownForValue();
    void madeUpSettingIsOneRow();
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
    QCOMPARE(plan.shown.isEmpty(), !accepted);
}

void TestSettingsPlan::shownInTableOrder()
{
    const Block b = block("0=2,19=5,30=1,32=3,1=3,2=3,3=2,4=1,6=1,11=1,10=0,9=1,13=1,14=0,17=1,"
                          "15=0,16=1,18=1,21=0,24=1,22=0,26=1,27=0,5=1,29=0,28=1,31=1,33=1");
    const QStringList expected {
        "active-input index 1",
        "custom-edid index 5",
        "cec-device index 1",
        "automix index 3",
        "audio-source button audioJack",
        "edid-mode button customEDID",
        "hdcp button hdcp14",
        "output-420 button enable420",
        "auto-switch button autoSwEn",
        "edid-2ch checked",
        "edid-51 unchecked",
        "edid-full-audio checked",
        "edid-no-3d unchecked",
        "edid-hdr checked",
        "priority button pPrioForce",
        "hdr-hotkey button bHdrRepurpDis",
        "hdr-mode button bSamHdr",
        "force-hdr unchecked",
        "green-led button enableLed",
        "blue-leds button disableBLed",
        "cec checked",
        "edid-ycbcr unchecked",
        "edid-bt2020 checked",
        "avr-audio button enableAVR",
        "replace-avi checked",
        "enable EDIDtext by mode 1, priority 1, audio 1, hdcp 0, mode 1",
    };
    QCOMPARE(render(planRefresh(b.data(), true, true)), expected);
}

void TestSettingsPlan::shownForValue_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("shown");

    QTest::newRow("input 0 names no item") << "active-input" << 0 << "active-input index -1";
    QTest::newRow("preset past the items") << "custom-edid" << 8 << "custom-edid index 8";
    QTest::newRow("audio 2: no button") << "audio-source" << 2 << "audio-source button none";
    QTest::newRow("HDCP 1: no button") << "hdcp" << 1 << "hdcp button none";
    QTest::newRow("EDID mode 0: no button") << "edid-mode" << 0 << "edid-mode button none";
    QTest::newRow("auto switch 5: no button") << "auto-switch" << 5 << "auto-switch button none";
    QTest::newRow("LED 2 shows as off") << "green-led" << 2 << "green-led button disableLed";
    QTest::newRow("priority 255 shows as normal")
        << "priority" << 255 << "priority button bPrioNorm";
    QTest::newRow("check box 2 unchecked") << "cec" << 2 << "cec unchecked";
}

void TestSettingsPlan::shownForValue()
{
    QFETCH(QString, setting);
    QFETCH(int, value);
    QFETCH(QString, shown);

    const Setting *s = findSetting(setting);
    QVERIFY(s);
    QCOMPARE(render(shownSetting(*s, std::uint8_t(value))), shown);
}

void TestSettingsPlan::madeUpSettingIsOneRow()
{
    QVector<Setting> table = settingTable();
    table.append({ "made-up", 40, 35, SettingKind::RadioGroup, nullptr,
        { { 0, "low", "LOW", "rbLow" }, { 7, "high", "HIGH", "rbHigh" } }, 0, 0 });
    const Setting &madeUp = table.last();

    const RefreshPlan plan = planRefresh(block("35=7").data(), true, true, table);
    QCOMPARE(plan.shown.size(), table.size());
    QCOMPARE(render(plan.shown.last()), "made-up button rbHigh");
    QCOMPARE(settingValueFromText(madeUp, u"HIGH"), std::optional<std::uint8_t>(7));
    QCOMPARE(settingValueFromText(madeUp, u"8"), std::nullopt);
    QCOMPARE(settingValueNames(madeUp), QStringList({ "low", "high" }));
    const auto checked = [](const char *control) { return qstrcmp(control, "rbHigh") == 0; };
    QCOMPARE(radioSettingValue(madeUp, checked), std::optional<std::uint8_t>(7));
    const auto none = [](const char *) { return false; };
    QCOMPARE(radioSettingValue(madeUp, none), std::optional<std::uint8_t>(0));
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
    QTest::addColumn<bool>("raw"); // settingValueFromRawText (--raw)

    QTest::newRow("name") << "active-input"
                          << "matrix-swap" << 4 << "matrix-swap" << false;
    QTest::newRow("name, other case") << "active-input"
                                      << "Port-B" << 2 << "port-b" << false;
    QTest::newRow("a number is not a name") << "active-input"
                                            << "1" << -1 << "" << false;
    QTest::newRow("hdcp code 2 (1.4) is not 2.2") << "hdcp"
                                                  << "2" << -1 << "" << false;
    QTest::newRow("number in range, raw") << "active-input"
                                          << "1" << 1 << "port-a" << true;
    QTest::newRow("hdcp code 2, raw") << "hdcp"
                                      << "2" << 2 << "1.4" << true;
    QTest::newRow("name, raw") << "hdcp"
                               << "2.2" << 3 << "2.2" << true;
    QTest::newRow("below range, raw") << "active-input"
                                      << "0" << -1 << "" << true;
    QTest::newRow("above range, raw") << "active-input"
                                      << "5" << -1 << "" << true;
    QTest::newRow("unlisted value in range") << "audio-source"
                                             << "2" << -1 << "" << false;
    QTest::newRow("unlisted value in range, raw") << "audio-source"
                                                  << "2" << 2 << "2" << true;
    QTest::newRow("dotted name") << "hdcp"
                                 << "2.2" << 3 << "2.2" << false;
    QTest::newRow("numbers only") << "custom-edid"
                                  << "7" << 7 << "7" << false;
    QTest::newRow("numbers only, past the end") << "custom-edid"
                                                << "8" << -1 << "" << false;
    QTest::newRow("other setting's name") << "cec"
                                          << "port-a" << -1 << "" << false;
    QTest::newRow("negative") << "cec"
                              << "-1" << -1 << "" << false;
    QTest::newRow("hex is not a number here") << "automix"
                                              << "0x1" << -1 << "" << false;
    QTest::newRow("empty") << "automix"
                           << "" << -1 << "" << false;
}

void TestSettingsPlan::valueFromText()
{
    QFETCH(QString, setting);
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(QString, name);
    QFETCH(bool, raw);

    const Setting *s = findSetting(setting);
    QVERIFY(s);
    const std::optional<std::uint8_t> parsed
        = raw ? settingValueFromRawText(*s, text) : settingValueFromText(*s, text);
    QCOMPARE(parsed ? int(*parsed) : -1, value);
    if (parsed)
        QCOMPARE(settingValueName(*s, *parsed), name);
}

QTEST_GUILESS_MAIN(TestSettingsPlan)
#include "tst_settingsplan.moc"
