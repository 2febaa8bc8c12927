// qacsemaf-server as workstations meet it: started as a real process on a free port over a seeded
// demo database, reached through the module's http transport and through raw HTTP requests.

#include "framework/connection/BlockingHttpClient.h"
#include "tests/support/DataTable.h"
#include "appserver/DatabaseDescription.h"
#include "tests/support/DemoDatabase.h"
#include "framework/Exceptions.h"
#include "framework/connection/HttpTransport.h"
#include "framework/connection/SDCOMConnection.h"
#include "tests/server/ServerProcess.h"
#include "tests/support/TestTools.h"
#include "framework/TApplication.h"
#include "framework/Ugnnorma.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>
#include <csignal>
#include <thread>

using protocol::RowDelta;

namespace {

QByteArray json(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QJsonObject bodyOf(const BlockingHttpClient::Response &response)
{
    return QJsonDocument::fromJson(response.body).object();
}

} // namespace

class TestHttpServer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        const QString error = m_server.start({QStringLiteral("--db"), m_db.path(), QStringLiteral("--max-request-bytes"),
                                              QStringLiteral("65536")});
        QVERIFY2(error.isEmpty(), qPrintable(error));
        m_db.startSession(1);
        // The same demo on PostgreSQL, for the tests that run on both engines.
        if (const QString pg = qEnvironmentVariable("QACSEMAF_PG"); !pg.isEmpty()) {
            const ProgramRun seed = runProgram(QStringLiteral(QACSEMAF_TOOL), {"seed", "--pg", pg, "--force"});
            QVERIFY2(seed.exitCode == 0, qPrintable(seed.errors));
            m_postgres = std::make_unique<ServerProcess>();
            QCOMPARE(m_postgres->start({QStringLiteral("--pg"), pg}), QString());
        }
    }

    void login_data()
    {
        addColumns<QString, QString, QString, int, QString>({"user", "password", "database", "status", "message"});
        const QString refused = QStringLiteral("Usuario o contraseña incorrectos. Verifique sus datos de acceso.");
        QTest::newRow("right password") << "ANALISTA" << "ANALISTA" << "demo" << 200 << "";
        QTest::newRow("wrong password") << "ANALISTA" << "ADMIN" << "demo" << 401 << refused;
        QTest::newRow("another database") << "ADMIN" << "ADMIN" << "nomina"
                                          << 404 << "Este servidor de aplicaciones no sirve la base de datos \"nomina\".";
    }

    void login()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, database);
        QFETCH(int, status);
        QFETCH(QString, message);
        BlockingHttpClient client(QStringLiteral("127.0.0.1"), m_server.port(), 10000);
        const auto response = client.post(QStringLiteral("/login"),
                                          json({{"user", user}, {"password", password}, {"database", database}}));
        QCOMPARE(response.status, status);
        QCOMPARE(bodyOf(response).value("error").toString(), message);
        QCOMPARE(bodyOf(response).value("token").toString().isEmpty(), status != 200);
    }

    void protocolFaults_data()
    {
        // token: valid, none, forged
        addColumns<QString, QByteArray, QString, int, QString>({"path", "body", "token", "status", "message"});
        const QByteArray fetchPlans = json({{"provider", "DtsPAcPprom"}});
        QTest::newRow("malformed JSON") << "/fetch" << QByteArray("{\"provider\": ") << "valid" << 400
                                        << "La solicitud no es un objeto JSON válido: unterminated object.";
        QTest::newRow("not an object") << "/fetch" << QByteArray("[1]") << "valid" << 400
                                       << "La solicitud no es un objeto JSON válido: se esperaba un objeto.";
        QTest::newRow("over the size limit") << "/fetch" << QByteArray(70000, ' ') << "valid" << 413
                                             << "La solicitud ocupa 70000 bytes; el máximo es 65536 bytes.";
        QTest::newRow("unknown provider") << "/fetch" << json({{"provider", "DtsPNoExiste"}}) << "valid" << 404
                                          << "El servidor de aplicaciones no tiene el proveedor \"DtsPNoExiste\".";
        QTest::newRow("parameter value not understood")
            << "/fetch"
            << json({{"provider", "DtsPTemporal"}, {"commandText", "select 1"},
                     {"params", QJsonArray{QJsonObject{{"name", "A"}, {"type", "string"}, {"value", QJsonObject{{"x", 1}}}}}}})
            << "valid" << 400 << "Consulta mal formada: un parámetro no es {name, type, value}.";
        QTest::newRow("no token") << "/fetch" << fetchPlans << "none" << 401
                                  << "Falta la sesión: inicie sesión antes de usar el servidor de aplicaciones.";
        const QString notModule = QStringLiteral("El servidor de aplicaciones solo ejecuta las sentencias del módulo; "
                                                 "la consulta enviada al proveedor DtsPTemporal no es una de ellas.");
        QTest::newRow("forged token") << "/fetch" << fetchPlans << "forged" << 401
                                      << "La sesión no es válida; inicie sesión de nuevo.";
        QTest::newRow("write smuggled into a fetch")
            << "/fetch" << json({{"provider", "DtsPTemporal"}, {"commandText", "DELETE FROM AC_PPROM"}}) << "valid" << 403
            << notModule;
        QTest::newRow("unknown route") << "/borrar" << fetchPlans << "valid" << 404 << "Ruta desconocida: /borrar.";
    }

    void protocolFaults()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QFETCH(QString, token);
        QFETCH(int, status);
        QFETCH(QString, message);
        const int plans = rowsOf(QStringLiteral("AC_PPROM"));
        BlockingHttpClient client(QStringLiteral("127.0.0.1"), m_server.port(), 10000);
        QByteArray bearer = login(client).toLatin1();
        QVERIFY(!bearer.isEmpty());
        if (token == QLatin1String("none"))
            bearer.clear();
        else if (token == QLatin1String("forged"))
            bearer = QJsonDocument(QJsonObject{{"u", "ADMIN"}, {"e", qint64(4102444800)}}).toJson(QJsonDocument::Compact).toBase64()
                     + '.' + bearer.mid(bearer.indexOf('.') + 1);
        const auto response = client.post(path, body, bearer);
        QCOMPARE(response.status, status);
        QCOMPARE(bodyOf(response).value("error").toString(), message);
        QCOMPARE(rowsOf(QStringLiteral("AC_PPROM")), plans);
    }

    // CONSULTA may use company 3 alone; ANALISTA every company of the demo.
    void companyAccess_data()
    {
        // companies: of the rows answered, when the fetch succeeds
        addColumns<QString, QString, QByteArray, int, QString, QString>(
            {"user", "path", "body", "status", "message", "companies"});
        const QString noGroup = QStringLiteral("El usuario CONSULTA no tiene acceso a la empresa 1 (Grupo Empresarial Andino S.A.).");
        const QString noPlant = QStringLiteral("El usuario CONSULTA no tiene acceso a la empresa 2 (Industrias Peñalisa S.A.S.).");
        const auto fetch = [](const char *statement, int company, const char *provider = "DtsPTemporal") {
            return json({{"provider", provider}, {"commandText", statement}, {"company", company}});
        };
        const QJsonArray plantHeader{QJsonObject{{"name", "P_COD_EMPR"}, {"type", "smallint"}, {"value", 2}}};
        const char *positionCompanies = "select cod_empr, cod_carg, nom_carg from bi_cargo where IND_ACTI = 'A' "
                                        "order by cod_empr, nom_carg";
        QTest::newRow("login to an allowed company") << "CONSULTA" << "/login"
            << json({{"user", "CONSULTA"}, {"password", "CONSULTA"}, {"company", 3}}) << 200 << "" << "";
        QTest::newRow("login to a forbidden company") << "CONSULTA" << "/login"
            << json({{"user", "CONSULTA"}, {"password", "CONSULTA"}, {"company", 1}}) << 403 << noGroup << "";
        QTest::newRow("session of a forbidden company") << "CONSULTA" << "/fetch" << fetch(positionCompanies, 1, "DtsPBiCargo")
            << 403 << noGroup << "";
        QTest::newRow("forbidden company in a provider parameter") << "CONSULTA" << "/fetch"
            << json({{"provider", "DtsPGnEmpre"}, {"company", 3}, {"params", plantHeader},
                     {"commandText", "SELECT E.COD_EMPR, NOM_EMPR, NIT_EMPR, BMP_REPO, DIR_EMPR, TEL_EMPR, DIG_VERI "
                                     "FROM GN_EMPRE E, NM_PARSS P WHERE (E.COD_EMPR = P.COD_EMPR) AND (E.COD_EMPR = :P_COD_EMPR)"}})
            << 403 << noPlant << "";
        QTest::newRow("forbidden company written into the statement") << "CONSULTA" << "/fetch"
            << fetch("SELECT COUNT(*) CONTADOR FROM BI_EMPLE where COD_EMPR = 1 and COD_EMPL = 5", 3) << 403 << noGroup << "";
        QTest::newRow("fetch spanning companies keeps to the allowed ones") << "CONSULTA" << "/fetch"
            << fetch(positionCompanies, 3, "DtsPBiCargo") << 200 << "" << "0,3";
        QTest::newRow("fetch spanning companies, every one allowed") << "ANALISTA" << "/fetch"
            << fetch(positionCompanies, 1, "DtsPBiCargo") << 200 << "" << "0,1,2,3";
        QTest::newRow("write to a forbidden company") << "CONSULTA" << "/apply"
            << json({{"provider", "DtsPAcCuare"}, {"company", 3},
                     {"deltas", QJsonArray{QJsonObject{{"kind", "insert"},
                                                       {"new", QJsonObject{{"COD_EMPR", 2}, {"COD_MENU", 3}, {"COD_NODO", 2},
                                                                           {"COD_EMPL", 4242}, {"COD_CARG", "SUP001"}}}}}}})
            << 403 << noPlant << "";
    }

    void companyAccess()
    {
        QFETCH(QString, user);
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(QString, companies);
        const int replacements = rowsOf(QStringLiteral("AC_CUARE"));
        BlockingHttpClient client(QStringLiteral("127.0.0.1"), m_server.port(), 10000);
        const QByteArray token = path == QLatin1String("/login") ? QByteArray() : login(client, user, user).toLatin1();
        QCOMPARE(token.isEmpty(), path == QLatin1String("/login"));
        const auto response = client.post(path, body, token);
        const QJsonObject answer = bodyOf(response);
        QCOMPARE(answer.value("error").toString(), message);
        QCOMPARE(response.status, status);
        QCOMPARE(rowsOf(QStringLiteral("AC_CUARE")), replacements);
        if (!companies.isEmpty()) {
            QStringList got;
            for (const QJsonValue &row : answer.value("rows").toArray())
                if (const QString company = row.toArray().first().toVariant().toString(); !got.contains(company))
                    got << company;
            QCOMPARE(got.join(QLatin1Char(',')), companies);
        }
    }

    // What a hostile but authenticated user (CONSULTA, company 3 alone) sends instead of the
    // module's statements, by class: each is refused, or answers company 3 (and 0) alone, and
    // the database is the same afterwards. On the file and, when there is one, on PostgreSQL.
    void hostileStatements_data()
    {
        // companies: of the rows answered when the fetch is not refused
        addColumns<QString, QString, QJsonArray, QString>({"provider", "text", "params", "companies"});
        const QString holders = QStringLiteral(
            " select a.COD_EMPR,a.COD_EMPL,a.COD_CARG, b.APE_EMPL,b.NOM_EMPL from NM_CONTR a, BI_EMPLE b"
            " where a.COD_EMPR = b.COD_EMPR and a.COD_EMPL = b.COD_EMPL and a.COD_EMPR = %1"
            " and a.COD_CARG = 'SUP001' and a.IND_ACTI = 'A' order by b.APE_EMPL");
        const QString plans = QStringLiteral("select cod_menu,nom_menu from ac_pprom where cod_empr = 3 and cod_nodo = 0");
        const QString header = QStringLiteral(
            "SELECT E.COD_EMPR, NOM_EMPR, NIT_EMPR, BMP_REPO, DIR_EMPR, TEL_EMPR, DIG_VERI FROM GN_EMPRE E, NM_PARSS P "
            "WHERE (E.COD_EMPR = P.COD_EMPR) AND (E.COD_EMPR = :P_COD_EMPR)");
        const auto company = [](const char *name, int value) {
            return QJsonArray{QJsonObject{{"name", name}, {"type", "smallint"}, {"value", value}}};
        };
        const QString t = QStringLiteral("DtsPTemporal");
        QTest::newRow("expression: arithmetic") << t << holders.arg("2 - 0") << QJsonArray() << "";
        QTest::newRow("expression: cast") << t << holders.arg("CAST(1 AS INTEGER)") << QJsonArray() << "";
        QTest::newRow("expression: other spelling") << t << holders.arg("1.0") << QJsonArray() << "";
        QTest::newRow("expression: leading zero") << t << holders.arg("01") << QJsonArray() << "";
        QTest::newRow("expression: range") << t << holders.arg("a.COD_EMPR OR a.COD_EMPR BETWEEN 1 AND 2") << QJsonArray() << "";
        QTest::newRow("expression: subquery") << t << holders.arg("(select min(cod_empr) from gn_empre)") << QJsonArray() << "";
        QTest::newRow("parameter: another company") << "DtsPGnEmpre" << header << company("P_COD_EMPR", 1) << "";
        QTest::newRow("parameter: a company under another name")
            << "DtsPGnEmpre" << header << (company("P_COD_EMPR", 3) + company("EMPRESA", 1).first()) << "3";
        QTest::newRow("fake column: renamed") << t << "select 3 as COD_EMPR, NOM_EMPL, SAL_EMPL from BI_EMPLE" << QJsonArray() << "";
        QTest::newRow("fake column: join by name") << "DtsPAcPprom" << "select * from ac_pprom natural join bi_emple" << QJsonArray() << "";
        QTest::newRow("set operation: union") << t << holders.arg("3") + " union select 1,1,'x','y','z'" << QJsonArray() << "";
        QTest::newRow("set operation: condition with OR stays inside the company")
            << t << "select a.cod_empl,a.nom_empl,a.ape_empl,b.cod_carg,b.nro_cont from bi_emple a,nm_contr b "
                    "where a.cod_empr = b.cod_empr and a.cod_empl = b.cod_empl and a.cod_empr = 3 and b.ind_acti = 'A' "
                    "AND 1=1 OR 1=1 order by a.ape_empl,a.nom_empl"
            << QJsonArray() << "holders of 3";
        QTest::newRow("side effects: function") << t << "select qac_escribe()" << QJsonArray() << "";
        QTest::newRow("side effects: end a connection") << t << "select pg_terminate_backend(pg_backend_pid())" << QJsonArray() << "";
        QTest::newRow("session: search path") << t << "set search_path to nadie" << QJsonArray() << "";
        QTest::newRow("session: timeout") << t << "select set_config('statement_timeout', '0', false)" << QJsonArray() << "";
        QTest::newRow("several statements: string settings")
            << t << "set standard_conforming_strings = off; select 'a\\'; insert into gn_usemp values ('CONSULTA', 1); --'" << QJsonArray() << "";
        QTest::newRow("several statements: after a module statement") << t << plans + "; delete from ac_cuare" << QJsonArray() << "";
        QTest::newRow("credentials: password hashes") << t << "select COD_USUA, PAS_USUA from GN_USUAR" << QJsonArray() << "";
        QTest::newRow("credentials: as a look-up condition") << t << plans + " AND PAS_USUA LIKE '%'" << QJsonArray() << "";
        QTest::newRow("large objects") << t << "select lo_import('/etc/passwd')" << QJsonArray() << "";
        QTest::newRow("the module's own read keeps to the user")
            << "DtsPBiCargo" << "select cod_empr, cod_carg, nom_carg from bi_cargo where IND_ACTI = 'A' order by cod_empr, nom_carg"
            << QJsonArray() << "0,3";
    }

    void hostileStatements()
    {
        QFETCH(QString, provider);
        QFETCH(QString, text);
        QFETCH(QJsonArray, params);
        QFETCH(QString, companies);
        const QStringList before = fingerprints();
        if (m_postgres)
            QVERIFY2(QRegularExpression(QStringLiteral("^\\d+\\|\\d+\\|\\d+\\|.+\\|\\d+\\|\\d+\\|\\d+$"))
                         .match(before.last()).hasMatch(),
                     qPrintable(before.last()));
        QList<quint16> ports{m_server.port()};
        if (m_postgres)
            ports << m_postgres->port();
        for (const quint16 port : ports) {
            BlockingHttpClient client(QStringLiteral("127.0.0.1"), port, 10000);
            const auto logged = client.post(QStringLiteral("/login"),
                                            json({{"user", "CONSULTA"}, {"password", "CONSULTA"}, {"company", 3}}));
            const QByteArray token = bodyOf(logged).value("token").toString().toLatin1();
            QVERIFY(!token.isEmpty());
            const auto response = client.post(QStringLiteral("/fetch"),
                json({{"provider", provider}, {"commandText", text}, {"company", 3}, {"params", params}}), token);
            const QJsonObject answer = bodyOf(response);
            if (companies.isEmpty()) {
                QCOMPARE(response.status, 403);
                const QString error = answer.value("error").toString();
                QVERIFY2(error.contains(QLatin1String("no es una de ellas")) || error.contains(QLatin1String("no tiene acceso"))
                             || error.contains(QLatin1String("no se puede leer")), qPrintable(error));
            } else if (companies == QLatin1String("holders of 3")) {
                QCOMPARE(response.status, 200);
                QCOMPARE(answer.value("rows").toArray().size(),
                         rowsOf(QStringLiteral("NM_CONTR WHERE COD_EMPR = 3 AND IND_ACTI = 'A'")));
            } else {
                QCOMPARE(response.status, 200);
                QStringList got;
                for (const QJsonValue &row : answer.value("rows").toArray())
                    if (const QString code = row.toArray().first().toVariant().toString(); !got.contains(code))
                        got << code;
                got.sort();
                QCOMPARE(got.join(QLatin1Char(',')), companies);
            }
        }
        QCOMPARE(fingerprints(), before);
    }

    void loadRefusesAForbiddenCompany_data()
    {
        addColumns<QString, QString>({"company", "message"});
        QTest::newRow("allowed") << "3" << "";
        QTest::newRow("forbidden") << "2" << "El usuario CONSULTA no tiene acceso a la empresa 2 (Industrias Peñalisa S.A.S.).";
    }

    // The check that the load makes (VerificarSesion with the host's user and company) over http.
    void loadRefusesAForbiddenCompany()
    {
        QFETCH(QString, company);
        QFETCH(QString, message);
        gStCodiUsua = gStPassUsua = QStringLiteral("CONSULTA");
        TApplication::instance().Tag = company.toInt();
        SDCOMConnection connection;
        connect(connection, m_server);
        const QString error =
            messageOf([&] { connection.AppServerCall(QStringLiteral("VerificarSesion"), {gStCodiUsua, company}); });
        m_db.startSession(1);
        QCOMPARE(error, message);
    }

    // The demo on PostgreSQL, read directly and through a server on it, gives what the file gives,
    // row for row (accented surnames and tied surnames included), and so does the succession map.
    void postgresAnswersAsTheFile()
    {
        const QString pg = qEnvironmentVariable("QACSEMAF_PG");
        if (pg.isEmpty())
            QSKIP("QACSEMAF_PG is not set: no PostgreSQL database to test against");
        const ProgramRun seed = runProgram(QStringLiteral(QACSEMAF_TOOL), {"seed", "--pg", pg, "--force"});
        QVERIFY2(seed.exitCode == 0, qPrintable(seed.errors));
        ServerProcess onPostgres;
        QCOMPARE(onPostgres.start({QStringLiteral("--pg"), pg}), QString());
        const QList<QStringList> runs{
            {"generate", "--company", "2", "--target", "SUP001@2", "--candidates", "OPE002@2,OPE001@2", "--categories", "EF,EN,EP,CO"},
            {"generate", "--company", "1", "--target", "GER001@1", "--candidates", "COO001@1,COO002@1,SUP001@2", "--categories", "EF,EP"},
            {"succession", "--company", "2", "--plan", "3", "--categories", "EF,EN,EP,CO"},
            {"succession", "--company", "1", "--plan", "1", "--gaps", "--categories", "EF,EN,EP,CO"}};
        for (const QStringList &run : runs) {
            QString outputs[3];
            const QList<QStringList> places{{"--db", m_db.path()}, {"--pg", pg}, {"--server", onPostgres.address()}};
            for (int i = 0; i < 3; ++i) {
                const ProgramRun tool = runProgram(QStringLiteral(QACSEMAF_TOOL), run + QStringList{"--format", "csv"} + places.at(i));
                QVERIFY2(tool.exitCode == 0, qPrintable(tool.errors));
                outputs[i] = tool.output;
            }
            QVERIFY(outputs[0].count(QLatin1Char('\n')) > 10);
            QCOMPARE(outputs[1], outputs[0]);
            QCOMPARE(outputs[2], outputs[0]);
        }
    }

    void twoInstancesServeOneClientAlternately()
    {
        ServerProcess second;
        QCOMPARE(second.start({QStringLiteral("--db"), m_db.path()}), QString());
        BlockingHttpClient first(QStringLiteral("127.0.0.1"), m_server.port(), 10000);
        BlockingHttpClient other(QStringLiteral("127.0.0.1"), second.port(), 10000);
        const QByteArray token = login(first).toLatin1();
        QVERIFY(!token.isEmpty());
        const QByteArray fetch = json({{"provider", "DtsPAcPprom"}, {"commandText", "select * from ac_pprom"}, {"company", 1}});
        const int plans = bodyOf(first.post(QStringLiteral("/fetch"), fetch, token)).value("rows").toArray().size();
        QVERIFY(plans > 0);
        for (int call = 0; call < 4; ++call) {
            BlockingHttpClient &server = call % 2 ? first : other;
            const auto response = server.post(QStringLiteral("/fetch"), fetch, token);
            QCOMPARE(response.status, 200);
            QCOMPARE(bodyOf(response).value("rows").toArray().size(), plans);
        }
    }

    void expiredTokenIsRefusedAndRenewed()
    {
        ServerProcess shortLived;
        QCOMPARE(shortLived.start({QStringLiteral("--db"), m_db.path(), QStringLiteral("--token-seconds"), QStringLiteral("1")}),
                 QString());
        BlockingHttpClient client(QStringLiteral("127.0.0.1"), shortLived.port(), 10000);
        const QByteArray token = login(client).toLatin1();
        SDCOMConnection connection;
        connect(connection, shortLived);
        const int companies = connection.Fetch(QStringLiteral("DtsPGnEmpreFrm"), QString(), {}).rows.size();
        QTest::qSleep(2100);
        const auto refused = client.post(QStringLiteral("/fetch"), json({{"provider", "DtsPAcPprom"}}), token);
        QCOMPARE(refused.status, 401);
        QCOMPARE(bodyOf(refused).value("error").toString(), QStringLiteral("La sesión expiró; inicie sesión de nuevo."));
        // The module's transport logs in again with the session's password and carries on.
        QCOMPARE(connection.Fetch(QStringLiteral("DtsPGnEmpreFrm"), QString(), {}).rows.size(), companies);
    }

    void serverKilledMidApplyCommitsNothingAndComesBack()
    {
        ServerProcess victim;
        QCOMPARE(victim.start({QStringLiteral("--db"), m_db.path()}), QString());
        const quint16 port = victim.port();
        SDCOMConnection connection;
        connect(connection, victim);
        const int before = rowsOf(QStringLiteral("AC_CUARE"));
        QList<RowDelta> batch;
        for (int i = 0; i < 20000; ++i)
            batch << RowDelta{RowDelta::Kind::Insert, {},
                              {{"COD_EMPR", 1}, {"COD_MENU", 77}, {"COD_NODO", 1}, {"COD_EMPL", 900000.0 + i},
                               {"COD_CARG", "OPE001"}, {"JEF_DEPE", "N"}, {"ACT_USUA", "ADMIN"}, {"ACT_ESTA", "A"}}};
        const qint64 pid = victim.pid();
        std::thread killer([pid] {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            ::kill(pid_t(pid), SIGKILL);
        });
        const QString message = messageOf([&] { connection.Apply(QStringLiteral("DtsPAcCuare"), batch); });
        killer.join();
        const int after = rowsOf(QStringLiteral("AC_CUARE"));
        // Killed before the commit: nothing; after it: everything. Never a part.
        QVERIFY2(after == before || after == before + batch.size(), qPrintable(QString::number(after - before)));
        QVERIFY2(message.contains(QStringLiteral("la operación no se completó")), qPrintable(message));
        ServerProcess again;
        QCOMPARE(again.start({QStringLiteral("--db"), m_db.path()}, port), QString());
        QVERIFY(!connection.Fetch(QStringLiteral("DtsPGnEmpreFrm"), QString(), {}).rows.isEmpty());
        QCOMPARE(rowsOf(QStringLiteral("AC_CUARE")), after);
    }

    // On a server of its own, which it stops: the other functions may run after it, in any order.
    void logsEachRequestAndStopsOnTerm()
    {
        ServerProcess logged;
        QCOMPARE(logged.start({QStringLiteral("--db"), m_db.path()}), QString());
        BlockingHttpClient client(QStringLiteral("127.0.0.1"), logged.port(), 10000);
        QVERIFY(login(client, QStringLiteral("ANALISTA"), QStringLiteral("ADMIN")).isEmpty());
        const QByteArray token = login(client, QStringLiteral("ANALISTA"), QStringLiteral("ANALISTA")).toLatin1();
        const QByteArray fetch = json({{"provider", "DtsPAcPprom"}, {"commandText", "select * from ac_pprom"}, {"company", 1}});
        QCOMPARE(client.post(QStringLiteral("/fetch"), fetch, token).status, 200);
        const QString log = logged.log();
        QVERIFY2(QRegularExpression(QStringLiteral("\\n\\S+ 127\\.0\\.0\\.1 ANALISTA /fetch DtsP\\w+ 200 rows=\\d+ \\d+ ms\\n")).match(log).hasMatch(),
                 qPrintable(log.right(400)));
        QVERIFY(log.contains(QStringLiteral(" ANALISTA /login login 401 rows=- ")));
        QCOMPARE(logged.terminate(), 0);
        QVERIFY(logged.log().endsWith(QStringLiteral("qacsemaf-server: signal 15: stopping\nqacsemaf-server: stopped\n")));
    }

