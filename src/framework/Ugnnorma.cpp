#include "framework/Ugnnorma.h"

#include "framework/Session.h"

QString gStCodiEmpr;
QString gStCodiUsua;
QString gStPassUsua;
QString gStTipoUsuario;
QString gStNombProg;
QString gStAliasCnx;
QString gStDriver;
QString gStServerName;
QString gStServerGUID;
QString gStServerNameNet;
QString gStServerGUIDNet;
QString gStPublicKeyToken;
QString gStProtocolo;
QString gStParSrv;
QString gStParUsu;
QString gStParPas;
QString gStParEmp;
QString gStParHpv;
std::optional<QStringList> gSlParams;
QString gStVersionCliente;
QString gStFechaCliente;

void ResetSessionGlobals()
{
    Session::clearSuiteGlobals();
    for (QString *text : {&gStTipoUsuario, &gStNombProg, &gStDriver, &gStServerName, &gStServerGUID,
                          &gStServerNameNet, &gStServerGUIDNet, &gStPublicKeyToken})
        text->clear();
}
