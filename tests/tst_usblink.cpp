#include <QtTest>

class Tsttst_usblink : public QObject
{
    Q_OBJECT
};

QTEST_GUILESS_MAIN(Tsttst_usblink)
#include "tst_usblink.moc"
