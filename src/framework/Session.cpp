#include "framework/Session.h"

#include "framework/ClientVersion.h"
#include "framework/OptionText.h"
#include "framework/TApplication.h"
#include "framework/Ugnnorma.h"

#include <tuple>

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

void Session::writeSuiteGlobals() const
{
    gStProtocolo = protocol;
    gStParSrv = server;
    gStAliasCnx = alias;
    gStParUsu = gStCodiUsua = user;
    gStParPas = gStPassUsua = password;
    gStParEmp = companyParameter;
    gStParHpv = options;
    gSlParams.reset();
    // Blank options are kept as given and not parsed: no option list exists then.
    if (!TrimBlanks(options).isEmpty()) {
        const QStringList items = ParsearOpciones(options);
        gSlParams = items;
        gStParHpv = UltimaCondicion(items);
    }
    gStVersionCliente = clientVersion;
    gStFechaCliente = clientDate;
    // One number gives both forms of the company, so they cannot disagree.
    TApplication::instance().Tag = company;
    gStCodiEmpr = QString::number(company);
}

void Session::clearSuiteGlobals()
{
    for (QString *text : {&gStProtocolo, &gStParSrv, &gStAliasCnx, &gStParUsu, &gStCodiUsua, &gStParPas,
                          &gStPassUsua, &gStParEmp, &gStParHpv, &gStVersionCliente, &gStFechaCliente, &gStCodiEmpr})
        text->clear();
    gSlParams.reset();
    TApplication::instance().Tag = 0;
}
