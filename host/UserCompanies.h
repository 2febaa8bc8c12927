#pragma once
// The companies a user may work with, as the application server answers them at login: the
// session's user and password log in (a refusal comes back as the server's own message) and the
// company list the master form reads (provider DtsPGnEmpreFrm) is read, which the server keeps to
// the user's grants.

#include "host/ModuleLibrary.h"

#include <QList>
#include <QString>

struct UserCompany {
    int code = 0;
    QString name;
};

// Empty on success, else why not (in Spanish, for the user). `session` names the place, the user
// and the password; its company is not used.
QString readUserCompanies(const SessionArguments &session, QList<UserCompany> *companies);
