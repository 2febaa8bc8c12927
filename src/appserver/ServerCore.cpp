#include "ServerCore.h"

#include "ApplyHandler.h"
#include "FetchHandler.h"
#include "PasswordHash.h"
#include "ProviderRegistry.h"
#include "ServerMethods.h"
#include "SqlConnection.h"
#include "SqlDialect.h"

#include <QCryptographicHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <exception>

namespace appserver {

namespace {

const QString kRefused = QStringLiteral("Usuario o contraseña incorrectos. Verifique sus datos de acceso.");
const QString kNotOpen = QStringLiteral("El servidor de aplicaciones no tiene una base de datos abierta.");

QString unknownProvider(const QString &name)
{
    return QStringLiteral("El servidor de aplicaciones no tiene el proveedor \"%1\".").arg(name);
}

// The boundary: whatever goes wrong inside becomes the result's error text.
template <class Result, class Work>
Result guarded(Work work)
{
    try {
        return work();
    } catch (const std::exception &e) {
        Result result;
        result.error = QStringLiteral("Error interno del servidor de aplicaciones: %1")
                           .arg(QString::fromUtf8(e.what()));
        return result;
    }
}

} // namespace

struct ServerCore::Private {
    DatabaseDescription description;
    SqlDialect dialect{DatabaseDescription::Engine::Sqlite};
    SqlConnection reader;
    SqlConnection writer;
    std::unique_ptr<FetchHandler> fetch;
    std::unique_ptr<ApplyHandler> apply;
    std::unique_ptr<ServerMethods> methods;
    bool provedUpstream = false;
    // Sessions already proved on this connection ("user\npassword"): a workstation makes
    // thousands of calls with the same one, and a stretched hash costs milliseconds each.
    QSet<QString> acceptedSessions;
};

ServerCore::ServerCore() : d(std::make_unique<Private>()) {}

ServerCore::~ServerCore()
{
    close();
}

QString ServerCore::open(const DatabaseDescription &description)
{
    close();
    d->description = description;
    d->dialect = SqlDialect(description.engine);
    // Only the reader now: the writer opens with the first apply, so reading a database never
    // takes a write lock nor needs a writable file.
    QString error = d->reader.open(description, d->dialect, true);
    if (error.isEmpty())
        error = checkSchema();
    if (!error.isEmpty()) {
        close();
        return error;
    }
    d->fetch = std::make_unique<FetchHandler>(d->reader, d->dialect);
    d->apply = std::make_unique<ApplyHandler>(d->writer, d->dialect);
    d->methods = std::make_unique<ServerMethods>(*d->fetch);
    d->methods->setDriverName(description.engine == DatabaseDescription::Engine::Sqlite
                                  ? QStringLiteral("SQLITE") : QStringLiteral("POSTGRES"));
    return {};
}

// A file that is not one of ours is refused before anyone works on it, and left as it was.
QString ServerCore::checkSchema()
{
    static const QStringList required{QStringLiteral("GN_USUAR"), QStringLiteral("GN_EMPRE"),
                                      QStringLiteral("AC_PPROM")};
    QString error;
    QStringList tables;
    QSqlDatabase db = d->reader.database();
    const QString begin = d->dialect.beginRead();
    if (!begin.isEmpty())
        d->reader.exec(begin);
    {
        QSqlQuery query(db);
        if (!query.exec(d->dialect.tableListStatement()))
            error = query.lastError().text();
        while (error.isEmpty() && query.next())
            tables << query.value(0).toString().toUpper();
    }
    const QString end = d->dialect.endRead();
    if (!end.isEmpty())
        d->reader.exec(error.isEmpty() ? end : QStringLiteral("ROLLBACK"));
    const QString name = d->description.displayName();
    if (!error.isEmpty())
        return QStringLiteral("%1 no es una base de datos de Semáforo de Carrera: %2").arg(name, error);
    if (tables.isEmpty())
        return QStringLiteral("La base de datos %1 está vacía: no tiene ninguna tabla. "
                              "Créela con qacsemaf seed.").arg(name);
    QStringList missing;
    for (const QString &table : required)
        if (!tables.contains(table))
            missing << table;
    if (!missing.isEmpty())
        return QStringLiteral("%1 no es una base de datos de Semáforo de Carrera: le faltan las tablas %2.")
            .arg(name, missing.join(QStringLiteral(", ")));
    return {};
}

void ServerCore::close()
{
    d->acceptedSessions.clear();
    d->methods.reset();
    d->apply.reset();
    d->fetch.reset();
    d->reader.close();
    d->writer.close();
}

bool ServerCore::isOpen() const
{
    return d->fetch != nullptr;
}

const DatabaseDescription &ServerCore::description() const
{
    return d->description;
}

// Every provider call: a valid session, a known provider, then the work; nothing thrown escapes.
template <class Result, class Request, class Work>
Result ServerCore::forProvider(const Request &request, Work work)
{
    return guarded<Result>([&] {
        Result result;
        result.error = checkSession(request.session);
        if (!result.error.isEmpty())
            return result;
        const ProviderDef *provider = ProviderRegistry::find(request.provider);
        if (!provider) {
            result.error = unknownProvider(request.provider);
            return result;
        }
        return work(*provider);
    });
}

FetchResult ServerCore::fetch(const FetchRequest &request)
{
    return forProvider<FetchResult>(request, [&](const ProviderDef &provider) {
        return d->fetch->run(provider, request);
    });
}

QString ServerCore::fetchEach(const FetchRequest &request, RowSink &sink)
{
    return forProvider<FetchResult>(request, [&](const ProviderDef &provider) {
               FetchResult result;
               result.error = d->fetch->runEach(provider, request, sink);
               return result;
           }).error;
}

ApplyResult ServerCore::apply(const ApplyRequest &request)
{
    return forProvider<ApplyResult>(request, [&](const ProviderDef &provider) {
        ApplyResult result;
        if (!d->writer.isOpen())
            result.error = d->writer.open(d->description, d->dialect, false);
        return result.ok() ? d->apply->run(provider, request) : result;
    });
}

MethodResult ServerCore::call(const MethodCall &call)
{
    return guarded<MethodResult>([&] {
        MethodResult result;
        result.error = checkSession(call.session);
        if (!result.error.isEmpty())
            return result;
        return d->methods->call(call);
    });
}

void ServerCore::setSessionsProvedUpstream(bool upstream)
{
    d->provedUpstream = upstream;
}

QString ServerCore::login(const Credentials &session)
{
    return guarded<MethodResult>([&] {
        MethodResult result;
        if (!isOpen()) {
            result.error = kNotOpen;
            return result;
        }
        QString stored;
        bool found = false;
        result.error = storedPassword(session.user.trimmed(), &stored, &found);
        if (result.error.isEmpty() && !(found && PasswordHash::verify(stored, session.password)))
            result.error = kRefused;
        return result;
    }).error;
}

QString ServerCore::checkSession(const Credentials &session)
{
    if (!isOpen())
        return kNotOpen;
    const QString user = session.user.trimmed();
    if (user.isEmpty())
        return kRefused;
    const QString key = user + QLatin1Char('\n') + session.password;
    if (!d->provedUpstream && d->acceptedSessions.contains(key))
        return {};
    QString stored;
    bool found = false;
    const QString error = storedPassword(user, &stored, &found);
    if (!error.isEmpty())
        return error;
    if (!found)
        return kRefused;
    if (d->provedUpstream)
        return {};
    // Rows written before passwords were hashed still compare as they are, on this
    // in-process road only; the HTTP server's login accepts hashes alone.
    const bool accepted = PasswordHash::isHash(stored) ? PasswordHash::verify(stored, session.password)
                                                       : stored == session.password;
    if (!accepted)
        return kRefused;
    d->acceptedSessions.insert(key);
    return {};
}

template <class Work>
QString ServerCore::inRead(Work work)
{
    const QString begin = d->dialect.beginRead();
    if (!begin.isEmpty())
        d->reader.exec(begin);
    QString error;
    {
        QSqlQuery query(d->reader.database());
        error = work(query);
    }
    const QString end = d->dialect.endRead();
    if (!end.isEmpty())
        d->reader.exec(error.isEmpty() ? end : QStringLiteral("ROLLBACK"));
    return error;
}

QString ServerCore::storedPassword(const QString &user, QString *stored, bool *found)
{
    return inRead([&](QSqlQuery &query) {
        const bool prepared = query.prepare(QStringLiteral("SELECT PAS_USUA FROM GN_USUAR WHERE COD_USUA = ?"));
        query.addBindValue(user);
        if (!prepared || !query.exec())
            return QStringLiteral("No se pudo verificar el usuario: %1").arg(query.lastError().text());
        *found = query.next();
        *stored = *found ? query.value(0).toString() : QString();
        return QString();
    });
}

QString ServerCore::companyAccess(const QString &user, CompanyAccess *access)
{
    if (!isOpen())
        return kNotOpen;
    QSet<int> allowed;
    QHash<int, QString> names;
    // Every company with its name, marked where the user holds a grant: companies are few.
    const QString error = inRead([&](QSqlQuery &query) {
        const bool prepared = query.prepare(QStringLiteral(
            "SELECT E.COD_EMPR, E.NOM_EMPR, U.COD_USUA FROM GN_EMPRE E\n"
            "LEFT JOIN GN_USEMP U ON U.COD_EMPR = E.COD_EMPR AND U.COD_USUA = ?"));
        query.addBindValue(user.trimmed());
        if (!prepared || !query.exec())
            return QStringLiteral("No se pudieron leer las empresas del usuario %1: %2")
                .arg(user, query.lastError().text());
        while (query.next()) {
            const int company = query.value(0).toInt();
            names.insert(company, query.value(1).toString().trimmed());
            if (!query.value(2).isNull())
                allowed.insert(company);
        }
        return QString();
    });
    if (error.isEmpty())
        *access = CompanyAccess(user.trimmed(), allowed, names);
    return error;
}

QString ServerCore::credentialStamp(const QString &user, QByteArray *stamp)
{
    if (!isOpen())
        return kNotOpen;
    QString stored;
    bool found = false;
    const QString error = storedPassword(user.trimmed(), &stored, &found);
    if (error.isEmpty())
        *stamp = found ? QCryptographicHash::hash(stored.toUtf8(), QCryptographicHash::Sha256)
                             .left(9)
                             .toBase64(QByteArray::Base64UrlEncoding)
                       : QByteArray();
    return error;
}

} // namespace appserver
