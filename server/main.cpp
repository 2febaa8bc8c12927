// qacsemaf-server: the application server for workstations that share one database.
//   qacsemaf-server --db FILE | --pg "host=... dbname=..." [--listen 127.0.0.1:8080]
//                   [--tls-cert FILE --tls-key FILE] [--config FILE]
// Every instance that serves the same clients must share the token secret (QACSEMAF_SERVER_SECRET
// or --secret-file). PostgreSQL passwords may come from files or the environment instead of --pg
// (DatabasePasswords says which wins).

#include "appserver/DatabaseDescription.h"
#include "server/DatabasePasswords.h"
#include "server/HttpAppServer.h"
#include "appserver/ServerCore.h"
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

namespace {

void say(const QString &text)
{
    std::fputs((QStringLiteral("qacsemaf-server: ") + text + QLatin1Char('\n')).toUtf8().constData(), stderr);
    std::fflush(stderr);
}

[[noreturn]] void quit(const QString &text, int code = 2)
{
    say(text);
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

// Null when the server speaks plain HTTP.
QSslConfiguration tlsOf(const ServerOptions &parser)
{
    const bool certificate = parser.isSet(QStringLiteral("tls-cert")), key = parser.isSet(QStringLiteral("tls-key"));
    if (!certificate && !key)
        return {};
    if (!certificate || !key)
        quit(QStringLiteral("give both --tls-cert FILE and --tls-key FILE"));
    QSslConfiguration configuration;
    QStringList notes;
    const QString error = ServerTls::load(parser.value(QStringLiteral("tls-cert")), parser.value(QStringLiteral("tls-key")),
                                          &configuration, &notes);
    for (const QString &note : notes)
        say(note);
    if (!error.isEmpty())
        quit(error);
    return configuration;
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
    say(QStringLiteral("no shared secret given: tokens of this instance are valid only here"));
    QByteArray random(32, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(random.data()), random.size() / 4);
    return random;
}

qint64 positiveNumber(const ServerOptions &parser, const QString &option)
{
    bool ok = false;
    const qint64 value = parser.value(option).toLongLong(&ok);
    if (!ok || value <= 0)
        quit(QStringLiteral("--%1: \"%2\" is not a positive number").arg(option, parser.value(option)));
    return value;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qacsemaf-server"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QACSEMAF_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Application server of Semáforo de Carrera over HTTP/JSON."));
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
    };
    parser.addOptions(options);
    parser.addOption({QStringLiteral("config"),
                      QStringLiteral("INI file with any of these options by their long names (the command line wins)."),
                      QStringLiteral("file")});
    parser.addOption({QStringLiteral("check-config"),
                      QStringLiteral("Check the options and the --config file, then exit without opening the database.")});
    parser.process(app);
    ServerOptions values(parser);
    if (parser.isSet(QStringLiteral("config"))) {
        QStringList known;
        for (const QCommandLineOption &option : options)
            known << option.names();
        if (const QString error = values.readFile(parser.value(QStringLiteral("config")), known); !error.isEmpty())
            quit(error);
    }
    if (values.isSet(QStringLiteral("db"))
        && (values.isSet(QStringLiteral("pg-password-file")) || values.isSet(QStringLiteral("pg-read-password-file"))))
        quit(QStringLiteral("the password files go with --pg, not with --db"));

    // Every option is checked before the database is opened.
    const appserver::DatabaseDescription database = databaseOf(values);
    HttpAppServer::Settings settings;
    settings.tls = tlsOf(values);
    settings.secret = secretOf(values);
    settings.tokenSeconds = int(positiveNumber(values, QStringLiteral("token-seconds")));
    settings.maxRequestBytes = positiveNumber(values, QStringLiteral("max-request-bytes"));
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
        say(QStringLiteral("la configuración es válida: %1, escucharía en %2").arg(database.displayName(), listen));
        return 0;
    }

    appserver::ServerCore core;
    core.setSessionsProvedUpstream(true);
    core.setLog(say);
    if (const QString error = core.open(database); !error.isEmpty())
        quit(error);
    HttpAppServer server(core, settings);

    const quint16 bound = server.listen(address, quint16(port));
    if (bound == 0)
        quit(QStringLiteral("cannot listen on %1").arg(listen));
    say(QStringLiteral("listening on %1:%2%3, database %4")
            .arg(address.toString())
            .arg(bound)
            .arg(settings.tls.isNull() ? QString() : QStringLiteral(" (HTTPS)"), database.displayName()));

    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app, [&](int number) {
        say(QStringLiteral("signal %1: stopping").arg(number));
        for (QTcpServer *listener : server.servers())
            listener->close();
        app.quit();
    });
    const int code = app.exec();
    core.close();
    say(QStringLiteral("stopped"));
    return code;
}
