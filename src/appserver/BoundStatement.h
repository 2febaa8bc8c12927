#pragma once
// One statement of the server's own or of the site tools, run with its values bound in order.

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

namespace appserver {

// Empty, or the database's error; `affected` gets the rows the statement changed.
inline QString execBound(const QSqlDatabase &db, const QString &statement, const QVariantList &values,
                         int *affected = nullptr)
{
    QSqlQuery query(db);
    query.prepare(statement);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        return query.lastError().text();
    if (affected)
        *affected = query.numRowsAffected();
    return {};
}

} // namespace appserver
