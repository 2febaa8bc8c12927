// qacsemaf-server as a real process over the demo, reached by the module's http transport and raw HTTP.

#include "framework/Exceptions.h"
#include "framework/connection/HttpTransport.h"
#include "framework/connection/SDCOMConnection.h"
#include "tests/server/ServerClient.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/TestTools.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <csignal>
#include <thread>

using protocol::RowDelta;

namespace {

QByteArray json(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

const QString kNoGroup = QStringLiteral("El usuario CONSULTA no tiene acceso a la empresa 1 (Grupo Empresarial Andino S.A.).");
const QString kNoPlant = QStringLiteral("El usuario CONSULTA no tiene acceso a la empresa 2 (Industrias Peñalisa S.A.S.).");

} // namespace

class TestHttpServer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        QCOMPARE(m_server.start({QStringLiteral("--db"), m_db.path()}), QString());
    }

    // token: whose session (or none, or ADMIN's forged). Nothing is written. (A row of a company not
    // the user's in a save: tst_serverapply and tst_pgwall, in-process.)
    void refusals_data()
    {
        addColumns<QString, QByteArray, QString, int, QString>({"path", "body", "token", "status", "message"});
        const QByteArray fetchPlans = json({{"provider", "DtsPAcPprom"}, {"statement", "Planes"}});
        const auto fetch = [](const char *provider, const char *statement, int company) {
            return json({{"provider", provider}, {"statement", statement}, {"company", company}});
        };
        const auto login = [](const char *user, const char *password, const QJsonValue &company, const QString &database) {
            return json({{"user", user}, {"password", password}, {"company", company}, {"database", database}});
        };
        QTest::newRow("malformed JSON") << "/fetch" << QByteArray("{\"provider\": ") << "ADMIN" << 400
                                        << "La solicitud no es un objeto JSON válido: unterminated object.";
        QTest::newRow("unknown provider") << "/fetch" << json({{"provider", "DtsPNoExiste"}}) << "ADMIN" << 404
                                          << "El servidor de aplicaciones no tiene el proveedor \"DtsPNoExiste\".";
        QTest::newRow("parameter value not understood")
            << "/fetch"
            << json({{"provider", "DtsPTemporal"}, {"statement", "ListaPlanes"},
                     {"params", QJsonArray{QJsonObject{{"name", "empresa"}, {"type", "string"}, {"value", QJsonObject{{"x", 1}}}}}}})
            << "ADMIN" << 400 << "Consulta mal formada: un parámetro no es {name, type, value}.";
        QTest::newRow("no token") << "/fetch" << fetchPlans << "none" << 401
                                  << "Falta la sesión: inicie sesión antes de usar el servidor de aplicaciones.";
        QTest::newRow("forged token") << "/fetch" << fetchPlans << "forged" << 401
                                      << "La sesión no es válida; inicie sesión de nuevo.";
        QTest::newRow("unknown route") << "/borrar" << fetchPlans << "ADMIN" << 404 << "Ruta desconocida: /borrar.";
        QTest::newRow("login, wrong password") << "/login" << login("ANALISTA", "ADMIN", 1, "demo") << "none" << 401
                                               << "Usuario o contraseña incorrectos. Verifique sus datos de acceso.";
        QTest::newRow("login, another database") << "/login" << login("ADMIN", "ADMIN", 1, "nomina") << "none" << 404
                                                 << "Este servidor de aplicaciones no sirve la base de datos \"nomina\".";
        QTest::newRow("login to a forbidden company") << "/login" << login("CONSULTA", "CONSULTA", 1, "demo") << "none" << 403
                                                      << kNoGroup;
        QTest::newRow("session of a forbidden company") << "/fetch" << fetch("DtsPBiCargo", "CargosActivos", 1) << "CONSULTA"
                                                        << 403 << kNoGroup;
    }

    void refusals()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QFETCH(QString, token);
        QFETCH(int, status);
        QFETCH(QString, message);
        const QString written = QStringLiteral("SELECT (SELECT COUNT(*) FROM AC_PPROM), (SELECT COUNT(*) FROM AC_CUARE)");
        const QStringList before = m_db.query(written);
        ServerClient client(m_server);
        QByteArray bearer;
        if (token != QLatin1String("none")) {
            const QString user = token == QLatin1String("forged") ? QStringLiteral("ADMIN") : token;
            bearer = client.login(user, user);
            QVERIFY(!bearer.isEmpty());
        }
        if (token == QLatin1String("forged"))
            bearer = QJsonDocument(QJsonObject{{"u", "ADMIN"}, {"e", qint64(4102444800)}}).toJson(QJsonDocument::Compact).toBase64()
                     + '.' + bearer.mid(bearer.indexOf('.') + 1);
        const ServerClient::Reply response = client.post(path, body, bearer);
        QCOMPARE(response.error(), message);
        QCOMPARE(response.status, status);
        QCOMPARE(m_db.query(written), before);
    }

    // A hostile but authenticated user (CONSULTA, company 3 alone): refused, or its values stay values
    // and it answers company 3 (and 0) alone; the database stays as it was. (The catalogue's reading
    // of each kind of value and condition: tst_sqltext; PostgreSQL's own wall: tst_pgwall.)
    void hostileRequests_data()
    {
        // answer: the error; on 200 the distinct values of the first column, sorted
        addColumns<QJsonObject, int, QString>({"request", "status", "answer"});
        const auto read = [](const char *provider, const char *statement, const QJsonObject &values = {},
                             const QJsonArray &conditions = {}) {
            QJsonArray params;
            for (auto it = values.begin(); it != values.end(); ++it)
                params.append(QJsonObject{{"name", it.key()}, {"type", it.value().isString() ? "string" : "smallint"},
                                          {"value", it.value()}});
            return QJsonObject{{"provider", provider}, {"statement", statement}, {"params", params}, {"conditions", conditions}};
        };
        const auto where = [](const char *column, const char *op, const QJsonValue &value) {
            return QJsonArray{QJsonObject{{"column", column}, {"op", op}, {"value", value}}};
        };
        QTest::newRow("name: SQL text") << read("DtsPTemporal", "select COD_USUA, PAS_USUA from GN_USUAR") << 403
                                        << "El servidor de aplicaciones solo ejecuta las sentencias del módulo; el proveedor "
                                           "DtsPTemporal no tiene la sentencia \"select COD_USUA, PAS_USUA from GN_USUAR\".";
        QTest::newRow("old form: SQL text") << QJsonObject{{"provider", "DtsPTemporal"}, {"commandText", "DELETE FROM AC_CUARE"}}
                                            << 400 << "Consulta mal formada: la solicitud trae texto SQL; el servidor solo "
                                                      "ejecuta sentencias del catálogo por su nombre.";
        // Run as SQL, the ORs would answer every company's rows.
        QTest::newRow("condition: a quote and OR in a text")
            << read("DtsPTemporal", "ListaPlanes", {{"empresa", 3}}, where("nom_menu", "=", "x') OR ('1'='1")) << 200 << "";

        QTest::newRow("company: another in a parameter") << read("DtsPGnEmpre", "EncabezadoEmpresa", {{"P_COD_EMPR", 1}})
                                                         << 403 << kNoGroup;
        QTest::newRow("company: another in a slot") << read("DtsPTemporal", "ListaPlanes", {{"empresa", 2}}) << 403 << kNoPlant;
        QTest::newRow("company: another in the second company parameter")
            << read("DtsPBiDtpefCargo", "RegistrosEducacionFormalCargosPerfil",
                    {{"EMPRESA", 3}, {"PERFIL", 1}, {"cargos", QJsonArray{"SUP001"}}, {"objetivos", QJsonArray{"GER001"}}})
            << 403 << kNoGroup;
        QTest::newRow("company: a fraction") << read("DtsPTemporal", "ListaPlanes", {{"empresa", QJsonObject{{"f", 3.5}}}}) << 403
                                             << "El valor de empresa en la sentencia ListaPlanes no sirve: \"3.5\" no es un "
                                                "código de empresa";
        // 65537 is company 1 once cut to a small integer.
        QTest::newRow("company: beyond a small integer") << read("DtsPBiCargo", "CargosActivosEmpresa", {{"CODEMPR", 65537}})
            << 403 << "El parámetro CODEMPR de la sentencia CargosActivosEmpresa no sirve: \"65537\" no es un código de empresa.";
        QTest::newRow("the module's own read keeps to the user") << read("DtsPBiCargo", "CargosActivos") << 200 << "0,3";
    }

    void hostileRequests()
    {
        QFETCH(QJsonObject, request);
        QFETCH(int, status);
        QFETCH(QString, answer);
        const QStringList before = fingerprints();
        request.insert(QStringLiteral("company"), 3);
        ServerClient client(m_server);
        const QByteArray token =
            client.login(QStringLiteral("CONSULTA"), QStringLiteral("CONSULTA"), {{"company", 3}});
        QVERIFY(!token.isEmpty());
        const ServerClient::Reply response = client.post(QStringLiteral("/fetch"), request, token);
        QCOMPARE(response.status, status);
        QCOMPARE(response.error(), status == 200 ? QString() : answer);
        QStringList got;
        for (const QJsonValue &row : response.body.value("rows").toArray())
            if (const QString value = row.toArray().first().toVariant().toString(); !got.contains(value))
                got << value;
        got.sort();
        QCOMPARE(got.join(QLatin1Char(',')), status == 200 ? answer : QString());
        QCOMPARE(fingerprints(), before);
    }

    // Several reads in one round trip, answered in order, a refused one with its own error, and one
    // log line that says when (with its zone), from where, who and what.
    void severalReadsInOneRoundTrip()
    {
        SDCOMConnection connection;
        connect(connection, m_server, Session("local", QString(), m_db.path(), "CONSULTA", "CONSULTA", 3));
        const qsizetype logged = m_server.log().size();
        const QList<protocol::FetchResult> answers = connection.FetchMany(
            {{{}, QStringLiteral("DtsPGnEmpreFrm"), QString(), {}, {}},
             {{}, QStringLiteral("DtsPTemporal"), QStringLiteral("ListaPlanes"), {{"empresa", protocol::FieldType::Smallint, 1}}, {}},
             {{}, QStringLiteral("DtsPBiCargo"), QStringLiteral("CargosActivosEmpresa"), {{"CODEMPR", protocol::FieldType::Smallint, 3}}, {}}});
        QCOMPARE(answers.size(), 3);
        QCOMPARE(answers.at(0).error + answers.at(2).error, QString());
        QCOMPARE(answers.at(0).rows.size(), 1);
        QCOMPARE(answers.at(0).rows.first().first().toInt(), 3);
        QCOMPARE(answers.at(1).error, kNoGroup);
        QVERIFY(answers.at(1).rows.isEmpty());
        QCOMPARE(answers.at(2).rows.size(), rowsOf(QStringLiteral("BI_CARGO WHERE COD_EMPR = 3 AND IND_ACTI = 'A'")));
        const QRegularExpression line(
            QStringLiteral(R"(\n\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}(Z|[+-]\d\d:\d\d) 127\.0\.0\.1 CONSULTA )"
                           R"(/fetchMany 3 lecturas \(con rechazos\) 200 rows=\d+ \d+ ms\n)"));
        QTRY_VERIFY2(line.match(m_server.log().mid(logged - 1)).hasMatch(),
                     qPrintable(m_server.log().mid(logged)));
        QCOMPARE(m_server.log().mid(logged).count(QLatin1String(" CONSULTA /fetch")), 1);

        // More reads than one call carries go in as many calls as needed, answered in order.
        QList<protocol::FetchRequest> many;
        for (int read = 0; read < protocol::kMostReadsPerCall + 2; ++read)
            many.append({{}, QStringLiteral("DtsPBiCargo"), QStringLiteral("CargosActivosEmpresa"),
                         {{"CODEMPR", protocol::FieldType::Smallint, 3}}, {}});
        const QList<protocol::FetchResult> all = connection.FetchMany(many);
        QCOMPARE(all.size(), many.size());
        QCOMPARE(all.last().error, QString());
        QCOMPARE(all.last().rows.size(), rowsOf(QStringLiteral("BI_CARGO WHERE COD_EMPR = 3 AND IND_ACTI = 'A'")));
    }

    // The demo on PostgreSQL gives what the file gives, row for row. (Through a server on it: tst_snapshots.)
    void postgresAnswersAsTheFile()
    {
        const QString pg = qEnvironmentVariable("QACSEMAF_PG");
        if (pg.isEmpty())
            QSKIP("QACSEMAF_PG is not set: no PostgreSQL database to test against");
        const ProgramRun seed = runProgram(QStringLiteral(QACSEMAF_TOOL), {"seed", "--pg", pg, "--force"});
        QVERIFY2(seed.exitCode == 0, qPrintable(seed.errors));
        const QList<QStringList> runs{
            {"generate", "--company", "1", "--target", "GER001@1", "--candidates", "COO001@1,COO002@1,SUP001@2", "--categories", "EF,EP"},
            {"succession", "--company", "1", "--plan", "1", "--gaps", "--categories", "EF,EN,EP,CO"}};
        for (const QStringList &run : runs) {
            QString outputs[2];
            const QList<QStringList> places{{"--db", m_db.path()}, {"--pg", pg}};
            for (int i = 0; i < 2; ++i) {
                const ProgramRun tool = runProgram(QStringLiteral(QACSEMAF_TOOL), run + QStringList{"--format", "csv"} + places.at(i));
                QVERIFY2(tool.exitCode == 0, qPrintable(tool.errors));
                outputs[i] = tool.output;
            }
            QVERIFY(outputs[0].count(QLatin1Char('\n')) > 10);
            QCOMPARE(outputs[1], outputs[0]);
        }
    }

    // (What the module's connection does with an ended session: tst_httpguards.)
    void expiredTokenIsRefused()
    {
        ServerProcess shortLived;
        QCOMPARE(shortLived.start({QStringLiteral("--db"), m_db.path(), QStringLiteral("--token-seconds"), QStringLiteral("1")}),
                 QString());
        ServerClient client(shortLived);
        const QByteArray token = client.login(QStringLiteral("ADMIN"), QStringLiteral("ADMIN"));
        const QJsonObject fetch{{"provider", "DtsPGnEmpreFrm"}, {"company", 1}};
        QCOMPARE(client.post(QStringLiteral("/fetch"), fetch, token).status, 200);
        QTest::qSleep(2100);
        const ServerClient::Reply refused = client.post(QStringLiteral("/fetch"), fetch, token);
        QCOMPARE(refused.status, 401);
        QCOMPARE(refused.error(), QStringLiteral("La sesión expiró; inicie sesión de nuevo."));
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
        // Another instance on the port takes the session the first one issued.
        ServerProcess again;
        QCOMPARE(again.start({QStringLiteral("--db"), m_db.path()}, port), QString());
        QVERIFY(!connection.Fetch(QStringLiteral("DtsPGnEmpreFrm"), QString(), {}).rows.isEmpty());
        QCOMPARE(rowsOf(QStringLiteral("AC_CUARE")), after);
    }

private:
    // What a hostile statement could change: written rows, passwords, grants, the schema's objects.
    QStringList fingerprints()
    {
        return m_db.query(QStringLiteral(
            "SELECT (SELECT COUNT(*) FROM AC_PPROM), (SELECT COUNT(*) FROM AC_CUARE), (SELECT COUNT(*) FROM GN_USEMP), "
            "(SELECT GROUP_CONCAT(COD_USUA || PAS_USUA) FROM GN_USUAR), (SELECT COUNT(*) FROM sqlite_master)"));
    }

    int rowsOf(const QString &table) { return m_db.query(QStringLiteral("SELECT COUNT(*) FROM ") + table).value(0).toInt(); }

    // The connection talks to `server` as the user of `session` (ADMIN in company 1 unless given).
    void connect(SDCOMConnection &connection, const ServerProcess &server, const Session &session = {})
    {
        connection.setSession(session.user.isEmpty() ? m_db.session(1) : session);
        connection.setTransport(std::make_unique<HttpTransport>(server.address(), QStringLiteral("demo"), 10000));
    }

    DemoDatabase m_db;
    ServerProcess m_server;
};

QTEST_GUILESS_MAIN(TestHttpServer)
#include "tst_httpserver.moc"
