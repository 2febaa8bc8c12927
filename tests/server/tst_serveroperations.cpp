// What an administrator runs the server with: the version of every program, a health check a
// monitor can poll without a session, options from a configuration file, and log lines that say
// when, from where and for whom.

#include "appserver/DatabaseDescription.h"
#include "tests/server/ServerProcess.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/TestTools.h"

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
};

// A plain GET, as a monitor sends it.
HttpAnswer get(quint16 port, const QString &path)
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(5000))
        return {};
    socket.write(QStringLiteral("GET %1 HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n").arg(path).toLatin1());
    // The answer is complete when its body has the length its head announced.
    QByteArray reply;
    const auto complete = [&reply] {
        const int head = reply.indexOf("\r\n\r\n");
        if (head < 0)
            return false;
        static const QRegularExpression length(QStringLiteral("content-length:\\s*(\\d+)"),
                                               QRegularExpression::CaseInsensitiveOption);
        const auto match = length.match(QString::fromLatin1(reply.left(head)));
        return match.hasMatch() && reply.size() - head - 4 >= match.captured(1).toInt();
    };
    while (!complete() && socket.waitForReadyRead(10000))
        reply += socket.readAll();
    HttpAnswer answer;
    answer.status = reply.mid(9, 3).toInt();
    answer.body = QJsonDocument::fromJson(reply.mid(reply.indexOf("\r\n\r\n") + 4)).object();
    return answer;
}

// Runs `sql` as the PostgreSQL test login on the maintenance database; the error, or empty.
QString onMaintenanceDatabase(const QStringList &sql)
{
    appserver::DatabaseDescription pg;
    QString error;
    if (!appserver::DatabaseDescription::fromKeywords(qEnvironmentVariable("QACSEMAF_PG"), &pg, &error))
        return error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("maintenance"));
        db.setHostName(pg.host);
        db.setPort(pg.port);
        db.setDatabaseName(QStringLiteral("postgres"));
        db.setUserName(pg.user);
        db.setPassword(pg.password);
        if (!db.open())
            error = db.lastError().text();
        QSqlQuery query(db);
        for (const QString &statement : sql)
            if (error.isEmpty() && !query.exec(statement.arg(pg.databaseName)))
                error = query.lastError().text();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("maintenance"));
    return error;
}

} // namespace

class TestServerOperations : public QObject {
    Q_OBJECT
private slots:
    void version_data()
    {
        addColumns<QString, QString>({"program", "name"});
        QTest::newRow("server") << QACSEMAF_SERVER << "qacsemaf-server";
        QTest::newRow("host") << QACSEMAF_HOST << "qacsemaf-host";
        QTest::newRow("viewer") << QACSEMAF_VIEWER << "qacsemaf-viewer";
        QTest::newRow("command line") << QACSEMAF_TOOL << "qacsemaf";
    }

    void version()
    {
        QFETCH(QString, program);
        QFETCH(QString, name);
        const ProgramRun run = runProgram(program, {QStringLiteral("--version")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.output.trimmed(), name + QLatin1Char(' ') + QStringLiteral(QACSEMAF_VERSION));
    }

    // A monitor polls without a session; the request is logged with its time zone and client.
    void healthOnTheFile()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        ServerProcess server;
        QCOMPARE(server.start({QStringLiteral("--db"), m_db.path()}), QString());
        const HttpAnswer answer = get(server.port(), QStringLiteral("/health"));
        QCOMPARE(answer.status, 200);
        QCOMPARE(answer.body, (QJsonObject{{"estado", "ok"}}));
        QCOMPARE(get(server.port(), QStringLiteral("/fetch")).status, 405);
        static const QRegularExpression line(QStringLiteral(
            R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}(Z|[+-]\d\d:\d\d) 127\.0\.0\.1 - /health health 200 rows=- \d+ ms$)"),
            QRegularExpression::MultilineOption);
        QTRY_VERIFY2(line.match(server.log()).hasMatch(), qPrintable(server.log()));
    }

    // The database going away turns the check to 503, with the reason in the log only (anyone may
    // ask: the answer names no host, port or role); its return, back to 200.
    void healthFollowsThePostgresDatabase()
    {
        const QString pg = qEnvironmentVariable("QACSEMAF_PG");
        if (pg.isEmpty())
            QSKIP("QACSEMAF_PG is not set: no PostgreSQL database to test against");
        const ProgramRun seed = runProgram(QStringLiteral(QACSEMAF_TOOL), {"seed", "--pg", pg, "--force"});
        QVERIFY2(seed.exitCode == 0, qPrintable(seed.errors));
        ServerProcess server;
        QCOMPARE(server.start({QStringLiteral("--pg"), pg}), QString());
        QCOMPARE(get(server.port(), QStringLiteral("/health")).status, 200);

        QCOMPARE(onMaintenanceDatabase({QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS false"),
                                        QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                                       "WHERE datname = '%1' AND pid <> pg_backend_pid()")}),
                 QString());
        const HttpAnswer down = get(server.port(), QStringLiteral("/health"));
        const QString restored = onMaintenanceDatabase({QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS true")});
        QCOMPARE(restored, QString());
        QCOMPARE(down.status, 503);
        QCOMPARE(down.body, (QJsonObject{{"estado", "unavailable"}}));
        QTRY_VERIFY2(server.log().contains(QStringLiteral("/health: la base de datos no responde: ")), qPrintable(server.log()));
        QCOMPARE(get(server.port(), QStringLiteral("/health")).status, 200);
    }

    void configurationFile_data()
    {
        addColumns<QString, QStringList, int, QString>({"ini", "arguments", "exitCode", "message"});
        QTest::newRow("every option from the file") << "db=%DB%\nlisten=127.0.0.1:0\n" << QStringList() << -1 << "";
        QTest::newRow("in a [server] section") << "[server]\ndb=%DB%\nlisten=127.0.0.1:0\n" << QStringList() << -1 << "";
        QTest::newRow("the command line wins") << "db=/no/such/file.db\nlisten=127.0.0.1:0\n"
                                               << QStringList{"--db", "%DB%"} << -1 << "";
        QTest::newRow("a key that is no option") << "db=%DB%\nport=8080\n" << QStringList() << 2
                                                 << "nombra la opción desconocida \"port\"";
        QTest::newRow("a file that cannot be read") << "" << QStringList() << 2 << "--config: no se puede leer";
        QTest::newRow("checked, not started") << "db=%DB%\nlisten=127.0.0.1:0\n" << QStringList{"--check-config"} << 0
                                              << "la configuración es válida: SQLite " + m_db.path();
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

private:
    DemoDatabase m_db;
};

QTEST_GUILESS_MAIN(TestServerOperations)
#include "tst_serveroperations.moc"
