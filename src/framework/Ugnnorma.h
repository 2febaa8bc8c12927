#pragma once
// Session globals of the suite framework, kept for the host and the suite: the module writes
// them and never reads them back. Session::writeSuiteGlobals writes those of the session (the
// load call makes it, the master form changes its company); the load call adds the server
// identities, the connection the server's answer (user type, driver), the main form the program
// name.

#include <QString>
#include <QStringList>
#include <optional>

extern QString gStCodiEmpr;       // current company, as text
extern QString gStCodiUsua;       // current user
extern QString gStPassUsua;       // the user's password
extern QString gStTipoUsuario;    // the user's type
extern QString gStNombProg;       // program name shown in reports
extern QString gStAliasCnx;       // connection alias
extern QString gStDriver;         // database driver name
extern QString gStServerName;     // application server identity
extern QString gStServerGUID;
extern QString gStServerNameNet;  // identity of the suite's second application server
extern QString gStServerGUIDNet;
extern QString gStPublicKeyToken;
extern QString gStProtocolo;      // raw start parameters
extern QString gStParSrv;
extern QString gStParUsu;
extern QString gStParPas;
extern QString gStParEmp;
extern QString gStParHpv;
extern std::optional<QStringList> gSlParams; // exists only once an option text was parsed
extern QString gStVersionCliente; // client version and date
extern QString gStFechaCliente;

// Back to the state of a freshly loaded library (tests and a second load start from here); the
// company tag is 0 again.
void ResetSessionGlobals();
