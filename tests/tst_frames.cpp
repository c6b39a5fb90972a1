#include <QtTest>

class Tsttst_frames : public QObject
{
    Q_OBJECT
};

QTEST_GUILESS_MAIN(Tsttst_frames)
#include "tst_frames.moc"
