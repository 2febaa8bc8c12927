#include "host/UserCompanies.h"

#include "framework/Exceptions.h"
#include "framework/Session.h"
#include "framework/connection/SDCOMConnection.h"

QString readUserCompanies(const SessionArguments &session, QList<UserCompany> *companies)
{
    companies->clear();
    // Company 0 holds what belongs to no company and is open to every user: the login proves
    // the user and password alone.
    SDCOMConnection connection;
    connection.setSession(Session(session.protocol, session.server, session.alias, session.user, session.password, 0));
    protocol::FetchResult list;
    try {
        list = connection.Fetch(QStringLiteral("DtsPGnEmpreFrm"), QString(), {});
    } catch (const Exception &refused) {
        return refused.Message();
    }
    const int code = protocol::indexOfField(list.fields, QStringLiteral("COD_EMPR"));
    const int name = protocol::indexOfField(list.fields, QStringLiteral("NOM_EMPR"));
    if (code < 0 || name < 0)
        return QStringLiteral("La lista de empresas del servidor de aplicaciones no trae COD_EMPR y NOM_EMPR.");
    for (const QVariantList &row : std::as_const(list.rows))
        companies->append({row.value(code).toInt(), row.value(name).toString().trimmed()});
    if (companies->isEmpty())
        return QStringLiteral("El usuario %1 no tiene ninguna empresa asignada; pida a un administrador que le "
                              "asigne una.").arg(session.user);
    return {};
}
