#pragma once
// Applies a batch of row deltas to a provider's main table on the read-write connection, in one
// transaction: every delta succeeds or none is kept. Column names are checked against the
// table's real columns; updates and deletes must find the row exactly as the client read it.
// A block of new rows (ApplyRequest::inserts) follows the deltas in the same transaction: every
// value is bound and typed by its column first, the companies of the bound rows are checked
// before anything of the block is written, then its keys are looked for and its rows written
// many to a statement. On PostgreSQL the transaction reaches only the rows of the request's
// companies (row security).

#include "appserver/CompanyAccess.h"
#include "appserver/ProtocolNames.h"
#include "appserver/ProviderDef.h"
#include "appserver/SqlConnection.h"
#include "appserver/SqlDialect.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariantList>
#include <functional>
#include <unordered_map>
#include <vector>

namespace appserver {

class ApplyHandler {
public:
    ApplyHandler(SqlConnection &connection, const SqlDialect &dialect)
        : m_connection(connection), m_dialect(dialect) {}

    // `alongside`, when given, runs in the batch's transaction after its last delta, on the same
    // connection (the audit record of the save); its error refuses the whole batch.
    ApplyResult run(const ProviderDef &provider, const ApplyRequest &request, const CompanyAccess &access,
                    const std::function<QString()> &alongside = {});
    // Whether the last batch was refused for a company the user may not use.
    bool lastRefused() const { return m_refused; }

private:
    // One piece of SQL with the values of its markers.
    struct Statement {
        QString text;
        QVariantList values;
    };

    // A block's values, bound row after row.
    struct BoundRows {
        QList<const ColumnInfo *> columns;
        QList<int> keys;         // where each key column stands among them; -1 when it is missing
        QVariantList values;
        int rows = 0;
        const QVariant &at(int row, int column) const { return values.at(row * columns.size() + column); }
    };

    QString applyAll(const ProviderDef &provider, const QList<RowDelta> &deltas, int *rows);
    QString insertAll(const ProviderDef &provider, const InsertRows &block, const CompanyAccess &access, int *rows);
    QString bindBlock(const ProviderDef &provider, const InsertRows &block, const CompanyAccess &access,
                      BoundRows *out);
    QString blockKeysFree(const ProviderDef &provider, const InsertRows &block, const BoundRows &bound);
    QString insertBlock(const ProviderDef &provider, const BoundRows &bound, int *rows);
    // A statement of a block with values[0 .. count - 1], through the engine's direct writer
    // where it has one; `first` (when given) gets the first value of its first row. False with
    // the error in m_lastError.
    bool runBound(const QString &text, const QVariant *values, qsizetype count, int *rows, QVariant *first);
    // The refusal of a statement that failed (m_lastError), its text `error`; `duplicate` for a
    // key that exists already, of the row of `keyValues`.
    QString writeFailure(const ProviderDef &provider, const QString &error, bool duplicate,
                         const QVariantMap &keyValues) const;
    QString applyOne(const ProviderDef &provider, const RowDelta &delta, int *rows);
    QString buildInsert(const ProviderDef &provider, const QVariantMap &values, Statement *out) const;
    QString buildUpdate(const ProviderDef &provider, const RowDelta &delta, Statement *out) const;
    QString buildDelete(const ProviderDef &provider, const RowDelta &delta, Statement *out) const;
    QString appendWhere(const ProviderDef &provider, const QVariantMap &oldValues, Statement *out) const;
    QString bindColumn(const QString &table, const QString &name, const QVariant &value,
                       const ColumnInfo **column, QVariant *bound) const;
    // `value` typed for `column` (named `name` by the client) of `table`; the refusal otherwise.
    QString typeForColumn(const ColumnInfo &column, const QString &name, const QVariant &value, const QString &table,
                          QVariant *bound) const;
    QString keyExists(const ProviderDef &provider, const QVariantMap &values, bool *exists);
    QString execute(const Statement &statement, int *rows, bool *duplicate);
    // The statement of that text, prepared once per batch (a batch of many rows repeats a few
    // texts); null with the error in m_lastError when it cannot be prepared.
    QSqlQuery *prepared(const QString &text);
    QString duplicateMessage(const ProviderDef &provider, const QVariantMap &values) const;
    QString lockedMessage(const QString &table) const;
    const ColumnInfo *column(const QString &table, const QString &name) const;
    QString loadColumns(const QString &table);

    SqlConnection &m_connection;
    const SqlDialect &m_dialect;
    QHash<QString, QList<ColumnInfo>> m_columns; // by upper-case table name
    std::vector<QSqlQuery> m_failed;              // statements of the batch that failed
    std::unordered_map<QString, QSqlQuery> m_prepared;   // the batch's statements by text, until it ends
    QSqlError m_lastError;                        // of the last statement that failed
    bool m_refused = false;                       // the last batch touched a company not the user's
};

} // namespace appserver
