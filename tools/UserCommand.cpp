#include "tools/UserCommand.h"

#include "tools/PasswordPrompt.h"
#include "tools/SiteDatabase.h"
#include "tools/SiteOptions.h"
#include "tools/dbtools/UserStore.h"

#include <QMap>
#include <QTextStream>

#include <functional>

using namespace dbtools;

namespace {

const QString kUserConnection = QStringLiteral("qacsemaf-user");

struct UserAction {
    QString arguments;     // after the action's name in the usage line
    QString description;
    bool takesName = true;
};

const QMap<QString, UserAction> &userActions()
{
    static const QMap<QString, UserAction> actions{
        {QStringLiteral("add"),
         {QStringLiteral("NOMBRE [opciones]"),
          QStringLiteral("Crea un usuario, activo, con las empresas dadas. La contraseña se pide en la terminal "
                         "o se lee de la entrada estándar.")}},
        {QStringLiteral("passwd"),
         {QStringLiteral("NOMBRE [opciones]"),
          QStringLiteral("Cambia la contraseña de un usuario; las sesiones abiertas con la anterior terminan.")}},
        {QStringLiteral("disable"),
         {QStringLiteral("NOMBRE [opciones]"),
          QStringLiteral("Deshabilita un usuario: no puede iniciar sesión y sus sesiones abiertas terminan. "
                         "Conserva sus empresas.")}},
        {QStringLiteral("enable"), {QStringLiteral("NOMBRE [opciones]"), QStringLiteral("Habilita de nuevo un usuario.")}},
        {QStringLiteral("grant"),
         {QStringLiteral("NOMBRE --company N [opciones]"), QStringLiteral("Da a un usuario una empresa más.")}},
        {QStringLiteral("revoke"),
         {QStringLiteral("NOMBRE --company N [opciones]"), QStringLiteral("Quita a un usuario una empresa.")}},
        {QStringLiteral("list"),
         {QStringLiteral("[opciones]"), QStringLiteral("Lista los usuarios, su tipo, su estado y sus empresas."), false}},
    };
    return actions;
}

int userUsage(QTextStream &out, int exitCode)
{
    out << "Uso: qacsemaf user ACCIÓN ... (--db ARCHIVO | --pg CONNINFO)\n\nAcciones:\n";
    for (auto it = userActions().cbegin(); it != userActions().cend(); ++it)
        out << "  qacsemaf user " << it.key() << ' ' << it->arguments << "\n      " << it->description << '\n';
    out << "\n'qacsemaf user ACCIÓN --help' muestra las opciones de cada acción.\n";
    return exitCode;
}

void printUsers(const QList<UserStore::User> &users)
{
    QTextStream out(stdout);
    out << QStringLiteral("%1 %2 %3 %4\n").arg(QStringLiteral("USUARIO"), -8).arg(QStringLiteral("TIPO"), -4)
               .arg(QStringLiteral("ESTADO"), -13).arg(QStringLiteral("EMPRESAS"));
    for (const UserStore::User &user : users) {
        QStringList companies;
        for (const int company : user.companies)
            companies << QString::number(company);
        out << QStringLiteral("%1 %2 %3 %4\n").arg(user.name, -8).arg(user.type, -4)
                   .arg(user.active ? QStringLiteral("activo") : QStringLiteral("deshabilitado"), -13)
                   .arg(companies.isEmpty() ? QStringLiteral("-") : companies.join(QLatin1Char(',')));
    }
}

// Runs the action on the open store; what it printed for success, or the failure.
DbOutcome runAction(const QString &action, const SiteOptions &options, UserStore &store, QString *done)
{
    const QString name = options.parser().positionalArguments().value(0);
    if (action == QLatin1String("list")) {
        QList<UserStore::User> users;
        const DbOutcome listed = store.list(&users);
        if (listed.ok())
            printUsers(users);
        return listed;
    }
    if (action == QLatin1String("grant") || action == QLatin1String("revoke")) {
        const int company = options.number(QStringLiteral("company"), 0);
        *done = QStringLiteral("%1: empresa %2 %3.").arg(name).arg(company)
                    .arg(action == QLatin1String("grant") ? QStringLiteral("concedida") : QStringLiteral("retirada"));
        return action == QLatin1String("grant") ? store.grant(name, company) : store.revoke(name, company);
    }
    if (action == QLatin1String("disable") || action == QLatin1String("enable")) {
        const bool enable = action == QLatin1String("enable");
        *done = QStringLiteral("Usuario %1 %2.").arg(name, enable ? QStringLiteral("habilitado") : QStringLiteral("deshabilitado"));
        return store.setActive(name, enable);
    }
    QString password;
    if (const QString refused = PasswordPrompt::read(name, &password); !refused.isEmpty())
        return DbOutcome::failure(refused);
    if (action == QLatin1String("passwd")) {
        *done = QStringLiteral("Contraseña de %1 cambiada.").arg(name);
        return store.setPassword(name, password);
    }
    UserStore::User user;
    user.name = name;
    user.type = options.parser().value(QStringLiteral("type")).toUpper();
    user.fullName = options.parser().value(QStringLiteral("name"));
    for (const QString &company : options.parser().values(QStringLiteral("company")))
        user.companies << company.toInt();
    *done = QStringLiteral("Usuario %1 creado.").arg(name);
    return store.add(user, password);
}

void addActionOptions(const QString &action, SiteOptions &options)
{
    QCommandLineParser &parser = options.parser();
    if (action == QLatin1String("add")) {
        parser.addOptions({
            {QStringLiteral("company"), QStringLiteral("Empresa que el usuario puede usar (se repite para varias)."),
             QStringLiteral("N")},
            {QStringLiteral("type"), QStringLiteral("Tipo de usuario: A administrador, U usuario, C consulta (U si no se da)."),
             QStringLiteral("TIPO"), QStringLiteral("U")},
            {QStringLiteral("name"), QStringLiteral("Nombre completo del usuario."), QStringLiteral("TEXTO")},
        });
    } else if (action == QLatin1String("grant") || action == QLatin1String("revoke")) {
        parser.addOption({QStringLiteral("company"), QStringLiteral("La empresa."), QStringLiteral("N")});
    }
}

// Arguments the action needs, checked before the database is opened; throws UsageError.
void checkActionArguments(const QString &action, const SiteOptions &options)
{
    const QCommandLineParser &parser = options.parser();
    if (userActions().value(action).takesName) {
        if (parser.positionalArguments().isEmpty())
            throw UsageError(QStringLiteral("falta el NOMBRE del usuario"));
        if (const QString refused = UserStore::nameRefusal(parser.positionalArguments().first()); !refused.isEmpty())
            throw UsageError(refused);
    }
    if (action == QLatin1String("grant") || action == QLatin1String("revoke")) {
        if (parser.values(QStringLiteral("company")).size() != 1)
            throw UsageError(QStringLiteral("indique una empresa con --company N"));
        options.number(QStringLiteral("company"), 0);
    }
    if (action == QLatin1String("add")) {
        static const QStringList types{QStringLiteral("A"), QStringLiteral("U"), QStringLiteral("C")};
        if (!types.contains(parser.value(QStringLiteral("type")).toUpper()))
            throw UsageError(QStringLiteral("--type debe ser A, U o C, no \"%1\"").arg(parser.value(QStringLiteral("type"))));
        for (const QString &company : parser.values(QStringLiteral("company"))) {
            bool ok = false;
            if (company.toInt(&ok) < 0 || !ok)
                throw UsageError(QStringLiteral("--company necesita un número de empresa, no \"%1\"").arg(company));
        }
    }
}

} // namespace

