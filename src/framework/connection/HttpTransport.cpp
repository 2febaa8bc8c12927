#include "framework/connection/HttpTransport.h"

#include "framework/Exceptions.h"
#include "protocol/FetchAnswerJson.h"
#include "protocol/JsonCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QUrl>

using namespace protocol;

HttpTransport::HttpTransport(const QString &server, QString database, int timeoutMs)
    : m_database(std::move(database))
{
    Address address;
    BlockingHttpClient::Tls tls{};
    QString error;
    if (!parseServer(server, &address, &error) || (address.tls && !tlsConfiguration(&tls, &error)))
        throw EDatabaseError(error);
    m_client = std::make_unique<BlockingHttpClient>(address.host, address.port, timeoutMs, tls);
}

bool HttpTransport::parseServer(const QString &server, Address *address, QString *error)
{
    QString text = server.trimmed();
    if (!text.contains(QLatin1String("://")))
        text.prepend(QLatin1String("http://"));
    const QUrl url(text);
    const bool tls = url.scheme() == QLatin1String("https");
    // HTTPS has a port everyone knows; plain HTTP to the server always names its port.
    const int port = url.port(tls ? 443 : -1);
    if (!url.isValid() || (!tls && url.scheme() != QLatin1String("http")) || url.host().isEmpty() || port <= 0
        || (!url.path().isEmpty() && url.path() != QLatin1String("/"))) {
        *error = QStringLiteral("El servidor \"%1\" no es de la forma equipo:puerto, http://equipo:puerto o "
                                "https://equipo[:puerto].").arg(server);
        return false;
    }
    *address = {url.host(), quint16(port), tls};
    return true;
}

bool HttpTransport::tlsConfiguration(BlockingHttpClient::Tls *out, QString *error)
{
    BlockingHttpClient::Tls tls{};
    tls.enabled = true;
    tls.caFile = qEnvironmentVariable("QACSEMAF_CA_FILE");
    if (!tls.caFile.isEmpty() && !BlockingHttpClient::holdsCertificates(tls.caFile)) {
        *error = QStringLiteral("El archivo de certificados de confianza \"%1\" (QACSEMAF_CA_FILE) no existe o no "
                                "contiene certificados PEM.").arg(tls.caFile);
        return false;
    }
    *out = tls;
    return true;
}

namespace {

template <class Result>
bool decodeAnswer(const QByteArray &body, Result *result, QString *why)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        *why = parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                            : QStringLiteral("se esperaba un objeto");
        return false;
    }
    return JsonCodec::decode(document.object(), result, why);
}

// The rows of a fetch are read straight from the text.
bool decodeAnswer(const QByteArray &body, FetchResult *result, QString *why)
{
    return FetchAnswerJson::read(body, result, why);
}

// What the client says of an answer it cannot read.
QString unreadable(const QString &why)
{
    return QStringLiteral("La respuesta del servidor de aplicaciones no se entiende: %1.").arg(why);
}

} // namespace

template <class Request>
QString HttpTransport::post(const Request &request, const QString &path, QByteArray *answer)
{
    QJsonObject body = JsonCodec::encode(request);
    body.insert(QStringLiteral("company"), request.session.company);
    return exchange(request.session, path, body, answer);
}

// A save's block of new rows goes out as text written straight, without a JSON document.
template <>
QString HttpTransport::post(const ApplyRequest &request, const QString &path, QByteArray *answer)
{
    return exchange(request.session, path,
                    JsonCodec::encodeText(request, {{QStringLiteral("company"), request.session.company}}), answer);
}

template <class Result, class Request>
Result HttpTransport::roundTrip(const Request &request, const QString &path)
{
    Result result;
    QByteArray answer;
    result.error = post(request, path, &answer);
    if (!result.error.isEmpty())
        return result;
    QString why;
    if (!decodeAnswer(answer, &result, &why)) {
        result = Result();
        result.error = unreadable(why);
    }
    return result;
}

FetchResult HttpTransport::fetch(const FetchRequest &request)
{
    return roundTrip<FetchResult>(request, QStringLiteral("/fetch"));
}

// The rows are handed on while the answer is read, without a whole result in between.
QString HttpTransport::fetchEach(const FetchRequest &request, RowSink &sink)
{
    QByteArray answer;
    if (const QString failed = post(request, QStringLiteral("/fetch"), &answer); !failed.isEmpty())
        return failed;
    QString refusal, why;
    if (!FetchAnswerJson::readEach(answer, sink, &refusal, &why))
        return unreadable(why);
    return refusal;
}

