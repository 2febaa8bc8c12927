// Fetches through the server core: typed parameters, refusals before the database, sessions and
// server methods. (The providers' own statements are read end to end by the report and window
// tests, the answer's types in tst_fetchanswerjson, the same rows on both databases in tst_httpserver.)
// Runs on SQLite, and on PostgreSQL when QACSEMAF_PG is set.

#include "tests/support/DataTable.h"
#include "appserver/ServerCore.h"
#include "tests/appserver/ServerTestDb.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using namespace appserver;

Q_DECLARE_METATYPE(QList<protocol::ParamValue>)
Q_DECLARE_METATYPE(protocol::Credentials)

namespace {

ParamValue param(const char *name, FieldType type, const QVariant &value)
{
    return ParamValue{QString::fromLatin1(name), type, value};
}

// Keeps what a row-by-row fetch hands over, and whether its typed reads agree with its values.
class CollectingSink : public RowSink {
public:
    FetchResult taken;
    QStringList disagreements;
    void fields(const QList<FieldDesc> &fields) override { taken.fields = fields; }
    void row(const RowCells &cells) override
    {
        taken.rows << cells.values(int(taken.fields.size()));
        for (int i = 0; i < taken.fields.size(); ++i)
            if (cells.typed() && !agrees(cells, i, taken.fields.at(i).type))
                disagreements << taken.fields.at(i).name;
    }

private:
    static bool agrees(const RowCells &cells, int i, FieldType type)
    {
        const QVariant value = cells.value(i);
        if (cells.isNull(i) || value.isNull())
            return cells.isNull(i) == value.isNull();
        switch (type) {
        case FieldType::Float: return value.typeId() == QMetaType::Double && cells.toDouble(i) == value.toDouble();
        case FieldType::Smallint:
        case FieldType::Integer: return value.typeId() == QMetaType::Int && cells.toInt(i) == value.toInt();
        case FieldType::String:
        case FieldType::FixedChar: return value.typeId() == QMetaType::QString && cells.toText(i) == value.toString();
        default: return true;
        }
    }
};

} // namespace

class TstServerFetch : public QObject {
    Q_OBJECT
public:
    explicit TstServerFetch(ServerTestDb::Backend backend) : m_db(backend) {}

private slots:
    void initTestCase()
    {
        if (!m_db.skipReason().isEmpty())
            QSKIP(qPrintable(m_db.skipReason()));
        qInfo("Backend: %s", qPrintable(m_db.backendName()));
        QCOMPARE(m_db.create(), QString());
        seed();
        QCOMPARE(m_core.open(m_db.description()), QString());
    }

    void parameters_data()
    {
        addColumns<QString, QList<ParamValue>, int, QString>({"sql", "params", "rowCount", "firstValue"});
        // (Texts and numbers bound by name are every provider's, read by the data module's tests.)

        QTest::newRow("names match without regard to case")
            << "select NOM_MENU from AC_PPROM\nwhere COD_EMPR = :P_COD_EMPR\nand COD_MENU = :pCodMenu and COD_NODO = 0"
            << QList<ParamValue>{param("p_cod_empr", FieldType::Smallint, 1), param("PCODMENU", FieldType::Smallint, 1)}
            << 1 << "Plan uno";
        QTest::newRow("set value wins over an unset duplicate")
            << "select NOM_MENU from AC_PPROM where COD_EMPR = :codempr and COD_NODO = 0 order by COD_MENU"
            << QList<ParamValue>{param("codempr", FieldType::Smallint, 2), param("codempr", FieldType::Smallint, QVariant())}
            << 1 << "Plan dos";
        QTest::newRow("null binds NULL")
            << "select count(*) from AC_PPROM where COALESCE(COD_NODP, -1) = COALESCE(:nodp, -1)"
            << QList<ParamValue>{param("nodp", FieldType::Smallint, QVariant())} << 1 << "3";
        QTest::newRow("untyped text against a number")
            << "select NOM_MENU from AC_PPROM where COD_EMPR = :P_COD_EMPR and COD_NODO = 0"
            << QList<ParamValue>{param("P_COD_EMPR", FieldType::Unknown, "2")} << 1 << "Plan dos";
        QTest::newRow("date-time parameter")
            << "select NOM_MENU from AC_PPROM where ACT_HORA > :desde order by ACT_HORA"
            << QList<ParamValue>{param("desde", FieldType::DateTime, QDateTime(QDate(2024, 3, 1), QTime(12, 0)))}
            << 1 << "Plan a:b";
        QTest::newRow("parameters the statement does not name are ignored")
            << "select NOM_MENU from AC_PPROM where COD_EMPR = 2"
            << QList<ParamValue>{param("otro", FieldType::Integer, 5)} << 1 << "Plan dos";
    }

