// What qacsemaf-server refuses to protect itself and its users, over real connections: oversized
// bodies, ended sessions, password changes, repeated failed logins, name probing, TLS.

#include "appserver/PasswordHash.h"
#include "framework/Session.h"
#include "framework/connection/HttpTransport.h"
#include "framework/connection/SDCOMConnection.h"
#include "tests/server/ServerClient.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/TestTools.h"

#include <QSslError>
#include <QSslSocket>
#include <QTcpSocket>
#include <QtTest>
#include <csignal>

namespace {

const QString kRefusedLogin = QStringLiteral("Usuario o contraseña incorrectos. Verifique sus datos de acceso.");
const QString kEnded = QStringLiteral("La contraseña, el estado o las empresas del usuario CAMBIO cambiaron, o el usuario "
                                      "ya no existe; inicie sesión de nuevo.");

// The certificate a server on `port` shows in its handshake (null when there is none).
QSslCertificate servedCertificate(quint16 port)
{
    QSslSocket socket;
    socket.setPeerVerifyMode(QSslSocket::VerifyNone);
    socket.connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
    return socket.waitForEncrypted(10000) ? socket.peerCertificate() : QSslCertificate();
}

void writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
}

QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestHttpGuards : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        const QString started = m_server.start({"--db", m_db.path(), "--max-request-bytes", "65536",
                                                "--min-password-length", "10"});
        QVERIFY2(started.isEmpty(), qPrintable(started));
    }

    // 200 MiB of chunks sent for as long as the server keeps reading: it stops within the first
    // tenth (so it never holds the body) and answers 413. (Each framing's verdict: tst_requestframer.)
    void oversizedBodiesAreRefusedUnread()
    {
        const QByteArray piece = "8000\r\n" + QByteArray(32768, ' ') + "\r\n";
        constexpr qint64 total = 200 * 1024 * 1024;
        QTcpSocket socket;
        QByteArray answer;
        // Taken as it comes: the server closes at once, and a closed socket keeps nothing.
        connect(&socket, &QTcpSocket::readyRead, this, [&] { answer += socket.readAll(); });
        socket.connectToHost(QStringLiteral("127.0.0.1"), m_server.port());
        QVERIFY(socket.waitForConnected(10000));
        socket.write("POST /apply HTTP/1.1\r\nHost: servidor\r\nTransfer-Encoding: chunked\r\n\r\n");
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
        const QJsonObject refusal =
            QJsonDocument::fromJson(answer.mid(answer.indexOf("\r\n\r\n") + 4)).object();
        QCOMPARE(refusal.value("error").toString(),
                 QStringLiteral("La solicitud supera el máximo de 65536 bytes."));
    }

    // stored: the user's password afterwards (none: removed); typed: each answer when asked ("-": cancel).
    void sessionEndsWithThePassword_data()
    {
        addColumns<QString, QStringList, QStringList, QString>({"stored", "typed", "asked", "transportMessage"});
        QTest::newRow("password changed, no one to ask") << "NUEVA1234" << QStringList() << QStringList() << kEnded;
        QTest::newRow("password changed, a wrong one first")
            << "NUEVA1234" << QStringList{"CAMBIO", "NUEVA1234"} << QStringList{kEnded, kRefusedLogin} << "";
        QTest::newRow("password changed, cancelled") << "NUEVA1234" << QStringList{"-"} << QStringList{kEnded} << kEnded;
        // Even the password the session has is not tried again unasked.
        QTest::newRow("same password stored again, no one to ask") << "CAMBIO" << QStringList() << QStringList() << kEnded;
        QTest::newRow("user removed") << "" << QStringList{"CAMBIO", "-"} << QStringList{kEnded, kRefusedLogin} << kEnded;
    }

    // An ended session is never renewed unasked: the hook is asked, and a password that logs in
    // repeats the call and is kept. (The new password typed in its dialog: the journeys.)
    void sessionEndsWithThePassword()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, asked);
        QFETCH(QString, transportMessage);
        QVERIFY(addUser(QStringLiteral("CAMBIO")));
        QStringList reasons;
        if (!typed.isEmpty())
            SDCOMConnection::setSessionRenewal([&](const QString &user, const QString &reason) -> std::optional<QString> {
                reasons << reason;
                const QString answer = user == QLatin1String("CAMBIO") ? typed.value(reasons.size() - 1, "-") : "-";
                return answer == QLatin1String("-") ? std::nullopt : std::optional<QString>(answer);
            });
        const auto forget = qScopeGuard([] { SDCOMConnection::setSessionRenewal({}); });
        SDCOMConnection connection;
        connection.setSession(Session("local", QString(), m_db.path(), "CAMBIO", "CAMBIO", 1));
        connection.setTransport(std::make_unique<HttpTransport>(m_server.address(), QStringLiteral("demo"), 10000));
        const auto fetch = [&] { connection.Fetch(QStringLiteral("DtsPGnEmpreFrm"), QString(), {}); };
        fetch();
        m_db.query(stored.isEmpty() ? QStringLiteral("DELETE FROM GN_USUAR WHERE COD_USUA = 'CAMBIO'")
                                    : QStringLiteral("UPDATE GN_USUAR SET PAS_USUA = '%1', VER_USUA = VER_USUA + 1 WHERE COD_USUA = 'CAMBIO'")
                                          .arg(appserver::PasswordHash::make(stored)));
        const QString message = messageOf(fetch);
        const QStringList askedFirst = reasons;
        // Renewed, the session goes on with the password that logged in, asking nothing more;
        // refused, the next call meets the same end.
        const QString next = messageOf(fetch);
        const QString password = connection.session().password;
        removeUser(QStringLiteral("CAMBIO"));
        QCOMPARE(message, transportMessage);
        QCOMPARE(askedFirst, asked);
        QCOMPARE(next, transportMessage);
        QCOMPARE(password, transportMessage.isEmpty() ? stored : QStringLiteral("CAMBIO"));
        if (transportMessage.isEmpty())
            QCOMPARE(reasons, asked);
    }

    // Through the server, which asks for 10 characters. (The policy's cases: tst_sitesetup; the
    // in-process road: tst_session.)
    void changesOwnPassword_data()
    {
        addColumns<QString, QString, QString>({"current", "next", "message"});
        QTest::newRow("wrong current password") << "OTRA" << "bien larga 1"
                                                << "La contraseña actual no es correcta.";
        QTest::newRow("the user's name")
            << "CAMBIO" << "UsuarioCambio" << "La contraseña nueva no puede ser el nombre del usuario.";
        QTest::newRow("changed") << "CAMBIO" << "bien larga 1" << "";
        QTest::newRow("shorter than the server's minimum")
            << "CAMBIO" << "nueve9999" << "La contraseña nueva debe tener al menos 10 caracteres.";
    }

    // A refusal changes nothing; a change goes on with the new password, ends the user's other
    // sessions, and only the new password logs in.
    void changesOwnPassword()
    {
        QFETCH(QString, current);
        QFETCH(QString, next);
        QFETCH(QString, message);
        const QString user = QStringLiteral("USUARIOCAMBIO");
        QVERIFY(addUser(user));
        const auto remove = qScopeGuard([&] { removeUser(user); });
        ServerClient client(m_server);
        const QByteArray otherSession = client.login(user, QStringLiteral("CAMBIO"));
        SDCOMConnection connection;
        connection.setSession(Session("http", m_server.address(), QString(), user, "CAMBIO", 1));
        const auto fetch = [&] { connection.Fetch(QStringLiteral("DtsPGnEmpreFrm"), QString(), {}); };
        fetch();
        QCOMPARE(messageOf([&] { connection.CambiarClave(current, next); }), message);
        QCOMPARE(connection.session().password, message.isEmpty() ? next : QStringLiteral("CAMBIO"));
        QCOMPARE(messageOf(fetch), QString());
        const QJsonObject read{{"provider", "DtsPGnEmpreFrm"}, {"company", 1}};
        QCOMPARE(client.post(QStringLiteral("/fetch"), read, otherSession).status,
                 message.isEmpty() ? 401 : 200);
        QCOMPARE(client.login(user, QStringLiteral("CAMBIO")).isEmpty(), message.isEmpty());
        QCOMPARE(client.login(user, next).isEmpty(), !message.isEmpty());
    }

    // Five failed logins make a name wait, in any case; wrong current passwords count too. (The
    // waits: tst_loginthrottle.) On a server of its own.
    void repeatedFailuresWait()
    {
        ServerProcess server;
        QCOMPARE(server.start({QStringLiteral("--db"), m_db.path()}), QString());
        ServerClient client(server);
        const auto attempt = [&](const QString &user, const QString &password) {
            return client.post(QStringLiteral("/login"), QJsonObject{{"user", user}, {"password", password}});
        };
        for (int failure = 1; failure <= 5; ++failure)
            QCOMPARE(attempt(QStringLiteral("CONSULTA"), QStringLiteral("ADIVINA")).error(), kRefusedLogin);
        const ServerClient::Reply waiting = attempt(QStringLiteral(" consulta "), QStringLiteral("CONSULTA"));
        const int seconds = waiting.headers.value("retry-after").toInt();
        QCOMPARE(waiting.status, 429);
        QVERIFY2(seconds == 1 || seconds == 2, waiting.headers.value("retry-after").constData());
        QCOMPARE(waiting.error(), QStringLiteral("Demasiados intentos fallidos de inicio de sesión del usuario "
                                                 "consulta; espere %1 antes de intentarlo de nuevo.")
                                      .arg(seconds == 1 ? QStringLiteral("1 segundo") : QStringLiteral("2 segundos")));

        const QByteArray token = client.login(QStringLiteral("ANALISTA"), QStringLiteral("ANALISTA"));
        QVERIFY(!token.isEmpty());
        const QJsonObject change{{"password", "ADIVINA"}, {"newPassword", "otra muy larga"}, {"company", 1}};
        for (int failure = 1; failure <= 5; ++failure) {
            const ServerClient::Reply refused = client.post(QStringLiteral("/password"), change, token);
            QCOMPARE(refused.status, 401);
            QCOMPARE(refused.error(), QStringLiteral("La contraseña actual no es correcta."));
        }
        QCOMPARE(client.post(QStringLiteral("/password"), change, token).status, 429);
        QCOMPARE(attempt(QStringLiteral("ANALISTA"), QStringLiteral("ANALISTA")).status, 429);
    }

    // key: whose key goes with certificate "a"; one others may read is pointed out.
    void tlsFilesAreChecked_data()
    {
        addColumns<QString, bool, int, QString>({"key", "othersRead", "exitCode", "message"});
        QTest::newRow("the certificate's own key") << "a" << false << 0 << "la configuración es válida";
        QTest::newRow("the key of another certificate")
            << "b" << false << 2 << "la clave privada de %KEY% no corresponde al certificado de %CERT%: con ellos fallaría toda "
                                    "conexión HTTPS; indique la clave con la que se emitió el certificado";
        QTest::newRow("a key others may read") << "a" << true << 0
                                               << "%KEY% can be read by other users of this machine (chmod 600 it)";
    }

    void tlsFilesAreChecked()
    {
        QFETCH(QString, key);
        QFETCH(bool, othersRead);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QVERIFY2(makeCertificates(), "openssl could not make the certificates");
        const QString keyFile = m_tls.filePath(QStringLiteral("clave.pem"));
        QFile::remove(keyFile);
        QVERIFY(QFile::copy(m_tls.filePath(key + QStringLiteral(".key")), keyFile));
        QVERIFY(QFile::setPermissions(keyFile, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                   | (othersRead ? QFileDevice::ReadGroup | QFileDevice::ReadOther
                                                                 : QFileDevice::Permissions())));
        const QStringList arguments{"--db", m_db.path(), "--listen", "127.0.0.1:0", "--tls-cert", m_tls.filePath("a.pem"),
                                    "--tls-key", keyFile};
        message.replace(QStringLiteral("%KEY%"), keyFile).replace(QStringLiteral("%CERT%"), m_tls.filePath("a.pem"));
        const ProgramRun checked = runProgram(QStringLiteral(QACSEMAF_SERVER), arguments + QStringList{"--check-config"});
        QCOMPARE(checked.exitCode, exitCode);
        QVERIFY2(checked.errors.contains(message), qPrintable(checked.errors));
    }

    // SIGHUP reads the configuration and certificate again and opens the log file anew, as logrotate
    // needs; a key not the new certificate's keeps the pair in use, and the log says why.
    void sighupRenewsTheCertificateAndTheLog()
    {
        QVERIFY2(makeCertificates(), "openssl could not make the certificates");
        const QString ini = m_tls.filePath(QStringLiteral("server.ini"));
        const QString log = m_tls.filePath(QStringLiteral("server.log"));
        writeFile(log, "una línea anterior\n");
        const auto configure = [&](const char *certificate, const char *key) {
            writeFile(ini, QStringLiteral("db=%1\ntls-cert=%2\ntls-key=%3\nlog-file=%4\n")
                               .arg(m_db.path(), m_tls.filePath(certificate), m_tls.filePath(key), log)
                               .toUtf8());
        };
        const auto certificate = [&](const char *name) {
            return QSslCertificate::fromPath(m_tls.filePath(QLatin1String(name))).value(0);
        };
        configure("a.pem", "a.key");
        ServerProcess server;
        QCOMPARE(server.start({QStringLiteral("--config"), ini}), QString());
        QCOMPARE(servedCertificate(server.port()), certificate("a.pem"));
        const QString appended = QStringLiteral("una línea anterior\nqacsemaf-server: listening on");
        QVERIFY2(readFile(log).startsWith(appended), qPrintable(readFile(log)));

        QVERIFY(QFile::rename(log, log + QStringLiteral(".1")));
        configure("b.pem", "b.key");
        QCOMPARE(::kill(pid_t(server.pid()), SIGHUP), 0);
        QTRY_VERIFY2(readFile(log).contains(QStringLiteral("SIGHUP: configuración recargada; certificado %1")
                                                .arg(m_tls.filePath("b.pem"))),
                     qPrintable(readFile(log + QStringLiteral(".1"))));
        QCOMPARE(servedCertificate(server.port()), certificate("b.pem"));

        configure("a.pem", "b.key");
        QCOMPARE(::kill(pid_t(server.pid()), SIGHUP), 0);
        const QString kept = QStringLiteral("SIGHUP: la configuración no se recargó, sigue la anterior: la "
                                            "clave privada de %1 no corresponde")
                                 .arg(m_tls.filePath("b.key"));
        QTRY_VERIFY2(readFile(log).contains(kept), qPrintable(readFile(log)));
        QCOMPARE(servedCertificate(server.port()), certificate("b.pem"));
        QCOMPARE(server.terminate(), 0);
    }

    // A self-signed certificate trusted through QACSEMAF_CA_FILE (what --ca-file sets), or unknown.
    void httpsNeedsATrustedCertificate_data()
    {
        addColumns<bool>({"trusted"});
        QTest::newRow("certificate trusted") << true;
        QTest::newRow("certificate unknown") << false;
    }

    void httpsNeedsATrustedCertificate()
    {
        QFETCH(bool, trusted);
        const QString certificate = m_tls.filePath(QStringLiteral("a.pem"));
        if (!m_httpsServer.port()) {
            QVERIFY2(makeCertificates(), "openssl could not make the certificates");
            QCOMPARE(m_httpsServer.start({"--db", m_db.path(), "--tls-cert", certificate, "--tls-key", m_tls.filePath("a.key")}),
                     QString());
        }
        const QString url = QStringLiteral("https://127.0.0.1:%1").arg(m_httpsServer.port());
        qputenv("QACSEMAF_CA_FILE", trusted ? certificate.toLocal8Bit() : QByteArray());
        SDCOMConnection connection;
        connection.setSession(m_db.session(1));
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
    // A user of company 1 whose password is CAMBIO.
    bool addUser(const QString &name)
    {
        const QString hash = appserver::PasswordHash::make(QStringLiteral("CAMBIO"));
        return m_db.query(QStringLiteral("INSERT INTO GN_USUAR (COD_USUA, PAS_USUA, TIP_USUA, NOM_USUA) "
                                         "VALUES ('%1', '%2', 'C', 'Cambio')").arg(name, hash)).isEmpty()
            && m_db.query(QStringLiteral("INSERT INTO GN_USEMP VALUES ('%1', 1)").arg(name)).isEmpty();
    }

    void removeUser(const QString &name)
    {
        m_db.query(QStringLiteral("DELETE FROM GN_USEMP WHERE COD_USUA = '%1'").arg(name));
        m_db.query(QStringLiteral("DELETE FROM GN_USUAR WHERE COD_USUA = '%1'").arg(name));
    }

    // Two self-signed pairs for 127.0.0.1 in m_tls, a.pem/a.key and b.pem/b.key, made once.
    bool makeCertificates()
    {
        for (const QString &name : {QStringLiteral("a"), QStringLiteral("b")})
            if (!QFileInfo::exists(m_tls.filePath(name + QStringLiteral(".pem")))
                && runProgram(QStringLiteral("openssl"),
                              {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=" + name,
                               "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", m_tls.filePath(name + ".key"), "-out", m_tls.filePath(name + ".pem")})
                           .exitCode != 0)
                return false;
        return QFile::setPermissions(m_tls.filePath("a.key"), QFileDevice::ReadOwner | QFileDevice::WriteOwner)
            && QFile::setPermissions(m_tls.filePath("b.key"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    DemoDatabase m_db;
    ServerProcess m_server;
    QTemporaryDir m_tls;
    ServerProcess m_httpsServer;
};

QTEST_GUILESS_MAIN(TestHttpGuards)
#include "tst_httpguards.moc"
