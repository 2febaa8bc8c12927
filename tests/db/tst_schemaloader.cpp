// The schema: it loads on SQLite (and PostgreSQL when QACSEMAF_PG names a server), holds the
// tables and column types that the module and its providers rely on, keeps codes unpadded,
// loads atomically, and has the indexes that the module's statements need.

#include "DbTestSupport.h"
#include "SchemaLoader.h"

#include <QRegularExpression>
#include <QSqlIndex>
#include <QtTest>

using dbtools::SchemaLoader;

class TestSchemaLoader : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_connections = 0;
    QStringList m_open;

    static void addBackendColumn() { QTest::addColumn<QString>("backend"); }
    static QStringList backends() { return {QStringLiteral("sqlite"), QStringLiteral("postgres")}; }

    // Opens a fresh database of `backend` with the schema loaded; skips PostgreSQL without a server.
    QSqlDatabase freshDatabase(const QString &backend, bool load = true)
    {
        if (backend == QLatin1String("postgres") && dbtest::postgresConnInfo().isEmpty())
            return {};
        const QString name = QStringLiteral("schema%1").arg(++m_connections);
        const QString error = dbtest::openBackend(backend, name, m_dir);
        if (!error.isEmpty()) {
            qWarning("%s", qPrintable(error));
            return {};
        }
        m_open << name;
        QSqlDatabase db = QSqlDatabase::database(name);
        if (load) {
            const dbtools::DbOutcome created = SchemaLoader(db).create();
            if (!created.ok()) {
                qWarning("%s", qPrintable(created.error));
                return {};
            }
        }
        return db;
    }

