// How long the server makes a user wait after failed logins: a few are free, then each failure
// doubles the wait up to a ceiling; a success, a lapsed window or the need for room forgets them.
// Time is given, not waited for.

#include "tests/support/DataTable.h"
#include "server/LoginThrottle.h"

#include <QtTest>

class TestLoginThrottle : public QObject {
    Q_OBJECT
private slots:
    // failures: times (ms) of ANA's failed logins; then `others` fail once each, and ANA's login
    // may succeed; asked: the name a login gives at askedAt.
    void waits_data()
    {
        addColumns<QList<qint64>, QStringList, bool, QString, qint64, int>(
            {"failures", "others", "succeeded", "asked", "askedAt", "seconds"});
        const QList<qint64> three{0, 100, 200};
        QTest::newRow("below the threshold") << QList<qint64>{0, 100} << QStringList() << false << "ana" << 200LL << 0;
        QTest::newRow("threshold reached") << three << QStringList() << false << "ana" << 200LL << 1;
        QTest::newRow("wait over") << three << QStringList() << false << "ana" << 1200LL << 0;
        QTest::newRow("doubled by a failure after the wait") << QList<qint64>{0, 100, 200, 1300} << QStringList() << false
                                                             << "ana" << 1300LL << 2;
        QTest::newRow("held at the longest wait") << QList<qint64>{0, 100, 200, 1300, 3400, 7500} << QStringList()
                                                  << false << "ana" << 7500LL << 5;
        QTest::newRow("count restarts after the window") << QList<qint64>{0, 100, 60200} << QStringList() << false << "ana"
                                                         << 60200LL << 0;
        QTest::newRow("success forgets") << three << QStringList() << true << "ana" << 200LL << 0;
        QTest::newRow("room made for new names, oldest first") << three << QStringList{"beto", "carla", "dora"} << false
                                                               << "ana" << 300LL << 0;
    }

    void waits()
    {
        QFETCH(QList<qint64>, failures);
        QFETCH(QStringList, others);
        QFETCH(bool, succeeded);
        QFETCH(QString, asked);
        QFETCH(qint64, askedAt);
        QFETCH(int, seconds);
        LoginThrottle::Policy policy;
        policy.failuresBeforeWait = 3;
        policy.windowMs = 60000;
        policy.firstWaitMs = 1000;
        policy.longestWaitMs = 5000;
        policy.maxNames = 3;
        LoginThrottle throttle(policy);
        for (const qint64 at : failures)
            throttle.failed(QStringLiteral("ANA"), at);
        for (const QString &name : others)
            throttle.failed(name, failures.last() + 50);
        if (succeeded)
            throttle.succeeded(QStringLiteral("ana"));
        QCOMPARE(throttle.secondsToWait(asked, askedAt), seconds);
    }
};

QTEST_GUILESS_MAIN(TestLoginThrottle)
#include "tst_loginthrottle.moc"
