// PostgreSQL as a wall behind the statement check: the reading role finds no password, no function
// with side effects, no other company's row, no way to write, and leaves its session as it found it.
// PostgreSQL only (QACSEMAF_PG).

#include "tests/support/DataTable.h"
#include "appserver/ServerCore.h"
#include "tests/appserver/ServerTestDb.h"
#include "appserver/SqlConnection.h"
#include "appserver/SqlDialect.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>
#include <algorithm>

using namespace appserver;

Q_DECLARE_METATYPE(QList<int>)

namespace {

// Everything a hostile statement could have changed, read by the superuser.
const QString kFingerprint = QStringLiteral(
    "SELECT (SELECT string_agg(cod_empr || '/' || cod_menu || '/' || cod_nodo, ',' ORDER BY 1) FROM ac_pprom) "
    "|| ' users ' || (SELECT string_agg(cod_usua || pas_usua, ',' ORDER BY 1) FROM gn_usuar) "
    "|| ' large objects ' || (SELECT count(*) FROM pg_largeobject_metadata)");

// What a session of the reader looks like to the next request.
const QString kSessionState = QStringLiteral(
    "SELECT current_setting('search_path') || ' | ' || current_setting('statement_timeout') || ' | ' "
    "|| current_setting('transaction_read_only') || ' | ' "
    "|| (SELECT count(*) FROM pg_locks WHERE locktype = 'advisory' AND pid = pg_backend_pid())");

} // namespace

