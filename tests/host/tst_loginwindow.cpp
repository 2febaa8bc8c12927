// The login window driven with keys and clicks against a real qacsemaf-server: refusals before and
// by the server, the companies granted, "Entrar" opening the module, the login remembered, and a
// save whose ended session the user gives up on keeping its edit.

#include "host/ClientConfig.h"
#include "host/HostWindow.h"
#include "host/LoginWindow.h"
#include "host/ModuleLibrary.h"
#include "host/RememberedLogin.h"
#include "framework/widgets/DialogService.h"
#include "tests/server/ServerProcess.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
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

    void logsInAndOpens_data()
    {
        addColumns<QString>({"user"});   // the demo's users log in with their own name as password
        QTest::newRow("ADMIN, every company") << "ADMIN";
        QTest::newRow("CONSULTA, its grants only") << "CONSULTA";
    }

    void logsInAndOpens()
    {
        QFETCH(QString, user);
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
            QCOMPARE(login.windowTitle(), QStringLiteral("Iniciar sesión"));
            QCOMPARE(edit(login, "serverEdit")->text(), m_site.server);
            QCOMPARE(edit(login, "userEdit")->text(), QString());

            QTest::keyClicks(edit(login, "userEdit"), user);
            QTest::keyClicks(edit(login, "passwordEdit"), QStringLiteral("otra"));
            QTest::mouseClick(button(login, "loginButton"), Qt::LeftButton);
            QCOMPARE(login.message(), QStringLiteral("Usuario o contraseña incorrectos. Verifique sus datos de acceso."));
            QVERIFY(login.isVisible());
            QVERIFY(!m_module.moduleLoaded());
            QCOMPARE(combo(login)->count(), 0);
            QVERIFY(!combo(login)->isEnabled());

            // The refused password is selected: typing replaces it.
            QTest::keyClicks(edit(login, "passwordEdit"), user);
            QTest::keyClick(edit(login, "passwordEdit"), Qt::Key_Return);
            QCOMPARE(login.message(), QString());
            QCOMPARE(itemsOf(combo(login)), granted);
            QCOMPARE(combo(login)->currentIndex(), 0);
            QVERIFY(!m_module.moduleLoaded());

            QTest::keyClick(combo(login), Qt::Key_End);
            chosen = combo(login)->currentData().toString();
            QCOMPARE(button(login, "loginButton")->text(), QStringLiteral("&Entrar"));
            QTest::mouseClick(button(login, "loginButton"), Qt::LeftButton);
            QCOMPARE(login.message(), QString());
            QVERIFY(m_module.moduleLoaded());
            QVERIFY(host.isVisible());
            QVERIFY(!login.isVisible());
            QCOMPARE(edit(login, "passwordEdit")->text(), QString());
            // The module's own company list starts on the company chosen at login.
            const auto *moduleCompany = host.findChild<QComboBox *>(QStringLiteral("cmbEmpresa"));
            QVERIFY(moduleCompany);
            QVERIFY2(moduleCompany->currentText().startsWith(chosen + QStringLiteral(" - ")),
                     qPrintable(moduleCompany->currentText()));
            QVERIFY(!host.grab().isNull());
            host.close();
            QVERIFY(!m_module.moduleLoaded());
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
        QTest::newRow("no password") << "SERVER" << "ADMIN" << "" << "Escriba la contraseña.";
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

    // The administrator ends ANALISTA's sessions while the module is open; the analyst edits a
    // plan name and saves, is asked for the password and cancels.
    void endedSessionGivenUpKeepsTheEdit()
    {
        HostWindow host(m_module);
        const std::unique_ptr<LoginWindow> login = host.loginWindow(base());
        login->show();
        QVERIFY(QTest::qWaitForWindowExposed(login.get()));
        QTest::keyClicks(edit(*login, "userEdit"), QStringLiteral("ANALISTA"));
        QTest::keyClicks(edit(*login, "passwordEdit"), QStringLiteral("ANALISTA"));
        QTest::keyClick(edit(*login, "passwordEdit"), Qt::Key_Return);
        QCOMPARE(login->message(), QString());
        QTest::keyClick(combo(*login), Qt::Key_Home);
        QTest::mouseClick(button(*login, "loginButton"), Qt::LeftButton);
        QVERIFY2(m_module.moduleLoaded(), qPrintable(login->message()));
        const QString namedBefore = m_db.query(kPlanName).value(0);

        auto *name = host.findChild<QLineEdit *>(QStringLiteral("DBEnom_menu"));
        auto *navigator = host.findChild<QWidget *>(QStringLiteral("QNvgdrFrm"));
        QVERIFY(name && navigator);
        auto *post = navigator->findChild<QAbstractButton *>(QStringLiteral("nbPost"));
        // Node 1, a position's row: the plan's own row (node 0) asks for a position first.
        QTest::mouseClick(navigator->findChild<QAbstractButton *>(QStringLiteral("nbNext")), Qt::LeftButton);
        QTRY_COMPARE(host.findChild<QLineEdit *>(QStringLiteral("DBEcod_nodo"))->text(), QStringLiteral("1"));
        QCOMPARE(m_db.query(QStringLiteral("UPDATE GN_USUAR SET VER_USUA = VER_USUA + 1 WHERE COD_USUA = 'ANALISTA'")), QStringList());
        QStringList asked;
        DialogRecorder cancel([&](const DialogService::Request &request) {
            const auto *dialog = request.dialog;
            asked << request.title << dialog->findChild<QLabel *>(QStringLiteral("reasonLabel"))->text()
                  << dialog->findChild<QLineEdit *>(QStringLiteral("userEdit"))->text();
            return int(QDialog::Rejected);
        });
        // The module's own error box is a real one: read and closed as the user would.
        QStringList shown;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                shown << box->text();
                box->accept();
            }
        });
        closer.start(50);
        name->setFocus();
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(name, QStringLiteral("Plan sin guardar"));
        QVERIFY(post->isEnabled());
        QTest::mouseClick(post, Qt::LeftButton);
        QTRY_VERIFY(!shown.isEmpty());
        const QString ended = QStringLiteral("La contraseña, el estado o las empresas del usuario ANALISTA cambiaron, o el "
                                             "usuario ya no existe; inicie sesión de nuevo.");
        QCOMPARE(asked, (QStringList{QStringLiteral("Sesión terminada"), ended, QStringLiteral("ANALISTA")}));
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.first().contains(ended), qPrintable(shown.first()));
        QVERIFY(post->isEnabled());
        QCOMPARE(name->text(), QStringLiteral("PLAN SIN GUARDAR"));
        QCOMPARE(m_db.query(kPlanName).value(0), namedBefore);
        host.close();
    }

private:
    const QString kPlanName = QStringLiteral("SELECT NOM_MENU FROM AC_PPROM WHERE COD_EMPR = 1 AND COD_MENU = 1 AND COD_NODO = 1");

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
