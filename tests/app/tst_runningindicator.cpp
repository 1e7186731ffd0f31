#include "app/runningindicator.h"

#include <QTest>

class TestRunningIndicator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sequence()
    {
        app::RunningIndicator indicator;
        QStringList seen;
        for (int i = 0; i < 15; ++i)
            seen << indicator.tick();
        const QStringList cycle{"Running .", "Running . .", "Running . . . ", "Running . . . .",
                                "Running . . . . .", "Running . . . . . ."};
        QCOMPARE(seen.first(), QStringLiteral("Running"));
        QCOMPARE(seen.mid(1, 6), cycle);
        QCOMPARE(seen.mid(7, 6), cycle); // the bare text never comes back
        QVERIFY(!seen.mid(1).contains(QStringLiteral("Running")));
    }
};

QTEST_GUILESS_MAIN(TestRunningIndicator)
#include "tst_runningindicator.moc"
