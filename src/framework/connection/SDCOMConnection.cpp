#include "framework/connection/SDCOMConnection.h"

#include "framework/Exceptions.h"
#include "framework/connection/HttpTransport.h"
#include "framework/UserAction.h"
#include "framework/Ugnnorma.h"

#include <exception>

namespace {

// The SQLite file the alias names, or QACSEMAF_DB.
QString sqliteFileFromAlias(const Session &session)
{
    QString file = session.alias.trimmed();
    if (file.isEmpty())
        file = qEnvironmentVariable("QACSEMAF_DB").trimmed();
    if (file.isEmpty())
        throw EDatabaseError(QStringLiteral(
            "No se indicó la base de datos: el alias de la conexión está vacío y la variable de "
            "entorno QACSEMAF_DB no está definida."));
    return file;
}

SDCOMConnection::InProcessTransports &inProcessTransports()
{
    static SDCOMConnection::InProcessTransports transports;
    return transports;
}

// A program that links no server core offers only the http transport.
template <class Maker>
const Maker &installed(const Maker &maker, const QString &protocol)
{
    if (!maker)
        throw EDatabaseError(QStringLiteral("Este programa no trae el servidor de aplicaciones en proceso que "
                                            "pide el protocolo %1; use http.").arg(protocol));
    return maker;
}

// The transport the session's protocol asks for.
std::unique_ptr<ITransport> transportFromSession(const Session &session)
{
    const QString protocol = session.protocol.trimmed().toLower();
    if (protocol.isEmpty() || protocol == QLatin1String("local"))
        return installed(inProcessTransports().sqlite, QStringLiteral("local"))(sqliteFileFromAlias(session));
    if (protocol == QLatin1String("pgsql"))
        return installed(inProcessTransports().postgres, protocol)(session.server, session.alias);
    if (protocol == QLatin1String("http"))
        return std::make_unique<HttpTransport>(session.server, session.alias.trimmed());
    throw EDatabaseError(QStringLiteral("Protocolo de conexión desconocido: \"%1\" "
                                        "(se espera local, pgsql o http).").arg(session.protocol));
}

// Keeps what the caller's sink throws, so that it never unwinds through the server, and
// ignores the rows after it.
class CatchingSink : public protocol::RowSink {
public:
    explicit CatchingSink(protocol::RowSink &target) : m_target(target) {}
    void fields(const QList<protocol::FieldDesc> &fields) override { guard([&] { m_target.fields(fields); }); }
    void row(const protocol::RowCells &cells) override { guard([&] { m_target.row(cells); }); }
    void rethrow() const
    {
        if (m_thrown)
            std::rethrow_exception(m_thrown);
    }

private:
    template <class Work>
    void guard(Work work)
    {
        if (m_thrown)
            return;
        try {
            work();
        } catch (...) {
            m_thrown = std::current_exception();
        }
    }
    protocol::RowSink &m_target;
    std::exception_ptr m_thrown;
};

SDCOMConnection::PasswordRequest &renewalHook()
{
    static SDCOMConnection::PasswordRequest hook;
    return hook;
}

} // namespace

SDCOMConnection::SDCOMConnection(QObject *owner) : QObject(owner) {}

SDCOMConnection::~SDCOMConnection() = default;

void SDCOMConnection::setSession(const Session &session)
{
    const bool samePlace = session.samePlace(m_session);
    // Answers are the same whichever company the session works in; another user's are not.
    if (!samePlace || m_session.user != session.user || m_session.password != session.password)
        m_answers.clear();
    m_session = session;
    if (!samePlace)
        Close();
}

void SDCOMConnection::Open()
{
    if (m_connected)
        return;
    if (!m_transport) {
        m_transport = transportFromSession(m_session);
        installRenewal();
    }
    m_connected = true;
}

void SDCOMConnection::Close()
{
    m_connected = false;
    // A transport brought from outside stays for the next Open; ours is rebuilt from the session.
    if (!m_injected)
        m_transport.reset();
}

bool SDCOMConnection::Connected() const
{
    return m_connected;
}

void SDCOMConnection::setInProcessTransports(InProcessTransports transports)
{
    inProcessTransports() = std::move(transports);
}

void SDCOMConnection::setTransport(std::unique_ptr<ITransport> transport)
{
    m_transport = std::move(transport);
    m_injected = m_transport != nullptr;
    if (m_transport)
        installRenewal();
    m_answers.clear();
    m_connected = false;
}

protocol::FetchResult SDCOMConnection::Fetch(const QString &provider, const QString &statement,
                                              const QList<protocol::ParamValue> &params)
{
    return Fetch(protocol::FetchRequest{{}, provider, statement, params, {}});
}

protocol::FetchResult SDCOMConnection::Fetch(protocol::FetchRequest request)
{
    protocol::FetchResult result;
    if (!m_answers.take(request, UserAction::current(), &result)) {
        request.session = credentials();
        ITransport &server = transport();
        ++m_roundTrips;
        result = server.fetch(request);
        m_answers.keep(request, result, UserAction::current());
    }
    if (!result.ok())
        throw EDatabaseError(result.error);
    return result;
}

