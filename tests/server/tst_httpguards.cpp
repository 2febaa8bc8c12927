// What qacsemaf-server refuses to protect itself and its users, met over real connections: bodies
// over the limit (not held), tokens of a password that changed, repeated failed logins and
// servers whose certificate is not trusted.

#include "framework/connection/BlockingHttpClient.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "framework/connection/HttpTransport.h"
#include "appserver/PasswordHash.h"
#include "framework/connection/SDCOMConnection.h"
#include "tests/server/ServerProcess.h"
#include "tests/support/TestTools.h"
#include "framework/Ugnnorma.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSslError>
#include <QTcpSocket>
#include <QtTest>

namespace {

const QString kRefusedLogin = QStringLiteral("Usuario o contraseña incorrectos. Verifique sus datos de acceso.");

QByteArray json(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QString errorOf(const QByteArray &body)
{
    return QJsonDocument::fromJson(body).object().value(QLatin1String("error")).toString();
}

// The highest resident memory the process has had, in MiB.
qint64 peakMegabytes(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() / 1024;
    return -1;
}

} // namespace

class TestHttpGuards : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        const QString started = m_server.start({QStringLiteral("--db"), m_db.path(), QStringLiteral("--max-request-bytes"),
                                                QStringLiteral("65536")});
        QVERIFY2(started.isEmpty(), qPrintable(started));
        m_db.startSession(1);
    }

    // The head goes first, then the body in pieces for as long as the server keeps reading.
    void oversizedBodiesAreRefusedUnread_data()
    {
        addColumns<QByteArray, QByteArray, QString>({"head", "piece", "message"});
        const QByteArray block(65536, ' ');
        QTest::newRow("declared length") << QByteArray("Content-Length: 209715200\r\n") << block
                                         << "La solicitud ocupa 209715200 bytes; el máximo es 65536 bytes.";
        QTest::newRow("chunks") << QByteArray("Transfer-Encoding: chunked\r\n") << "8000\r\n" + block.left(32768) + "\r\n"
                                << "La solicitud supera el máximo de 65536 bytes.";
    }

    void oversizedBodiesAreRefusedUnread()
    {
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, piece);
        QFETCH(QString, message);
        constexpr qint64 total = 200 * 1024 * 1024;
        QTcpSocket socket;
        QByteArray answer;
        // Taken as it comes: the server closes at once, and a closed socket keeps nothing.
        connect(&socket, &QTcpSocket::readyRead, this, [&] { answer += socket.readAll(); });
        socket.connectToHost(QStringLiteral("127.0.0.1"), m_server.port());
        QVERIFY(socket.waitForConnected(10000));
        socket.write("POST /apply HTTP/1.1\r\nHost: servidor\r\nContent-Type: application/json\r\n" + head + "\r\n");
        qint64 sent = 0;
        while (sent < total && socket.state() == QAbstractSocket::ConnectedState) {
            socket.write(piece);
            socket.waitForBytesWritten(10000);
            sent += piece.size();
        }
        while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(10000)) {
        }
        QVERIFY2(sent < total / 10, qPrintable(QString::number(sent)));
        QVERIFY2(answer.startsWith("HTTP/1.1 413 "), answer.constData());
        QCOMPARE(errorOf(answer.mid(answer.indexOf("\r\n\r\n") + 4)), message);
        // Whole, such a body took three times its size.
        QVERIFY2(peakMegabytes(m_server.pid()) < 100, qPrintable(QString::number(peakMegabytes(m_server.pid()))));
    }

    // stored: the password stored for the user afterwards (none: the user is removed)
    void tokenEndsWithThePassword_data()
    {
        addColumns<QString, QString>({"stored", "transportMessage"});
        QTest::newRow("password changed") << "NUEVA" << kRefusedLogin;
        QTest::newRow("same password stored again") << "CAMBIO" << "";
        QTest::newRow("user removed") << "" << kRefusedLogin;
    }

    // The module's transport logs in again by itself, as after an expiry, with the password the
    // session has: it carries on only when that password is still the user's.
    void tokenEndsWithThePassword()
    {
        QFETCH(QString, stored);
        QFETCH(QString, transportMessage);
        const QString hash = appserver::PasswordHash::make(QStringLiteral("CAMBIO"));
        QCOMPARE(m_db.query(QStringLiteral("INSERT INTO GN_USUAR (COD_USUA, PAS_USUA, TIP_USUA, NOM_USUA) VALUES ('CAMBIO', '%1', 'C', 'Cambio')").arg(hash)), QStringList());
        QCOMPARE(m_db.query(QStringLiteral("INSERT INTO GN_USEMP VALUES ('CAMBIO', 1)")), QStringList());
        gStCodiUsua = gStPassUsua = QStringLiteral("CAMBIO");
        SDCOMConnection connection;
        connection.setTransport(std::make_unique<HttpTransport>(m_server.address(), QStringLiteral("demo"), 10000));
        const auto fetch = [&] { connection.Fetch(QStringLiteral("DtsPGnEmpreFrm"), QString(), {}); };
        fetch();
        BlockingHttpClient client(QStringLiteral("127.0.0.1"), m_server.port(), 10000);
        const QByteArray token = QJsonDocument::fromJson(client.post(QStringLiteral("/login"), json({{"user", "CAMBIO"}, {"password", "CAMBIO"}})).body)
                                     .object().value(QLatin1String("token")).toString().toLatin1();
        m_db.query(stored.isEmpty() ? QStringLiteral("DELETE FROM GN_USUAR WHERE COD_USUA = 'CAMBIO'")
                                    : QStringLiteral("UPDATE GN_USUAR SET PAS_USUA = '%1' WHERE COD_USUA = 'CAMBIO'")
                                          .arg(appserver::PasswordHash::make(stored)));
        const auto refused = client.post(QStringLiteral("/fetch"), json({{"provider", "DtsPAcPprom"}}), token);
        const QString message = messageOf(fetch);
        m_db.query(QStringLiteral("DELETE FROM GN_USEMP WHERE COD_USUA = 'CAMBIO'"));
        m_db.query(QStringLiteral("DELETE FROM GN_USUAR WHERE COD_USUA = 'CAMBIO'"));
        m_db.startSession(1);
        QCOMPARE(refused.status, 401);
        QCOMPARE(errorOf(refused.body),
                 QStringLiteral("La contraseña del usuario CAMBIO cambió, o el usuario se deshabilitó o ya no existe; inicie sesión de nuevo."));
        QCOMPARE(message, transportMessage);
    }

    // On a server of its own, so that no other function finds a user kept waiting.
    void repeatedFailedLoginsWait()
    {
        ServerProcess server;
        QCOMPARE(server.start({QStringLiteral("--db"), m_db.path()}), QString());
        BlockingHttpClient client(QStringLiteral("127.0.0.1"), server.port(), 10000);
        const auto attempt = [&](const QString &user, const QString &password) {
            return client.post(QStringLiteral("/login"), json({{"user", user}, {"password", password}}));
        };
        for (int failure = 1; failure <= 5; ++failure)
            QCOMPARE(errorOf(attempt(QStringLiteral("CONSULTA"), QStringLiteral("ADIVINA")).body), kRefusedLogin);
        // The right password of the same name, written another way, waits as well.
        const auto waiting = attempt(QStringLiteral(" consulta "), QStringLiteral("CONSULTA"));
        const int seconds = waiting.headers.value("retry-after").toInt();
        QCOMPARE(waiting.status, 429);
        QVERIFY2(seconds == 1 || seconds == 2, waiting.headers.value("retry-after").constData());
        QCOMPARE(errorOf(waiting.body), QStringLiteral("Demasiados intentos fallidos de inicio de sesión del usuario consulta; "
                                                       "espere %1 antes de intentarlo de nuevo.")
                                            .arg(seconds == 1 ? QStringLiteral("1 segundo") : QStringLiteral("2 segundos")));
        QCOMPARE(attempt(QStringLiteral("ANALISTA"), QStringLiteral("ANALISTA")).status, 200);
    }

    // A self-signed certificate made now: trusted through QACSEMAF_CA_FILE (the command line's
    // --ca-file), or left to the system's authorities, which do not know it.
    void httpsNeedsATrustedCertificate_data()
    {
        addColumns<bool, bool>({"commandLine", "trusted"});
        QTest::newRow("module, certificate trusted") << false << true;
        QTest::newRow("module, certificate unknown") << false << false;
        QTest::newRow("command line, certificate trusted") << true << true;
    }

    void httpsNeedsATrustedCertificate()
    {
        QFETCH(bool, commandLine);
        QFETCH(bool, trusted);
        const QString certificate = m_tls.filePath(QStringLiteral("certificate.pem"));
        if (!m_httpsServer.port()) {
            const ProgramRun made = runProgram(QStringLiteral("openssl"),
                {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=localhost", "-addext",
                 "subjectAltName=IP:127.0.0.1", "-keyout", m_tls.filePath("key.pem"), "-out", certificate});
            QVERIFY2(made.exitCode == 0, qPrintable(made.errors));
            QCOMPARE(m_httpsServer.start({"--db", m_db.path(), "--tls-cert", certificate, "--tls-key", m_tls.filePath("key.pem")}),
                     QString());
        }
        const QString url = QStringLiteral("https://127.0.0.1:%1").arg(m_httpsServer.port());
        if (commandLine) {
            const ProgramRun run = runProgram(QStringLiteral(QACSEMAF_TOOL),
                {"generate", "--format", "csv", "--company", "2", "--target", "SUP001@2", "--candidates", "OPE002@2",
                 "--categories", "EF", "--server", url, "--ca-file", certificate});
            QVERIFY2(run.exitCode == 0 && run.output.startsWith(QStringLiteral("Identificación")), qPrintable(run.errors));
            return;
        }
        qputenv("QACSEMAF_CA_FILE", trusted ? certificate.toLocal8Bit() : QByteArray());
        SDCOMConnection connection;
        connection.setTransport(std::make_unique<HttpTransport>(url, QStringLiteral("demo"), 10000));
        const QString refused = messageOf(
            [&] { connection.Fetch(QStringLiteral("DtsPGnEmpreFrm"), QString(), {}); });
        qunsetenv("QACSEMAF_CA_FILE");
        QCOMPARE(refused, trusted ? QString()
                                  : QStringLiteral("El certificado del servidor de aplicaciones 127.0.0.1:%1 no es de "
                                                   "confianza (%2); la operación no se completó. Si lo firmó una autoridad "
                                                   "propia, indique su certificado en la variable de entorno QACSEMAF_CA_FILE "
                                                   "(en la línea de órdenes, con --ca-file).")
                                        .arg(m_httpsServer.port())
                                        .arg(QSslError(QSslError::SelfSignedCertificate).errorString()));
    }

private:
    DemoDatabase m_db;
    ServerProcess m_server;
    QTemporaryDir m_tls;
    ServerProcess m_httpsServer;
};

QTEST_GUILESS_MAIN(TestHttpGuards)
#include "tst_httpguards.moc"
