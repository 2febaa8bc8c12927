#include "tools/UserCommand.h"

#include "appserver/PasswordPolicy.h"
#include "tools/CommandLine.h"
#include "tools/PasswordPrompt.h"
#include "tools/SiteDatabase.h"
#include "tools/SiteOptions.h"
#include "appserver/AuditTrail.h"
#include "tools/dbtools/UserStore.h"

#include <QMap>
#include <QRegularExpression>
#include <QTextStream>

using namespace dbtools;

namespace {

const QString kUserConnection = QStringLiteral("qacsemaf-user");

struct UserAction {
    const char *description;   // Spanish, marked for the catalogue
    bool takesName = true;
};

const QMap<QString, UserAction> &userActions()
{
    static const QMap<QString, UserAction> actions{
        {QStringLiteral("add"),
         {QT_TRANSLATE_NOOP("qacsemaf", "Crea un usuario, activo, con las empresas dadas. La contraseña se pide en la "
                                        "terminal o se lee de la entrada estándar.")}},
        {QStringLiteral("passwd"),
         {QT_TRANSLATE_NOOP("qacsemaf", "Cambia la contraseña de un usuario; las sesiones abiertas con la anterior "
                                        "terminan.")}},
        {QStringLiteral("disable"),
         {QT_TRANSLATE_NOOP("qacsemaf", "Deshabilita un usuario: no puede iniciar sesión y sus sesiones abiertas "
                                        "terminan. Conserva sus empresas.")}},
        {QStringLiteral("enable"), {QT_TRANSLATE_NOOP("qacsemaf", "Habilita de nuevo un usuario.")}},
        {QStringLiteral("grant"), {QT_TRANSLATE_NOOP("qacsemaf", "Da a un usuario una empresa más.")}},
        {QStringLiteral("revoke"),
         {QT_TRANSLATE_NOOP("qacsemaf", "Con --company, quita a un usuario una empresa. Sin ella, termina las "
                                        "sesiones abiertas del usuario en el servidor de aplicaciones (con --session, "
                                        "solo esa): su siguiente solicitud recibe \"La sesión fue terminada por un "
                                        "administrador\" y debe iniciar sesión de nuevo.")}},
        {QStringLiteral("sessions"),
         {QT_TRANSLATE_NOOP("qacsemaf", "Lista las sesiones de un usuario en el servidor de aplicaciones: su "
                                        "identificador, inicio, expiración (UTC), dirección y estado (activa, "
                                        "terminada, expirada).")}},
        {QStringLiteral("list"),
         {QT_TRANSLATE_NOOP("qacsemaf", "Lista los usuarios, su tipo, su estado y sus empresas."), false}},
    };
    return actions;
}

QString actionNames()
{
    return userActions().keys().join(QStringLiteral(", "));
}

// qacsemaf user --help: the actions, each with what it does.
void printActions(const QString &program)
{
    QTextStream out(stdout);
    out << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Uso: %1 <acción> [opciones]")).arg(program) << "\n\n"
        << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Los usuarios de la aplicación y sus empresas.")) << "\n\n"
        << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Acciones:")) << '\n';
    for (auto it = userActions().cbegin(); it != userActions().cend(); ++it)
        out << "  " << it.key().leftJustified(10) << cliText(it->description) << '\n';
    out << '\n'
        << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Las opciones de cada acción: \"%1 <acción> --help\".")).arg(program)
        << '\n';
}

void printUsers(const QList<UserStore::User> &users)
{
    QTextStream out(stdout);
    out << QStringLiteral("%1 %2 %3 %4\n")
               .arg(cliText(QT_TRANSLATE_NOOP("qacsemaf", "USUARIO")), -8)
               .arg(cliText(QT_TRANSLATE_NOOP("qacsemaf", "TIPO")), -4)
               .arg(cliText(QT_TRANSLATE_NOOP("qacsemaf", "ESTADO")), -13)
               .arg(cliText(QT_TRANSLATE_NOOP("qacsemaf", "EMPRESAS")));
    for (const UserStore::User &user : users) {
        QStringList companies;
        for (const int company : user.companies)
            companies << QString::number(company);
        out << QStringLiteral("%1 %2 %3 %4\n").arg(user.name, -8).arg(user.type, -4)
                   .arg(user.active ? cliText(QT_TRANSLATE_NOOP("qacsemaf", "activo"))
                                    : cliText(QT_TRANSLATE_NOOP("qacsemaf", "deshabilitado")), -13)
                   .arg(companies.isEmpty() ? QStringLiteral("-") : companies.join(QLatin1Char(',')));
    }
}

