// The schema: it loads on SQLite (and PostgreSQL when QACSEMAF_PG names a server) in one
// transaction, has no blank-padded columns, and keeps wide numbers exact and accents intact. How
// fast the module's statements run is the benchmarks' to show.

#include "tests/support/DataTable.h"
#include "tests/db/DbTestSupport.h"
#include "tools/dbtools/SchemaLoader.h"
#include "tools/dbtools/SiteEngine.h"

#include <QtTest>

using dbtools::SchemaLoader;

class TestSchemaLoader : public QObject {
    Q_OBJECT

private slots:
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

    void roundTrip_data()
    {
        addColumns<QString, QString, QString, QVariant>({"backend", "insert", "select", "expected"});
        struct Case { const char *name, *insert, *select; QVariant expected; };
        const QList<Case> cases = {
            {"requirement beyond 16 bits", "INSERT INTO BI_DTPCA (COD_EMPR,COD_CARG,NUM_REGI,TIP_REGI,COD_REQU) VALUES (1,'A',1,'CU',40001)",
             "SELECT COD_REQU FROM BI_DTPCA", 40001},
            {"identification beyond 32 bits exact", "INSERT INTO BI_EMPLE (COD_EMPR,COD_EMPL,NOM_EMPL,APE_EMPL) VALUES (1,3012345678,'a','b')",
             "SELECT COD_EMPL FROM BI_EMPLE", 3012345678.0},
            {"detail may be null", "INSERT INTO BI_DTPHV (COD_EMPR,COD_EMPL,NUM_REGI,TIP_REGI,COD_REQU,COD_ESPE) VALUES (1,5,1,'EX',501,NULL)",
             "SELECT COD_ESPE FROM BI_DTPHV", QVariant()},
            {"accents survive", "INSERT INTO BI_EMPLE (COD_EMPR,COD_EMPL,NOM_EMPL,APE_EMPL) VALUES (1,5,'Ángela María','Peña Muñoz')",
             "SELECT APE_EMPL FROM BI_EMPLE", QStringLiteral("Peña Muñoz")},
        };
        for (const char *backend : {"sqlite", "postgres"}) {
            for (const Case &c : cases) {
                QTest::addRow("%s/%s", backend, c.name) << QString::fromLatin1(backend) << QString::fromUtf8(c.insert)
                                                        << QString::fromUtf8(c.select) << c.expected;
            }
        }
    }
    void roundTrip()
    {
        QFETCH(QString, backend);
        QFETCH(QString, insert);
        QFETCH(QString, select);
        QFETCH(QVariant, expected);
        OPEN_TEST_DATABASE(test, backend);
        QVERIFY(SchemaLoader(test.db()).create().ok());
        QSqlQuery query(test.db());
        QVERIFY2(query.exec(insert), qPrintable(query.lastError().text()));
        QVERIFY2(query.exec(select) && query.next(), qPrintable(query.lastError().text()));
        const QVariant actual = query.value(0);
        QCOMPARE(actual.isNull(), expected.isNull());
        if (expected.typeId() == QMetaType::Double)
            QCOMPARE(actual.toDouble(), expected.toDouble());
        else if (!expected.isNull())
            QCOMPARE(actual.toString(), expected.toString());
    }

    void dialect_data()
    {
        addColumns<QString, QString, QString>({"statement", "driver", "expected"});
        QTest::newRow("blob on postgres") << "CREATE TABLE T (A BLOB, B integer)" << "QPSQL"
                                          << "CREATE TABLE T (A bytea, B integer)";
        QTest::newRow("blob on sqlite") << "CREATE TABLE T (A BLOB)" << "QSQLITE" << "CREATE TABLE T (A BLOB)";
        QTest::newRow("names containing BLOB stay") << "CREATE TABLE BLOBS (BLOB_ID integer)" << "QPSQL"
                                                    << "CREATE TABLE BLOBS (BLOB_ID integer)";
    }
    void dialect()
    {
        QFETCH(QString, statement);
        QFETCH(QString, driver);
        QFETCH(QString, expected);
        const dbtools::SiteEngine *engine = dbtools::SiteEngine::forDriver(driver);
        QVERIFY(engine);
        QCOMPARE(engine->dialect(statement), expected);
    }

};

QTEST_GUILESS_MAIN(TestSchemaLoader)
#include "tst_schemaloader.moc"
