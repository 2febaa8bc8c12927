#include "framework/Ugnnorma.h"

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
    for (QString *text : {&gStCodiEmpr, &gStCodiUsua, &gStPassUsua, &gStTipoUsuario, &gStNombProg,
                          &gStAliasCnx, &gStDriver, &gStServerName, &gStServerGUID, &gStServerNameNet,
                          &gStServerGUIDNet, &gStPublicKeyToken, &gStProtocolo, &gStParSrv, &gStParUsu,
                          &gStParPas, &gStParEmp, &gStParHpv, &gStVersionCliente, &gStFechaCliente})
        text->clear();
    gSlParams.reset();
}
