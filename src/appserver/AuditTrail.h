#pragma once
// The record of what happened on a site (GN_AUDIT): logins, refused logins, saves and changes of
// users, each with who, when (UTC, ISO 8601 text, so that rows sort by their time on every
// engine), what (an action and a short detail) and from which address ("local" for the command
// line and the in-process road). Rows are only ever added: the server's writer and the command
// line write them inside the transaction of the change they record where there is one, so that a
// change is never kept without its row. The reading role may not see the table.

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace appserver {

class AuditTrail {
public:
    // The actions, as ACC_AUDI holds them.
    static const QString kLogin;            // "inicio de sesión"
    static const QString kLoginRefused;     // "inicio de sesión rechazado"
    static const QString kSave;             // "guardado"
    static const QString kUserAdded;        // "usuario creado"
    static const QString kPasswordChanged;  // "contraseña cambiada"
    static const QString kUserDisabled;     // "usuario deshabilitado"
    static const QString kUserEnabled;      // "usuario habilitado"
    static const QString kCompanyGranted;   // "empresa concedida"
    static const QString kCompanyRevoked;   // "empresa retirada"
    static const QString kSessionsEnded;    // "sesiones terminadas"
    // The address of a change made on this machine (command line, in-process road).
    static const QString kLocal;            // "local"

    struct Entry {
        QString user;      // who: the application's user, the name as typed, or the system's user
        QString action;    // one of the actions above
        QString detail;    // short: a provider and row keys, a user and a company, why a login failed
        QString address;   // the client's address, or kLocal
        QString time;      // when, as timeText() writes it; empty on write: now
    };

    // UTC, to the second, as the tables keep times: "2026-12-06T23:23:59Z".
    static QString timeText(const QDateTime &when);
    static QString nowText();

    // Adds `entry` on `db`, inside the caller's transaction when there is one (texts too long for
    // their columns are cut). Empty, or the database's error.
    static QString write(const QSqlDatabase &db, Entry entry);
    // The rows from `since` on (a timeText(); empty: all) of `user` (empty: everyone), oldest first.
    static QString read(const QSqlDatabase &db, const QString &since, const QString &user, QList<Entry> *entries);
};

} // namespace appserver
