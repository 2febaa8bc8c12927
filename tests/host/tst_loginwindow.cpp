// The login window against a real qacsemaf-server: refusals before asking it, the companies granted,
// "Entrar" opening the module on the chosen one. (A refused password and an ended session: the
// journeys and tst_httpguards.)

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
        m_site = QStringLiteral("http://%1").arg(m_server.address());   // as the site's client.ini names it
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
        HostWindow host(m_module);
        const std::unique_ptr<LoginWindow> shown = host.loginWindow(base());
        LoginWindow &login = *shown;
        login.show();
        QVERIFY(QTest::qWaitForWindowExposed(&login));
        QCOMPARE(edit(login, "serverEdit")->text(), m_site);
        QTest::keyClicks(edit(login, "userEdit"), user);
        QTest::keyClicks(edit(login, "passwordEdit"), user);
        QTest::keyClick(edit(login, "passwordEdit"), Qt::Key_Return);
        QCOMPARE(login.message(), QString());
        QCOMPARE(itemsOf(combo(login)), granted);
        QCOMPARE(combo(login)->currentIndex(), 0);
        QVERIFY(!m_module.moduleLoaded());

        QTest::keyClick(combo(login), Qt::Key_End);
        const QString chosen = combo(login)->currentData().toString();
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
        QTest::keyClicks(serverEdit, server == QLatin1String("SERVER") ? m_site : server);
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
        return {QStringLiteral("http"), QString(), m_site, {}, {}, {}, {}, QStringLiteral("1.0.0;2024-05-01")};
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
    QString m_site;
};

QTEST_MAIN(TestLoginWindow)
#include "tst_loginwindow.moc"