    void parameters()
    {
        QFETCH(QString, sql);
        QFETCH(QList<ParamValue>, params);
        QFETCH(int, rowCount);
        QFETCH(QString, firstValue);

        const FetchResult result = fetch(QStringLiteral("DtsPTemporal"), sql, params);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.rows.size(), rowCount);
        QCOMPARE(result.rows.first().first().toString(), firstValue);
    }

    void refused_data()
    {
        addColumns<QString, QString>({"sql", "messagePart"});

        // Which statements the guard refuses is read without a database (tst_sqltext) and end to end
        // over HTTP; here the refusals the fetch itself makes.
        QTest::newRow("unbound parameter") << "select * from AC_PPROM where COD_EMPR = :P_FALTA" << "P_FALTA";
        QTest::newRow("no statement of the module") << "  ;  " << "no es una de ellas";
        // Registered for the test alone: the database's own wall behind the statement check
        // (SQLite's authorizer on the reading connection, PostgreSQL's reading role).
        QTest::newRow("stored passwords") << "select COD_USUA, PAS_USUA from GN_USUAR"
                                          << "is prohibited|permission denied";
        QTest::newRow("a function the module does not use") << "select randomblob(8) from GN_EMPRE"
                                                             << "not authorized|does not exist";
    }

    void refused()
    {
        QFETCH(QString, sql);
        QFETCH(QString, messagePart);

        const FetchResult refused = fetch(QStringLiteral("DtsPTemporal"), sql);
        QVERIFY2(!refused.ok(), qPrintable(sql));
        bool named = false;   // messagePart: one engine's words or the other's, split by "|"
        for (const QString &part : messagePart.split(QLatin1Char('|')))
            named = named || refused.error.contains(part);
        QVERIFY2(named, qPrintable(refused.error));
        // Nothing was lost and the core still answers.
        const FetchResult after = fetch(QStringLiteral("DtsPAcPprom"), QStringLiteral("select * from ac_pprom"));
        QVERIFY2(after.ok(), qPrintable(after.error));
        QCOMPARE(after.rows.size(), 4);
    }

    // A write that slips past the statement check (here inside a function) meets the read-only
    // connection (SQLSTATE 25006, read-only transaction).
    void readConnectionRefusesWrites()
    {
        if (m_db.description().engine != DatabaseDescription::Engine::Postgres)
            QSKIP("SQLite has no function that writes from a SELECT");
        const QString error = m_db.exec(QStringLiteral(
            "CREATE OR REPLACE FUNCTION qac_escribe() RETURNS integer LANGUAGE sql AS "
            "'DELETE FROM AC_PPROM RETURNING 1'"));
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const FetchResult refused = fetch(QStringLiteral("DtsPTemporal"), QStringLiteral("select qac_escribe()"));
        QVERIFY2(refused.error.contains(QStringLiteral("no es una de ellas")), qPrintable(refused.error));
        const FetchResult after = fetch(QStringLiteral("DtsPAcPprom"), QStringLiteral("select * from AC_PPROM"));
        QCOMPARE(after.rows.size(), 4);
    }

    // Statements that hide a second, writing statement in one engine's quoting: each is refused (or
    // runs as the harmless select the engine reads) and no row changes.
    void smuggledWrites_data()
    {
        // sqliteMessage: empty: runs as a plain select
        addColumns<QString, QString, QString>({"sql", "sqliteMessage", "pgMessage"});

        const QString write = QStringLiteral(" ; COMMIT; BEGIN READ WRITE; DELETE FROM AC_PPROM; ");
        QTest::newRow("escape string") << "select E'\\''" + write + "select ''" << "con prefijo" << "con prefijo";
        QTest::newRow("dollar quote") << "select $q$'$q$" + write + "select '" << "\"$\"" << "\"$\"";
        QTest::newRow("unicode string") << "select U&'d\\0061t'" + write << "\"&\"" << "\"&\"";
        QTest::newRow("nested comment") << "select 1 /* /* */ ' */" + write + "-- '" << "no es una de ellas"
                                        << "no es una de ellas";
        QTest::newRow("question mark for QtSql") << "select 1 as \"a\", ? from AC_PPROM" << "entre comillas"
                                                  << "entre comillas";
    }

    void smuggledWrites()
    {
        QFETCH(QString, sql);
        QFETCH(QString, sqliteMessage);
        QFETCH(QString, pgMessage);
        const bool postgres = m_db.description().engine == DatabaseDescription::Engine::Postgres;
        const QString message = postgres ? pgMessage : sqliteMessage;

        const FetchResult result = fetch(QStringLiteral("DtsPTemporal"), sql);
        if (message.isEmpty())
            QVERIFY2(result.ok(), qPrintable(result.error));
        else
            QVERIFY2(result.error.contains(message), qPrintable(result.error));
        const FetchResult after = fetch(QStringLiteral("DtsPAcPprom"), QStringLiteral("select * from AC_PPROM"));
        QCOMPARE(after.rows.size(), 4);
    }

    // The second line: the fetch connection's login may not write even when a statement gets past
    // the guard and ends the read-only transaction.
    void readerLoginCannotWrite()
    {
        const DatabaseDescription description = m_db.description();
        if (description.engine != DatabaseDescription::Engine::Postgres)
            QSKIP("SQLite's read connection is a read-only file handle (see refused)");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("reader-probe"));
            db.setHostName(description.host);
            db.setPort(description.port);
            db.setDatabaseName(description.databaseName);
            db.setUserName(description.readerUser);
            db.setPassword(description.password);
            QVERIFY2(db.open(), qPrintable(db.lastError().text()));
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("BEGIN READ WRITE")));
            QVERIFY(!query.exec(QStringLiteral("DELETE FROM AC_PPROM")));
            QVERIFY2(query.lastError().text().contains(QLatin1String("permission denied")),
                     qPrintable(query.lastError().text()));
            query.exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("reader-probe"));
        const FetchResult after = fetch(QStringLiteral("DtsPAcPprom"), QStringLiteral("select * from AC_PPROM"));
        QCOMPARE(after.rows.size(), 4);
    }

    // Rows handed over one by one are the rows of the whole answer, in its order (ties settled
    // the same way), and typed reads give the values themselves.
    void rowByRow_data()
    {
        addColumns<QString>({"sql"});
        QTest::newRow("ties on the ordering column") << "select COD_EMPR, DES_REGI, PUN_OBTE from BI_DTPEF order by COD_EMPR";
        QTest::newRow("ordered by a column not shown") << "select TIP_REGI, COD_REQU, COD_ESPE, PUN_OBTE from BI_DTPHV order by NUM_REGI";
        QTest::newRow("expressions") << "select COD_REQU * 2 as DOBLE, TIP_REGI || 'x' as TEXTO, FEC_REGI from BI_DTPEF order by 1";
        QTest::newRow("no rows") << "select COD_EMPL from BI_DTPEF where 1 = 0";
        QTest::newRow("short texts in turn, long texts")
            << "with recursive n(i) as (select 1 union all select i + 1 from n where i < 40) "
               "select i as N, substr('abcdefghijkl', 1 + i % 11, 1) as CORTO, "
               "'un texto de más de dieciséis letras ' || (i % 3) as LARGO from n order by i";
    }

    void rowByRow()
    {
        QFETCH(QString, sql);
        const FetchRequest request{ServerTestDb::session(), QStringLiteral("DtsPTemporal"), sql, {}};
        const FetchResult whole = m_core.fetch(request);
        QVERIFY2(whole.ok(), qPrintable(whole.error));
        CollectingSink sink;
        QCOMPARE(m_core.fetchEach(request, sink), QString());
        QCOMPARE(sink.taken.rows, whole.rows);
        QCOMPARE(sink.taken.fields.size(), whole.fields.size());
        QCOMPARE(sink.disagreements, QStringList());

        const FetchRequest wrong{ServerTestDb::session(), QStringLiteral("DtsPTemporal"), "select NO_EXISTE from BI_DTPEF", {}};
        // The same refusal (PostgreSQL numbers its prepared statements in the second line).
        const QString refusal = m_core.fetchEach(wrong, sink);
        QVERIFY(refusal.contains(QLatin1String("NO_EXISTE"), Qt::CaseInsensitive));
        QCOMPARE(refusal.section(QLatin1Char('\n'), 0, 0), m_core.fetch(wrong).error.section(QLatin1Char('\n'), 0, 0));
    }

    void wrongSession_data()
    {
        addColumns<Credentials, QString, QString>({"session", "provider", "messagePart"});

        QTest::newRow("wrong password") << Credentials{"PRUEBA", "otra", 1} << "DtsPAcPprom" << "contraseña";
        QTest::newRow("unknown provider") << ServerTestDb::session() << "DtsPNoExiste" << "DtsPNoExiste";
    }

    void wrongSession()
    {
        QFETCH(Credentials, session);
        QFETCH(QString, provider);
        QFETCH(QString, messagePart);

        const FetchResult result = fetch(provider, QStringLiteral("select * from AC_PPROM"), {}, session);
        QVERIFY2(result.error.contains(messagePart), qPrintable(result.error));
        QCOMPARE(result.rows.size(), 0);

        const RowDelta node{RowDelta::Kind::Delete, {{"COD_EMPR", 1}, {"COD_MENU", 1}, {"COD_NODO", 1}}, {}};
        if (provider == QLatin1String("DtsPAcPprom"))
            QVERIFY2(m_core.apply(ApplyRequest{session, provider, {node}}).error.contains(messagePart),
                     "apply with a refused session");
    }

    void programPaths_data()
    {
        addColumns<QVariantList, QString, QString>({"args", "method", "answer"});

        const QString codes = QStringLiteral("\"QBiHvext\",\"QBiEdfor\",\"QBiEdnfo\",\"QBiCargo\"");
        QTest::newRow("as the main form sends them")
            << QVariantList{QVariantList{codes}, "PRUEBA clave1 1AD", "AD", "PRUEBA", QVariant()}
            << "BuscarPathProgramaArreglo"
            << "C:\\Programas\\QBiHvext.exe,/opt/rrhh/qbiedfor,\"\",\"C:\\Program Files\\Suite\\QBiCargo.exe\"";
        QTest::newRow("unknown method") << QVariantList{} << "NoExiste" << QString();
    }

    void programPaths()
    {
        QFETCH(QVariantList, args);
        QFETCH(QString, method);
        QFETCH(QString, answer);

        const MethodResult result = m_core.call(MethodCall{ServerTestDb::session(), method, args});
        if (answer.isEmpty()) {
            QVERIFY2(result.error.contains(method), qPrintable(result.error));
            return;
        }
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.value.toList().value(0).toString(), answer);
    }

