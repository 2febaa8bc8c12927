#include "tools/CommonOptions.h"

#include "appserver/DatabaseDescription.h"
#include "framework/connection/HttpTransport.h"
#include "framework/connection/SDCOMConnection.h"
#include "tools/PasswordPrompt.h"

#include <QFile>
#include <QRegularExpression>

namespace {

// Exactly one of --db FILE, --pg "conninfo" and --server URL says where the data are.
void readPlace(const CommandLine &line, CommonOptions *options)
{
    const int given = int(line.isSet(QStringLiteral("db"))) + int(line.isSet(QStringLiteral("pg")))
                      + int(line.isSet(QStringLiteral("server")));
    if (given != 1)
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "dé una sola de --db ARCHIVO, --pg \"conninfo\" o --server URL")));
    if (line.isSet(QStringLiteral("server"))) {
        options->protocol = QStringLiteral("http");
        options->server = line.value(QStringLiteral("server"));
        HttpTransport::Address address;
        QString error;
        if (!HttpTransport::parseServer(options->server, &address, &error))
            throw UsageError(QStringLiteral("--server: %1").arg(error));
        // The http transport reads the trusted certificates from the environment, as the
        // module loaded by a host does; the programs it starts inherit them.
        if (line.isSet(QStringLiteral("ca-file"))) {
            if (!QFile::exists(line.value(QStringLiteral("ca-file"))))
                throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--ca-file: el archivo %1 no existe"))
                                     .arg(line.value(QStringLiteral("ca-file"))));
            qputenv("QACSEMAF_CA_FILE", QFile::encodeName(line.value(QStringLiteral("ca-file"))));
        }
        return;
    }
    line.refuseTogether(QStringLiteral("ca-file"), QStringLiteral("db"));
    line.refuseTogether(QStringLiteral("ca-file"), QStringLiteral("pg"));
    if (line.isSet(QStringLiteral("pg"))) {
        appserver::DatabaseDescription pg;
        QString error;
        if (!appserver::DatabaseDescription::fromKeywords(line.value(QStringLiteral("pg")), &pg, &error))
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
    options->alias = line.value(QStringLiteral("db"));
    if (!QFile::exists(options->alias))
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--db: el archivo %1 no existe")).arg(options->alias));
}

// The first of --password, --password-file and QACSEMAF_PASSWORD; else asked on the terminal,
// and refused when there is none to ask on.
QString readPassword(const CommandLine &line, const QString &user)
{
    line.refuseTogether(QStringLiteral("password"), QStringLiteral("password-file"));
    if (line.isSet(QStringLiteral("password")))
        return line.value(QStringLiteral("password"));
    QString error;
    if (line.isSet(QStringLiteral("password-file"))) {
        const QString password = PasswordPrompt::fromFile(line.value(QStringLiteral("password-file")), &error);
        if (!error.isEmpty())
            throw UsageError(QStringLiteral("--password-file: %1").arg(error));
        return password;
    }
    if (qEnvironmentVariableIsSet("QACSEMAF_PASSWORD"))
        return qEnvironmentVariable("QACSEMAF_PASSWORD");
    QString password;
    if (const QString refused = PasswordPrompt::ask(user, &password); !refused.isEmpty())
        throw UsageError(refused);
    return password;
}

} // namespace

void CommonOptions::addTo(CommandLine &line)
{
    line.add({
        {QStringLiteral("db"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Archivo de la base SQLite.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))},
        {QStringLiteral("pg"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Base PostgreSQL, en lugar de --db.")),
         QStringLiteral("conninfo")},
        {QStringLiteral("server"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "qacsemaf-server (host:puerto, http://host:puerto o "
                                               "https://host[:puerto]), en lugar de --db.")),
         QStringLiteral("url")},
        {QStringLiteral("ca-file"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "Certificados PEM en los que confiar para un servidor https, además de "
                                               "los del sistema (QACSEMAF_CA_FILE).")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))},
        {QStringLiteral("company"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Empresa actual.")),
         QStringLiteral("n")},
        {QStringLiteral("categories"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "Categorías de requisitos: EF, EN, EP, CO.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "lista"))},
        {QStringLiteral("user"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Usuario de la aplicación.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "usuario")), QStringLiteral("ADMIN")},
        {QStringLiteral("password-file"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "Contraseña del usuario: la primera línea del archivo (si no, la "
                                               "variable QACSEMAF_PASSWORD; si no, se pregunta en la terminal).")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))},
        {QStringLiteral("password"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "Contraseña del usuario, visible para todos en la lista de procesos: "
                                               "mejor --password-file o QACSEMAF_PASSWORD.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "contraseña"))},
    });
}

CommonOptions CommonOptions::read(const CommandLine &line)
{
    line.require(QStringLiteral("company"));
    CommonOptions options;
    readPlace(line, &options);
    options.company = line.number(QStringLiteral("company"));
    options.user = line.value(QStringLiteral("user"));
    options.categoriesGiven = line.isSet(QStringLiteral("categories"));
    if (options.categoriesGiven)
        options.categories = categoriesOf(line.value(QStringLiteral("categories")));
    // Last, so that every other mistake is told before anyone is asked for a password.
    options.password = readPassword(line, options.user);
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
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--categories: categoría desconocida \"%1\" "
                                                                   "(use EF, EN, EP, CO)")).arg(code));
    }
    return categories;
}

Session CommonOptions::session() const
{
    return Session(protocol, server, alias, user, password, company);
}

void CommonOptions::proveSession(SDCOMConnection &connection) const
{
    connection.setSession(session());
    connection.VerificarSesion();
}
