#pragma once
// Runs one fetch on the read-only connection: picks the statement (the client's or the
// provider's own), refuses anything but one read statement, binds the named parameters by
// type and returns the field descriptions and rows.

#include "OrderByClause.h"
#include "Protocol.h"
#include "ProviderRegistry.h"
#include "SqlConnection.h"
#include "SqlDialect.h"

#include <QHash>
#include <QVariantList>
#include <memory>

class QSqlQuery;

namespace appserver {

class SqliteReader;

class FetchHandler {
public:
    FetchHandler(SqlConnection &connection, const SqlDialect &dialect);
    ~FetchHandler();

    FetchResult run(const ProviderDef &provider, const FetchRequest &request);
    // The same read handed to `sink` row by row; the error text, empty on success.
    QString runEach(const ProviderDef &provider, const FetchRequest &request, RowSink &sink);

private:
    // The values behind each positional marker, or an error naming the parameter.
    QString bindValues(const QStringList &markers, const QList<ParamValue> &params,
                       QVariantList *values) const;
    FetchResult execute(const QString &statement, const QVariantList &values);
    void readRows(QSqlQuery &query, FetchResult *result) const;

    SqlConnection &m_connection;
    const SqlDialect &m_dialect;
    std::unique_ptr<SqliteReader> m_sqlite;   // SQLite only; its statements die before the connection
    // A checked statement, by the client's text: the guard's verdict and the positional form.
    struct Checked {
        QString refusal;
        QString positional;
        QStringList markers;
        OrderByClause order;   // the same order of rows on every engine
    };
    QHash<QString, Checked> m_checked;

    // The checked statement to run and its bound values, or null with the refusal in `error`.
    const Checked *prepare(const ProviderDef &provider, const FetchRequest &request, QVariantList *values,
                           QString *error);
    static QString failed(const ProviderDef &provider, const QString &error);
};

} // namespace appserver