private:
    FetchResult fetch(const QString &provider, const QString &sql, const QList<ParamValue> &params = {},
                      const Credentials &session = ServerTestDb::session())
    {
        return m_core.fetch(FetchRequest{session, provider, sql, params});
    }

    void seed()
    {
        const QStringList rows{
            "INSERT INTO GN_EMPRE (COD_EMPR, NOM_EMPR, COD_PAIS, GRU_EMPR) VALUES (1, 'Uno S.A.', 57, 'N'), "
            "(2, 'Dos Ltda', 57, 'S')",
            "INSERT INTO AC_PPROM (COD_EMPR, COD_MENU, COD_NODO, COD_NODP, NOM_MENU, ACT_HORA, COD_CARG) VALUES "
            "(1, 1, 0, NULL, 'Plan uno', '2024-03-01 10:00:00', NULL), (1, 1, 1, 0, 'Gerente', '2024-02-01 09:00:00', 'GER01'), "
            "(1, 2, 0, NULL, 'Plan a:b', '2024-03-05 08:00:00', NULL), (2, 1, 0, NULL, 'Plan dos', '2024-01-01 00:00:00', NULL)",
            "INSERT INTO BI_DTPEF VALUES (1, 1001, 2, 'EF', 20, NULL, 15.5, 'Maestria', '2019-06-30'), "
            "(1, 1001, 1, 'EF', 10, 3, 40, 'Pregrado', '2010-12-01'), (1, 1002, 1, 'EF', 11, NULL, NULL, 'Otro empleado', NULL)",
            "INSERT INTO BI_DTPHV VALUES (1, 1001, 3, 'EP', 41, NULL, 2, 'Empresa B', '2015-01-01'), "
            "(1, 1001, 1, 'EP', 40, NULL, 3, 'Empresa A', '2012-01-01')",
            "INSERT INTO GN_PROGR (COD_PROG, PAT_PROG) VALUES ('QBiHvext', 'C:\\Programas\\QBiHvext.exe'), "
            "('QBiEdfor', '/opt/rrhh/qbiedfor'), ('QBiCargo', 'C:\\Program Files\\Suite\\QBiCargo.exe')",
        };
        for (const QString &row : rows)
            QCOMPARE(m_db.exec(row), QString());
    }

    ServerTestDb m_db;
    ServerCore m_core;
};

int main(int argc, char **argv)
{
    return runOnEveryBackend<TstServerFetch>(argc, argv);
}

#include "tst_serverfetch.moc"
