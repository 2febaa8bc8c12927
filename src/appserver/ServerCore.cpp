#include "appserver/ServerCore.h"

#include "appserver/ApplyHandler.h"
#include "appserver/AuditTrail.h"
#include "appserver/FetchHandler.h"
#include "appserver/MaintenanceMark.h"
#include "appserver/PasswordHash.h"
#include "appserver/SchemaVersion.h"
#include "appserver/SessionRecords.h"
#include "appserver/ServerMethods.h"
#include "appserver/SqlConnection.h"
#include "appserver/SqlDialect.h"
#include "appserver/SqliteEngine.h"
#include "appserver/StatementRegistry.h"
#include "protocol/NamedParams.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDebug>
#include <QElapsedTimer>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>
#include <exception>
#include <optional>

namespace appserver {

namespace {

const QString kRefused = QStringLiteral("Usuario o contraseña incorrectos. Verifique sus datos de acceso.");

QString disabledUser(const QString &user)
{
    return QStringLiteral("El usuario %1 está deshabilitado; pida a un administrador que lo habilite.").arg(user);
}

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

// Tells whether a row-by-row fetch handed anything on: only then may it not start again.
class WatchedSink : public RowSink {
public:
    explicit WatchedSink(RowSink &target) : m_target(target) {}
    void fields(const QList<FieldDesc> &fields) override
    {
        m_used = true;
        m_target.fields(fields);
    }
    void row(const RowCells &cells) override
    {
        m_used = true;
        m_target.row(cells);
    }
    bool used() const { return m_used; }

private:
    RowSink &m_target;
    bool m_used = false;
};

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
    // The companies of the users this core served lately, and when they were read.
    QHash<QString, QPair<qint64, CompanyAccess>> recentAccess;
    bool refused = false;   // the last fetch, apply or call was refused
    QElapsedTimer maintenanceRead;   // when the maintenance mark was last looked at
    bool maintenance = false;
    QString clientAddress = AuditTrail::kLocal;   // where the current request comes from
    std::function<void(const QString &)> log = [](const QString &line) { qInfo("%s", qPrintable(line)); };
};

ServerCore::ServerCore() : d(std::make_unique<Private>())
{
    const auto log = [this](const QString &line) { d->log(line); };
    d->reader.setLog(log);
    d->writer.setLog(log);
}

ServerCore::~ServerCore()
{
    close();
}

void ServerCore::setLog(std::function<void(const QString &)> log)
{
    d->log = std::move(log);
}

QString ServerCore::open(const DatabaseDescription &description)
{
    close();
    if (const QString &broken = StatementRegistry::module().loadError(); !broken.isEmpty())
        return broken;
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
    d->methods->setDriverName(d->dialect.sqlEngine().serverDriverName());
    if (d->reader.resetsSession())
        d->log(QStringLiteral("el usuario de lectura %1 puede cambiar los ajustes de su sesión (la base "
                              "se preparó sin superusuario): cada solicitud termina restableciéndolos")
                   .arg(description.readerUser));
    return {};
}

// A file that is not one of ours is refused before anyone works on it, and left as it was.
QString ServerCore::checkHealth()
{
    if (!isOpen())
        return QStringLiteral("La base de datos no está abierta.");
    return readOn(d->reader, [](QSqlQuery &query) {
        return query.exec(QStringLiteral("SELECT 1")) && query.next() ? QString() : query.lastError().text();
    });
}

QString ServerCore::maintenance()
{
    if (!isOpen())
        return {};
    if (!d->maintenanceRead.isValid() || d->maintenanceRead.hasExpired(1000)) {
        bool held = false;
        if (d->description.engine == DatabaseDescription::Engine::Sqlite)
            held = MaintenanceMark::heldOnFile(d->description.filePath);
        else // a read that fails leaves held false
            readOn(d->reader, [&](QSqlQuery &query) { return MaintenanceMark::heldOnPostgres(query, &held); });
        if (held != d->maintenance)
            d->log(held ? QStringLiteral("mantenimiento: qacsemaf migrate trabaja en la base de datos; las solicitudes "
                                         "reciben 503 hasta que termine")
                        : QStringLiteral("mantenimiento terminado: el servidor atiende de nuevo"));
        d->maintenance = held;
        d->maintenanceRead.start();
    }
    return d->maintenance ? QStringLiteral("El servidor de aplicaciones está en mantenimiento: se está actualizando la "
                                           "base de datos. Intente de nuevo en unos minutos.")
                          : QString();
}

qint64 ServerCore::reconnects() const
{
    return d->reader.reopenings() + d->writer.reopenings();
}

QString ServerCore::checkSchema()
{
    static const QStringList required{QStringLiteral("GN_USUAR"), QStringLiteral("GN_EMPRE"),
                                      QStringLiteral("AC_PPROM")};
    QStringList tables;
    int version = 1;
    const QString error = readOn(d->reader, [&](QSqlQuery &query) {
        tables.clear();
        if (!query.exec(d->dialect.tableListStatement()))
            return query.lastError().text();
        while (query.next())
            tables << query.value(0).toString().toUpper();
        return SchemaVersion::read(query, tables, &version);
    });
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
    if (const QString refusal = SchemaVersion::refusal(name, version); !refusal.isEmpty())
        return refusal;
    // Read as a file that cannot change (SqliteEngine), it would not show the server's own saves.
    if (d->description.engine == DatabaseDescription::Engine::Sqlite
        && SqliteEngine::journalsInWal(d->description.filePath))
        return QStringLiteral("%1 usa el diario WAL, con el que leerla dejaría archivos a su lado; pásela al diario de "
                              "reversión con qacsemaf migrate, con nadie conectado.").arg(name);
    return {};
}

void ServerCore::close()
{
    d->acceptedSessions.clear();
    d->recentAccess.clear();
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

// Every call: a valid session and the user's companies (those given, else as read at most a
// second ago), then the work; nothing thrown escapes.
template <class Result, class Work>
Result ServerCore::forSession(const Credentials &session, const CompanyAccess *access, Work work)
{
    return guarded<Result>([&] {
        Result result;
        result.error = checkSession(session);
        if (result.ok() && !access)
            result.error = recentAccess(session.user.trimmed(), &access);
        return result.ok() ? work(*access) : result;
    });
}

// Every provider call: as any call, with a known provider.
template <class Result, class Request, class Work>
Result ServerCore::forProvider(const Request &request, const CompanyAccess *access, Work work)
{
    return forSession<Result>(request.session, access, [&](const CompanyAccess &companies) {
        const ProviderDef *provider = StatementRegistry::module().provider(request.provider);
        if (!provider) {
            Result result;
            result.error = unknownProvider(request.provider);
            return result;
        }
        return work(*provider, companies);
    });
}

template <class Result, class Work, class MayRetry>
Result ServerCore::readRequest(const QList<int> &companies, Work work, MayRetry mayRetry, bool oneRead)
{
    Result result;
    for (int attempt = 0; attempt < 2; ++attempt) {
        result = Result();
        result.error = d->reader.beginRequest(companies, oneRead ? SqlConnection::Begin::OnlyRead
                                                                 : SqlConnection::Begin::WithFirstRead);
        if (!result.error.isEmpty())
            return result;
        result = work();
        const QString endError = d->reader.endRequest(result.ok());
        if (result.ok() && !endError.isEmpty())
            result.error = endError;
        // Cut short by a lost connection: a read changed nothing, so it may simply run again.
        if (result.ok() || !d->reader.isBroken() || !mayRetry())
            break;
    }
    return result;
}

bool ServerCore::lastRefused() const
{
    return d->refused;
}

void ServerCore::logRefusal(const Credentials &session, const QString &what, const QString &error,
                            const QString &text) const
{
    qWarning().noquote() << QStringLiteral("Solicitud rechazada al usuario %1 en %2: %3%4")
                                .arg(session.user.trimmed(), what, error,
                                     text.isEmpty() ? QString() : QStringLiteral(" [%1]").arg(text.simplified().left(300)));
}

QString ServerCore::recentAccess(const QString &user, const CompanyAccess **access)
{
    constexpr qint64 kFreshMs = 1000;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    auto known = d->recentAccess.find(user);
    if (known == d->recentAccess.end() || now - known->first > kFreshMs) {
        CompanyAccess read;
        if (const QString error = companyAccess(user, &read); !error.isEmpty())
            return error;
        if (d->recentAccess.size() > 64)
            d->recentAccess.clear();
        known = d->recentAccess.insert(user, {now, read});
    }
    *access = &known->second;
    return {};
}

// Every fetch: the provider and session as for any call, the user's companies, one read request
// of the reader, and the refusal logged.
template <class Work, class MayRetry>
FetchResult ServerCore::forFetch(const FetchRequest &request, const CompanyAccess *access, Work work,
                                 MayRetry mayRetry)
{
    d->refused = false;
    return forProvider<FetchResult>(request, access, [&](const ProviderDef &provider, const CompanyAccess &companies) {
        const FetchResult result = readRequest<FetchResult>(
            companies.allowedList(), [&] { return work(provider, companies); }, mayRetry, true);
        d->refused = d->fetch->lastRefused();
        if (d->refused)
            logRefusal(request.session, request.provider, result.error, request.statement);
        return result;
    });
}

FetchResult ServerCore::fetch(const FetchRequest &request, const CompanyAccess *access)
{
    return forFetch(
        request, access,
        [&](const ProviderDef &provider, const CompanyAccess &companies) {
            return d->fetch->run(provider, request, companies);
        },
        [] { return true; });
}

QString ServerCore::fetchEach(const FetchRequest &request, RowSink &sink, const CompanyAccess *access)
{
    WatchedSink watched(sink);
    return forFetch(
               request, access,
               [&](const ProviderDef &provider, const CompanyAccess &companies) {
                   FetchResult read;
                   read.error = d->fetch->runEach(provider, request, companies, watched);
                   return read;
               },
               [&] { return !watched.used(); })
        .error;
}

ApplyResult ServerCore::apply(const ApplyRequest &request, const CompanyAccess *access)
{
    d->refused = false;
    return forProvider<ApplyResult>(request, access, [&](const ProviderDef &provider, const CompanyAccess &companies) {
        ApplyResult result;
        result.error = companies.checkApply(request);
        d->refused = !result.ok();
        if (d->refused)
            logRefusal(request.session, request.provider, result.error);
        else if (!d->writer.isOpen())
            result.error = d->writer.open(d->description, d->dialect, false);
        if (!result.ok())
            return result;
        // The save and its audit row are one transaction: a save whose row cannot be written is
        // refused, and the row stays in edit on the workstation.
        result = d->apply->run(provider, request, companies, [&] { return auditSave(provider, request); });
        d->refused = d->apply->lastRefused();
        if (d->refused)
            logRefusal(request.session, request.provider, result.error);
        return result;
    });
}

MethodResult ServerCore::call(const MethodCall &call, const CompanyAccess *access)
{
    d->refused = false;
    return forSession<MethodResult>(call.session, access, [&](const CompanyAccess &companies) {
        MethodResult result;
        // The load's session check names its company second: one the user may not use is
        // refused here on every road.
        if (call.method.compare(QLatin1String("VerificarSesion"), Qt::CaseInsensitive) == 0) {
            bool number = false;
            const int company = call.args.value(1).toString().trimmed().toInt(&number);
            if (number && companies.knows(company))
                result.error = companies.checkCompany(company);
            d->refused = !result.ok();
            if (d->refused) {
                logRefusal(call.session, call.method, result.error);
                return result;
            }
        }
        return readRequest<MethodResult>(
            companies.allowedList(), [&] { return d->methods->call(call); }, [] { return true; }, false);
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
        UserRecord record;
        result.error = readUser(session.user.trimmed(), &record);
        // A name that does not exist (or a row without a hash of ours) costs the same hash as a
        // wrong password, so that the answer's time does not tell which names exist.
        static const QString unknownUserHash = PasswordHash::make(QStringLiteral("no es un usuario"));
        const bool known = record.found && PasswordHash::isHash(record.password);
        const bool right = PasswordHash::verify(known ? record.password : unknownUserHash, session.password) && known;
        if (result.error.isEmpty() && !right)
            result.error = kRefused;
        // Said only to whoever knows the password.
        if (result.error.isEmpty() && !record.active)
            result.error = disabledUser(session.user.trimmed());
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
    UserRecord record;
    const QString error = readUser(user, &record);
    if (!error.isEmpty())
        return error;
    if (!record.found)
        return kRefused;
    if (!record.active)
        return disabledUser(user);
    if (d->provedUpstream)
        return {};
    // Rows written before passwords were hashed still compare as they are, on this
    // in-process road only; the HTTP server's login accepts hashes alone.
    const bool accepted = PasswordHash::isHash(record.password)
        ? PasswordHash::verify(record.password, session.password)
        : record.password == session.password;
    if (!accepted)
        return kRefused;
    d->acceptedSessions.insert(key);
    return {};
}

QString ServerCore::credentials(SqlConnection **connection)
{
    *connection = &d->reader;
    if (!d->dialect.sqlEngine().readsCredentialsOnWriter())
        return {};
    *connection = &d->writer;
    return d->writer.isOpen() ? QString() : d->writer.open(d->description, d->dialect, false);
}

template <class Work>
QString ServerCore::readOn(SqlConnection &connection, Work work)
{
    QString error;
    for (int attempt = 0; attempt < 2; ++attempt) {
        error = connection.beginRequest({});
        if (!error.isEmpty())
            return error;
        // Lives until the request has ended: its clean-up must not run inside an aborted transaction.
        QSqlQuery query(connection.database());
        error = work(query);
        const QString endError = connection.endRequest(error.isEmpty());
        if (error.isEmpty())
            error = endError;
        if (error.isEmpty() || !connection.isBroken())
            break;
    }
    return error;
}

QString ServerCore::readOwn(SqlConnection &connection, const QString &statement, const QVariantList &values,
                            FetchResult *result)
{
    const QString positional = protocol::NamedParams(statement, d->dialect.syntax()).positionalStatement();
    QString error;
    for (int attempt = 0; attempt < 2; ++attempt) {
        error = connection.beginRequest({}, SqlConnection::Begin::OnlyRead);
        if (!error.isEmpty())
            return error;
        DirectReader *reader = connection.directReader();
        if (!reader) {
            connection.endRequest(false);
            return QStringLiteral("La conexión a la base de datos no está abierta.");
        }
        reader->sendWith(connection.takeAroundRead());
        *result = reader->read(positional, values);
        const QString endError = connection.endRequest(result->ok());
        error = result->ok() ? endError : result->error;
        if (error.isEmpty() || !connection.isBroken())
            break;
    }
    return error;
}

QString ServerCore::readUser(const QString &user, UserRecord *record, const QString &session)
{
    SqlConnection *connection = nullptr;
    if (const QString error = credentials(&connection); !error.isEmpty())
        return QStringLiteral("No se pudo verificar el usuario: %1").arg(error);
    // The one read of passwords the reading connection's own wall lets through on SQLite.
    connection->allowCredentials(true);
    FetchResult read;
    const QString error = session.isEmpty()
        ? readOwn(*connection, QStringLiteral("SELECT PAS_USUA, IND_ACTI, VER_USUA FROM GN_USUAR WHERE COD_USUA = :usuario"),
                  {user}, &read)
        : readOwn(*connection,
                  QStringLiteral("SELECT U.PAS_USUA, U.IND_ACTI, U.VER_USUA, S.COD_SESI, S.FEC_TERM FROM GN_USUAR U "
                                 "LEFT JOIN GN_SESIO S ON S.COD_SESI = :sesion AND S.COD_USUA = U.COD_USUA "
                                 "WHERE U.COD_USUA = :usuario"),
                  {session, user}, &read);
    connection->allowCredentials(false);
    if (!error.isEmpty())
        return QStringLiteral("No se pudo verificar el usuario: %1").arg(error);
    *record = UserRecord();
    record->found = !read.rows.isEmpty();
    record->password = record->found ? read.rows.first().value(0).toString() : QString();
    record->active = record->found && read.rows.first().value(1).toString().trimmed() != QLatin1String("I");
    record->version = record->found ? read.rows.first().value(2).toLongLong() : 0;
    record->sessionFound = record->found && !session.isEmpty() && !read.rows.first().value(3).isNull();
    record->sessionEnded = record->sessionFound && !read.rows.first().value(4).isNull();
    return {};
}

QString ServerCore::companyAccess(const QString &user, CompanyAccess *access)
{
    if (!isOpen())
        return kNotOpen;
    QSet<int> allowed;
    QHash<int, QString> names;
    SqlConnection *connection = nullptr;
    QString error = credentials(&connection);
    // Every company with its name, marked where the user holds a grant: companies are few.
    // Grants of companies not (yet) in GN_EMPRE count too.
    FetchResult read;
    if (error.isEmpty())
        error = readOwn(*connection,
                        QStringLiteral("SELECT E.COD_EMPR, E.NOM_EMPR, NULL FROM GN_EMPRE E\n"
                                       "UNION ALL SELECT U.COD_EMPR, NULL, U.COD_USUA FROM GN_USEMP U "
                                       "WHERE U.COD_USUA = :usuario"),
                        {user.trimmed()}, &read);
    for (const QVariantList &row : std::as_const(read.rows)) {
        const int company = row.value(0).toInt();
        if (!row.value(2).isNull())
            allowed.insert(company);
        else
            names.insert(company, row.value(1).toString().trimmed());
    }
    if (!error.isEmpty())
        return QStringLiteral("No se pudieron leer las empresas del usuario %1: %2").arg(user, error);
    *access = CompanyAccess(user.trimmed(), allowed, names);
    return {};
}

QString ServerCore::credentialStamp(const QString &user, QByteArray *stamp)
{
    SessionState unused = SessionState::Unknown;
    return sessionStamp(user, {}, stamp, &unused);
}

QString ServerCore::sessionStamp(const QString &user, const QString &id, QByteArray *stamp, SessionState *state)
{
    if (!isOpen())
        return kNotOpen;
    UserRecord record;
    const QString error = readUser(user.trimmed(), &record, id);
    // A disabled user has no stamp, so the tokens issued before it was disabled end; the
    // version, raised by every change of the user, keeps them ended once it is enabled again.
    if (error.isEmpty()) {
        *stamp = record.active ? QCryptographicHash::hash(record.password.toUtf8() + '\n'
                                                              + QByteArray::number(record.version),
                                                          QCryptographicHash::Sha256)
                                    .left(9)
                                    .toBase64(QByteArray::Base64UrlEncoding)
                              : QByteArray();
        *state = !record.sessionFound ? SessionState::Unknown
                 : record.sessionEnded ? SessionState::Ended
                                       : SessionState::Open;
    }
    return error;
}

void ServerCore::setClientAddress(const QString &address)
{
    d->clientAddress = address.isEmpty() ? AuditTrail::kLocal : address;
}

const QString &ServerCore::clientAddress() const
{
    return d->clientAddress;
}

QString ServerCore::writeWithAudit(const std::function<QString(const QSqlDatabase &)> &work, const QString &user,
                                   const QString &action, const QString &detail)
{
    if (!isOpen())
        return kNotOpen;
    if (!d->writer.isOpen())
        if (const QString error = d->writer.open(d->description, d->dialect, false); !error.isEmpty())
            return error;
    if (const QString error = d->writer.beginRequest({}); !error.isEmpty())
        return error;
    const QSqlDatabase db = d->writer.database();
    QString error = work ? work(db) : QString();
    if (error.isEmpty())
        error = AuditTrail::write(db, {user, action, detail, d->clientAddress, {}});
    const QString endError = d->writer.endRequest(error.isEmpty());
    return error.isEmpty() ? endError : error;
}

QString ServerCore::audit(const QString &user, const QString &action, const QString &detail)
{
    const QString error = writeWithAudit({}, user, action, detail);
    return error.isEmpty() ? error : QStringLiteral("No se pudo escribir en el registro de auditoría: %1").arg(error);
}

QString ServerCore::openSession(const QString &user, qint64 expiresAtSecs, QString *id)
{
    SessionRecords::Session session;
    session.id = SessionRecords::newId();
    session.user = user.trimmed();
    session.started = AuditTrail::nowText();
    session.expires = AuditTrail::timeText(QDateTime::fromSecsSinceEpoch(expiresAtSecs, QTimeZone::utc()));
    session.address = d->clientAddress;
    const QString error = writeWithAudit([&](const QSqlDatabase &db) { return SessionRecords::open(db, session); },
                                         session.user, AuditTrail::kLogin,
                                         QStringLiteral("sesión %1 hasta %2").arg(session.id, session.expires));
    if (!error.isEmpty())
        return QStringLiteral("No se pudo abrir la sesión de %1: %2").arg(session.user, error);
    *id = session.id;
    return {};
}

// "DtsPAcPprom AC_PPROM: alta COD_EMPR=1 COD_MENU=1 COD_NODO=14; cambio ...": each row by its key,
// the first few only.
QString ServerCore::auditSave(const ProviderDef &provider, const ApplyRequest &request)
{
    constexpr int kShownRows = 5;
    const qsizetype total = request.deltas.size() + request.inserts.rows.size();
    QStringList rows;
    const auto shown = [&](const QString &kind, const auto &valueOf) {
        if (rows.size() == kShownRows)
            rows << QStringLiteral("y %1 más").arg(total - kShownRows);
        if (rows.size() > kShownRows)
            return;
        QStringList keys;
        for (const QString &key : provider.keyColumns)
            if (const std::optional<QVariant> value = valueOf(key))
                keys << QStringLiteral("%1=%2").arg(key, value->toString());
        rows << QStringLiteral("%1 %2").arg(kind, keys.join(QLatin1Char(' ')));
    };
    for (const RowDelta &delta : std::as_const(request.deltas)) {
        const bool insert = delta.kind == RowDelta::Kind::Insert;
        const QVariantMap &values = insert ? delta.newValues : delta.oldValues;
        shown(insert ? QStringLiteral("alta")
                     : delta.kind == RowDelta::Kind::Update ? QStringLiteral("cambio") : QStringLiteral("baja"),
              [&](const QString &key) -> std::optional<QVariant> {
                  for (auto it = values.cbegin(); it != values.cend(); ++it)
                      if (it.key().compare(key, Qt::CaseInsensitive) == 0)
                          return it.value();
                  return std::nullopt;
              });
    }
    for (const QVariantList &row : std::as_const(request.inserts.rows))
        shown(QStringLiteral("alta"), [&](const QString &key) -> std::optional<QVariant> {
            for (qsizetype i = 0; i < request.inserts.columns.size(); ++i)
                if (request.inserts.columns.at(i).compare(key, Qt::CaseInsensitive) == 0)
                    return row.value(i);
            return std::nullopt;
        });
    const QString error = AuditTrail::write(d->writer.database(),
                                            {request.session.user.trimmed(), AuditTrail::kSave,
                                             QStringLiteral("%1 %2: %3").arg(provider.name, provider.mainTable,
                                                                             rows.join(QStringLiteral("; "))),
                                             d->clientAddress, {}});
    return error.isEmpty() ? error
                           : QStringLiteral("No se pudo escribir el cambio en el registro de auditoría; no se guardó: %1")
                                 .arg(error);
}

ServerCore::PasswordChange ServerCore::changePassword(const Credentials &session, const QString &current,
                                                     const QString &next, const PasswordPolicy &policy)
{
    using Outcome = PasswordChange::Outcome;
    PasswordChange change;
    try {
        const QString user = session.user.trimmed();
        change.error = checkSession(session);
        UserRecord record;
        if (change.error.isEmpty())
            change.error = readUser(user, &record);
        if (!change.error.isEmpty())
            return change;
        if (!PasswordHash::isHash(record.password) || !PasswordHash::verify(record.password, current))
            return {Outcome::WrongPassword, QStringLiteral("La contraseña actual no es correcta.")};
        if (const QString refused = policy.refusal(user, next); !refused.isEmpty())
            return {Outcome::Refused, refused};
        if (const QString error = storePassword(user, PasswordHash::make(next)); !error.isEmpty())
            return {Outcome::Failed, QStringLiteral("No se pudo cambiar la contraseña: %1").arg(error)};
        // The old password proves nothing on this connection any more.
        const QString prefix = user + QLatin1Char('\n');
        d->acceptedSessions.removeIf([&](const QString &key) { return key.startsWith(prefix); });
        return {Outcome::Changed, {}};
    } catch (const std::exception &e) {
        return {Outcome::Failed, QStringLiteral("Error interno del servidor de aplicaciones: %1").arg(QString::fromUtf8(e.what()))};
    }
}

// The new hash and the raised credential version go with their audit row: both or neither.
QString ServerCore::storePassword(const QString &user, const QString &hash)
{
    const auto store = [&](const QSqlDatabase &db) -> QString {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("UPDATE GN_USUAR SET PAS_USUA = ?, VER_USUA = VER_USUA + 1 WHERE COD_USUA = ?"));
        query.addBindValue(hash);
        query.addBindValue(user);
        if (!query.exec())
            return query.lastError().text();
        return query.numRowsAffected() == 1 ? QString() : QStringLiteral("el usuario %1 no existe").arg(user);
    };
    return writeWithAudit(store, user, AuditTrail::kPasswordChanged, QStringLiteral("por el propio usuario"));
}

} // namespace appserver
