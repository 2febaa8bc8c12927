// What an administrator runs the server with: health without a session as the database comes and
// goes, the configuration file, maintenance while migrating (health and metrics read meanwhile).
// (The log file: tst_httpguards, with SIGHUP.)

#include "appserver/DatabaseDescription.h"
#include "tests/server/ServerProcess.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/TestTools.h"
#include "tools/dbtools/DatabaseOpener.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct HttpAnswer {
    int status = 0;
    QJsonObject body;
    QByteArray text;
};

// One request on a connection of its own, as a monitor sends it (a GET without `post`).
HttpAnswer request(quint16 port, const QString &path, const QByteArray &post = {})
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(5000))
        return {};
    socket.write((post.isNull() ? QStringLiteral("GET %1 HTTP/1.1\r\n").arg(path)
                                : QStringLiteral("POST %1 HTTP/1.1\r\nContent-Length: %2\r\n").arg(path).arg(post.size()))
                     .toLatin1()
                 + "Host: 127.0.0.1\r\nConnection: close\r\n\r\n" + post);
    // The answer is complete when its body has the length its head announced.
    QByteArray reply;
    static const QRegularExpression length(QStringLiteral("content-length:\\s*(\\d+)"), QRegularExpression::CaseInsensitiveOption);
    const auto complete = [&reply] {
        const int head = reply.indexOf("\r\n\r\n");
        if (head < 0)
            return false;
        const auto match = length.match(QString::fromLatin1(reply.left(head)));
        return match.hasMatch() && reply.size() - head - 4 >= match.captured(1).toInt();
    };
    while (!complete() && socket.waitForReadyRead(10000))
        reply += socket.readAll();
    HttpAnswer answer{reply.mid(9, 3).toInt(), {}, reply.mid(reply.indexOf("\r\n\r\n") + 4)};
    answer.body = QJsonDocument::fromJson(answer.text).object();
    return answer;
}

} // namespace

