#include "tools/CommonOptions.h"

#include "appserver/DatabaseDescription.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/Ugnnorma.h"

#include <QCommandLineParser>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <cstdlib>

namespace {

// Exactly one of --db FILE, --pg "conninfo" and --server URL says where the data are.
void readPlace(const QCommandLineParser &parser, CommonOptions *options)
{
    const int given = int(parser.isSet(QStringLiteral("db"))) + int(parser.isSet(QStringLiteral("pg")))
                      + int(parser.isSet(QStringLiteral("server")));
    if (given != 1)
        throw UsageError(QStringLiteral("give one of --db FILE, --pg \"conninfo\" or --server URL"));
    if (parser.isSet(QStringLiteral("server"))) {
        options->protocol = QStringLiteral("http");
        options->server = parser.value(QStringLiteral("server"));
        // The http transport reads the trusted certificates from the environment, as the
        // module loaded by a host does; the programs it starts inherit them.
        if (parser.isSet(QStringLiteral("ca-file")))
            qputenv("QACSEMAF_CA_FILE", QFile::encodeName(parser.value(QStringLiteral("ca-file"))));
        return;
    }
    if (parser.isSet(QStringLiteral("ca-file")))
        throw UsageError(QStringLiteral("--ca-file goes with --server https://..."));
    if (parser.isSet(QStringLiteral("pg"))) {
        appserver::DatabaseDescription pg;
        QString error;
        if (!appserver::DatabaseDescription::fromKeywords(parser.value(QStringLiteral("pg")), &pg, &error))
            throw UsageError(QStringLiteral("--pg: %1").arg(error));
        // The pgsql connection takes its login from the environment, as libpq does.
        if (!pg.user.isEmpty())
            qputenv("PGUSER", pg.user.toUtf8());
        if (!pg.password.isEmpty())
            qputenv("PGPASSWORD", pg.password.toUtf8());
        // And the application server's own keys from these two, so that the reading login uses
        // its own password and the limits hold as on qacsemaf-server.
        if (!pg.readerPassword.isEmpty())
            qputenv("QACSEMAF_PG_READ_PASSWORD", pg.readerPassword.toUtf8());
        qputenv("QACSEMAF_PG_OPTIONS", QStringLiteral("readuser=%1 writerole=%2 statement_timeout=%3 lock_timeout=%4")
                                           .arg(pg.readerUser, pg.writerRole)
                                           .arg(pg.statementTimeoutMs)
                                           .arg(pg.lockTimeoutMs)
                                           .toUtf8());
        options->protocol = QStringLiteral("pgsql");
        options->server = QStringLiteral("%1:%2").arg(pg.host).arg(pg.port);
        options->alias = pg.databaseName;
        return;
    }
    options->alias = parser.value(QStringLiteral("db"));
    if (!QFile::exists(options->alias))
        throw UsageError(QStringLiteral("%1 does not exist").arg(options->alias));
}

} // namespace

void CommonOptions::addTo(QCommandLineParser &parser)
{
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("db"), QStringLiteral("SQLite database file."), QStringLiteral("file")},
        {QStringLiteral("pg"), QStringLiteral("PostgreSQL database, in place of --db."), QStringLiteral("conninfo")},
        {QStringLiteral("server"),
         QStringLiteral("qacsemaf-server (host:port, http://host:port or https://host[:port]), in place of --db."),
         QStringLiteral("url")},
        {QStringLiteral("ca-file"),
         QStringLiteral("PEM certificates to trust for an https server besides the system's (QACSEMAF_CA_FILE)."),
         QStringLiteral("file")},
        {QStringLiteral("company"), QStringLiteral("Current company."), QStringLiteral("n")},
        {QStringLiteral("categories"), QStringLiteral("Requirement categories: EF, EN, EP, CO."), QStringLiteral("list")},
        {QStringLiteral("user"), QStringLiteral("Application user."), QStringLiteral("user"), QStringLiteral("ADMIN")},
        {QStringLiteral("password"), QStringLiteral("The user's password."), QStringLiteral("password"),
         QStringLiteral("ADMIN")},
    });
}

void CommonOptions::parse(QCommandLineParser &parser, const QStringList &arguments)
{
    if (!parser.parse(arguments))
        throw UsageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << parser.helpText();
        std::exit(0);
    }
    if (!parser.positionalArguments().isEmpty())
        throw UsageError(QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));
}

CommonOptions CommonOptions::read(const QCommandLineParser &parser)
{
    if (!parser.isSet(QStringLiteral("company")))
        throw UsageError(QStringLiteral("--company is required"));
    CommonOptions options;
    readPlace(parser, &options);
    bool isNumber = false;
    options.company = parser.value(QStringLiteral("company")).toInt(&isNumber);
    if (!isNumber)
        throw UsageError(QStringLiteral("--company: \"%1\" is not a number").arg(parser.value(QStringLiteral("company"))));
    options.user = parser.value(QStringLiteral("user"));
    options.password = parser.value(QStringLiteral("password"));
    options.categoriesGiven = parser.isSet(QStringLiteral("categories"));
    if (options.categoriesGiven)
        options.categories = categoriesOf(parser.value(QStringLiteral("categories")));
    return options;
}

engine::Categories CommonOptions::categoriesOf(const QString &list)
{
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    engine::Categories categories;
    for (const QString &code : list.toUpper().split(separators, Qt::SkipEmptyParts)) {
        if (code == QLatin1String("EF"))
            categories.eduFor = true;
        else if (code == QLatin1String("EN"))
            categories.eduNo = true;
        else if (code == QLatin1String("EP"))
            categories.expe = true;
        else if (code == QLatin1String("CO"))
            categories.compe = true;
        else
            throw UsageError(QStringLiteral("--categories: unknown category \"%1\" (use EF, EN, EP, CO)").arg(code));
    }
    return categories;
}

Session CommonOptions::session() const
{
    return Session(protocol, server, alias, user, password, company);
}

void CommonOptions::startSession() const
{
    ResetSessionGlobals();
    Session::makeCurrent(session());
}

void CommonOptions::proveSession(SDCOMConnection &connection) const
{
    connection.setSession(session());
    connection.VerificarSesion();
}
