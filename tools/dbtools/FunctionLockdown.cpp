#include "FunctionLockdown.h"

#include "PgStatements.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <iterator>

namespace dbtools {

namespace {

// Sequences stay: a read-only transaction refuses nextval and setval already, the reader holds
// no right on any sequence, and the suite's other programs need them for their column defaults.
const char *const kNames[] = {
    "pg_terminate_backend", "pg_cancel_backend", "pg_reload_conf", "pg_rotate_logfile",
    "pg_log_backend_memory_contexts", "pg_stat_file", "set_config", "pg_sleep", "pg_sleep_for",
    "pg_sleep_until", "txid_current", "txid_current_if_assigned", "pg_current_xact_id",
    "pg_current_xact_id_if_assigned", "pg_notify", "loread", "lowrite",
    "query_to_xml", "query_to_xmlschema", "query_to_xml_and_xmlschema", "cursor_to_xml",
    "cursor_to_xmlschema", "pg_switch_wal", "pg_create_restore_point", "pg_promote",
    "pg_logical_emit_message", "pg_import_system_collations",
};
// Families, as LIKE patterns: large objects, advisory locks, server files and directories,
// statistics resets, the adminpack's file writes.
const char *const kFamilies[] = {
    "lo\\_%", "pg\\_advisory%", "pg\\_try\\_advisory%", "pg\\_read\\_%file", "pg\\_ls\\_%",
    "pg\\_stat\\_reset%", "pg\\_file\\_%",
};

QString sqlList(const char *const *items, size_t count)
{
    QStringList quoted;
    for (size_t i = 0; i < count; ++i)
        quoted << PgStatements::quotedLiteral(QString::fromLatin1(items[i]));
    return quoted.join(QStringLiteral(", "));
}

} // namespace

QStringList FunctionLockdown::functions(QSqlDatabase &db, QString *error, QStringList *everyones)
{
    QSqlQuery query(db);
    // No ACL at all means the default: PUBLIC may execute.
    const QString statement = QStringLiteral(
        "SELECT p.oid::regprocedure::text, p.proacl IS NULL OR EXISTS (SELECT 1 FROM aclexplode(p.proacl) a "
        "WHERE a.grantee = 0 AND a.privilege_type = 'EXECUTE') FROM pg_proc p JOIN pg_namespace n ON n.oid = p.pronamespace "
        "WHERE (n.nspname = 'pg_catalog' AND (p.proname = ANY (ARRAY[%1]) OR p.proname LIKE ANY (ARRAY[%2]))) "
        "OR p.proname LIKE 'dblink%' ORDER BY 1")
        .arg(sqlList(kNames, std::size(kNames)), sqlList(kFamilies, std::size(kFamilies)));
    QStringList found;
    if (!query.exec(statement)) {
        *error = query.lastError().text();
        return {};
    }
    while (query.next()) {
        found << query.value(0).toString();
        if (everyones && query.value(1).toBool())
            *everyones << found.last();
    }
    return found;
}

DbOutcome FunctionLockdown::apply(QSqlDatabase &db)
{
    bool superuser = false;
    QString error;
    if (!PgStatements::isSuperuser(db, &superuser, &error))
        return DbOutcome::failure(QStringLiteral("Cannot tell whether the login is a superuser: %1").arg(error));
    if (!superuser) {
        DbOutcome skipped;
        skipped.notices << QStringLiteral(
            "not a superuser: the functions every login may call (set_config, pg_terminate_backend, "
            "pg_sleep, advisory locks, large objects and the like) stay callable by the reading role. "
            "Row security by company then rests on the server's statement check alone, and the server "
            "resets the reader's session after every request. Run the seed once as a superuser to take "
            "them away.");
        return skipped;
    }
    QStringList everyones;
    const QStringList found = functions(db, &error, &everyones);
    if (!error.isEmpty())
        return DbOutcome::failure(QStringLiteral("Cannot list the functions to take away: %1").arg(error));
    QVariant owner;
    if (!PgStatements::value(db, QStringLiteral("SELECT quote_ident(pg_get_userbyid(datdba)) FROM pg_database "
                                                "WHERE datname = current_database()"), &owner, &error))
        return DbOutcome::failure(QStringLiteral("Cannot read the database's owner: %1").arg(error));
    QStringList statements;
    for (const QString &function : found)
        statements << QStringLiteral("REVOKE EXECUTE ON FUNCTION %1 FROM PUBLIC").arg(function);
    for (const QString &function : everyones)
        statements << QStringLiteral("GRANT EXECUTE ON FUNCTION %1 TO %2").arg(function, owner.toString());
    return PgStatements::run(db, statements, QStringLiteral("Cannot take functions away from the reading role"));
}

} // namespace dbtools