// One POST for all the reads; a failure of the call is every read's error.
QList<FetchResult> HttpTransport::fetchMany(const QList<FetchRequest> &requests)
{
    QList<FetchResult> answers;
    if (requests.isEmpty())
        return answers;
    QJsonArray items;
    for (const FetchRequest &request : requests)
        items.append(JsonCodec::encode(request));
    const QJsonObject body{{QStringLiteral("requests"), items}, {QStringLiteral("company"), requests.first().session.company}};
    QByteArray answer;
    QString error = exchange(requests.first().session, QStringLiteral("/fetchMany"), body, &answer);
    if (error.isEmpty()) {
        const QJsonArray read = QJsonDocument::fromJson(answer).object().value(QLatin1String("answers")).toArray();
        for (const QJsonValue &item : read) {
            FetchResult result;
            QString why;
            if (!item.isObject() || !JsonCodec::decode(item.toObject(), &result, &why)) {
                error = unreadable(why);
                break;
            }
            answers.append(result);
        }
        if (error.isEmpty() && answers.size() != requests.size())
            error = unreadable(QStringLiteral("faltan respuestas"));
    }
    if (!error.isEmpty()) {
        answers.clear();
        for (qsizetype i = 0; i < requests.size(); ++i)
            answers.append(FetchResult{error, {}, {}});
    }
    return answers;
}

ApplyResult HttpTransport::apply(const ApplyRequest &request)
{
    return roundTrip<ApplyResult>(request, QStringLiteral("/apply"));
}

MethodResult HttpTransport::call(const MethodCall &call)
{
    return roundTrip<MethodResult>(call, QStringLiteral("/call"));
}

namespace {

// The server's message of a refusal, or its status.
QString refusalOf(const BlockingHttpClient::Response &response)
{
    const QString message = QJsonDocument::fromJson(response.body).object().value(QLatin1String("error")).toString();
    return message.isEmpty() ? QStringLiteral("El servidor de aplicaciones respondió %1.").arg(response.status) : message;
}

// A 401 refuses the session, except where the server says it refused a password the user typed
// in the request itself (the current one of a password change).
bool endsSession(const BlockingHttpClient::Response &response)
{
    return response.status == 401
        && QJsonDocument::fromJson(response.body).object().value(QLatin1String("refused")).toString()
               != QLatin1String("password");
}

} // namespace

QString HttpTransport::exchange(const Credentials &session, const QString &path, const QJsonObject &body,
                                QByteArray *answer)
{
    return exchange(session, path, QJsonDocument(body).toJson(QJsonDocument::Compact), answer);
}

QString HttpTransport::exchange(const Credentials &session, const QString &path, const QByteArray &payload,
                                QByteArray *answer)
{
    if (m_token.isEmpty() || m_tokenUser != session.user || m_tokenPassword != session.password) {
        if (const QString refused = login(session.user, session.password); !refused.isEmpty())
            return refused;
    }
    // A renewed session the server ends again at once is not asked for without end.
    for (int renewals = 0;; ++renewals) {
        BlockingHttpClient::Response response = m_client->post(path, payload, m_token);
        if (response.status == 0)
            return response.error;
        if (endsSession(response) && renewals < 3) {
            if (const QString refused = renew(session.user, refusalOf(response)); !refused.isEmpty())
                return refused;
            continue;
        }
        if (response.status == 200 || response.status == 422) {
            *answer = std::move(response.body);
            return {};
        }
        return refusalOf(response);
    }
}

QString HttpTransport::renew(const QString &user, const QString &reason)
{
    if (!m_renewal.askPassword)
        return reason;
    QString shown = reason;
    for (;;) {
        const std::optional<QString> password = m_renewal.askPassword(user, shown);
        if (!password)
            return reason;
        shown = login(user, *password);
        if (shown.isEmpty()) {
            if (m_renewal.renewed)
                m_renewal.renewed(*password);
            return {};
        }
    }
}

QString HttpTransport::login(const QString &user, const QString &password)
{
    const QJsonObject body{{QStringLiteral("user"), user},
                           {QStringLiteral("password"), password},
                           {QStringLiteral("database"), m_database}};
    const BlockingHttpClient::Response response =
        m_client->post(QStringLiteral("/login"), QJsonDocument(body).toJson(QJsonDocument::Compact));
    if (response.status == 0)
        return response.error;
    if (response.status != 200)
        return refusalOf(response);
    m_token = QJsonDocument::fromJson(response.body).object().value(QLatin1String("token")).toString().toLatin1();
    m_tokenUser = user;
    m_tokenPassword = password;
    return {};
}

QString HttpTransport::changePassword(const Credentials &session, const QString &current, const QString &next)
{
    const QJsonObject body{{QStringLiteral("password"), current},
                           {QStringLiteral("newPassword"), next},
                           {QStringLiteral("company"), session.company}};
    QByteArray answer;
    if (const QString failed = exchange(session, QStringLiteral("/password"), body, &answer); !failed.isEmpty())
        return failed;
    const QJsonObject read = QJsonDocument::fromJson(answer).object();
    if (const QString refused = read.value(QLatin1String("error")).toString(); !refused.isEmpty())
        return refused;
    const QByteArray token = read.value(QLatin1String("token")).toString().toLatin1();
    if (token.isEmpty())
        return unreadable(QStringLiteral("no trae la sesión nueva"));
    m_token = token;
    m_tokenPassword = next;
    return {};
}