class TstPgWall : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        CREATE_SERVER_TEST_DB(m_db);
        for (const QString &row : {
                 QStringLiteral("INSERT INTO GN_EMPRE (COD_EMPR, NOM_EMPR) VALUES (1, 'Uno S.A.'), (2, 'Dos Ltda')"),
                 QStringLiteral("INSERT INTO AC_PPROM (COD_EMPR, COD_MENU, COD_NODO, NOM_MENU) VALUES "
                                "(0, 1, 0, 'Plantilla'), (1, 1, 0, 'Plan uno'), (2, 1, 0, 'Plan dos')"),
                 QStringLiteral("INSERT INTO GN_USEMP (COD_USUA, COD_EMPR) VALUES ('OTRO', 2)"),
                 QStringLiteral("CREATE OR REPLACE FUNCTION qac_borra() RETURNS integer LANGUAGE sql AS "
                                "'DELETE FROM AC_PPROM RETURNING 1'")})
            QCOMPARE(m_db.exec(row), QString());
        QCOMPARE(m_reader.open(m_db.description(), SqlDialect(DatabaseDescription::Engine::Postgres), true), QString());
        QVERIFY2(!m_reader.resetsSession(), "set up by a superuser, the reader cannot change its session");
        m_fingerprint = superuserValue(kFingerprint);
        m_session = readerValue(kSessionState);
        QCOMPARE(m_session, QStringLiteral("public | 1min | on | 0"));
    }

    void hostileReads_data()
    {
        // error: a pattern the database's refusal matches; empty: the statements run, and
        // `companies` are then the only ones in the first column of the last one's rows
        addColumns<QStringList, QList<int>, QString, QList<int>>({"statements", "allowed", "error", "companies"});
        const QList<int> one{1};
        const auto row = [&](const char *name, const QString &statement, const char *error) {
            QTest::newRow(name) << QStringList{statement} << one << QString::fromLatin1(error) << QList<int>();
        };
        row("password column", "SELECT PAS_USUA FROM GN_USUAR", "permission denied for table gn_usuar");
        row("end the server's connection", "SELECT pg_terminate_backend(pg_backend_pid())",
            "permission denied for function pg_terminate_backend");
        row("widen the request's companies", "SELECT set_config('qacsemaf.empresas', '1,2', true)",
            "permission denied for function set_config");
        row("sleep", "SELECT pg_sleep(0)", "permission denied for function pg_sleep");
        row("advisory lock kept by the session", "SELECT pg_advisory_lock(7)", "permission denied for function pg_advisory_lock");
        row("run a text as SQL", "SELECT query_to_xml('SELECT 1', true, true, '')",
            "permission denied for function query_to_xml");
        row("write in the read transaction", "DELETE FROM AC_PPROM", "read-only transaction|permission denied");
        row("write through a function", "SELECT qac_borra()", "read-only transaction");
        QTest::newRow("write after switching the transaction to read-write")
            << QStringList{"SET TRANSACTION READ WRITE", "DELETE FROM AC_PPROM"} << one
            << "permission denied for table ac_pprom" << QList<int>();

        QTest::newRow("another company's plans") << QStringList{"SELECT COD_EMPR FROM AC_PPROM"} << one << QString()
                                                 << QList<int>{0, 1};
        QTest::newRow("another company's plans by name")
            << QStringList{"SELECT COD_EMPR FROM AC_PPROM WHERE COD_EMPR = 2"} << one << QString() << QList<int>();
        QTest::newRow("another company's name") << QStringList{"SELECT COD_EMPR FROM GN_EMPRE"} << one << QString()
                                                << QList<int>{1};
        QTest::newRow("other users' grants") << QStringList{"SELECT COD_EMPR FROM GN_USEMP"} << one << QString()
                                             << QList<int>{1};
        QTest::newRow("request without companies") << QStringList{"SELECT COD_EMPR FROM AC_PPROM"} << QList<int>()
                                                   << QString() << QList<int>{0};
        QTest::newRow("both companies") << QStringList{"SELECT COD_EMPR FROM AC_PPROM"} << QList<int>{1, 2}
                                        << QString() << QList<int>{0, 1, 2};
    }

    void hostileReads()
    {
        QFETCH(QStringList, statements);
        QFETCH(QList<int>, allowed);
        QFETCH(QString, error);
        QFETCH(QList<int>, companies);

        QCOMPARE(m_reader.beginRequest(allowed), QString());
        QString refusal;
        QList<int> seen;
        {
            QSqlQuery query(m_reader.database());
            for (const QString &statement : std::as_const(statements)) {
                if (!query.exec(statement)) {
                    refusal = query.lastError().text();
                    break;
                }
            }
            while (refusal.isEmpty() && query.next())
                seen << query.value(0).toInt();
            m_reader.endRequest(refusal.isEmpty());
        }
        if (error.isEmpty()) {
            QVERIFY2(refusal.isEmpty(), qPrintable(refusal));
            std::sort(seen.begin(), seen.end());
            seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
            QCOMPARE(seen, companies);
        } else {
            QVERIFY2(QRegularExpression(error).match(refusal).hasMatch(), qPrintable(refusal));
        }
        // The next request finds the session as every request does, and nothing was changed.
        QVERIFY(!m_reader.isBroken());
        QCOMPARE(readerValue(kSessionState), m_session);
        QCOMPARE(superuserValue(kFingerprint), m_fingerprint);
    }

    // The server's own road: a login and the user's companies are read on the writer's login,
    // and a fetch keeps to the companies of the user's grants.
    void serverKeepsToTheUsersCompanies()
    {
        QCOMPARE(m_db.exec(QStringLiteral("INSERT INTO GN_USUAR (COD_USUA, PAS_USUA, TIP_USUA) VALUES ('OTRO', 'clave2', 'U')")),
                 QString());
        ServerCore core;
        QCOMPARE(core.open(m_db.description()), QString());
        const FetchResult result = core.fetch(FetchRequest{Credentials{"OTRO", "clave2", 2}, QStringLiteral("DtsPAcPprom"),
                                                           QStringLiteral("Planes"), {}, {}});
        QVERIFY2(result.ok(), qPrintable(result.error));
        QStringList plans;
        for (const QVariantList &row : result.rows)
            plans << row.at(indexOfField(result.fields, QStringLiteral("COD_EMPR"))).toString() + QLatin1Char(' ')
                         + row.at(indexOfField(result.fields, QStringLiteral("NOM_MENU"))).toString();
        plans.sort();
        QCOMPARE(plans, (QStringList{"0 Plantilla", "2 Plan dos"}));
        // Company 1 is not OTRO's: the server refuses the row, and the writing role could not
        // write it either, with the request's companies set as the server sets them.
        const RowDelta plan{RowDelta::Kind::Insert, {}, {{"COD_EMPR", 1}, {"COD_MENU", 9}, {"COD_NODO", 0}, {"NOM_MENU", "Ajeno"}}};
        const ApplyResult applied = core.apply(ApplyRequest{Credentials{"OTRO", "clave2", 2}, QStringLiteral("DtsPAcPprom"), {plan}});
        QCOMPARE(applied.error, QStringLiteral("El usuario OTRO no tiene acceso a la empresa 1 (Uno S.A.)."));
        QCOMPARE(m_db.exec(QStringLiteral("BEGIN")), QString());
        QCOMPARE(m_db.exec(QStringLiteral("SET LOCAL ROLE %1").arg(m_db.description().writerRole)), QString());
        QCOMPARE(m_db.exec(QStringLiteral("SET LOCAL %1 = '2'").arg(SqlDialect::companySetting())), QString());
        const QString written = m_db.exec(QStringLiteral(
            "INSERT INTO AC_PPROM (COD_EMPR, COD_MENU, COD_NODO, NOM_MENU) VALUES (1, 9, 0, 'Ajeno')"));
        QCOMPARE(m_db.exec(QStringLiteral("ROLLBACK")), QString());
        QVERIFY2(written.contains(QLatin1String("row-level security")), qPrintable(written));
        QCOMPARE(m_db.exec(QStringLiteral("DELETE FROM GN_USUAR WHERE COD_USUA = 'OTRO'")), QString());
        QCOMPARE(superuserValue(kFingerprint), m_fingerprint);
    }

    // A reader an owner that is no superuser leaves able to change its settings has its session
    // reset after each request, or, when the reset itself is refused, a new session for the next
    // one. (Such a set-up end to end, and what it says: tst_sitesetup.)
    void readerThatMayChangeItsSessionIsReset_data()
    {
        QTest::addColumn<QString>("functions");
        QTest::newRow("reset allowed") << QStringLiteral("pg_catalog.set_config(text, text, boolean), "
                                                         "pg_catalog.pg_advisory_unlock_all()");
        QTest::newRow("unlock refused") << QStringLiteral("pg_catalog.set_config(text, text, boolean)");
    }
    void readerThatMayChangeItsSessionIsReset()
    {
        QFETCH(QString, functions);
        const QString grant = QStringLiteral("%1 EXECUTE ON FUNCTION ") + functions + QStringLiteral(" %2 ")
                              + m_db.description().readerUser;
        QCOMPARE(m_db.exec(grant.arg(QStringLiteral("GRANT"), QStringLiteral("TO"))), QString());
        const auto revoke =
            qScopeGuard([&] { m_db.exec(grant.arg(QStringLiteral("REVOKE"), QStringLiteral("FROM"))); });
        SqlConnection reader;
        const SqlDialect postgres(DatabaseDescription::Engine::Postgres);
        QCOMPARE(reader.open(m_db.description(), postgres, true), QString());
        QVERIFY(reader.resetsSession());
        QCOMPARE(readerValue(QStringLiteral("SELECT set_config('statement_timeout', '1', false) "
                                            "|| set_config('search_path', 'pg_catalog', false)"), reader),
                 QStringLiteral("1mspg_catalog"));
        QCOMPARE(readerValue(kSessionState, reader), m_session);
        // Row security holds all the same for a statement that keeps to itself.
        QCOMPARE(readerValue(QStringLiteral("SELECT count(*) FROM GN_USEMP"), reader), QStringLiteral("1"));
        reader.close();
    }

    void cleanupTestCase() { m_reader.close(); }

private:
    QString superuserValue(const QString &sql) { return m_db.value(sql); }

    QString readerValue(const QString &sql) { return readerValue(sql, m_reader); }
    QString readerValue(const QString &sql, SqlConnection &reader)
    {
        if (const QString error = reader.beginRequest({1}); !error.isEmpty())
            return error;
        QSqlQuery query(reader.database());
        const QString value = query.exec(sql) && query.next() ? query.value(0).toString() : query.lastError().text();
        reader.endRequest(true);
        return value;
    }

    ServerTestDb m_db{ServerTestDb::Backend::Postgres};
    SqlConnection m_reader;
    QString m_fingerprint;
    QString m_session;
};

QTEST_GUILESS_MAIN(TstPgWall)
#include "tst_pgwall.moc"
