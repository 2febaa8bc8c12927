// qacsemaf-host: loads the module library, hands it the session and embeds its window.

#include "host/HostWindow.h"
#include "framework/PlatformNotices.h"
#include "framework/QtTranslations.h"
#include "framework/localtransport/LocalTransport.h"
#include "framework/widgets/DialogService.h"
#include "host/ClientConfig.h"
#include "host/DemoDatabase.h"
#include "host/LoginWindow.h"
#include "host/ModuleLibrary.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStatusBar>
#include <QTimer>

#include <functional>


namespace {

struct HostOptions {
    QString library;
    SessionArguments session;
    int quitAfterMs = -1;
    QString screenshot;
    bool protocolGiven = false;
};

// The library of an installed program, or else the one of the build tree the program came from.
QString defaultLibraryPath()
{
    const QDir here(QCoreApplication::applicationDirPath());
    const QString installed = here.filePath(QStringLiteral(QACSEMAF_INSTALLED_LIBRARY));
    if (QFileInfo::exists(installed))
        return QDir::cleanPath(installed);
    return here.filePath(QStringLiteral("../src/entry/libQAcSemaf.so"));
}

HostOptions parseOptions(const QApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Host program of the career traffic-light module."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QList<QCommandLineOption> options{
        {QStringLiteral("library"), QStringLiteral("Module library."), QStringLiteral("path"), defaultLibraryPath()},
        {QStringLiteral("protocol"), QStringLiteral("Connection protocol: local, pgsql, http."), QStringLiteral("name"), QStringLiteral("local")},
        {QStringLiteral("alias"),
         QStringLiteral("Connection alias (the database); without it and QACSEMAF_DB, the user's demo "
                        "database (~/.local/share/qacsemaf/demo.db, made on first use)."),
         QStringLiteral("alias")},
        {QStringLiteral("server"), QStringLiteral("Server parameter."), QStringLiteral("server"), QString()},
        {QStringLiteral("user"),
         QStringLiteral("User; with a password (--password or QACSEMAF_PASSWORD) the module opens without the login "
                        "window. ADMIN when the site has no client configuration (/etc/qacsemaf/client.ini or "
                        "QACSEMAF_CLIENT_CONFIG)."),
         QStringLiteral("user")},
        {QStringLiteral("password"),
         QStringLiteral("Password, visible to every user of the machine: prefer QACSEMAF_PASSWORD. ADMIN when the "
                        "site has no client configuration."),
         QStringLiteral("password")},
        {QStringLiteral("company"), QStringLiteral("Company number."), QStringLiteral("company"), QStringLiteral("1")},
        {QStringLiteral("options"), QStringLiteral("Option text."), QStringLiteral("text"), QString()},
        {QStringLiteral("client-version"), QStringLiteral("Client \"version;date\"."), QStringLiteral("text"),
         QStringLiteral("1.0.0;%1").arg(QDate::currentDate().toString(Qt::ISODate))},
        {QStringLiteral("quit-after"), QStringLiteral("Close by itself after this many milliseconds."), QStringLiteral("ms")},
        {QStringLiteral("screenshot"), QStringLiteral("Save a picture of the window before closing."), QStringLiteral("png")},
    };
    parser.addOptions(options);
    parser.process(app);

    HostOptions host;
    host.library = parser.value(QStringLiteral("library"));
    host.protocolGiven = parser.isSet(QStringLiteral("protocol"));
    const QString alias = parser.isSet(QStringLiteral("alias")) ? parser.value(QStringLiteral("alias"))
                                                                : qEnvironmentVariable("QACSEMAF_DB");
    const QString password = parser.isSet(QStringLiteral("password")) ? parser.value(QStringLiteral("password"))
                                                                      : qEnvironmentVariable("QACSEMAF_PASSWORD");
    host.session = {parser.value(QStringLiteral("protocol")), alias,
                    parser.value(QStringLiteral("server")),   parser.value(QStringLiteral("user")),
                    password,                                 parser.value(QStringLiteral("company")),
                    parser.value(QStringLiteral("options")),  parser.value(QStringLiteral("client-version"))};
    if (parser.isSet(QStringLiteral("quit-after")))
        host.quitAfterMs = parser.value(QStringLiteral("quit-after")).toInt();
    host.screenshot = parser.value(QStringLiteral("screenshot"));
    return host;
}

int fail(const QString &message)
{
    qCritical("qacsemaf-host: %s", qPrintable(message));
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        DialogService::instance().showError(message);
    return 1;
}