class TestServerOperations : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(m_db.isValid(), qPrintable(m_db.error())); }

    // The database gone, the check is 503 with the reason in the log only (the answer names no host
    // or role); back, 200.
    void healthFollowsThePostgresDatabase()
    {
        const QString pg = qEnvironmentVariable("QACSEMAF_PG");
        if (pg.isEmpty())
            QSKIP("QACSEMAF_PG is not set: no PostgreSQL database to test against");
        QCOMPARE(runProgram(QStringLiteral(QACSEMAF_TOOL), {"seed", "--pg", pg, "--force"}).exitCode, 0);
        ServerProcess server;
        QCOMPARE(server.start({QStringLiteral("--pg"), pg}), QString());
        QCOMPARE(request(server.port(), QStringLiteral("/health")).status, 200);
        appserver::DatabaseDescription description;
        QString error;
        QVERIFY2(appserver::DatabaseDescription::fromKeywords(pg, &description, &error), qPrintable(error));
        const QString maintenance = pg + QStringLiteral(" dbname=postgres");
        const QStringList ended = queryPostgres({QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS false").arg(description.databaseName),
                                                 QStringLiteral("SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity "
                                                                "WHERE datname = '%1'").arg(description.databaseName)},
                                                maintenance);
        QVERIFY2(!ended.value(0).startsWith(QLatin1String("ERROR")), qPrintable(ended.join('\n')));
        const HttpAnswer down = request(server.port(), QStringLiteral("/health"));
        QCOMPARE(queryPostgres({QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS true").arg(description.databaseName)},
                               maintenance),
                 QStringList());
        QCOMPARE(down.status, 503);
        QCOMPARE(down.body, (QJsonObject{{"estado", "unavailable"}}));
        QTRY_VERIFY2(server.log().contains(QStringLiteral("/health: la base de datos no responde: ")), qPrintable(server.log()));
        QCOMPARE(request(server.port(), QStringLiteral("/health")).status, 200);
    }

    void configurationFile_data()
    {
        addColumns<QString, QStringList, int, QString>({"ini", "arguments", "exitCode", "message"});
        QTest::newRow("in a [server] section") << "[server]\ndb=%DB%\nlisten=127.0.0.1:0\n" << QStringList() << -1 << "";
        QTest::newRow("the command line wins") << "db=/no/such/file.db\nlisten=127.0.0.1:0\n"
                                               << QStringList{"--db", "%DB%"} << -1 << "";
        QTest::newRow("a key that is no option") << "db=%DB%\nport=8080\n" << QStringList() << 2
                                                 << "nombra la opción desconocida \"port\"";
        QTest::newRow("a file that cannot be read") << "" << QStringList() << 2 << "--config: no se puede leer";
        QTest::newRow("checked, not started") << "db=%DB%\nlisten=127.0.0.1:0\n" << QStringList{"--check-config"} << 0
                                              << "la configuración es válida: SQLite " + m_db.path();
        QTest::newRow("checked: the log file") << "db=%DB%\nlog-file=/no/such/folder/server.log\n"
                                               << QStringList{"--check-config"} << 2
                                               << "--log-file: no se puede abrir /no/such/folder/server.log";
        QTest::newRow("checked: the address") << "db=%DB%\nlisten=127.0.0.1\n" << QStringList{"--check-config"} << 2
                                              << "--listen: \"127.0.0.1\" is not address:port";
    }

    void configurationFile()
    {
        QFETCH(QString, ini);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("qacsemaf-server.ini"));
        if (!ini.isEmpty()) {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(QString(ini).replace(QStringLiteral("%DB%"), m_db.path()).toUtf8());
        }
        arguments.replaceInStrings(QStringLiteral("%DB%"), m_db.path());
        arguments << QStringLiteral("--config") << file;
        if (exitCode < 0) {
            ServerProcess server;
            QCOMPARE(server.start(arguments), QString());
            QVERIFY2(server.log().contains(QStringLiteral("database SQLite ") + m_db.path()), qPrintable(server.log()));
            return;
        }
        const ProgramRun run = runProgram(QStringLiteral(QACSEMAF_SERVER), arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
    }

    // While qacsemaf migrate holds the database (waiting on the test's lock), all but /health and
    // /metrics get 503; when it ends or is killed, the server serves again by itself.
    void maintenanceWhileMigrating_data()
    {
        addColumns<bool, bool>({"postgres", "killed"});
        QTest::newRow("sqlite, the migration ends") << false << false;
        QTest::newRow("sqlite, the migration is killed") << false << true;
        QTest::newRow("postgres, the migration ends") << true << false;
    }

    void maintenanceWhileMigrating()
    {
        QFETCH(bool, postgres);
        QFETCH(bool, killed);
        const QString pg = qEnvironmentVariable("QACSEMAF_PG");
        if (postgres && pg.isEmpty())
            QSKIP("QACSEMAF_PG is not set: no PostgreSQL database to test against");
        if (postgres)
            QCOMPARE(runProgram(QStringLiteral(QACSEMAF_TOOL), {"seed", "--pg", pg, "--force"}).exitCode, 0);
        const QStringList place = postgres ? QStringList{"--pg", pg} : QStringList{"--db", m_db.path()};
        ServerProcess server;
        QCOMPARE(server.start(place), QString());
        const QByteArray fetch = R"({"provider":"DtsPAcCuare"})";
        QCOMPARE(request(server.port(), QStringLiteral("/fetch"), fetch).status, 401);
        {
            const dbtools::DbOutcome opened = postgres ? dbtools::DatabaseOpener::openPostgres(pg, QStringLiteral("holder"))
                                                       : dbtools::DatabaseOpener::openSqlite(m_db.path(), QStringLiteral("holder"));
            QVERIFY2(opened.ok(), qPrintable(opened.error));
            QSqlDatabase db = QSqlDatabase::database(QStringLiteral("holder"));
            QVERIFY(QSqlQuery(db).exec(postgres ? QStringLiteral("BEGIN; LOCK TABLE ac_versi IN ACCESS EXCLUSIVE MODE")
                                                : QStringLiteral("BEGIN EXCLUSIVE")));
            QProcess migrate;
            migrate.start(QStringLiteral(QACSEMAF_TOOL), QStringList{QStringLiteral("migrate")} + place);
            QTRY_COMPARE_WITH_TIMEOUT(request(server.port(), QStringLiteral("/fetch"), fetch).status, 503, 4000);
            const HttpAnswer refused = request(server.port(), QStringLiteral("/login"), R"({"user":"A","password":"B"})");
            QCOMPARE(refused.status, 503);
            QCOMPARE(refused.body.value("error").toString(),
                     QStringLiteral("El servidor de aplicaciones está en mantenimiento: se está actualizando la base de "
                                    "datos. Intente de nuevo en unos minutos."));
            // A scraper still reads what each route answered.
            const HttpAnswer scraped = request(server.port(), QStringLiteral("/metrics"));
            const QByteArray answered = "qacsemaf_http_requests_total{route=";
            QVERIFY2(scraped.text.contains(answered + "\"/login\",status=\"503\"} 1\n")
                         && scraped.text.contains(answered + "\"/fetch\",status=\"503\"} "),
                     scraped.text.constData());
            if (killed)
                migrate.kill();
            QVERIFY2(QSqlQuery(db).exec(QStringLiteral("ROLLBACK")), qPrintable(db.lastError().text()));
            QVERIFY(migrate.waitForFinished(10000));
            if (!killed)
                QCOMPARE(migrate.exitCode(), 0);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
        QTRY_COMPARE_WITH_TIMEOUT(request(server.port(), QStringLiteral("/fetch"), fetch).status, 401, 4000);
        QCOMPARE(request(server.port(), QStringLiteral("/health")).status, 200);
        QVERIFY2(server.log().contains(QStringLiteral("mantenimiento terminado")), qPrintable(server.log()));
        if (!postgres && !killed)   // the mark ends with the migration, its file too
            QCOMPARE(QFileInfo::exists(m_db.path() + QStringLiteral("-migrate.lock")), false);
    }

private:
    DemoDatabase m_db;
};

QTEST_GUILESS_MAIN(TestServerOperations)
#include "tst_serveroperations.moc"
