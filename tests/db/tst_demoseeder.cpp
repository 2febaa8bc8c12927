// The schema loads in one transaction on both engines, unpadded, keeping wide numbers and nulls; the
// seeders: the demo's promises, the same rows on every run and engine, nothing left by a failure.

#include "tests/support/DataTable.h"
#include "tests/db/DbTestSupport.h"
#include "tools/dbtools/DemoSeeder.h"
#include "tools/dbtools/SchemaLoader.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using dbtools::DbOutcome;
using dbtools::DemoSeeder;
using dbtools::SchemaLoader;

namespace {

constexpr int demo = -1;   // instead of a number of synthetic employees: the demo world

DbOutcome seed(const QSqlDatabase &db, int employees, QMap<QString, int> *counts = nullptr)
{
    if (const DbOutcome created = SchemaLoader(db).create(); !created.ok())
        return created;
    DemoSeeder seeder(db);
    const DbOutcome seeded = employees == demo ? seeder.seedDemo() : seeder.seedSynthetic(employees);
    if (counts)
        *counts = seeder.rowCounts();
    return seeded;
}

// Every row but its password hash, as text that reads the same on both engines.
QStringList rowsAsText(const QSqlDatabase &db, const QString &table)
{
    QStringList names = SchemaLoader::columns(table);
    names.removeIf([](const QString &name) { return name.compare(QLatin1String("PAS_USUA"), Qt::CaseInsensitive) == 0; });
    const QString columns = names.join(QLatin1Char(','));
    QSqlQuery query(db);
    QStringList rows;
    if (!query.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %1").arg(columns, table)))
        return {query.lastError().text()};
    while (query.next()) {
        QStringList values;
        for (int i = 0; i < names.size(); ++i) {
            const QVariant value = query.value(i);
            values << (value.isNull()                               ? QStringLiteral("NULL")
                       : value.typeId() == QMetaType::QByteArray   ? QString::fromLatin1(value.toByteArray().toHex())
                       : value.typeId() == QMetaType::QDateTime    ? value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                       : value.typeId() == QMetaType::QDate        ? value.toDate().toString(Qt::ISODate)
                                                                    : value.toString());
        }
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

} // namespace

class TestDemoSeeder : public QObject {
    Q_OBJECT

    TestDatabase m_demo;

private slots:
    void initTestCase()
    {
        QVERIFY2(m_demo.error().isEmpty(), qPrintable(m_demo.error()));
        const DbOutcome seeded = seed(m_demo.db(), demo);
        QVERIFY2(seeded.ok(), qPrintable(seeded.error));
    }

    // A load that fails part-way leaves nothing; once the way is clear, every table is created.
    void createsEveryTableOrNone_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::newRow("sqlite") << QStringLiteral("sqlite");
        QTest::newRow("postgres") << QStringLiteral("postgres");
    }
    void createsEveryTableOrNone()
    {
        QFETCH(QString, backend);
        OPEN_TEST_DATABASE(test, backend);
        const QString last = SchemaLoader::tableNames().constLast();
        QSqlQuery query(test.db());
        QVERIFY2(query.exec(QStringLiteral("CREATE TABLE %1 (X integer)").arg(last)), qPrintable(query.lastError().text()));
        const dbtools::DbOutcome failed = SchemaLoader(test.db()).create();
        QVERIFY2(failed.error.contains(last, Qt::CaseInsensitive), qPrintable(failed.error));
        QCOMPARE(SchemaLoader(test.db()).existingTables(), QStringList{last});

        QVERIFY(query.exec(QStringLiteral("DROP TABLE %1").arg(last)));
        const dbtools::DbOutcome created = SchemaLoader(test.db()).create();
        QVERIFY2(created.ok(), qPrintable(created.error));
        QCOMPARE(SchemaLoader(test.db()).existingTables(), SchemaLoader::tableNames());
        if (backend == QLatin1String("sqlite"))
            QCOMPARE(test.value(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
        else   // a blank-padded type would hand codes back padded
            QCOMPARE(test.value(QStringLiteral("SELECT COUNT(*) FROM information_schema.columns WHERE table_schema ="
                                               " current_schema() AND data_type = 'character' AND character_maximum_length > 1")).toInt(), 0);
    }

    // What the column types must hold where they are strict (the demo's accents and codes beyond 16
    // bits are compared across the engines in tst_demoseeder).
    void roundTripOnPostgres_data()
    {
        addColumns<QString, QString, QVariant>({"insert", "select", "expected"});
        QTest::newRow("identification beyond 32 bits exact")
            << "INSERT INTO BI_EMPLE (COD_EMPR,COD_EMPL,NOM_EMPL,APE_EMPL) VALUES (1,3012345678,'a','b')"
            << "SELECT COD_EMPL FROM BI_EMPLE" << QVariant(3012345678.0);
        QTest::newRow("detail may be null")
            << "INSERT INTO BI_DTPHV (COD_EMPR,COD_EMPL,NUM_REGI,TIP_REGI,COD_REQU,COD_ESPE) "
               "VALUES (1,5,1,'EX',501,NULL)"
            << "SELECT COD_ESPE FROM BI_DTPHV" << QVariant();
    }
    void roundTripOnPostgres()
    {
        QFETCH(QString, insert);
        QFETCH(QString, select);
        QFETCH(QVariant, expected);
        OPEN_TEST_DATABASE(test, QStringLiteral("postgres"));
        QVERIFY(SchemaLoader(test.db()).create().ok());
        QSqlQuery query(test.db());
        QVERIFY2(query.exec(insert), qPrintable(query.lastError().text()));
        QVERIFY2(query.exec(select) && query.next(), qPrintable(query.lastError().text()));
        const QVariant actual = query.value(0);
        QCOMPARE(actual.isNull(), expected.isNull());
        if (!expected.isNull())
            QCOMPARE(actual.toDouble(), expected.toDouble());
    }

    // What the screens rely on beyond the plans the generation tests read.
    void values_data()
    {
        addColumns<QString, QString>({"sql", "expected"});
        QTest::newRow("profile rows without a named requirement")
            << "SELECT COUNT(*) FROM BI_DTPCA a LEFT JOIN AC_REQUI r ON r.COD_EMPR = a.COD_EMPR AND r.TIP_APLI = 'AC'"
               " AND r.TIP_REGI = a.TIP_REGI AND r.COD_REQU = a.COD_REQU WHERE a.COD_EMPR > 0 AND r.NOM_REQU IS NULL" << "0";
        QTest::newRow("audit times not as the server writes them")
            << "SELECT COUNT(*) FROM (SELECT ACT_HORA FROM AC_PPROM UNION SELECT ACT_HORA FROM AC_CUARE) t WHERE ACT_HORA"
               " IS NULL OR ACT_HORA NOT GLOB '[12][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]'" << "0";
        // Codes the generation's output does not show (that output is compared in tst_goldentable).
        const QList<QPair<const char *, const char *>> codes = {
            {"BI_DTPEF", "TIP_REGI"}, {"ED_D3CCO", "COD_REGI"}, {"GN_NEXOF", "VAL_VARI"}, {"GN_USUAR", "COD_USUA"}};
        for (const auto &[table, column] : codes) {
            QTest::addRow("%s.%s padded or blank", table, column)
                << QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 <> TRIM(%2) OR %2 = ''").arg(table, column) << "0";
        }
        QTest::newRow("logo") << "SELECT GROUP_CONCAT(e.COD_EMPR || ':' || COALESCE(SUBSTR(e.BMP_REPO, 2, 3), '-'), ' ')"
                                 " FROM (SELECT * FROM GN_EMPRE ORDER BY COD_EMPR) e" << "1:PNG 2:- 3:-";
        QTest::newRow("administrator, password stored as a hash")
            << "SELECT SUBSTR(PAS_USUA, 1, 12) || '/' || TIP_USUA FROM GN_USUAR WHERE COD_USUA = 'ADMIN'"
            << "scrypt$14$8$/A";
    }
    void values()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        const QVariant value = m_demo.value(sql);
        QVERIFY(value.isValid());
        QCOMPARE(value.toString(), expected);
    }

    void failedSeedWritesNothing_data()
    {
        // inTheWay: a row written before the seed
        addColumns<QString, QString, int, QString>({"backend", "inTheWay", "employees", "message"});
        const QString planRow = QStringLiteral("INSERT INTO AC_PPROM (COD_EMPR, COD_MENU, COD_NODO) VALUES (1, 1, 0)");
        for (const char *backend : {"sqlite", "postgres"}) {
            const QString on = QStringLiteral(" on %1").arg(QLatin1String(backend));
            QTest::newRow(qPrintable("no employees" + on)) << backend << QString() << 0 << "al menos un empleado";
            QTest::newRow(qPrintable("synthetic over a plan row" + on)) << backend << planRow << 50
                                                                       << "Falló la inserción en AC_PPROM";
            QTest::newRow(qPrintable("demo over a plan row" + on)) << backend << planRow << demo
                                                                  << "Falló la inserción en AC_PPROM";
        }
    }
    void failedSeedWritesNothing()
    {
        QFETCH(QString, backend);
        QFETCH(QString, inTheWay);
        QFETCH(int, employees);
        QFETCH(QString, message);
        OPEN_TEST_DATABASE(test, backend);
        QVERIFY(SchemaLoader(test.db()).create().ok());
        if (!inTheWay.isEmpty())
            QVERIFY(QSqlQuery(test.db()).exec(inTheWay));
        DemoSeeder seeder(test.db());
        const DbOutcome seeded = employees == demo ? seeder.seedDemo() : seeder.seedSynthetic(employees);
        QVERIFY2(seeded.error.contains(message), qPrintable(seeded.error));
        QVERIFY(seeder.rowCounts().isEmpty());
        int rows = 0;
        // The schema's own version row is no row of the seed's.
        for (const QString &table : SchemaLoader::tableNames())
            if (table != QLatin1String("AC_VERSI"))
                rows += test.value(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt();
        QCOMPARE(rows, inTheWay.isEmpty() ? 0 : 1);
    }

    // PostgreSQL takes rows by COPY, SQLite by INSERT: the same rows, the counts reported, statistics.
    void sameRowsEverywhere_data()
    {
        addColumns<QString, int>({"backend", "employees"});
        QTest::newRow("demo on sqlite") << "sqlite" << demo;
        QTest::newRow("synthetic on sqlite") << "sqlite" << 300;
        QTest::newRow("demo on postgres") << "postgres" << demo;
    }
    void sameRowsEverywhere()
    {
        QFETCH(QString, backend);
        QFETCH(int, employees);
        OPEN_TEST_DATABASE(test, backend);
        TestDatabase first;
        QMap<QString, int> reported;
        QVERIFY(seed(first.db(), employees, &reported).ok());
        const DbOutcome seeded = seed(test.db(), employees);
        QVERIFY2(seeded.ok(), qPrintable(seeded.error));
        for (const QString &table : SchemaLoader::tableNames()) {
            if (table == QLatin1String("AC_VERSI"))   // the schema's row, not the seed's
                continue;
            const QStringList expected = rowsAsText(first.db(), table);
            QCOMPARE(expected.size(), reported.value(table));
            const QStringList stored = rowsAsText(test.db(), table);
            QCOMPARE(stored.size(), expected.size());
            for (int i = 0; i < expected.size(); ++i)
                QCOMPARE(table + QLatin1Char(':') + stored.at(i), table + QLatin1Char(':') + expected.at(i));
            if (backend == QLatin1String("postgres") && !expected.isEmpty()) {
                const QString statistics =
                    QStringLiteral("SELECT count(*) > 0 FROM pg_stats WHERE tablename = lower('%1')");
                const QVariant analysed = test.value(statistics.arg(table));
                QCOMPARE(table + QLatin1Char(':') + analysed.toString(), table + QStringLiteral(":true"));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestDemoSeeder)
#include "tst_demoseeder.moc"
