// qacsemaf-host: loads the module library, hands it the session and embeds its window.

#include "host/HostWindow.h"
#include "framework/PlatformNotices.h"
#include "framework/QtTranslations.h"
#include "host/DemoDatabase.h"
#include "host/ModuleLibrary.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>


namespace {

struct HostOptions {
    QString library;
    SessionArguments session;
    int quitAfterMs = -1;
    QString screenshot;
    // No database named (no --alias, no QACSEMAF_DB, the local protocol): the user's demo.
    bool demo = false;
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
        {QStringLiteral("user"), QStringLiteral("User."), QStringLiteral("user"), QStringLiteral("ADMIN")},
        {QStringLiteral("password"), QStringLiteral("Password."), QStringLiteral("password"), QStringLiteral("ADMIN")},
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
    const QString protocol = parser.value(QStringLiteral("protocol"));
    QString alias = parser.value(QStringLiteral("alias"));
    if (!parser.isSet(QStringLiteral("alias"))) {
        alias = qEnvironmentVariable("QACSEMAF_DB");
        host.demo = alias.isEmpty() && (protocol.isEmpty() || protocol == QLatin1String("local"));
        if (host.demo)
            alias = DemoDatabase::path();
    }
    host.session = {protocol, alias,
                    parser.value(QStringLiteral("server")),   parser.value(QStringLiteral("user")),
                    parser.value(QStringLiteral("password")), parser.value(QStringLiteral("company")),
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
        QMessageBox::critical(nullptr, QStringLiteral("Semáforo de Carrera"), message);
    return 1;
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

    ModuleLibrary module(options.library);
    if (!module.load())
        return fail(QStringLiteral("No se pudo cargar el módulo: %1").arg(module.errorString()));
    const QStringList identity = module.serverIdentity();
    qInfo("qacsemaf-host: servidor %s (%s), clave %s", qPrintable(identity.value(1)),
          qPrintable(identity.value(0)), qPrintable(identity.value(2)));

    QString opened;
    if (options.demo) {
        DemoDatabase demo(QCoreApplication::applicationDirPath());
        if (const QString error = demo.ensure(); !error.isEmpty())
            return fail(error);
        opened = (demo.created() ? QStringLiteral("Base de demostración creada y abierta: %1")
                                 : QStringLiteral("Base de demostración: %1"))
                     .arg(QDir::toNativeSeparators(DemoDatabase::path()));
        qInfo("qacsemaf-host: %s", qPrintable(opened));
    }

    HostWindow window(module);
    const uintptr_t handle = module.loadModule(options.session);
    if (handle == 0)
        return fail(QStringLiteral("Error al iniciar el módulo: %1").arg(module.lastModuleError()));
    window.embed(handle);
    if (!opened.isEmpty())
        window.statusBar()->showMessage(opened);
    window.show();

    if (options.quitAfterMs >= 0) {
        QTimer::singleShot(options.quitAfterMs, &window, [&window, &options] {
            if (!options.screenshot.isEmpty() && window.grab().save(options.screenshot))
                qInfo("qacsemaf-host: ventana guardada en %s", qPrintable(options.screenshot));
            window.close();
        });
    }
    return app.exec();
}