#define OPEN_OR_SKIP(db, backend, ...)                                                     \
    QSqlDatabase db = freshDatabase(backend, ##__VA_ARGS__);                                \
    if (!db.isOpen() && backend == QLatin1String("postgres"))                               \
        QSKIP("PostgreSQL not available: set QACSEMAF_PG to a connection text");            \
    QVERIFY2(db.isOpen(), "the database did not open or the schema did not load");

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void cleanup()
    {
        for (const QString &name : std::as_const(m_open))
            dbtest::closeBackend(name);
        m_open.clear();
    }

    void requiredTablesDeclared_data()
    {
        QTest::addColumn<QString>("table");
        for (const char *table : {"AC_PPROM", "AC_CUARE", "AC_NIVEL", "AC_DPAMA", "AC_TIPRG", "AC_REQUI",
                                  "AC_ESPEC", "BI_CARGO", "BI_EMPLE", "NM_CONTR", "BI_DTPCA", "BI_DTPEF",
                                  "BI_DTPNF", "BI_DTPHV", "ED_3LICC", "ED_3CCOM", "ED_D3CCO", "GN_EMPRE",
                                  "GN_PAISE", "NM_PARSS", "GN_NEXOF", "GN_USUAR", "GN_PROGR"})
            QTest::newRow(table) << QString::fromLatin1(table);
    }
    void requiredTablesDeclared()
    {
        QFETCH(QString, table);
        QVERIFY2(SchemaLoader::tableNames().contains(table), qPrintable(table));
    }

    void createsEveryTable_data()
    {
        addBackendColumn();
        for (const QString &backend : backends())
            QTest::newRow(qPrintable(backend)) << backend;
    }
    void createsEveryTable()
    {
        QFETCH(QString, backend);
        OPEN_OR_SKIP(db, backend);
        QCOMPARE(SchemaLoader(db).existingTables(), SchemaLoader::tableNames());
    }

    void primaryKeys_data()
    {
        addBackendColumn();
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("expected");   // empty: any non-empty key
        const QList<QPair<QString, QStringList>> keys = {
            {QStringLiteral("AC_PPROM"), {"COD_EMPR", "COD_MENU", "COD_NODO"}},
            {QStringLiteral("AC_CUARE"), {"COD_EMPR", "COD_MENU", "COD_NODO", "COD_EMPL"}},
            {QStringLiteral("BI_CARGO"), {"COD_EMPR", "COD_CARG"}},
            {QStringLiteral("BI_EMPLE"), {"COD_EMPR", "COD_EMPL"}},
            {QStringLiteral("BI_DTPEF"), {"COD_EMPR", "COD_EMPL", "NUM_REGI"}},
            {QStringLiteral("BI_DTPNF"), {"COD_EMPR", "COD_EMPL", "NUM_REGI"}},
            {QStringLiteral("BI_DTPHV"), {"COD_EMPR", "COD_EMPL", "NUM_REGI"}},
            {QStringLiteral("GN_NEXOF"), {"COD_VARI", "COD_PAIS", "COD_EMPR"}},
            {QStringLiteral("GN_USUAR"), {"COD_USUA"}},
            {QStringLiteral("GN_PROGR"), {"COD_PROG"}},
        };
        for (const QString &backend : backends()) {
            for (const QString &table : SchemaLoader::tableNames()) {
                QStringList expected;
                for (const auto &key : keys) {
                    if (key.first == table)
                        expected = key.second;
                }
                QTest::newRow(qPrintable(backend + QLatin1Char('/') + table)) << backend << table << expected;
            }
        }
    }
    void primaryKeys()
    {
        QFETCH(QString, backend);
        QFETCH(QString, table);
        QFETCH(QStringList, expected);
        OPEN_OR_SKIP(db, backend);
        const QSqlIndex key = db.primaryIndex(db.driverName() == QLatin1String("QPSQL") ? table.toLower() : table);
        QStringList columns;
        for (int i = 0; i < key.count(); ++i)
            columns << key.fieldName(i).toUpper();
        QVERIFY2(!columns.isEmpty(), qPrintable(table + QStringLiteral(" has no primary key")));
        if (!expected.isEmpty())
            QCOMPARE(columns, expected);
    }

    // The declared type of a column in the DDL's portable spelling, and whether it takes NULL.
    static QPair<QString, bool> declaredColumn(const QSqlDatabase &db, const QString &table, const QString &column)
    {
        QSqlQuery query(db);
        if (db.driverName() == QLatin1String("QPSQL")) {
            query.prepare(QStringLiteral("SELECT data_type, character_maximum_length, is_nullable"
                                         " FROM information_schema.columns WHERE table_schema = current_schema()"
                                         " AND table_name = ? AND column_name = ?"));
            query.addBindValue(table.toLower());
            query.addBindValue(column.toLower());
            if (!query.exec() || !query.next())
                return {};
            const QString type = query.value(0).toString();
            const QString length = query.value(1).toString();
            const QHash<QString, QString> portable = {
                {QStringLiteral("character varying"), QStringLiteral("varchar(%1)").arg(length)},
                {QStringLiteral("character"), QStringLiteral("char(%1)").arg(length)},
                {QStringLiteral("bytea"), QStringLiteral("BLOB")},
                {QStringLiteral("timestamp without time zone"), QStringLiteral("timestamp")}};
            return {portable.value(type, type), query.value(2).toString() == QLatin1String("YES")};
        }
        if (!query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table)))
            return {};
        while (query.next()) {
            if (query.value(1).toString() == column)
                return {query.value(2).toString(), query.value(3).toInt() == 0};
        }
        return {};
    }

    void columnContract_data()
    {
        addBackendColumn();
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("nullable");
        struct Column { const char *table, *column, *type; bool nullable; };
        const QList<Column> columns = {
            {"BI_DTPEF", "COD_EMPR", "smallint", false},
            {"BI_DTPEF", "COD_EMPL", "double precision", false},
            {"BI_DTPEF", "NUM_REGI", "integer", false},
            {"BI_DTPEF", "TIP_REGI", "varchar(2)", false},
            {"BI_DTPEF", "COD_REQU", "integer", false},
            {"BI_DTPEF", "COD_ESPE", "integer", true},
            {"BI_DTPEF", "PUN_OBTE", "double precision", true},
            {"BI_DTPEF", "DES_REGI", "varchar(80)", true},
            {"BI_DTPNF", "FEC_REGI", "date", true},
            {"BI_DTPHV", "COD_ESPE", "integer", true},
            {"BI_DTPCA", "COD_REQU", "integer", false},
            {"BI_DTPCA", "COD_ESPE", "integer", true},
            {"BI_DTPCA", "PUN_REQU", "double precision", true},
            {"ED_D3CCO", "COD_REGI", "varchar(2)", false},
            {"ED_D3CCO", "COD_REQU", "integer", false},
            {"ED_D3CCO", "COD_ESPE", "integer", true},
            {"AC_PPROM", "COD_NODP", "smallint", true},
            {"AC_PPROM", "COD_CARG", "varchar(6)", true},
            {"AC_PPROM", "ACT_HORA", "timestamp", true},
            {"AC_CUARE", "COD_EMPL", "double precision", false},
            {"GN_EMPRE", "BMP_REPO", "BLOB", true},
            {"GN_EMPRE", "GRU_EMPR", "char(1)", true},
            {"GN_EMPRE", "COD_PAIS", "smallint", true},
            {"GN_NEXOF", "COD_VARI", "varchar(10)", false},
            {"GN_NEXOF", "VAL_VARI", "varchar(20)", false},
            {"GN_NEXOF", "TIP_DATO", "char(1)", false},
            {"GN_USUAR", "COD_USUA", "varchar(8)", false},
            {"GN_USUAR", "PAS_USUA", "varchar(30)", false},
            {"GN_USUAR", "TIP_USUA", "varchar(2)", false},
            {"GN_USUAR", "NOM_USUA", "varchar(60)", true},
            {"GN_PROGR", "COD_PROG", "varchar(20)", false},
            {"GN_PROGR", "PAT_PROG", "varchar(255)", false},
        };
        for (const QString &backend : backends()) {
            for (const Column &c : columns) {
                QTest::newRow(qPrintable(QStringLiteral("%1/%2.%3").arg(backend, c.table, c.column)))
                    << backend << QString::fromLatin1(c.table) << QString::fromLatin1(c.column)
                    << QString::fromLatin1(c.type) << c.nullable;
            }
        }
    }
    void columnContract()
    {
        QFETCH(QString, backend);
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, type);
        QFETCH(bool, nullable);
        OPEN_OR_SKIP(db, backend);
        const auto [declared, takesNull] = declaredColumn(db, table, column);
        QCOMPARE(declared.toLower(), type.toLower());
        QCOMPARE(takesNull, nullable);
    }

    void roundTrip_data()
    {
        addBackendColumn();
        QTest::addColumn<QString>("insert");
        QTest::addColumn<QString>("select");
        QTest::addColumn<QVariant>("expected");
        struct Case { const char *name, *insert, *select; QVariant expected; };
        const QList<Case> cases = {
            {"position code unpadded", "INSERT INTO BI_CARGO (COD_EMPR,COD_CARG,NOM_CARG,IND_ACTI) VALUES (1,'AB','x','A')",
             "SELECT COD_CARG FROM BI_CARGO", QStringLiteral("AB")},
            {"contract position unpadded", "INSERT INTO NM_CONTR (COD_EMPR,COD_EMPL,NRO_CONT,COD_CARG,IND_ACTI) VALUES (1,5,1,'AB','A')",
             "SELECT COD_CARG FROM NM_CONTR", QStringLiteral("AB")},
            {"plan node position unpadded", "INSERT INTO AC_PPROM (COD_EMPR,COD_MENU,COD_NODO,COD_CARG) VALUES (1,1,1,'C1')",
             "SELECT COD_CARG FROM AC_PPROM", QStringLiteral("C1")},
            {"replacement position unpadded", "INSERT INTO AC_CUARE (COD_EMPR,COD_MENU,COD_NODO,COD_EMPL,COD_CARG) VALUES (1,1,1,5,'C1')",
             "SELECT COD_CARG FROM AC_CUARE", QStringLiteral("C1")},
            {"level unpadded", "INSERT INTO AC_NIVEL (COD_EMPR,COD_NIVE,NOM_NIVE) VALUES (1,'1','x')",
             "SELECT COD_NIVE FROM AC_NIVEL", QStringLiteral("1")},
            {"record type unpadded", "INSERT INTO BI_DTPEF (COD_EMPR,COD_EMPL,NUM_REGI,TIP_REGI,COD_REQU) VALUES (1,5,1,'E',7)",
             "SELECT TIP_REGI FROM BI_DTPEF", QStringLiteral("E")},
            {"user code unpadded", "INSERT INTO GN_USUAR (COD_USUA,PAS_USUA,TIP_USUA) VALUES ('AB','x','A')",
             "SELECT COD_USUA FROM GN_USUAR", QStringLiteral("AB")},
            {"requirement beyond 16 bits", "INSERT INTO BI_DTPCA (COD_EMPR,COD_CARG,NUM_REGI,TIP_REGI,COD_REQU) VALUES (1,'A',1,'CU',40001)",
             "SELECT COD_REQU FROM BI_DTPCA", 40001},
            {"competence line requirement beyond 16 bits", "INSERT INTO ED_D3CCO (COD_EMPR,RMT_3CCO,NUM_LINE,COD_REGI,COD_REQU) VALUES (1,1,1,'CO',99999)",
             "SELECT COD_REQU FROM ED_D3CCO", 99999},
            {"detail may be null", "INSERT INTO BI_DTPHV (COD_EMPR,COD_EMPL,NUM_REGI,TIP_REGI,COD_REQU,COD_ESPE) VALUES (1,5,1,'EX',501,NULL)",
             "SELECT COD_ESPE FROM BI_DTPHV", QVariant()},
            {"ten-digit identification exact", "INSERT INTO BI_EMPLE (COD_EMPR,COD_EMPL,NOM_EMPL,APE_EMPL) VALUES (1,1020304050,'a','b')",
             "SELECT COD_EMPL FROM BI_EMPLE", 1020304050.0},
            {"accents survive", "INSERT INTO BI_EMPLE (COD_EMPR,COD_EMPL,NOM_EMPL,APE_EMPL) VALUES (1,5,'Ángela María','Peña Muñoz')",
             "SELECT APE_EMPL FROM BI_EMPLE", QStringLiteral("Peña Muñoz")},
        };
        for (const QString &backend : backends()) {
            for (const Case &c : cases) {
                QTest::newRow(qPrintable(backend + QLatin1Char('/') + QLatin1String(c.name)))
                    << backend << QString::fromUtf8(c.insert) << QString::fromUtf8(c.select) << c.expected;
            }
        }
    }
    void roundTrip()
    {
        QFETCH(QString, backend);
        QFETCH(QString, insert);
        QFETCH(QString, select);
        QFETCH(QVariant, expected);
        OPEN_OR_SKIP(db, backend);
        QSqlQuery query(db);
        QVERIFY2(query.exec(insert), qPrintable(query.lastError().text()));
        QVERIFY2(query.exec(select) && query.next(), qPrintable(query.lastError().text()));
        const QVariant actual = query.value(0);
        QCOMPARE(actual.isNull(), expected.isNull());
        if (expected.typeId() == QMetaType::Double)
            QCOMPARE(actual.toDouble(), expected.toDouble());
        else if (!expected.isNull())
            QCOMPARE(actual.toString(), expected.toString());
    }

    void sqliteFilesUseWal()
    {
        OPEN_OR_SKIP(db, QStringLiteral("sqlite"));
        QCOMPARE(dbtest::scalar(db, QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
    }

    void failedLoadLeavesNothing_data()
    {
        addBackendColumn();
        for (const QString &backend : backends())
            QTest::newRow(qPrintable(backend)) << backend;
    }
    void failedLoadLeavesNothing()
    {
        QFETCH(QString, backend);
        OPEN_OR_SKIP(db, backend, false);
        // The last table of the schema is in the way, so the load fails at its end.
        const QString last = SchemaLoader::tableNames().constLast();
        QSqlQuery query(db);
        QVERIFY2(query.exec(QStringLiteral("CREATE TABLE %1 (X integer)").arg(last)), qPrintable(query.lastError().text()));
        const dbtools::DbOutcome created = SchemaLoader(db).create();
        QVERIFY(!created.ok());
        QVERIFY2(created.error.contains(last, Qt::CaseInsensitive), qPrintable(created.error));
        QCOMPARE(SchemaLoader(db).existingTables(), QStringList{last});
    }

    void dialect_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("expected");
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
        QCOMPARE(SchemaLoader::toDialect(statement, driver), expected);
    }

    void portableTypesOnly_data()
    {
        QTest::addColumn<QString>("statement");
        for (const QString &statement : SchemaLoader::portableStatements())
            QTest::newRow(qPrintable(statement.section(QLatin1Char('('), 0, 0).simplified())) << statement;
    }
    void portableTypesOnly()
    {
        QFETCH(QString, statement);
        static const QRegularExpression column(QStringLiteral("^\\s*([A-Z][A-Z0-9_]*)\\s+([^,\\n]*?)\\s*(NOT NULL)?\\s*,?\\s*$"));
        static const QRegularExpression portable(QStringLiteral(
            "^(smallint|integer|double precision|varchar\\(\\d+\\)|char\\(\\d+\\)|timestamp|date|BLOB)$"));
        if (!statement.startsWith(QLatin1String("CREATE TABLE")))
            return;
        const QStringList lines = statement.split(QLatin1Char('\n')).mid(1);
        for (const QString &line : lines) {
            const auto match = column.match(line);
            if (!match.hasMatch() || match.captured(1) == QLatin1String("PRIMARY"))
                continue;
            QVERIFY2(portable.match(match.captured(2)).hasMatch(), qPrintable(line.trimmed()));
        }
    }

    void moduleStatementsUseIndexes_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::newRow("active holders of a position")
            << "select a.COD_EMPR,a.COD_EMPL,a.COD_CARG, b.APE_EMPL,b.NOM_EMPL from NM_CONTR a, BI_EMPLE b"
               " where a.COD_EMPR = b.COD_EMPR and a.COD_EMPL = b.COD_EMPL and a.COD_EMPR = 1"
               " and a.COD_CARG = 'OPE001' and a.IND_ACTI = 'A' order by b.APE_EMPL";
        QTest::newRow("active contracts of an employee")
            << "select COD_EMPR,COD_EMPL,COD_CARG from NM_CONTR WHERE COD_EMPR = 1 and COD_EMPL = 5 and IND_ACTI = 'A'";
        for (const char *table : {"BI_DTPEF", "BI_DTPNF", "BI_DTPHV"})
            QTest::newRow(table) << QStringLiteral("SELECT * FROM %1 WHERE COD_EMPR = 1 AND COD_EMPL = 5").arg(QLatin1String(table));
        QTest::newRow("profile of a position")
            << " select * from BI_DTPCA a  where a.COD_EMPR = 1 and a.COD_CARG = 'X' AND TIP_REGI IN"
               " (select TIP_REGI from ac_dpama WHERE COD_EMPR = a.COD_EMPR AND COD_DETA IN ('EF','CO'))"
               " ORDER BY a.TIP_REGI, a.COD_REQU, a.COD_ESPE ";
        QTest::newRow("latest evaluation")
            << "SELECT * FROM ED_3CCOM C, ED_D3CCO D WHERE C.COD_EMPR = 1 AND C.COD_EMPL = 5"
               " AND C.FEC_DESD = (SELECT MAX(FEC_DESD) FROM ED_3CCOM WHERE COD_EMPR = 1 AND COD_EMPL = 5)"
               " AND D.COD_EMPR = C.COD_EMPR AND D.RMT_3CCO = C.RMT_3CCO";
        QTest::newRow("evaluation cycles") << "select * from ed_3licc where cod_empl=5 and cod_empr=1 ORDER BY RMT_LICC DESC";
        QTest::newRow("children of a node") << "select * from ac_pprom where cod_empr = 1 and cod_menu = 1 and cod_nodp = 3";
        QTest::newRow("nodes of a plan")
            << "select cod_empr,cod_carg,cod_menu,cod_nodo,cod_nodp, cod_emca from ac_pprom"
               " where cod_empr = 1 and cod_menu = 1 and cod_nodo > 0 order by cod_nodo";
    }
    void moduleStatementsUseIndexes()
    {
        QFETCH(QString, statement);
        OPEN_OR_SKIP(db, QStringLiteral("sqlite"));
        QSqlQuery query(db);
        QVERIFY2(query.exec(QStringLiteral("EXPLAIN QUERY PLAN ") + statement), qPrintable(query.lastError().text()));
        QStringList steps;
        while (query.next())
            steps << query.value(3).toString();
        QVERIFY(!steps.isEmpty());
        for (const QString &step : steps)
            QVERIFY2(!step.startsWith(QLatin1String("SCAN")) || step.contains(QLatin1String("CONSTANT ROW")),
                     qPrintable(steps.join(QStringLiteral(" | "))));
    }
};

QTEST_GUILESS_MAIN(TestSchemaLoader)
#include "tst_schemaloader.moc"