void printSessions(const QList<appserver::SessionRecords::Session> &sessions)
{
    QTextStream out(stdout);
    out << QStringLiteral("%1 %2 %3 %4 %5\n")
               .arg(cliText(QT_TRANSLATE_NOOP("qacsemaf", "SESIÓN")), -32)
               .arg(cliText(QT_TRANSLATE_NOOP("qacsemaf", "INICIO")), -20)
               .arg(cliText(QT_TRANSLATE_NOOP("qacsemaf", "EXPIRA")), -20)
               .arg(cliText(QT_TRANSLATE_NOOP("qacsemaf", "DIRECCIÓN")), -15)
               .arg(cliText(QT_TRANSLATE_NOOP("qacsemaf", "ESTADO")));
    const QString now = appserver::AuditTrail::nowText();
    for (const auto &session : sessions)
        out << QStringLiteral("%1 %2 %3 %4 %5\n").arg(session.id, -32).arg(session.started, -20).arg(session.expires, -20)
                   .arg(session.address, -15).arg(session.state(now));
}

// What the command line asked of one action, read and checked before the database is opened.
struct UserRequest {
    QString action;
    QString name;
    QString type;          // add
    QString fullName;      // add
    QList<int> companies;  // add: any number; grant: one; revoke: one or none (sessions)
    QString session;       // revoke --session
    int minPasswordLength = appserver::PasswordPolicy::kDefaultMinLength;   // add, passwd
};

// Empty when `password` may be the user's (appserver::PasswordPolicy), else the refusal in the
// command line's words.
QString passwordRefusal(const UserRequest &request, const QString &password)
{
    const appserver::PasswordPolicy policy(request.minPasswordLength);
    switch (policy.check(request.name, password)) {
    case appserver::PasswordPolicy::Refusal::TooShort:
        return cliText(QT_TRANSLATE_NOOP("qacsemaf", "la contraseña debe tener al menos %1 caracteres; no se guardó nada"))
            .arg(request.minPasswordLength);
    case appserver::PasswordPolicy::Refusal::UserName:
        return cliText(QT_TRANSLATE_NOOP("qacsemaf", "la contraseña no puede ser el nombre del usuario; no se guardó nada"));
    case appserver::PasswordPolicy::Refusal::None:
        break;
    }
    return {};
}

// Runs the action on the open store; what it printed for success, or the failure.
DbOutcome runAction(const UserRequest &request, UserStore &store, QString *done)
{
    const QString &action = request.action;
    const QString &name = request.name;
    if (action == QLatin1String("list")) {
        QList<UserStore::User> users;
        const DbOutcome listed = store.list(&users);
        if (listed.ok())
            printUsers(users);
        return listed;
    }
    if (action == QLatin1String("grant")) {
        *done = cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1: empresa %2 concedida.")).arg(name).arg(request.companies.first());
        return store.grant(name, request.companies.first());
    }
    if (action == QLatin1String("revoke") && !request.companies.isEmpty()) {
        *done = cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1: empresa %2 retirada.")).arg(name).arg(request.companies.first());
        return store.revoke(name, request.companies.first());
    }
    if (action == QLatin1String("revoke")) {
        int ended = 0;
        const DbOutcome outcome = store.endSessions(name, request.session, &ended);
        *done = !request.session.isEmpty()
            ? cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1: sesión %2 terminada.")).arg(name, request.session)
            : ended == 0 ? cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1 no tenía sesiones abiertas.")).arg(name)
                         : cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1: %2 sesiones terminadas.")).arg(name).arg(ended);
        return outcome;
    }
    if (action == QLatin1String("sessions")) {
        QList<appserver::SessionRecords::Session> sessions;
        const DbOutcome listed = store.sessions(name, &sessions);
        if (listed.ok())
            printSessions(sessions);
        return listed;
    }
    if (action == QLatin1String("disable")) {
        *done = cliText(QT_TRANSLATE_NOOP("qacsemaf", "Usuario %1 deshabilitado.")).arg(name);
        return store.setActive(name, false);
    }
    if (action == QLatin1String("enable")) {
        *done = cliText(QT_TRANSLATE_NOOP("qacsemaf", "Usuario %1 habilitado.")).arg(name);
        return store.setActive(name, true);
    }
    QString password;
    if (const QString refused = PasswordPrompt::read(name, &password); !refused.isEmpty())
        return DbOutcome::failure(refused);
    if (const QString refused = passwordRefusal(request, password); !refused.isEmpty())
        return DbOutcome::failure(refused);
    if (action == QLatin1String("passwd")) {
        *done = cliText(QT_TRANSLATE_NOOP("qacsemaf", "Contraseña de %1 cambiada.")).arg(name);
        return store.setPassword(name, password);
    }
    UserStore::User user;
    user.name = name;
    user.type = request.type;
    user.fullName = request.fullName;
    user.companies = request.companies;
    *done = cliText(QT_TRANSLATE_NOOP("qacsemaf", "Usuario %1 creado.")).arg(name);
    return store.add(user, password);
}