void SDCOMConnection::ReadAhead(const QList<protocol::FetchRequest> &requests)
{
    QList<protocol::FetchRequest> missing;
    for (const protocol::FetchRequest &request : requests)
        if (!m_answers.has(request, UserAction::current()))
            missing.append(request);
    if (missing.isEmpty())
        return;
    m_answers.readAhead(missing, FetchMany(missing), UserAction::current());
}

QList<protocol::FetchResult> SDCOMConnection::FetchMany(QList<protocol::FetchRequest> requests)
{
    const protocol::Credentials session = credentials();
    for (protocol::FetchRequest &request : requests)
        request.session = session;
    ITransport &server = transport();
    QList<protocol::FetchResult> answers;
    for (qsizetype first = 0; first < requests.size(); first += protocol::kMostReadsPerCall) {
        ++m_roundTrips;
        answers += server.fetchMany(requests.mid(first, protocol::kMostReadsPerCall));
    }
    if (answers.size() != requests.size())
        throw EDatabaseError(QStringLiteral("El servidor de aplicaciones respondió %1 de %2 lecturas.")
                                 .arg(answers.size())
                                 .arg(requests.size()));
    return answers;
}

void SDCOMConnection::FetchEach(const QString &provider, const QString &statement,
                               const QList<protocol::ParamValue> &params, protocol::RowSink &sink)
{
    protocol::FetchRequest request{credentials(), provider, statement, params, {}};
    CatchingSink catching(sink);
    protocol::FetchResult ahead;
    QString error;
    if (m_answers.take(request, UserAction::current(), &ahead)) {
        error = protocol::feedRows(ahead, catching);
    } else {
        ITransport &server = transport();
        ++m_roundTrips;
        error = server.fetchEach(request, catching);
    }
    catching.rethrow();
    if (!error.isEmpty())
        throw EDatabaseError(error);
}

int SDCOMConnection::Apply(const QString &provider, const QList<protocol::RowDelta> &deltas)
{
    return apply({credentials(), provider, deltas, {}});
}

int SDCOMConnection::Insert(const QString &provider, protocol::InsertRows rows)
{
    return apply({credentials(), provider, {}, std::move(rows)});
}

int SDCOMConnection::apply(const protocol::ApplyRequest &request)
{
    m_answers.clear();   // what was read before the write may be what it changes
    ITransport &server = transport();
    ++m_roundTrips;
    const protocol::ApplyResult result = server.apply(request);
    if (!result.ok())
        throw EDatabaseError(result.error);
    return result.rowsAffected;
}

QVariant SDCOMConnection::AppServerCall(const QString &method, const QVariantList &args)
{
    protocol::MethodCall call{credentials(), method, args};
    ITransport &server = transport();
    ++m_roundTrips;
    const protocol::MethodResult result = server.call(call);
    if (!result.ok())
        throw EDatabaseError(result.error);
    return result.value;
}

QString SDCOMConnection::ProgramPaths(const QString &programs)
{
    const QVariant answer = AppServerCall(
        QStringLiteral("BuscarPathProgramaArreglo"),
        {QVariant(QVariantList{programs}),
         m_session.user + QLatin1Char(' ') + m_session.password + QLatin1Char(' ') + QString::number(m_session.company)
             + m_userType,
         m_userType, m_session.user});
    // The suite's clients read the answer as 8-bit text: what Latin-1 cannot hold arrives as "?".
    return QString::fromLatin1(answer.toList().value(0).toString().toLatin1());
}

void SDCOMConnection::VerificarSesion()
{
    const QVariantList answer =
        AppServerCall(QStringLiteral("VerificarSesion"), {m_session.user, QString::number(m_session.company)}).toList();
    m_userType = answer.value(0).toString();
    m_driverName = answer.value(1).toString();
    gStTipoUsuario = m_userType;
    gStDriver = m_driverName;
}

void SDCOMConnection::setSessionRenewal(PasswordRequest ask)
{
    renewalHook() = std::move(ask);
}

void SDCOMConnection::installRenewal()
{
    m_transport->setSessionRenewal(
        {[](const QString &user, const QString &reason) -> std::optional<QString> {
             const PasswordRequest &ask = renewalHook();
             return ask ? ask(user, reason) : std::nullopt;
         },
         [this](const QString &password) { adoptPassword(password); }});
}

void SDCOMConnection::CambiarClave(const QString &current, const QString &next)
{
    ITransport &server = transport();
    ++m_roundTrips;
    if (const QString refused = server.changePassword(credentials(), current, next); !refused.isEmpty())
        throw EDatabaseError(refused);
    adoptPassword(next);
}

void SDCOMConnection::adoptPassword(const QString &password)
{
    m_session.password = password;
    emit sessionChanged(m_session);
}

protocol::Credentials SDCOMConnection::credentials() const
{
    return {m_session.user, m_session.password, m_session.company};
}

ITransport &SDCOMConnection::transport()
{
    Open();
    return *m_transport;
}
