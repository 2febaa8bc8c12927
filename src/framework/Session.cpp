#include "framework/Session.h"

#include "framework/ClientVersion.h"
#include "framework/OptionText.h"
#include "framework/TApplication.h"
#include "framework/Ugnnorma.h"

#include <tuple>

namespace {

Session gCurrentSession;

QString filledOr(const QString &preferred, const QString &fallback)
{
    return preferred.isEmpty() ? fallback : preferred;
}

} // namespace

Session::Session(const QString &protocol, const QString &server, const QString &alias, const QString &user,
                 const QString &password, qint32 company)
    : protocol(protocol), server(server), alias(alias), user(user), password(password), company(company),
      companyParameter(QString::number(company))
{
}

Session Session::fromLoadCall(const QString &protocol, const QString &alias, const QString &server,
                              const QString &user, const QString &password, const QString &company,
                              const QString &options, const QString &versionAndDate)
{
    bool isNumber = false;
    const qint32 number = company.trimmed().toInt(&isNumber);
    Session session(protocol, server, alias, user, password, isNumber ? number : 0);
    session.companyParameter = company;
    session.options = options;
    const ClientVersion client = SepararVersion(versionAndDate);
    session.clientVersion = client.version;
    session.clientDate = client.date;
    return session;
}

Session Session::fromGlobals()
{
    Session session(gStProtocolo, gStParSrv, gStAliasCnx, filledOr(gStCodiUsua, gStParUsu),
                    filledOr(gStPassUsua, gStParPas), TApplication::instance().Tag);
    session.companyParameter = gStParEmp;
    return session;
}

Session Session::withCompany(qint32 company) const
{
    Session session = *this;
    session.company = company;
    return session;
}

bool Session::samePlace(const Session &other) const
{
    return std::tie(protocol, server, alias) == std::tie(other.protocol, other.server, other.alias);
}

bool Session::operator==(const Session &other) const
{
    return std::tie(protocol, server, alias, user, password, company, companyParameter, options, clientVersion,
                    clientDate)
           == std::tie(other.protocol, other.server, other.alias, other.user, other.password, other.company,
                       other.companyParameter, other.options, other.clientVersion, other.clientDate);
}

const Session &Session::current()
{
    return gCurrentSession;
}

void Session::makeCurrent(const Session &session)
{
    gCurrentSession = session;
    gStProtocolo = session.protocol;
    gStParSrv = session.server;
    gStAliasCnx = session.alias;
    gStParUsu = gStCodiUsua = session.user;
    gStParPas = gStPassUsua = session.password;
    gStParEmp = session.companyParameter;
    gStParHpv = session.options;
    gSlParams.reset();
    // Blank options are kept as given and not parsed: no option list exists then.
    if (!TrimBlanks(session.options).isEmpty()) {
        gSlParams = ParsearOpciones(session.options);
        gStParHpv = UltimaCondicion(*gSlParams);
    }
    gStVersionCliente = session.clientVersion;
    gStFechaCliente = session.clientDate;
    // One number gives both forms of the current company, so they cannot disagree.
    TApplication::instance().Tag = session.company;
    gStCodiEmpr = QString::number(session.company);
}

void Session::changeCurrentPassword(const QString &password)
{
    gCurrentSession.password = password;
    gStParPas = gStPassUsua = password;
}

void Session::clearCurrent()
{
    gCurrentSession = Session();
    for (QString *text : {&gStProtocolo, &gStParSrv, &gStAliasCnx, &gStParUsu, &gStCodiUsua, &gStParPas,
                          &gStPassUsua, &gStParEmp, &gStParHpv, &gStVersionCliente, &gStFechaCliente, &gStCodiEmpr})
        text->clear();
    gSlParams.reset();
    TApplication::instance().Tag = 0;
}
