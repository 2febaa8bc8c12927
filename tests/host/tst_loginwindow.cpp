// The login window driven with keys and clicks against a real qacsemaf-server: refusals before
// asking the server, the companies granted, "Entrar" opening the module on the chosen one, the
// login remembered. (A refused password and the module opened and closed: the journeys. An ended
// session: the renewal hook in tst_httpguards, its dialog in the journeys, the edit kept in
// tst_remotedataset.)

#include "host/ClientConfig.h"
#include "host/HostWindow.h"
#include "host/LoginWindow.h"
#include "host/ModuleLibrary.h"
#include "host/RememberedLogin.h"
#include "tests/server/ServerProcess.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList itemsOf(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

} // namespace

class TestLoginWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
        QCOMPARE(m_server.start({QStringLiteral("--db"), m_db.path()}), QString());
        QVERIFY2(m_module.load(), qPrintable(m_module.errorString()));

        // The site's configuration as an administrator writes it.
        const QString ini = m_home.filePath(QStringLiteral("client.ini"));
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("; the application server\n[client]\nserver=http://%1\n").arg(m_server.address()).toUtf8());
        file.close();
        QString error;
        QVERIFY2(m_site.read(ini, &error), qPrintable(error));
        QCOMPARE(m_site.server, QStringLiteral("http://%1").arg(m_server.address()));
    }

    void init() { QFile::remove(RememberedLogin::path()); }

    // CONSULTA (whose password is its name) is offered its grants only.
    void logsInAndOpens()
    {
        const QString user = QStringLiteral("CONSULTA");
        const QStringList granted =
            m_db.query(QStringLiteral("SELECT e.COD_EMPR || ' - ' || e.NOM_EMPR FROM GN_EMPRE e JOIN GN_USEMP g "
                                      "ON g.COD_EMPR = e.COD_EMPR WHERE g.COD_USUA = '%1' AND e.COD_EMPR > 0 "
                                      "ORDER BY e.COD_EMPR").arg(user));
        QVERIFY2(!granted.isEmpty() && !granted.first().startsWith(QLatin1String("ERROR")), qPrintable(granted.join('\n')));
        QString chosen;
        {
            HostWindow host(m_module);
            const std::unique_ptr<LoginWindow> shown = host.loginWindow(base());
            LoginWindow &login = *shown;
            login.show();
            QVERIFY(QTest::qWaitForWindowExposed(&login));
            QCOMPARE(edit(login, "serverEdit")->text(), m_site.server);
            QTest::keyClicks(edit(login, "userEdit"), user);
            QTest::keyClicks(edit(login, "passwordEdit"), user);
            QTest::keyClick(edit(login, "passwordEdit"), Qt::Key_Return);
            QCOMPARE(login.message(), QString());
            QCOMPARE(itemsOf(combo(login)), granted);
            QCOMPARE(combo(login)->currentIndex(), 0);
            QVERIFY(!m_module.moduleLoaded());

            QTest::keyClick(combo(login), Qt::Key_End);
            chosen = combo(login)->currentData().toString();
            QTest::mouseClick(button(login, "loginButton"), Qt::LeftButton);
            QCOMPARE(login.message(), QString());
            QVERIFY(m_module.moduleLoaded());
            QCOMPARE(edit(login, "passwordEdit")->text(), QString());
            // The module's own company list starts on the company chosen at login.
            const auto *moduleCompany = host.findChild<QComboBox *>(QStringLiteral("cmbEmpresa"));
            QVERIFY(moduleCompany);
            QVERIFY2(moduleCompany->currentText().startsWith(chosen + QStringLiteral(" - ")),
                     qPrintable(moduleCompany->currentText()));
            host.close();
        }

        // The next start: the remembered server wins over the configuration's, the user is there,
        // and after the login the remembered company is the one chosen.
        SessionArguments moved = base();
        moved.server = QStringLiteral("http://127.0.0.1:1");
        LoginWindow again(moved, [](const SessionArguments &) { return QString(); });
        again.show();
        QVERIFY(QTest::qWaitForWindowActive(&again));
        QCOMPARE(edit(again, "serverEdit")->text(), m_site.server);
        QCOMPARE(edit(again, "userEdit")->text(), user);
        QVERIFY(edit(again, "passwordEdit")->hasFocus());
        QTest::keyClicks(edit(again, "passwordEdit"), user);
        QTest::keyClick(edit(again, "passwordEdit"), Qt::Key_Return);
        QCOMPARE(combo(again)->currentData().toString(), chosen);
    }

    // Nothing goes to the server while a field is missing or the server is no address, and the
    // window says which.
    void refusesBeforeAsking_data()
    {
        addColumns<QString, QString, QString, QString>({"server", "user", "password", "message"});
        QTest::newRow("no user") << "SERVER" << "" << "ADMIN" << "Escriba el usuario.";
        QTest::newRow("server not an address")
            << "rrhh app" << "ADMIN" << "ADMIN"
            << "El servidor \"rrhh app\" no es de la forma equipo:puerto, http://equipo:puerto o https://equipo[:puerto].";
        QTest::newRow("server down") << "http://127.0.0.1:1" << "ADMIN" << "ADMIN"
                                     << "No se pudo conectar con el servidor de aplicaciones 127.0.0.1:1";
    }

    void refusesBeforeAsking()
    {
        QFETCH(QString, server);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, message);
        LoginWindow login(base(), [](const SessionArguments &) { return QStringLiteral("no debía abrirse"); });
        login.show();
        QLineEdit *serverEdit = edit(login, "serverEdit");
        serverEdit->clear();
        QTest::keyClicks(serverEdit, server == QLatin1String("SERVER") ? m_site.server : server);
        QTest::keyClicks(edit(login, "userEdit"), user);
        QTest::keyClicks(edit(login, "passwordEdit"), password);
        QTest::mouseClick(button(login, "loginButton"), Qt::LeftButton);
        QVERIFY2(login.message().startsWith(message), qPrintable(login.message()));
        QCOMPARE(combo(login)->count(), 0);
        QVERIFY(login.isVisible());
    }

private:
    SessionArguments base() const
    {
        return {QStringLiteral("http"), m_site.database, m_site.server, {}, {}, {}, {}, QStringLiteral("1.0.0;2024-05-01")};
    }
    static QLineEdit *edit(const QWidget &window, const char *name)
    {
        return window.findChild<QLineEdit *>(QLatin1String(name));
    }
    static QPushButton *button(const QWidget &window, const char *name)
    {
        return window.findChild<QPushButton *>(QLatin1String(name));
    }
    static QComboBox *combo(const QWidget &window) { return window.findChild<QComboBox *>(QStringLiteral("companyCombo")); }

    QTemporaryDir m_home;
    DemoDatabase m_db;
    ServerProcess m_server;
    ModuleLibrary m_module{QStringLiteral(QACSEMAF_LIBRARY)};
    ClientConfig m_site;
};

QTEST_MAIN(TestLoginWindow)
#include "tst_loginwindow.moc"
