#include <QtTest>

class Tsttst_sim : public QObject
{
    Q_OBJECT
};

QTEST_GUILESS_MAIN(Tsttst_sim)
#include "tst_sim.moc"