// Closes `window` after `ms` (when given), saving a picture of it first when asked.
void quitLater(const HostOptions &options, const std::function<QWidget *()> &window)
{
    if (options.quitAfterMs < 0)
        return;
    QTimer::singleShot(options.quitAfterMs, qApp, [&options, window] {
        QWidget *shown = window();
        if (!options.screenshot.isEmpty() && shown->grab().save(options.screenshot))
            qInfo("qacsemaf-host: ventana guardada en %s", qPrintable(options.screenshot));
        shown->close();
    });
}

// Without a client configuration the host opens what its arguments name, or the user's demo
// (no --alias, no QACSEMAF_DB, the local protocol), as ADMIN unless told otherwise. With one, the
// configured server unless the arguments name another place, and no user by default.
SessionArguments placeOf(const HostOptions &options, const ClientConfig &site, bool configured, bool *demo)
{
    SessionArguments session = options.session;
    *demo = false;
    if (!configured) {
        *demo = session.alias.isEmpty() && session.protocol == QLatin1String("local");
        if (*demo)
            session.alias = DemoDatabase::path();
        if (session.user.isEmpty())
            session.user = QStringLiteral("ADMIN");
        if (session.password.isEmpty())
            session.password = QStringLiteral("ADMIN");
        return session;
    }
    if (!options.protocolGiven)
        session.protocol = QStringLiteral("http");
    if (session.protocol == QLatin1String("http")) {
        if (session.server.isEmpty())
            session.server = site.server;
        if (session.alias.isEmpty())
            session.alias = site.database;
    }
    return session;
}

} // namespace

int main(int argc, char *argv[])
{
    quietPlatformNotices();
    // Help and version are answered on the terminal, with or without a screen.
    for (int i = 1; i < argc; ++i)
        if ((qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "-h") == 0 || qstrcmp(argv[i], "--version") == 0
             || qstrcmp(argv[i], "-v") == 0) && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("qacsemaf-host"));
    app.setApplicationVersion(QStringLiteral(QACSEMAF_VERSION));
    loadQtSpanishTranslations();
    const HostOptions options = parseOptions(app);
    // The login reads the user's companies with the framework linked here: on the demo and on a
    // pgsql site, through the server core in this process.
    LocalTransport::install();

    ModuleLibrary module(options.library);
    if (!module.load())
        return fail(QStringLiteral("No se pudo cargar el módulo: %1").arg(module.errorString()));
    const QStringList identity = module.serverIdentity();
    qInfo("qacsemaf-host: servidor %s (%s), clave %s", qPrintable(identity.value(1)),
          qPrintable(identity.value(0)), qPrintable(identity.value(2)));

    ClientConfig site;
    QString siteError;
    const bool configured = site.read(ClientConfig::path(), &siteError);
    if (!siteError.isEmpty())
        return fail(siteError);
    // The module's http transport trusts the authorities the configuration names.
    if (configured && !site.caFile.isEmpty() && !qEnvironmentVariableIsSet("QACSEMAF_CA_FILE"))
        qputenv("QACSEMAF_CA_FILE", QFile::encodeName(site.caFile));
    bool demo = false;
    const SessionArguments session = placeOf(options, site, configured, &demo);

    HostWindow window(module);
    // A workstation of a site logs in through the window unless a script gave the password.
    if (configured && (session.password.isEmpty() || session.user.isEmpty())) {
        qInfo("qacsemaf-host: inicio de sesión en %s (%s)", qPrintable(session.server), qPrintable(site.file));
        const std::unique_ptr<LoginWindow> login = window.loginWindow(session);
        login->show();
        LoginWindow *shown = login.get();
        quitLater(options, [shown, &window]() -> QWidget * { return shown->isVisible() ? shown : static_cast<QWidget *>(&window); });
        return app.exec();
    }

    QString opened;
    if (demo) {
        DemoDatabase demoDatabase(QCoreApplication::applicationDirPath());
        if (const QString error = demoDatabase.ensure(); !error.isEmpty())
            return fail(error);
        opened = (demoDatabase.created() ? QStringLiteral("Base de demostración creada y abierta: %1")
                                         : QStringLiteral("Base de demostración: %1"))
                     .arg(QDir::toNativeSeparators(DemoDatabase::path()));
        qInfo("qacsemaf-host: %s", qPrintable(opened));
    }
    if (const QString error = window.open(session); !error.isEmpty())
        return fail(error);
    if (!opened.isEmpty())
        window.statusBar()->showMessage(opened);
    window.show();
    quitLater(options, [&window]() -> QWidget * { return &window; });
    return app.exec();
}
