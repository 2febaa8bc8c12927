#include "server/HttpAppServer.h"

#include "protocol/FetchAnswerJson.h"
#include "server/GuardedListener.h"
#include "protocol/JsonCodec.h"
#include "appserver/AuditTrail.h"
#include "appserver/StatementRegistry.h"
#include "server/RequestGuard.h"
#include "server/ServerLog.h"
#include "appserver/SqlDialect.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHostAddress>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdio>
#include <memory>

using namespace appserver;

namespace {

QJsonObject message(const QString &text)
{
    return {{QStringLiteral("error"), text}};
}

QString unknownProvider(const QString &name)
{
    return QStringLiteral("El servidor de aplicaciones no tiene el proveedor \"%1\".").arg(name);
}

// A company the user may not use, a text that is no statement of the module's: the request was
// understood and is not allowed.
constexpr int kForbidden = 403;

// Other refusals of the core are 422: the request was understood, the server said no.
int statusOf(const QString &error, bool refused)
{
    return error.isEmpty() ? 200 : refused ? kForbidden : 422;
}

} // namespace

HttpAppServer::HttpAppServer(ServerCore &core, Settings settings, QObject *parent)
    : QAbstractHttpServer(parent), m_core(core), m_settings(std::move(settings)), m_tokens(m_settings.secret),
      m_logins(m_settings.logins)
{
    m_clock.start();
}

quint16 HttpAppServer::listen(const QHostAddress &address, quint16 port)
{
    const auto watcher = [this](QTcpSocket *socket) { watch(socket); };
    std::unique_ptr<QTcpServer> listener;
    if (m_settings.tls.isNull()) {
        listener = std::make_unique<GuardedListener<QTcpServer>>(watcher);
    } else {
        auto secure = std::make_unique<GuardedListener<QSslServer>>(watcher);
        secure->setSslConfiguration(m_settings.tls);
        // A workstation that refuses the certificate tells its user why; the log says who.
        connect(secure.get(), &QSslServer::errorOccurred, this, [](QSslSocket *socket, QAbstractSocket::SocketError) {
            logEvent(QStringLiteral("TLS with %1: %2").arg(socket->peerAddress().toString(), socket->errorString()));
        });
        listener = std::move(secure);
    }
    if (!listener->listen(address, port))
        return 0;
    const quint16 bound = listener->serverPort();
    bind(listener.release());
    return bound;
}

void HttpAppServer::reload(const Settings &settings)
{
    m_settings.tokenSeconds = settings.tokenSeconds;
    m_settings.maxRequestBytes = settings.maxRequestBytes;
    m_settings.metrics = settings.metrics;
    m_settings.minPasswordLength = settings.minPasswordLength;
    if (m_settings.tls.isNull() || settings.tls.isNull())
        return;
    m_settings.tls = settings.tls;
    for (QTcpServer *listener : servers())
        if (auto *secure = qobject_cast<QSslServer *>(listener))
            secure->setSslConfiguration(m_settings.tls);
}

void HttpAppServer::watch(QTcpSocket *socket)
{
    const auto *guard = new RequestGuard(socket, m_settings.maxRequestBytes);
    const QHostAddress client = socket->peerAddress();
    connect(guard, &RequestGuard::refused, this, [this, client](const QString &path, int status, const QString &text) {
        m_metrics.request(path, status, 0);
        log(client, path, Answer(status, message(text)), 0);
    });
    m_metrics.connectionOpened();
    connect(socket, &QObject::destroyed, this, [this] { m_metrics.connectionClosed(); });
}

bool HttpAppServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    QElapsedTimer timer;
    timer.start();
    // The answer goes out as header and body: without this the body waits for the client's ack.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_core.setClientAddress(clientText(socket->peerAddress()));
    const Answer result = answer(request);
    const auto status = static_cast<QHttpServerResponder::StatusCode>(result.status);
    const QByteArray text = result.text.isEmpty() ? QJsonDocument(result.body).toJson(QJsonDocument::Compact) : result.text;
    if (result.retryAfter > 0)
        makeResponder(request, socket)
            .write(text, {{"Content-Type", result.contentType}, {"Retry-After", QByteArray::number(result.retryAfter)}},
                   status);
    else
        makeResponder(request, socket).write(text, result.contentType, status);
    m_metrics.request(request.url().path(), result.status, double(timer.nsecsElapsed()) / 1e9);
    log(socket->peerAddress(), request.url().path(), result, timer.elapsed());
    return true;
}

