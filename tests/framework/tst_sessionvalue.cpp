// The session value: what the load call's arguments make of it, the suite's globals written from
// it, a company change, and the connection that works with it alone. (Reset on unload: tst_session.)

#include "framework/Session.h"
#include "framework/TApplication.h"
#include "framework/Ugnnorma.h"
#include "framework/connection/SDCOMConnection.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/SessionText.h"
#include "tests/support/TestTools.h"

#include <QtTest>

class TestSessionValue : public QObject {
    Q_OBJECT
private slots:
    void init() { ResetSessionGlobals(); }

    void companyOfTheLoadCall_data()
    {
        addColumns<QString, int>({"argument", "company"});
        QTest::newRow("number") << "2" << 2;
        QTest::newRow("blanks around") << " 3\t" << 3;
        QTest::newRow("not a number") << "dos" << 0;
    }

    // The company is a number; the argument stays as the host gave it, for gStParEmp and messages.
    void companyOfTheLoadCall()
    {
        QFETCH(QString, argument);
        QFETCH(int, company);
        const Session session = Session::fromLoadCall("local", "a.db", "", "ADMIN", "clave", argument, "", "1;2");
        QCOMPARE(session.company, company);
        QCOMPARE(session.companyParameter, argument);
        session.writeSuiteGlobals();
        QCOMPARE(gStParEmp, argument);
        QCOMPARE(gStCodiEmpr, QString::number(company));
        QCOMPARE(TApplication::instance().Tag, company);
    }

    // A session without options leaves no option list behind from the one before.
    void blankOptionsLeaveNoList()
    {
        Session::fromLoadCall("local", "a.db", "", "ANA", "", "1", "x y", "").writeSuiteGlobals();
        QVERIFY(gSlParams.has_value());
        Session::fromLoadCall("local", "a.db", "", "ANA", "", "1", "  ", "").writeSuiteGlobals();
        QVERIFY(!gSlParams.has_value());
        QCOMPARE(gStParHpv, QStringLiteral("  "));
    }

    void companyChangeKeepsTextAndTagTogether_data()
    {
        addColumns<QString, QList<int>>({"start", "changes"});
        QTest::newRow("back and forth") << "1" << QList<int>{3, 1, 3};
        QTest::newRow("from a company that is no number") << "uno" << QList<int>{2};
        QTest::newRow("to company 0") << "5" << QList<int>{0};
    }

    // Only the company changes; the start parameter stays what the host gave.
    void companyChangeKeepsTextAndTagTogether()
    {
        QFETCH(QString, start);
        QFETCH(QList<int>, changes);
        const Session loaded = Session::fromLoadCall("local", "a.db", "", "ANA", "clave", start, "x", "1;2");
        Session session = loaded;
        session.writeSuiteGlobals();
        for (int company : changes) {
            session = session.withCompany(company);
            session.writeSuiteGlobals();
            QCOMPARE(TApplication::instance().Tag, company);
            QCOMPARE(gStCodiEmpr, QString::number(company));
        }
        QCOMPARE(gStParEmp, start);
        QCOMPARE(session.withCompany(loaded.company), loaded);
    }

    // The connection works with the session it is handed and never with the globals (one handed
    // none has the empty session); a change of place closes it, a change of company keeps it open.
    void connectionFollowsItsSession()
    {
        const Session loaded = m_db.session(1);
        loaded.writeSuiteGlobals();
        SDCOMConnection connection;
        QCOMPARE(connection.session(), Session());
        connection.setSession(loaded);
        connection.Open();
        const Session handed = loaded.withCompany(3);
        connection.setSession(handed);
        QVERIFY(connection.Connected());
        QCOMPARE(connection.session(), handed);
        QCOMPARE(TApplication::instance().Tag, 1);

        Session elsewhere = handed;
        elsewhere.alias = m_db.path() + ".otra";
        connection.setSession(elsewhere);
        QVERIFY(!connection.Connected());
        QVERIFY2(messageOf<EDatabaseError>([&] { connection.Open(); }).contains(elsewhere.alias),
                 "the connection did not go to the new place");
    }

private:
    DemoDatabase m_db;
};

QTEST_GUILESS_MAIN(TestSessionValue)
#include "tst_sessionvalue.moc"
