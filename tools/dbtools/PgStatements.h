#pragma once
// The statements that set a PostgreSQL database up for the application server, as the data
// layer's catalogue gives them (postgres-setup.json): reads run with bound values; the other
// statements name the roles, tables and functions they act on through typed slots, filled only
// with names that fit the slot's kind (a checked role name or a name the database quoted
// itself, a function signature, a text quoted here, or one of the slot's own words).

#include "tools/dbtools/DbOutcome.h"

#include <QHash>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariantList>

namespace dbtools {

class PgStatements {
public:
    // The texts of a catalogue entry with its slots filled; a failure names the slot that a
    // value does not fit.
    static DbOutcome texts(const QString &name, const QHash<QString, QString> &fills, QStringList *out);
    // The texts of the entries `names`, in order, with the same slot values, added to `out`.
    static DbOutcome compose(const QStringList &names, const QHash<QString, QString> &fills, QStringList *out);
    // Runs texts one after the other on the caller's connection (and inside its transaction),
    // stopping at the first that fails; `what` names the step in the failure.
    static DbOutcome run(QSqlDatabase &db, const QStringList &statements, const QString &what);
    // The entries `names` composed as above and run.
    static DbOutcome run(QSqlDatabase &db, const QStringList &names, const QHash<QString, QString> &fills,
                         const QString &what);
    // A read of the catalogue with bound values: every row's values.
    static bool read(QSqlDatabase &db, const QString &name, const QVariantList &values, QList<QVariantList> *rows,
                     QString *error);
    // The first column of a read.
    static bool column(QSqlDatabase &db, const QString &name, QStringList *out, QString *error);

    // What the set-up of one of the module's roles starts from.
    struct RoleFacts {
        bool exists = false;
        bool superuser = false;   // the login running the set-up
        bool managesRoles = false; // it may create and change roles (superuser or CREATEROLE)
        QString login;            // its name, quoted
        QString schema;           // the current schema, quoted
        // A login that is no superuser may name only the attributes it can change.
        QString withoutSuperuser() const { return superuser ? QStringLiteral("NOSUPERUSER") : QString(); }
    };
    // Checks the role's name (a plain lower-case identifier) and reads the facts; `what` names
    // the role in failures ("reader role").
    static DbOutcome roleFacts(QSqlDatabase &db, const QString &role, const QString &what, RoleFacts *facts);
    static bool isSuperuser(QSqlDatabase &db, bool *superuser, QString *error);
};

} // namespace dbtools
