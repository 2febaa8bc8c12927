// qacsemaf-server: the application server for workstations that share one database.
//   qacsemaf-server --db FILE | --pg "host=... dbname=..." [--listen 127.0.0.1:8080]
//                   [--tls-cert FILE --tls-key FILE] [--config FILE]
//                   [--log-level error|warning|info] [--log-file FILE] [--metrics true|false]
// Every instance that serves the same clients must share the token secret (QACSEMAF_SERVER_SECRET
// or --secret-file). PostgreSQL passwords may come from files or the environment instead of --pg
// (DatabasePasswords says which wins). SIGHUP reads the --config file, the certificate and its key
// again and opens the log file anew (logrotate); SIGTERM and SIGINT stop the server.

#include "appserver/DatabaseDescription.h"
#include "server/DatabasePasswords.h"
#include "server/HttpAppServer.h"
#include "appserver/ServerCore.h"
#include "server/ServerLog.h"
#include "server/ServerOptions.h"
#include "server/ServerTls.h"
#include "server/TerminationSignals.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QTcpServer>
#include <cstdio>
#include <limits>

namespace {

void say(const QString &text, ServerLog::Level level = ServerLog::Level::Info)
{
    ServerLog::write(level, QStringLiteral("qacsemaf-server: ") + text);
}

void warn(const QString &text)
{
    say(text, ServerLog::Level::Warning);
}

[[noreturn]] void quit(const QString &text, int code = 2)
{
    ServerLog::announce(ServerLog::Level::Error, QStringLiteral("qacsemaf-server: ") + text);
    std::exit(code);
}

appserver::DatabaseDescription databaseOf(const ServerOptions &parser)
{
    if (parser.isSet(QStringLiteral("db")) == parser.isSet(QStringLiteral("pg")))
        quit(QStringLiteral("give either --db FILE or --pg \"conninfo\""));
    if (parser.isSet(QStringLiteral("db"))) {
        const QString file = parser.value(QStringLiteral("db"));
        if (!QFileInfo::exists(file))
            quit(QStringLiteral("%1 does not exist").arg(file));
        return appserver::DatabaseDescription::sqlite(file);
    }
    appserver::DatabaseDescription description;
    QString error;
    if (!appserver::DatabaseDescription::fromKeywords(parser.value(QStringLiteral("pg")), &description, &error))
        quit(QStringLiteral("--pg: %1").arg(error));
    const DatabasePasswords::Sources sources{parser.value(QStringLiteral("pg-password-file")),
                                             parser.value(QStringLiteral("pg-read-password-file")),
                                             QProcessEnvironment::systemEnvironment()};
    QStringList notes;
    error = DatabasePasswords::fill(&description, sources, &notes);
    for (const QString &note : notes)
        say(note);
    if (!error.isEmpty())
        quit(error);
    return description;
}

// Null configuration when the server speaks plain HTTP. Empty, or why the files cannot serve.
QString tlsOf(const ServerOptions &parser, QSslConfiguration *configuration, QStringList *notes)
{
    *configuration = {};
    const bool certificate = parser.isSet(QStringLiteral("tls-cert")), key = parser.isSet(QStringLiteral("tls-key"));
    if (!certificate && !key)
        return {};
    if (!certificate || !key)
        return QStringLiteral("give both --tls-cert FILE and --tls-key FILE");
    return ServerTls::load(parser.value(QStringLiteral("tls-cert")), parser.value(QStringLiteral("tls-key")),
                           configuration, notes);
}

QByteArray secretOf(const ServerOptions &parser)
{
    if (parser.isSet(QStringLiteral("secret-file"))) {
        QFile file(parser.value(QStringLiteral("secret-file")));
        if (!file.open(QIODevice::ReadOnly))
            quit(QStringLiteral("--secret-file: %1").arg(file.errorString()));
        const QByteArray secret = file.readAll().trimmed();
        if (secret.size() < 16)
            quit(QStringLiteral("--secret-file: the secret must have at least 16 characters"));
        return secret;
    }
    const QByteArray secret = qgetenv("QACSEMAF_SERVER_SECRET");
    if (!secret.isEmpty()) {
        if (secret.size() < 16)
            quit(QStringLiteral("QACSEMAF_SERVER_SECRET must have at least 16 characters"));
        return secret;
    }
    warn(QStringLiteral("no shared secret given: tokens of this instance are valid only here"));
    QByteArray random(32, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(random.data()), random.size() / 4);
    return random;
}

QString positiveNumber(const ServerOptions &parser, const QString &option, qint64 *value)
{
    bool ok = false;
    *value = parser.value(option).toLongLong(&ok);
    if (!ok || *value <= 0)
        return QStringLiteral("--%1: \"%2\" is not a positive number").arg(option, parser.value(option));
    return {};
}

QString switchOf(const ServerOptions &parser, const QString &option, bool *value)
{
    const QString text = parser.value(option).trimmed().toLower();
    *value = text == QLatin1String("true");
    if (*value || text == QLatin1String("false"))
        return {};
    return QStringLiteral("--%1: \"%2\" is not true or false").arg(option, parser.value(option));
}

QString logLevelOf(const ServerOptions &parser, ServerLog::Level *level)
{
    if (ServerLog::levelFrom(parser.value(QStringLiteral("log-level")), level))
        return {};
    return QStringLiteral("--log-level: \"%1\" is not error, warning or info").arg(parser.value(QStringLiteral("log-level")));
}

// What a running server takes again on SIGHUP: the certificate and its key, the tokens' lifetime,
// the request limit, /metrics and the passwords' minimum length. Empty, or why the options cannot
// serve (settings then as they were).
QString reloadableOf(const ServerOptions &parser, HttpAppServer::Settings *settings, QStringList *notes)
{
    HttpAppServer::Settings next = *settings;
    qint64 tokenSeconds = 0, maxRequestBytes = 0;
    QString error = tlsOf(parser, &next.tls, notes);
    if (error.isEmpty())
        error = switchOf(parser, QStringLiteral("metrics"), &next.metrics);
    if (error.isEmpty())
        error = positiveNumber(parser, QStringLiteral("token-seconds"), &tokenSeconds);
    if (error.isEmpty())
        error = positiveNumber(parser, QStringLiteral("max-request-bytes"), &maxRequestBytes);
    qint64 minPasswordLength = 0;
    if (error.isEmpty())
        error = positiveNumber(parser, QStringLiteral("min-password-length"), &minPasswordLength);
    if (!error.isEmpty())
        return error;
    next.minPasswordLength = int(qMin<qint64>(minPasswordLength, 1024));
    next.tokenSeconds = int(qMin<qint64>(tokenSeconds, std::numeric_limits<int>::max()));
    next.maxRequestBytes = maxRequestBytes;
    *settings = next;
    return {};
}

// SIGHUP: the log file is opened anew (logrotate moved it), the --config file and the files it
// names are read again. Anything wrong keeps the settings in use and says why; what only a start
// can change is named, not applied.
void reload(const QCommandLineParser &parser, const QStringList &known, const ServerOptions &started,
            HttpAppServer &server)
{
    if (const QString error = ServerLog::reopen(); !error.isEmpty())
        say(QStringLiteral("SIGHUP: %1; el registro sigue en stderr").arg(error), ServerLog::Level::Error);
    ServerOptions fresh(parser);
    QString error;
    if (parser.isSet(QStringLiteral("config")))
        error = fresh.readFile(parser.value(QStringLiteral("config")), known);
    HttpAppServer::Settings settings = server.settings();
    QStringList notes;
    if (error.isEmpty())
        error = reloadableOf(fresh, &settings, &notes);
    for (const QString &note : std::as_const(notes))
        say(note);
    if (error.isEmpty() && settings.tls.isNull() != server.settings().tls.isNull())
        error = server.settings().tls.isNull() ? QStringLiteral("pasar a HTTPS exige reiniciar el servidor")
                                               : QStringLiteral("dejar HTTPS exige reiniciar el servidor");
    ServerLog::Level level = ServerLog::Level::Info;
    if (error.isEmpty())
        error = logLevelOf(fresh, &level);
    if (!error.isEmpty()) {
        warn(QStringLiteral("SIGHUP: la configuración no se recargó, sigue la anterior: %1").arg(error));
        return;
    }
    for (const QString &option : {QStringLiteral("db"), QStringLiteral("pg"), QStringLiteral("listen"),
                                  QStringLiteral("secret-file"), QStringLiteral("pg-password-file"),
                                  QStringLiteral("pg-read-password-file"), QStringLiteral("log-file")})
        if (fresh.value(option) != started.value(option))
            warn(QStringLiteral("SIGHUP: --%1 cambió; se aplica al reiniciar el servidor").arg(option));
    ServerLog::setLevel(level);
    server.reload(settings);
    const QString certificate = settings.tls.isNull()
        ? QString()
        : QStringLiteral("; certificado %1, válido hasta %2")
              .arg(fresh.value(QStringLiteral("tls-cert")),
                   settings.tls.localCertificate().expiryDate().toString(Qt::ISODate));
    say(QStringLiteral("SIGHUP: configuración recargada%1").arg(certificate));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qacsemaf-server"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QACSEMAF_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Application server of Semáforo de Carrera over HTTP/JSON.\n"
                                                    "SIGHUP reads the --config file, the certificate and its key again "
                                                    "(keeping the ones in use when they do not serve) and reopens the "
                                                    "--log-file; SIGTERM stops it. While qacsemaf migrate works on the "
                                                    "database, requests other than /health and /metrics get 503."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QList<QCommandLineOption> options{
        {QStringLiteral("db"), QStringLiteral("SQLite database file."), QStringLiteral("file")},
        {QStringLiteral("pg"), QStringLiteral("PostgreSQL: \"host=... port=... dbname=... user=... password=...\"."),
         QStringLiteral("conninfo")},
        {QStringLiteral("listen"), QStringLiteral("Address and port (port 0: any free port)."),
         QStringLiteral("host:port"), QStringLiteral("127.0.0.1:8080")},
        {QStringLiteral("secret-file"), QStringLiteral("File holding the token secret shared by all instances."),
         QStringLiteral("file")},
        {QStringLiteral("token-seconds"), QStringLiteral("Lifetime of a session token."), QStringLiteral("s"),
         QStringLiteral("28800")},
        {QStringLiteral("max-request-bytes"), QStringLiteral("Largest request body accepted."), QStringLiteral("n"),
         QStringLiteral("4194304")},
        {QStringLiteral("tls-cert"), QStringLiteral("Serve HTTPS with this PEM certificate (chain)."), QStringLiteral("file")},
        {QStringLiteral("tls-key"), QStringLiteral("The certificate's PEM private key."), QStringLiteral("file")},
        {QStringLiteral("pg-password-file"),
         QStringLiteral("File whose first line is the database password (else QACSEMAF_PG_PASSWORD, PGPASSWORD)."),
         QStringLiteral("file")},
        {QStringLiteral("pg-read-password-file"),
         QStringLiteral("The same for the reading role (else QACSEMAF_PG_READ_PASSWORD, the writer's)."),
         QStringLiteral("file")},
        {QStringLiteral("log-level"), QStringLiteral("Least grave lines logged: error, warning or info."),
         QStringLiteral("level"), QStringLiteral("info")},
        {QStringLiteral("log-file"),
         QStringLiteral("Append the log (requests and events) to this file instead of stderr; reopened on SIGHUP."),
         QStringLiteral("file")},
        {QStringLiteral("metrics"), QStringLiteral("Answer GET /metrics (Prometheus text, no session): true or false."),
         QStringLiteral("bool"), QStringLiteral("true")},
        {QStringLiteral("min-password-length"),
         QStringLiteral("Shortest password a user may choose when changing its own (never the user's name)."),
         QStringLiteral("n"), QStringLiteral("8")},
    };
    parser.addOptions(options);
    parser.addOption({QStringLiteral("config"),
                      QStringLiteral("INI file with any of these options by their long names (the command line wins)."),
                      QStringLiteral("file")});
    parser.addOption({QStringLiteral("check-config"),
                      QStringLiteral("Check the options and the --config file, then exit without opening the database.")});
    parser.process(app);
    ServerOptions values(parser);
    QStringList known;
    for (const QCommandLineOption &option : options)
        known << option.names();
    if (parser.isSet(QStringLiteral("config"))) {
        if (const QString error = values.readFile(parser.value(QStringLiteral("config")), known); !error.isEmpty())
            quit(error);
    }
    if (values.isSet(QStringLiteral("db"))
        && (values.isSet(QStringLiteral("pg-password-file")) || values.isSet(QStringLiteral("pg-read-password-file"))))
        quit(QStringLiteral("the password files go with --pg, not with --db"));

    ServerLog::Level level = ServerLog::Level::Info;
    if (const QString error = logLevelOf(values, &level); !error.isEmpty())
        quit(error);
    ServerLog::setLevel(level);
    if (const QString error = ServerLog::setFile(values.value(QStringLiteral("log-file"))); !error.isEmpty())
        quit(error);

    // Every option is checked before the database is opened.
    const appserver::DatabaseDescription database = databaseOf(values);
    HttpAppServer::Settings settings;
    QStringList notes;
    const QString refused = reloadableOf(values, &settings, &notes);
    for (const QString &note : std::as_const(notes))
        say(note);
    if (!refused.isEmpty())
        quit(refused);
    settings.secret = secretOf(values);
    settings.databaseName = database.engine == appserver::DatabaseDescription::Engine::Sqlite
                                ? QFileInfo(database.filePath).completeBaseName()
                                : database.databaseName;
    const QString listen = values.value(QStringLiteral("listen"));
    const int colon = listen.lastIndexOf(QLatin1Char(':'));
    bool portOk = false;
    const int port = listen.mid(colon + 1).toInt(&portOk);
    const QHostAddress address(listen.left(colon));
    if (colon <= 0 || !portOk || port < 0 || port > 65535 || address.isNull())
        quit(QStringLiteral("--listen: \"%1\" is not address:port").arg(listen));
    if (parser.isSet(QStringLiteral("check-config"))) {
        ServerLog::announce(ServerLog::Level::Info,
                            QStringLiteral("qacsemaf-server: la configuración es válida: %1, escucharía en %2")
                                .arg(database.displayName(), listen));
        return 0;
    }

    appserver::ServerCore core;
    core.setSessionsProvedUpstream(true);
    core.setLog(warn);
    if (const QString error = core.open(database); !error.isEmpty())
        quit(error);
    HttpAppServer server(core, settings);

    const quint16 bound = server.listen(address, quint16(port));
    if (bound == 0)
        quit(QStringLiteral("cannot listen on %1").arg(listen));
    ServerLog::announce(ServerLog::Level::Info, QStringLiteral("qacsemaf-server: listening on %1:%2%3, database %4")
                                                    .arg(address.toString())
                                                    .arg(bound)
                                                    .arg(settings.tls.isNull() ? QString() : QStringLiteral(" (HTTPS)"),
                                                         database.displayName()));

    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app, [&](int number) {
        say(QStringLiteral("signal %1: stopping").arg(number));
        for (QTcpServer *listener : server.servers())
            listener->close();
        app.quit();
    });
    QObject::connect(&termination, &TerminationSignals::reloadRequested, &app,
                     [&] { reload(parser, known, values, server); });
    const int code = app.exec();
    core.close();
    say(QStringLiteral("stopped"));
    return code;
}
