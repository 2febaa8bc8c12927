#pragma once
// One named QtSql connection owned by the server core: opened on a database description,
// read-only or read-write, and removed from QtSql's registry when the owner goes.

#include "DatabaseDescription.h"
#include "SqlDialect.h"

#include <QSqlDatabase>
#include <QString>

namespace appserver {

class SqlConnection {
public:
    SqlConnection() = default;
    ~SqlConnection();
    SqlConnection(const SqlConnection &) = delete;
    SqlConnection &operator=(const SqlConnection &) = delete;

    // Empty on success, else the reason (in Spanish, with the database's message).
    QString open(const DatabaseDescription &description, const SqlDialect &dialect, bool readOnly);
    void close();
    bool isOpen() const;

    QSqlDatabase database() const;
    // Runs a statement of our own (no client text); empty on success, else the error.
    QString exec(const QString &statement);

private:
    QString m_name;
};

} // namespace appserver
