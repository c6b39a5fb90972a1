// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/windowharness.h"
#include "ui_VortalexForm.h"

#include <QtTest>

using namespace vortalex;

Q_DECLARE_METATYPE(StatusMessage)

namespace {

// Page data as the box holds it: data[0] is answer byte 2.
QByteArray data(const char *hex)
{
    return QByteArray::fromHex(hex);
}

QByteArray productData(const QByteArray &vendor, const QByteArray &product)
{
    QByteArray page = data("8319");
    page += vendor.leftJustified(8, '\0', true);
    page += product.leftJustified(16, '\0', true);
    return page;
}

} // namespace

class TestStatusWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void shownFromTheBox_data();
    void shownFromTheBox();
    void failedPageRead_data();
    void failedPageRead();
    void capturedInfoFrameCleared();

private:
    QStringList shownTexts() const;

    std::unique_ptr<WindowHarness> h;
};

void TestStatusWindow::init()
{
    h = std::make_unique<WindowHarness>();
    h->start();
    h->tick();
    h->clearLogs();
}

void TestStatusWindow::cleanup()
{
    h.reset();
}

QStringList TestStatusWindow::shownTexts() const
{
    Ui_MainWindow *ui = h->ui();
    return { ui->label_video_format->text(), ui->lblCsc->text(), ui->lblVideoSource->text(),
        ui->lblHdrInput->text(), ui->txtHdrIf->toPlainText() };
}

void TestStatusWindow::shownFromTheBox_data()
{
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QByteArray>("product");
    QTest::addColumn<QByteArray>("hdr");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("4K HDR player")
        << data("61 10 00 60 00 00 00 00 40 C0 50 00 00")
        << productData("NVIDIA", "SHIELD Android TV") << data("87 03 02 00 6B")
        << QStringList { "Input : 3840x2160p60 HDMI, [4:2:0 300MHz], Output: TX A, TX B",
               "Color Space: YCbCr 4:4:4, Extended: ITU-R BT.2020 YcCbcCrc",
               "Source Info: NVIDIA SHIELD Android T", "HDR input:  SMPTE ST 2084", "02:00:6b" };
    QTest::newRow("3D top/bottom")
        << data("04 00 00 20 00 00 00 60 60 80 00 00 40") << productData("", "") << data("87 00 00")
        << QStringList { "Input : 1280x720p60 Top/Bottom 3D, Output: TX A",
               "Color Space: YCbCr 4:2:0, ITU-R BT.709", "Source Info:  ", "HDR input:  Not Active",
               "" };
    QTest::newRow("all zero") << QByteArray(64, '\0') << QByteArray(64, '\0')
                              << QByteArray(64, '\0')
                              << QStringList { "Input :  non-HDMI, Output: none",
                                     "Color Space: RGB", "Source Info:  ", "HDR input:  Not Active",
                                     "" };
}

void TestStatusWindow::shownFromTheBox()
{
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, product);
    QFETCH(QByteArray, hdr);
    QFETCH(QStringList, texts);

    h->box.setPage(Page::Status, status);
    h->box.setPage(Page::SourceProduct, product);
    h->box.setPage(Page::HdrInfoFrame, hdr);
    h->tick();
    QCOMPARE(shownTexts(), texts);
    QVERIFY(h->statusLog.isEmpty());
}

void TestStatusWindow::failedPageRead_data()
{
    QTest::addColumn<int>("failingRead"); // n-th page read of the tick; 1 is the refresh's
    QTest::addColumn<QStringList>("texts"); // empty: as they were before

    const QString source = "Source Info: ACME Streamer";
    QTest::newRow("page 6") << 2
                            << QStringList { "Input :  non-HDMI, Output: none", "Color Space: RGB",
                                   source, "HDR input:  SMPTE ST 2084", "02:00:6b" };
    QTest::newRow("page 21") << 3
                             << QStringList { "Input : 1920x1080p60 HDMI, Output: TX B",
                                    "Color Space: RGB",
                                    "Source Info:  ", "HDR input:  SMPTE ST 2084", "02:00:6b" };
    QTest::newRow("page 30") << 4
                             << QStringList { "Input : 1920x1080p60 HDMI, Output: TX B",
                                    "Color Space: RGB", source, "HDR input:  Not Active", "" };
    QTest::newRow("page 31") << 5 << QStringList();
}

void TestStatusWindow::failedPageRead()
{
    QFETCH(int, failingRead);
    QFETCH(QStringList, texts);

    const QStringList before = shownTexts();
    h->box.setPage(Page::Status, data("10 10 00 40"));
    h->box.setPage(Page::SourceProduct, productData("ACME", "Streamer"));
    h->box.setPage(Page::HdrInfoFrame, data("87 03 02 00 6B"));
    h->bridge.injectFault(
        Fault::NoAnswer, FaultWhen::onNth(Command::Page, failingRead, FrameType::Read));
    h->tick();
    QCOMPARE(shownTexts(), texts.isEmpty() ? before : texts);
    QCOMPARE(h->statusLog, (QList<StatusMessage> { { "...", 2000 } }));
}

void TestStatusWindow::capturedInfoFrameCleared()
{
    h->box.setPage(Page::HdrInfoFrame, data("87 02 02 00"));
    h->tick();
    QCOMPARE(h->ui()->txtHdrIf->toPlainText(), QString("02:00"));
    // Another InfoFrame type: the text goes, the EOTF byte is still read.
    h->box.setPage(Page::HdrInfoFrame, data("81 02 01 00"));
    h->tick();
    QCOMPARE(h->ui()->txtHdrIf->toPlainText(), QString());
    QCOMPARE(h->ui()->lblHdrInput->text(), QString("HDR input:  HDR Luminance Range"));
}

QTEST_MAIN(TestStatusWindow)
#include "tst_statuswindow.moc"