void HttpAppServer::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    makeResponder(request, socket)
        .write(QJsonDocument(message(QStringLiteral("Ruta desconocida."))), QHttpServerResponder::StatusCode::NotFound);
}

HttpAppServer::Answer HttpAppServer::answer(const QHttpServerRequest &request)
{
    const QString path = request.url().path();
    if (path == QLatin1String("/health") && request.method() == QHttpServerRequest::Method::Get)
        return health();
    if (path == QLatin1String("/metrics") && m_settings.metrics && request.method() == QHttpServerRequest::Method::Get)
        return metrics();
    if (path == QLatin1String("/metrics") && !m_settings.metrics)
        return {404, message(QStringLiteral("Ruta desconocida: %1.").arg(path))};
    if (const QString refusal = m_core.maintenance(); !refusal.isEmpty())
        return {503, message(refusal), QStringLiteral("mantenimiento")};
    if (request.method() != QHttpServerRequest::Method::Post)
        return {405, message(QStringLiteral("Use POST para %1.").arg(path))};
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(request.body(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return {400, message(QStringLiteral("La solicitud no es un objeto JSON válido: %1.")
                                 .arg(document.isNull() ? parseError.errorString() : QStringLiteral("se esperaba un objeto")))};
    const QJsonObject body = document.object();
    if (path == QLatin1String("/login"))
        return login(body);
    Credentials session;
    if (Answer refused = authenticate(request, body, &session); refused.status != 200)
        return refused;
    CompanyAccess access;
    Answer result = companyRefusal(session, &access);
    if (result.status == 200)
        result = route(path, session, access, body);
    result.user = session.user;
    return result;
}

HttpAppServer::Answer HttpAppServer::route(const QString &path, const Credentials &session,
                                           const CompanyAccess &access, const QJsonObject &body)
{
    if (path == QLatin1String("/fetch"))
        return fetch(session, access, body);
    if (path == QLatin1String("/fetchMany"))
        return fetchMany(session, access, body);
    if (path == QLatin1String("/apply"))
        return apply(session, access, body);
    if (path == QLatin1String("/call"))
        return call(session, access, body);
    if (path == QLatin1String("/password"))
        return changePassword(session, body);
    return {404, message(QStringLiteral("Ruta desconocida: %1.").arg(path))};
}

HttpAppServer::Answer HttpAppServer::login(const QJsonObject &body)
{
    const Credentials session{body.value(QLatin1String("user")).toString().trimmed(),
                              body.value(QLatin1String("password")).toString(),
                              body.value(QLatin1String("company")).toInt()};
    const QString database = body.value(QLatin1String("database")).toString().trimmed();
    QByteArray stamp;
    Answer result = !database.isEmpty() && database.compare(m_settings.databaseName, Qt::CaseInsensitive) != 0
                        ? Answer(404, message(QStringLiteral("Este servidor de aplicaciones no sirve la base de datos \"%1\".")
                                                  .arg(database)))
                        : proveLogin(session, &stamp);
    if (result.status == 200)
        result = issueToken(session.user, stamp);
    result.user = session.user;
    result.what = QStringLiteral("login");
    if (result.status != 200) {
        m_metrics.loginRefused();
        auditRefusedLogin(body.value(QLatin1String("user")).toString(), result);
    }
    return result;
}

// A session row (with the login in the audit record) and the token that names it.
HttpAppServer::Answer HttpAppServer::issueToken(const QString &user, const QByteArray &stamp)
{
    const qint64 expires = QDateTime::currentSecsSinceEpoch() + m_settings.tokenSeconds;
    QString id;
    if (const QString error = m_core.openSession(user, expires, &id); !error.isEmpty())
        return {500, message(error)};
    return {200, {{QStringLiteral("token"), m_tokens.issue(user, id, stamp, expires)}, {QStringLiteral("expires"), expires}}};
}

// The name as typed and why it was refused, never the password. A record that cannot be written
// changes nothing of the answer (the login is refused anyway); the log says so.
void HttpAppServer::auditRefusedLogin(const QString &typed, const Answer &refusal)
{
    const QString why = QStringLiteral("%1: %2").arg(refusal.status).arg(refusal.body.value(QLatin1String("error")).toString());
    if (const QString error = m_core.audit(typed, AuditTrail::kLoginRefused, why); !error.isEmpty())
        logEvent(error);
}

QString HttpAppServer::clientText(const QHostAddress &address)
{
    bool mapped = false;
    const QHostAddress v4(address.toIPv4Address(&mapped));
    return address.isNull() ? QStringLiteral("-") : mapped ? v4.toString() : address.toString();
}

// A user who failed too often waits without the password being looked at, so that guessing
// gets no answer at all meanwhile.
HttpAppServer::Answer HttpAppServer::loginWait(const QString &user)
{
    const int wait = m_logins.secondsToWait(user, m_clock.elapsed());
    if (wait <= 0)
        return {};
    Answer refusal(429, message(QStringLiteral("Demasiados intentos fallidos de inicio de sesión del usuario %1; "
                                               "espere %2 antes de intentarlo de nuevo.")
                                    .arg(user, wait == 1 ? QStringLiteral("1 segundo")
                                                         : QStringLiteral("%1 segundos").arg(wait))));
    refusal.retryAfter = wait;
    return refusal;
}

HttpAppServer::Answer HttpAppServer::proveLogin(const Credentials &session, QByteArray *stamp)
{
    if (Answer refusal = loginWait(session.user); refusal.status != 200)
        return refusal;
    if (const QString refused = m_core.login(session); !refused.isEmpty()) {
        m_logins.failed(session.user, m_clock.elapsed());
        return {401, message(refused)};
    }
    m_logins.succeeded(session.user);
    CompanyAccess access;
    if (Answer forbidden = companyRefusal(session, &access); forbidden.status != 200)
        return forbidden;
    if (const QString error = m_core.credentialStamp(session.user, stamp); !error.isEmpty())
        return {500, message(error)};
    return {};
}

HttpAppServer::Answer HttpAppServer::authenticate(const QHttpServerRequest &request, const QJsonObject &body,
                                                  Credentials *session)
{
    const QByteArray header = request.value(QByteArrayLiteral("Authorization"));
    if (!header.startsWith("Bearer "))
        return {401, message(QStringLiteral("Falta la sesión: inicie sesión antes de usar el servidor de aplicaciones."))};
    QByteArray stamp;
    QString id;
    if (const QString refused = m_tokens.verify(QString::fromLatin1(header.mid(7)), QDateTime::currentSecsSinceEpoch(),
                                                &session->user, &id, &stamp);
        !refused.isEmpty())
        return {401, message(refused)};
    QByteArray current;
    ServerCore::SessionState state = ServerCore::SessionState::Unknown;
    if (const QString error = m_core.sessionStamp(session->user, id, &current, &state); !error.isEmpty())
        return {500, message(error)};
    if (current.isEmpty() || current != stamp)
        return {401, message(QStringLiteral("La contraseña, el estado o las empresas del usuario %1 cambiaron, o el usuario "
                                            "ya no existe; inicie sesión de nuevo.").arg(session->user))};
    if (state == ServerCore::SessionState::Ended)
        return {401, message(QStringLiteral("La sesión fue terminada por un administrador; inicie sesión de nuevo."))};
    if (state != ServerCore::SessionState::Open)
        return {401, message(QStringLiteral("La sesión no es válida; inicie sesión de nuevo."))};
    session->company = body.value(QLatin1String("company")).toInt();
    return {};
}

HttpAppServer::Answer HttpAppServer::companyRefusal(const Credentials &session, CompanyAccess *access)
{
    const QString error = m_core.companyAccess(session.user, access);
    if (!error.isEmpty())
        return {500, message(error)};
    const QString refused = sessionCompanyRefusal(*access, QString::number(session.company));
    return refused.isEmpty() ? Answer() : Answer(kForbidden, message(refused));
}

// A company that does not exist (or is no number) is left to the call that names it, which says
// so; no row of it can be read anyway, since the rows of a fetch keep to the user's companies.
QString HttpAppServer::sessionCompanyRefusal(const CompanyAccess &access, const QString &company)
{
    bool number = false;
    const int code = company.trimmed().toInt(&number);
    return number && access.knows(code) ? access.checkCompany(code) : QString();
}

HttpAppServer::Answer HttpAppServer::fetch(const Credentials &session, const CompanyAccess &access,
                                           const QJsonObject &body)
{
    FetchRequest request;
    QString error;
    if (!JsonCodec::decode(body, &request, &error))
        return {400, message(QStringLiteral("Consulta mal formada: %1.").arg(error))};
    if (!StatementRegistry::module().provider(request.provider))
        return {404, message(unknownProvider(request.provider)), request.provider};
    request.session = session;
    // The answer is written as the rows are read; the core keeps them to the user's companies.
    FetchAnswerJson::Writer writer;
    error = m_core.fetchEach(request, writer, &access);
    Answer result(statusOf(error, m_core.lastRefused()), {},
                  request.provider, error.isEmpty() ? writer.rowCount() : 0);
    result.text = writer.finish(error);
    return result;
}

// Several reads of one user action in one round trip: {"requests": [fetch, ...]} answered by
// {"answers": [answer, ...]} in order, each read checked and run as /fetch runs it, each with its
// own error. A malformed read refuses the whole call before anything runs.
HttpAppServer::Answer HttpAppServer::fetchMany(const Credentials &session, const CompanyAccess &access,
                                               const QJsonObject &body)
{
    constexpr int kMostReads = protocol::kMostReadsPerCall;
    const QJsonArray items = body.value(QLatin1String("requests")).toArray();
    if (items.isEmpty() || items.size() > kMostReads)
        return {400, message(QStringLiteral("Una lectura múltiple lleva de 1 a %1 consultas.").arg(kMostReads))};
    QList<FetchRequest> requests;
    for (const QJsonValue &item : items) {
        FetchRequest request;
        QString error;
        if (!item.isObject() || !JsonCodec::decode(item.toObject(), &request, &error))
            return {400, message(QStringLiteral("Consulta mal formada: %1.").arg(error))};
        if (!StatementRegistry::module().provider(request.provider))
            return {404, message(unknownProvider(request.provider)), request.provider};
        request.session = session;
        requests.append(request);
    }
    QJsonArray answers;
    int rows = 0;
    bool refused = false;
    for (const FetchRequest &request : std::as_const(requests)) {
        const FetchResult read = m_core.fetch(request, &access);
        refused = refused || m_core.lastRefused();
        rows += int(read.rows.size());
        answers.append(JsonCodec::encode(read));
    }
    Answer result(200, {{QStringLiteral("answers"), answers}}, QStringLiteral("%1 lecturas").arg(requests.size()), rows);
    if (refused)
        result.what += QStringLiteral(" (con rechazos)");
    return result;
}

HttpAppServer::Answer HttpAppServer::apply(const Credentials &session, const CompanyAccess &access,
                                           const QJsonObject &body)
{
    ApplyRequest request;
    QString error;
    if (!JsonCodec::decode(body, &request, &error))
        return {400, message(QStringLiteral("Cambios mal formados: %1.").arg(error))};
    if (!StatementRegistry::module().provider(request.provider))
        return {404, message(unknownProvider(request.provider)), request.provider};
    request.session = session;
    const ApplyResult applied = m_core.apply(request, &access);
    return {statusOf(applied.error, m_core.lastRefused()), JsonCodec::encode(applied), request.provider,
            applied.rowsAffected};
}

HttpAppServer::Answer HttpAppServer::call(const Credentials &session, const CompanyAccess &access,
                                          const QJsonObject &body)
{
    MethodCall request;
    QString error;
    if (!JsonCodec::decode(body, &request, &error))
        return {400, message(QStringLiteral("Llamada mal formada: %1.").arg(error))};
    request.session = session;
    const MethodResult called = m_core.call(request, &access);
    return {statusOf(called.error, m_core.lastRefused()), JsonCodec::encode(called), request.method};
}

// The current password is guessed no faster here than at /login: the same throttle counts both.
HttpAppServer::Answer HttpAppServer::changePassword(const Credentials &session, const QJsonObject &body)
{
    using Outcome = ServerCore::PasswordChange::Outcome;
    if (Answer refusal = loginWait(session.user); refusal.status != 200) {
        refusal.what = QStringLiteral("password");
        return refusal;
    }
    const QString current = body.value(QLatin1String("password")).toString();
    const QString next = body.value(QLatin1String("newPassword")).toString();
    const ServerCore::PasswordChange change =
        m_core.changePassword(session, current, next, PasswordPolicy(m_settings.minPasswordLength));
    Answer result;
    result.what = QStringLiteral("password");
    switch (change.outcome) {
    case Outcome::WrongPassword:
        m_logins.failed(session.user, m_clock.elapsed());
        // The typed password was refused, not the session: the client asks for no new login.
        result.status = 401;
        result.body = {{QStringLiteral("error"), change.error}, {QStringLiteral("refused"), QStringLiteral("password")}};
        return result;
    case Outcome::Refused:
        return {422, message(change.error), result.what};
    case Outcome::Failed:
        return {500, message(change.error), result.what};
    case Outcome::Changed:
        break;
    }
    m_logins.succeeded(session.user);
    QByteArray stamp;
    if (const QString error = m_core.credentialStamp(session.user, &stamp); !error.isEmpty())
        return {500, message(error), result.what};
    // The earlier tokens end with the old password; the workstation goes on in a session of its own.
    Answer issued = issueToken(session.user, stamp);
    issued.what = result.what;
    return issued;
}

// GET /health, without a session: 200 {"estado":"ok"} while the database answers, 503
// {"estado":"unavailable"} when not, for load balancers and service monitors. Anyone may ask, so
// the answer names nothing of the site (database, host, role, version); why the database does not
// answer goes to the log.
HttpAppServer::Answer HttpAppServer::health()
{
    const QString error = m_core.checkHealth();
    if (!error.isEmpty())
        logEvent(QStringLiteral("/health: la base de datos no responde: %1").arg(error));
    return {error.isEmpty() ? 200 : 503,
            {{QStringLiteral("estado"), error.isEmpty() ? QStringLiteral("ok") : QStringLiteral("unavailable")}},
            QStringLiteral("health")};
}

// GET /metrics, without a session: counts only, nothing of the site's data or users.
HttpAppServer::Answer HttpAppServer::metrics()
{
    Answer result(200, {}, QStringLiteral("metrics"));
    result.text = m_metrics.text(m_core.reconnects());
    result.contentType = ServerMetrics::contentType();
    return result;
}

QString HttpAppServer::logTime()
{
    // With its offset, so that lines of servers in different zones can be put side by side.
    const QDateTime now = QDateTime::currentDateTime();
    return now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

void HttpAppServer::log(const QHostAddress &client, const QString &path, const Answer &answer, qint64 ms) const
{
    const QString line = QStringLiteral("%1 %2 %3 %4 %5 %6 rows=%7 %8 ms")
                             .arg(logTime(), client.isNull() ? QStringLiteral("-") : client.toString(),
                                  answer.user.isEmpty() ? QStringLiteral("-") : answer.user, path,
                                  answer.what.isEmpty() ? QStringLiteral("-") : answer.what)
                             .arg(answer.status)
                             .arg(answer.rows < 0 ? QStringLiteral("-") : QString::number(answer.rows))
                             .arg(ms);
    ServerLog::write(ServerLog::Level::Info, line);
}

void HttpAppServer::logEvent(const QString &text)
{
    ServerLog::write(ServerLog::Level::Warning, logTime() + QLatin1Char(' ') + text);
}
