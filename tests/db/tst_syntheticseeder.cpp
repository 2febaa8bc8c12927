// The synthetic company for benchmarks: exactly N active contracts, all on positions of one
// flat plan below its top node, whose profile covers the six categories; about twenty records
// and two evaluations per person; the same rows on every run.

#include "DbTestSupport.h"
#include "DemoSeeder.h"
#include "SchemaLoader.h"

#include <QtTest>

using dbtools::DemoSeeder;
using dbtools::SchemaLoader;

class TestSyntheticSeeder : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_connections = 0;
    QStringList m_open;

    QSqlDatabase seeded(int employees, QString *error)
    {
        const QString name = QStringLiteral("synthetic%1").arg(++m_connections);
        *error = dbtest::openBackend(QStringLiteral("sqlite"), name, m_dir);
        if (!error->isEmpty())
            return {};
        m_open << name;
        QSqlDatabase db = QSqlDatabase::database(name);
        dbtools::DbOutcome outcome = SchemaLoader(db).create();
        if (outcome.ok())
            outcome = DemoSeeder(db).seedSynthetic(employees);
        *error = outcome.error;
        return db;
    }

    static int count(const QSqlDatabase &db, const QString &sql)
    {
        return dbtest::scalar(db, sql).toInt();
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void cleanup()
    {
        for (const QString &name : std::as_const(m_open))
            dbtest::closeBackend(name);
        m_open.clear();
    }

    void company_data()
    {
        QTest::addColumn<int>("employees");
        QTest::newRow("one") << 1;
        QTest::newRow("fewer than positions") << 5;
        QTest::newRow("37") << 37;
        QTest::newRow("1000") << 1000;
    }
    void company()
    {
        QFETCH(int, employees);
        QString error;
        const QSqlDatabase db = seeded(employees, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));

        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM NM_CONTR WHERE IND_ACTI = 'A'")), employees);
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(DISTINCT COD_EMPL) FROM NM_CONTR WHERE IND_ACTI = 'A'")), employees);
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM BI_EMPLE")), employees);
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM GN_EMPRE")), 1);
        // Every active contract is on an active position of the plan.
        QCOMPARE(count(db, QStringLiteral(
                     "SELECT COUNT(*) FROM NM_CONTR k WHERE k.IND_ACTI = 'A' AND NOT EXISTS (SELECT 1 FROM"
                     " AC_PPROM p, BI_CARGO c WHERE p.COD_EMPR = k.COD_EMPR AND p.COD_CARG = k.COD_CARG"
                     " AND c.COD_EMPR = p.COD_EMPR AND c.COD_CARG = p.COD_CARG AND c.IND_ACTI = 'A')")), 0);
        // A flat plan: one top node below the header, every other node below the top node.
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM AC_PPROM WHERE COD_NODO > 0 AND COD_NODP = 0")), 1);
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM AC_PPROM WHERE COD_NODO > 1 AND COD_NODP <> 1")), 0);
        QCOMPARE(count(db, QStringLiteral(
                     "SELECT COUNT(DISTINCT d.COD_DETA) FROM AC_PPROM p, BI_DTPCA a, AC_DPAMA d"
                     " WHERE p.COD_NODO = 1 AND a.COD_EMPR = p.COD_EMPR AND a.COD_CARG = p.COD_CARG"
                     " AND d.COD_EMPR = a.COD_EMPR AND d.TIP_REGI = a.TIP_REGI")), 6);
        // Two evaluations per person, each with competence lines.
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM ED_3CCOM")), 2 * employees);
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM ED_3LICC")), 2 * employees);
        QVERIFY(count(db, QStringLiteral("SELECT COUNT(*) FROM ED_D3CCO")) >= employees);
    }

    void recordsPerEmployee()
    {
        QString error;
        const QSqlDatabase db = seeded(400, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const int records = count(db, QStringLiteral(
            "SELECT (SELECT COUNT(*) FROM BI_DTPEF) + (SELECT COUNT(*) FROM BI_DTPNF) + (SELECT COUNT(*) FROM BI_DTPHV)"));
        const double perEmployee = records / 400.0;
        QVERIFY2(perEmployee >= 15 && perEmployee <= 25, qPrintable(QString::number(perEmployee)));
        // The records belong to people of the company and carry known record types.
        QCOMPARE(count(db, QStringLiteral(
                     "SELECT COUNT(*) FROM BI_DTPNF r WHERE NOT EXISTS (SELECT 1 FROM BI_EMPLE e WHERE"
                     " e.COD_EMPR = r.COD_EMPR AND e.COD_EMPL = r.COD_EMPL) OR r.TIP_REGI NOT IN"
                     " (SELECT TIP_REGI FROM AC_DPAMA WHERE COD_DETA = 'EN')")), 0);
    }

    void deterministic()
    {
        QString error;
        const QSqlDatabase first = seeded(300, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QSqlDatabase second = seeded(300, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        for (const QString &table : SchemaLoader::tableNames())
            QVERIFY2(dbtest::tableDigest(first, table) == dbtest::tableDigest(second, table), qPrintable(table));
    }

    void refusesNoEmployees()
    {
        QString error;
        const QSqlDatabase db = seeded(0, &error);
        QVERIFY(!error.isEmpty());
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM GN_EMPRE")), 0);
    }

    void failedSeedWritesNothing()
    {
        // A row already in the way makes the seed fail part-way; nothing of it may stay.
        const QString name = QStringLiteral("synthetic%1").arg(++m_connections);
        QCOMPARE(dbtest::openBackend(QStringLiteral("sqlite"), name, m_dir), QString());
        m_open << name;
        QSqlDatabase db = QSqlDatabase::database(name);
        QVERIFY(SchemaLoader(db).create().ok());
        QSqlQuery query(db);
        QVERIFY(query.exec(QStringLiteral("INSERT INTO AC_PPROM (COD_EMPR, COD_MENU, COD_NODO) VALUES (1, 1, 0)")));
        DemoSeeder seeder(db);
        const dbtools::DbOutcome outcome = seeder.seedSynthetic(50);
        QVERIFY(!outcome.ok());
        QVERIFY2(outcome.error.contains(QLatin1String("AC_PPROM")), qPrintable(outcome.error));
        QVERIFY(seeder.rowCounts().isEmpty());
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM BI_CARGO")), 0);
        QCOMPARE(count(db, QStringLiteral("SELECT COUNT(*) FROM AC_PPROM")), 1);
    }
};

QTEST_GUILESS_MAIN(TestSyntheticSeeder)
#include "tst_syntheticseeder.moc"
