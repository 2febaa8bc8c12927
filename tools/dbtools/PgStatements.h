#pragma once
// Runs the set-up statements of the PostgreSQL roles and rules one after the other on the
// caller's connection (and inside its transaction), stopping at the first that fails.

#include "DbOutcome.h"

#include <QSqlDatabase>
#include <QStringList>

namespace dbtools {

class PgStatements {
public:
    // `what` names the step in the failure ("Cannot set up the reader role x: ...").
    static DbOutcome run(QSqlDatabase &db, const QStringList &statements, const QString &what);
    // One value of a one-row query of our own; false with `error` set when it fails.
    static bool value(QSqlDatabase &db, const QString &statement, QVariant *out, QString *error);
    // The current schema as an identifier ready for a statement.
    static bool currentSchema(QSqlDatabase &db, QString *schema, QString *error);
    static QString quotedLiteral(QString text);
    // Whether the login running the set-up is a superuser (who alone may change some things).
    static bool isSuperuser(QSqlDatabase &db, bool *superuser, QString *error);
    // The attributes the module's roles must not have; a login that is no superuser may only
    // name those it can change.
    static QString withoutPowers(bool superuser);
};

} // namespace dbtools