void addActionOptions(const QString &action, CommandLine &line)
{
    if (action == QLatin1String("add") || action == QLatin1String("passwd"))
        line.add({{QStringLiteral("min-password-length"),
                   cliText(QT_TRANSLATE_NOOP("qacsemaf", "Largo mínimo de la contraseña (nunca puede ser el nombre "
                                                         "del usuario).")),
                   QStringLiteral("n"), QStringLiteral("8")}});
    if (action == QLatin1String("add")) {
        line.add({
            {QStringLiteral("company"),
             cliText(QT_TRANSLATE_NOOP("qacsemaf", "Empresa que el usuario puede usar (se repite para varias).")),
             QStringLiteral("n")},
            {QStringLiteral("type"),
             cliText(QT_TRANSLATE_NOOP("qacsemaf", "Tipo de usuario: A administrador, U usuario, C consulta.")),
             cliText(QT_TRANSLATE_NOOP("qacsemaf", "tipo")), QStringLiteral("U")},
            {QStringLiteral("name"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Nombre completo del usuario.")),
             cliText(QT_TRANSLATE_NOOP("qacsemaf", "texto"))},
        });
    } else if (action == QLatin1String("grant")) {
        line.add({{QStringLiteral("company"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "La empresa.")), QStringLiteral("n")}});
    } else if (action == QLatin1String("revoke")) {
        line.add({{QStringLiteral("company"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "La empresa que se le quita.")),
                   QStringLiteral("n")},
                  {QStringLiteral("session"),
                   cliText(QT_TRANSLATE_NOOP("qacsemaf", "Termina solo esta sesión (su identificador, como lo lista "
                                                         "\"user sessions\").")),
                   QStringLiteral("id")}});
    }
}

// The action's own arguments; throws UsageError.
UserRequest readRequest(const QString &action, const CommandLine &line)
{
    UserRequest request;
    request.action = action;
    if (userActions().value(action).takesName) {
        if (line.arguments().isEmpty())
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "falta el NOMBRE del usuario")));
        request.name = line.arguments().constFirst();
        if (const QString refused = UserStore::nameRefusal(request.name); !refused.isEmpty())
            throw UsageError(refused);
    }
    if (action == QLatin1String("add") || action == QLatin1String("passwd"))
        request.minPasswordLength = line.number(QStringLiteral("min-password-length"), 1);
    if (action == QLatin1String("grant"))
        line.require(QStringLiteral("company"));
    if (action == QLatin1String("revoke")) {
        line.refuseTogether(QStringLiteral("company"), QStringLiteral("session"));
        request.session = line.value(QStringLiteral("session")).trimmed();
        static const QRegularExpression sessionId(QStringLiteral("^[0-9a-f]{32}$"));
        if (line.isSet(QStringLiteral("session")) && !sessionId.match(request.session).hasMatch())
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--session: \"%1\" no es el identificador de una "
                                                                   "sesión (32 cifras hexadecimales, como lo lista "
                                                                   "\"user sessions\")"))
                                 .arg(request.session));
    }
    if ((action == QLatin1String("grant") || action == QLatin1String("revoke")) && line.isSet(QStringLiteral("company"))) {
        if (line.values(QStringLiteral("company")).size() > 1)
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--company: dé una sola empresa")));
        request.companies << line.number(QStringLiteral("company"), 0);
    }
    if (action == QLatin1String("add")) {
        request.type = line.value(QStringLiteral("type")).toUpper();
        if (!QStringList{QStringLiteral("A"), QStringLiteral("U"), QStringLiteral("C")}.contains(request.type))
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1: \"%2\" no es uno de %3"))
                                 .arg(QStringLiteral("--type"), line.value(QStringLiteral("type")), QStringLiteral("A, U, C")));
        request.fullName = line.value(QStringLiteral("name"));
        request.companies = line.numbers(QStringLiteral("company"), 0);
    }
    return request;
}

} // namespace

int runUserCommand(const QStringList &arguments)
{
    const QString program = arguments.value(0);
    const QString action = arguments.value(1);
    try {
        if (action == QLatin1String("--help") || action == QLatin1String("-h") || action == QLatin1String("help")) {
            printActions(program);
            return 0;
        }
        if (action.isEmpty())
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "indique la acción: %1")).arg(actionNames()));
        if (!userActions().contains(action))
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "acción desconocida \"%1\" (use %2)"))
                                 .arg(action, actionNames()));
    } catch (const UsageError &error) {
        return reportUsageError(error, program);
    }
    QStringList rest = arguments.mid(2);
    rest.prepend(program + QLatin1Char(' ') + action);
    CommandLine line(rest.constFirst(), cliText(userActions().value(action).description));
    if (userActions().value(action).takesName)
        line.takeArguments(cliText(QT_TRANSLATE_NOOP("qacsemaf", "NOMBRE")), 1);
    addActionOptions(action, line);
    SiteOptions::addPlaceTo(line);
    SiteOptions options;
    UserRequest request;
    try {
        line.parse(rest);
        request = readRequest(action, line);
        options = SiteOptions::read(line, SiteOptions::File::MustExist);
    } catch (const UsageError &error) {
        return reportUsageError(error, rest.constFirst());
    }
    SiteDatabase site(kUserConnection);
    DbOutcome outcome = site.openExisting(options);
    if (outcome.ok())
        outcome = site.checkCurrent();
    QString done;
    if (outcome.ok()) {
        UserStore store(site.db());
        outcome = runAction(request, store, &done);
    }
    if (!outcome.ok())
        return reportFailure(outcome.error);
    if (!done.isEmpty())
        QTextStream(stdout) << "qacsemaf: " << done << '\n';
    return 0;
}