private:
    QString login(BlockingHttpClient &client, const QString &user = QStringLiteral("ADMIN"),
                  const QString &password = QStringLiteral("ADMIN"))
    {
        const auto response = client.post(QStringLiteral("/login"),
                                          json({{"user", user}, {"password", password}, {"database", "demo"}}));
        return bodyOf(response).value("token").toString();
    }

    // What a hostile statement could change, on the file and on PostgreSQL: rows of the written
    // tables, the users' passwords and grants, and the objects of the schema.
    QStringList fingerprints()
    {
        QStringList facts = m_db.query(QStringLiteral(
            "SELECT (SELECT COUNT(*) FROM AC_PPROM), (SELECT COUNT(*) FROM AC_CUARE), (SELECT COUNT(*) FROM GN_USEMP), "
            "(SELECT GROUP_CONCAT(COD_USUA || PAS_USUA) FROM GN_USUAR), (SELECT COUNT(*) FROM sqlite_master)"));
        if (!m_postgres)
            return facts;
        appserver::DatabaseDescription pg;
        QString error;
        if (!appserver::DatabaseDescription::fromKeywords(qEnvironmentVariable("QACSEMAF_PG"), &pg, &error))
            return facts << error;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("fingerprint"));
            db.setHostName(pg.host);
            db.setPort(pg.port);
            db.setDatabaseName(pg.databaseName);
            db.setUserName(pg.user);
            db.setPassword(pg.password);
            QSqlQuery query(db);
            if (!db.open() || !query.exec(QStringLiteral(
                    "SELECT (SELECT count(*) FROM ac_pprom) || '|' || (SELECT count(*) FROM ac_cuare) || '|' || "
                    "(SELECT count(*) FROM gn_usemp) || '|' || (SELECT string_agg(cod_usua || pas_usua, ',' ORDER BY cod_usua) "
                    "FROM gn_usuar) || '|' || (SELECT count(*) FROM pg_class WHERE relnamespace = 'public'::regnamespace) "
                    "|| '|' || (SELECT count(*) FROM pg_proc WHERE pronamespace = 'public'::regnamespace) || '|' || "
                    "(SELECT count(*) FROM pg_largeobject_metadata)"))
                || !query.next())
                facts << db.lastError().text() + query.lastError().text();
            else
                facts << query.value(0).toString();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("fingerprint"));
        return facts;
    }

    int rowsOf(const QString &table) { return m_db.query(QStringLiteral("SELECT COUNT(*) FROM ") + table).value(0).toInt(); }

    void connect(SDCOMConnection &connection, const ServerProcess &server)
    {
        connection.setTransport(std::make_unique<HttpTransport>(server.address(), QStringLiteral("demo"), 10000));
    }

    DemoDatabase m_db;
    ServerProcess m_server;
    std::unique_ptr<ServerProcess> m_postgres;
};

QTEST_GUILESS_MAIN(TestHttpServer)
#include "tst_httpserver.moc"