int runUserCommand(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString action = arguments.value(1);
    if (action == QLatin1String("--help") || action == QLatin1String("-h") || action == QLatin1String("help"))
        return userUsage(out, 0);
    if (!userActions().contains(action)) {
        if (!action.isEmpty())
            err << "qacsemaf: acción desconocida \"" << action << "\"\n";
        return userUsage(err, 2);
    }
    const UserAction &description = userActions().value(action);
    SiteOptions options(QStringLiteral("qacsemaf user %1 %2").arg(action, description.arguments), description.description);
    options.addPlaceOptions();
    addActionOptions(action, options);
    QStringList rest = arguments.mid(2);
    rest.prepend(arguments.value(0) + QLatin1Char(' ') + action);
    try {
        if (!options.parse(rest, description.takesName ? 1 : 0))
            return 0;
        checkActionArguments(action, options);
    } catch (const UsageError &error) {
        return options.refuse(error);
    }
    SiteDatabase site(kUserConnection);
    DbOutcome outcome = site.openExisting(options);
    if (outcome.ok())
        outcome = site.checkCurrent();
    QString done;
    if (outcome.ok()) {
        UserStore store(site.db());
        outcome = runAction(action, options, store, &done);
    }
    if (!outcome.ok())
        return SiteOptions::fail(outcome.error);
    if (!done.isEmpty())
        out << done << '\n';
    return 0;
}
