#include "appserver/ApplyHandler.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <unordered_set>

namespace appserver {

namespace {

// Markers one statement of a block binds at most: what every SQLite build admits.
constexpr qsizetype kMostMarkers = 999;

const QString kStaleRow = QStringLiteral(
    "El registro fue modificado o eliminado por otro usuario. "
    "Vuelva a consultar e intente de nuevo.");

QString missingColumn(const QString &name, const QString &table)
{
    return QStringLiteral("La columna %1 no existe en la tabla %2.").arg(name, table);
}

QString describeValue(const QVariant &value)
{
    return value.isNull() ? QStringLiteral("NULL") : value.toString();
}

// What the column's declared type admits, checked the same on every engine (SQLite itself
// would store a text of any length and any integer).
QString exceedsColumn(const ColumnInfo &column, const QVariant &bound, const QString &table)
{
    if (bound.isNull())
        return {};
    if ((column.type == FieldType::String || column.type == FieldType::FixedChar) && column.size > 0) {
        const qsizetype length = bound.toString().size();
        if (length > column.size)
            return QStringLiteral("El campo %1 de %2 admite %3 caracteres; el valor \"%4\" tiene %5.")
                .arg(column.name.toUpper(), table).arg(column.size).arg(bound.toString()).arg(length);
    }
    if (column.type == FieldType::Smallint) {
        const int value = bound.toInt();
        if (value < -32768 || value > 32767)
            return QStringLiteral("El campo %1 de %2 admite enteros de -32768 a 32767; el valor es %3.")
                .arg(column.name.toUpper(), table).arg(value);
    }
    return {};
}

} // namespace

ApplyResult ApplyHandler::run(const ProviderDef &provider, const ApplyRequest &request,
                              const CompanyAccess &access, const std::function<QString()> &alongside)
{
    ApplyResult result;
    m_refused = false;
    if (provider.mainTable.isEmpty()) {
        result.error = QStringLiteral("El proveedor %1 es de solo lectura: no tiene tabla para "
                                      "guardar cambios.").arg(provider.name);
        return result;
    }
    if (request.deltas.isEmpty() && request.inserts.isEmpty())
        return result;
    m_lastError = QSqlError();
    result.error = m_connection.beginRequest(access.allowedList());
    if (!result.error.isEmpty()) {
        // SQLite takes the write lock at BEGIN IMMEDIATE and reports another writer there.
        result.error = m_dialect.isLockTimeoutText(result.error)
            ? lockedMessage(provider.mainTable)
            : QStringLiteral("No se pudo iniciar la transacción: %1").arg(result.error);
        return result;
    }
    result.error = loadColumns(provider.mainTable);
    if (result.error.isEmpty())
        result.error = applyAll(provider, request.deltas, &result.rowsAffected);
    if (result.error.isEmpty())
        result.error = insertAll(provider, request.inserts, access, &result.rowsAffected);
    if (result.error.isEmpty() && alongside)
        result.error = alongside();
    if (result.error.isEmpty()) {
        const QString commitError = m_connection.endRequest(true);
        m_prepared.clear();
        if (!commitError.isEmpty())
            result.error = QStringLiteral("No se pudieron guardar los cambios: %1").arg(commitError);
    }
    if (!result.error.isEmpty()) {
        m_connection.endRequest(false); // the batch's own error is what counts
        m_failed.clear();
        m_prepared.clear();
        result.rowsAffected = 0;
    }
    return result;
}

QString ApplyHandler::applyAll(const ProviderDef &provider, const QList<RowDelta> &deltas, int *rows)
{
    for (int i = 0; i < deltas.size(); ++i) {
        int affected = 0;
        const QString error = applyOne(provider, deltas.at(i), &affected);
        if (!error.isEmpty())
            return error;
        *rows += affected;
    }
    return {};
}

QString ApplyHandler::applyOne(const ProviderDef &provider, const RowDelta &delta, int *rows)
{
    Statement statement;
    QString error;
    const bool isInsert = delta.kind == RowDelta::Kind::Insert;
    if (isInsert) {
        bool exists = false;
        error = buildInsert(provider, delta.newValues, &statement);
        if (error.isEmpty())
            error = keyExists(provider, delta.newValues, &exists);
        if (error.isEmpty() && exists)
            return duplicateMessage(provider, delta.newValues);
    } else if (delta.kind == RowDelta::Kind::Update) {
        if (delta.newValues.isEmpty())
            return {}; // nothing changed
        error = buildUpdate(provider, delta, &statement);
    } else {
        error = buildDelete(provider, delta, &statement);
    }
    if (!error.isEmpty())
        return error;

    bool duplicate = false;
    error = execute(statement, rows, &duplicate);
    if (!error.isEmpty()) {
        QVariantMap keyValues = delta.oldValues;
        for (auto it = delta.newValues.cbegin(); it != delta.newValues.cend(); ++it)
            keyValues.insert(it.key(), it.value());
        return writeFailure(provider, error, duplicate, keyValues);
    }
    if (!isInsert && *rows == 0)
        return kStaleRow;
    if (!isInsert && *rows > 1)
        return QStringLiteral("El cambio afectaría %1 registros de %2 en lugar de uno; no se guardó.")
            .arg(*rows).arg(provider.mainTable);
    return {};
}

QString ApplyHandler::writeFailure(const ProviderDef &provider, const QString &error, bool duplicate,
                                   const QVariantMap &keyValues) const
{
    if (duplicate)
        return duplicateMessage(provider, keyValues);
    if (m_dialect.isLockTimeout(m_lastError))
        return lockedMessage(provider.mainTable);
    if (m_dialect.isAccessRefusal(m_lastError))
        return QStringLiteral("El cambio en %1 toca un registro de una empresa a la que el usuario no "
                              "tiene acceso. No se guardó el cambio.").arg(provider.mainTable);
    return QStringLiteral("No se pudo guardar en %1: %2").arg(provider.mainTable, error);
}

QString ApplyHandler::insertAll(const ProviderDef &provider, const InsertRows &block, const CompanyAccess &access,
                                int *rows)
{
    if (block.isEmpty())
        return {};
    BoundRows bound;
    QString error = bindBlock(provider, block, access, &bound);
    if (error.isEmpty())
        error = blockKeysFree(provider, block, bound);
    if (error.isEmpty())
        error = insertBlock(provider, bound, rows);
    return error;
}

// Every value typed by its column before anything is written, and the companies of the rows
// as bound; rows of one company, as a block's mostly are, are checked once.
QString ApplyHandler::bindBlock(const ProviderDef &provider, const InsertRows &block, const CompanyAccess &access,
                                BoundRows *out)
{
    const QString &table = provider.mainTable;
    if (block.columns.isEmpty())
        return QStringLiteral("No hay valores para insertar en %1.").arg(table);
    int companyAt = -1;
    for (const QString &name : block.columns) {
        const ColumnInfo *col = column(table, name);
        if (!col)
            return missingColumn(name, table);
        if (out->columns.contains(col))
            return QStringLiteral("La columna %1 figura dos veces en las altas de %2.").arg(name, table);
        if (CompanyAccess::isCompanyColumn(col->name))
            companyAt = int(out->columns.size());
        out->columns << col;
    }
    for (const QString &key : provider.keyColumns) {
        const ColumnInfo *col = column(table, key);
        out->keys << int(col ? out->columns.indexOf(col) : -1);
    }
    const qsizetype width = out->columns.size();
    out->values.reserve(width * block.rows.size());
    QVariant company;
    bool companyChecked = false;
    for (const QVariantList &row : block.rows) {
        if (row.size() != width)
            return QStringLiteral("Una fila de las altas de %1 trae %2 valores para %3 columnas.")
                .arg(table).arg(row.size()).arg(width);
        for (qsizetype i = 0; i < width; ++i) {
            const ColumnInfo &col = *out->columns.at(i);
            QVariant value;
            QString error = typeForColumn(col, block.columns.at(i), row.at(i), table, &value);
            if (error.isEmpty())
                error = exceedsColumn(col, value, table);
            if (!error.isEmpty())
                return error;
            out->values << value;
        }
        if (companyAt < 0)
            continue;
        const QVariant &written = out->values.at(out->values.size() - width + companyAt);
        if (companyChecked && written == company)
            continue;
        if (const QString refused = access.checkWritten(written); !refused.isEmpty()) {
            m_refused = true;
            return refused;
        }
        company = written;
        companyChecked = true;
    }
    out->rows = int(block.rows.size());
    return {};
}

// As for a single insert, a key that is there already refuses the block, even on a table
// without a unique index: the block's own keys are told apart in memory, those of the table are
// looked for many rows to a statement. Rows of an incomplete key (and every row of a block
// without some key column) are left to the database.
QString ApplyHandler::blockKeysFree(const ProviderDef &provider, const InsertRows &block, const BoundRows &bound)
{
    if (bound.keys.isEmpty() || bound.keys.contains(-1))
        return {};
    const auto keyValues = [&](int row) {
        QVariantMap values;
        for (qsizetype k = 0; k < bound.keys.size(); ++k)
            values.insert(provider.keyColumns.at(k), block.rows.at(row).at(bound.keys.at(k)));
        return values;
    };
    const auto hashOfRow = [&](int row) {
        size_t hash = 0;
        for (const int at : bound.keys) {
            const QVariant &value = bound.at(row, at);
            switch (value.typeId()) {
            case QMetaType::Int: hash = qHash(value.toInt(), hash); break;
            case QMetaType::LongLong: hash = qHash(value.toLongLong(), hash); break;
            case QMetaType::Double: hash = qHash(value.toDouble(), hash); break;
            case QMetaType::QString: hash = qHash(*static_cast<const QString *>(value.constData()), hash); break;
            default: hash = qHash(value.toString(), hash); break;
            }
        }
        return hash;
    };
    const auto sameKey = [&](int a, int b) {
        return std::all_of(bound.keys.cbegin(), bound.keys.cend(), [&](int at) { return bound.at(a, at) == bound.at(b, at); });
    };
    std::unordered_set<int, decltype(hashOfRow), decltype(sameKey)> seen(size_t(bound.rows), hashOfRow, sameKey);
    QList<int> keyed;   // the rows whose key is complete
    for (int row = 0; row < bound.rows; ++row) {
        if (std::any_of(bound.keys.cbegin(), bound.keys.cend(), [&](int at) { return bound.at(row, at).isNull(); }))
            continue;
        if (!seen.insert(row).second)
            return duplicateMessage(provider, keyValues(row));
        keyed << row;
    }
    const qsizetype perStatement = qMax<qsizetype>(1, kMostMarkers / bound.keys.size());
    QString condition;
    for (const int at : bound.keys)
        condition += (condition.isEmpty() ? QString() : QStringLiteral(" AND ")) + bound.columns.at(at)->name
                     + QStringLiteral(" = ?");
    condition = QLatin1Char('(') + condition + QLatin1Char(')');
    QVariantList values;
    for (qsizetype first = 0; first < keyed.size(); first += perStatement) {
        const qsizetype count = qMin(perStatement, keyed.size() - first);
        values.clear();
        for (qsizetype i = first; i < first + count; ++i)
            for (const int at : bound.keys)
                values << bound.at(keyed.at(i), at);
        int unused = 0;
        QVariant found;
        if (!runBound(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2")
                          .arg(provider.mainTable, QStringList(count, condition).join(QStringLiteral(" OR "))),
                      values.constData(), values.size(), &unused, &found))
            return QStringLiteral("No se pudo comprobar la clave en %1: %2").arg(provider.mainTable, m_lastError.text());
        if (found.toInt() == 0)
            continue;
        // Which one, row by row: the message names it.
        for (qsizetype i = first; i < first + count; ++i) {
            const QVariantMap key = keyValues(keyed.at(i));
            bool exists = false;
            if (const QString error = keyExists(provider, key, &exists); !error.isEmpty())
                return error;
            if (exists)
                return duplicateMessage(provider, key);
        }
    }
    return {};
}

QString ApplyHandler::insertBlock(const ProviderDef &provider, const BoundRows &bound, int *rows)
{
    const qsizetype width = bound.columns.size();
    const qsizetype perStatement = qMax<qsizetype>(1, kMostMarkers / width);
    QStringList names;
    for (const ColumnInfo *col : bound.columns)
        names << col->name;
    const QString head = QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(provider.mainTable, names.join(QStringLiteral(", ")));
    const QString markers = QLatin1Char('(') + QStringList(width, QStringLiteral("?")).join(QStringLiteral(", "))
                            + QLatin1Char(')');
    QString text;   // of a whole statement's rows, the same for all but the last
    for (qsizetype first = 0; first < bound.rows; first += perStatement) {
        const qsizetype count = qMin<qsizetype>(perStatement, bound.rows - first);
        if (text.isEmpty() || count < perStatement)
            text = head + QStringList(count, markers).join(QStringLiteral(", "));
        int written = 0;
        if (!runBound(text, bound.values.constData() + first * width, count * width, &written, nullptr))
            // The keys were free when looked for: a duplicate now is another save's, and which
            // row met it only the database's text tells.
            return writeFailure(provider, m_lastError.text(), false, {});
        *rows += written;
    }
    return {};
}

bool ApplyHandler::runBound(const QString &text, const QVariant *values, qsizetype count, int *rows, QVariant *first)
{
    if (DirectWriter *writer = m_connection.directWriter())
        return writer->run(text, values, count, rows, first, &m_lastError);
    QSqlQuery *query = prepared(text);
    if (!query)
        return false;
    for (qsizetype i = 0; i < count; ++i)
        query->bindValue(int(i), values[i]);
    bool done = query->exec();
    if (done && first) {
        done = query->next();
        *first = done ? query->value(0) : QVariant();
    }
    if (!done) {
        m_lastError = query->lastError();
        return false;
    }
    *rows = query->numRowsAffected();
    query->finish();
    return true;
}

QString ApplyHandler::buildInsert(const ProviderDef &provider, const QVariantMap &values,
                                  Statement *out) const
{
    if (values.isEmpty())
        return QStringLiteral("No hay valores para insertar en %1.").arg(provider.mainTable);
    QStringList names;
    QStringList markers;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const ColumnInfo *col = nullptr;
        QVariant bound;
        QString error = bindColumn(provider.mainTable, it.key(), it.value(), &col, &bound);
        if (error.isEmpty())
            error = exceedsColumn(*col, bound, provider.mainTable);
        if (!error.isEmpty())
            return error;
        names << col->name;
        markers << QStringLiteral("?");
        out->values << bound;
    }
    out->text = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(provider.mainTable, names.join(QStringLiteral(", ")),
                         markers.join(QStringLiteral(", ")));
    return {};
}

QString ApplyHandler::buildUpdate(const ProviderDef &provider, const RowDelta &delta,
                                  Statement *out) const
{
    QStringList assignments;
    for (auto it = delta.newValues.cbegin(); it != delta.newValues.cend(); ++it) {
        const ColumnInfo *col = nullptr;
        QVariant bound;
        QString error = bindColumn(provider.mainTable, it.key(), it.value(), &col, &bound);
        if (error.isEmpty())
            error = exceedsColumn(*col, bound, provider.mainTable);
        if (!error.isEmpty())
            return error;
        assignments << col->name + QStringLiteral(" = ?");
        out->values << bound;
    }
    out->text = QStringLiteral("UPDATE %1 SET %2")
                    .arg(provider.mainTable, assignments.join(QStringLiteral(", ")));
    return appendWhere(provider, delta.oldValues, out);
}

QString ApplyHandler::buildDelete(const ProviderDef &provider, const RowDelta &delta,
                                  Statement *out) const
{
    out->text = QStringLiteral("DELETE FROM %1").arg(provider.mainTable);
    return appendWhere(provider, delta.oldValues, out);
}

// Every old value the client sent takes part, so a row changed since it was read does not match.
QString ApplyHandler::appendWhere(const ProviderDef &provider, const QVariantMap &oldValues,
                                  Statement *out) const
{
    for (const QString &key : provider.keyColumns) {
        const bool present = std::any_of(oldValues.keyBegin(), oldValues.keyEnd(), [&](const QString &n) {
            return n.compare(key, Qt::CaseInsensitive) == 0;
        });
        if (!present)
            return QStringLiteral("Faltan los valores originales de la clave %1 de %2.")
                .arg(key, provider.mainTable);
    }
    if (oldValues.isEmpty())
        return QStringLiteral("Faltan los valores originales del registro de %1.").arg(provider.mainTable);
    QStringList conditions;
    for (auto it = oldValues.cbegin(); it != oldValues.cend(); ++it) {
        const ColumnInfo *col = nullptr;
        QVariant bound;
        const QString error = bindColumn(provider.mainTable, it.key(), it.value(), &col, &bound);
        if (!error.isEmpty())
            return error;
        if (bound.isNull()) {
            conditions << col->name + QStringLiteral(" IS NULL");
        } else {
            conditions << m_dialect.matchesOldValue(*col);
            out->values << bound;
        }
    }
    out->text += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    return {};
}

QString ApplyHandler::bindColumn(const QString &table, const QString &name, const QVariant &value,
                                 const ColumnInfo **col, QVariant *bound) const
{
    *col = column(table, name);
    if (!*col)
        return missingColumn(name, table);
    return typeForColumn(**col, name, value, table, bound);
}

QString ApplyHandler::typeForColumn(const ColumnInfo &col, const QString &name, const QVariant &value,
                                    const QString &table, QVariant *bound) const
{
    if (!m_dialect.toDatabase(value, col.type, col.dateOnly, bound))
        return QStringLiteral("El valor \"%1\" no es válido para la columna %2 (%3) de %4.")
            .arg(value.toString(), name, fieldTypeName(col.type), table);
    return {};
}

// Checked before the insert so a table without a unique index still refuses a duplicate key.
QString ApplyHandler::keyExists(const ProviderDef &provider, const QVariantMap &values, bool *exists)
{
    *exists = false;
    if (provider.keyColumns.isEmpty())
        return {};
    Statement statement;
    QStringList conditions;
    for (const QString &key : provider.keyColumns) {
        QVariant value;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            if (it.key().compare(key, Qt::CaseInsensitive) == 0)
                value = it.value();
        const ColumnInfo *col = nullptr;
        QVariant bound;
        const QString error = bindColumn(provider.mainTable, key, value, &col, &bound);
        if (!error.isEmpty())
            return error;
        if (bound.isNull())
            return {}; // an incomplete key: the database's own constraints decide
        conditions << col->name + QStringLiteral(" = ?");
        statement.values << bound;
    }
    statement.text = QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2")
                         .arg(provider.mainTable, conditions.join(QStringLiteral(" AND ")));
    QSqlQuery *query = prepared(statement.text);
    if (query) {
        for (int i = 0; i < statement.values.size(); ++i)
            query->bindValue(i, statement.values.at(i));
        if (!query->exec() || !query->next())
            m_lastError = query->lastError();
    }
    if (!query || !query->isActive() || !query->isValid())
        return QStringLiteral("No se pudo comprobar la clave en %1: %2")
            .arg(provider.mainTable, m_lastError.text());
    *exists = query->value(0).toInt() > 0;
    query->finish();
    return {};
}

QSqlQuery *ApplyHandler::prepared(const QString &text)
{
    auto found = m_prepared.find(text);
    if (found != m_prepared.end())
        return &found->second;
    QSqlQuery query(m_connection.database());
    if (!query.prepare(text)) {
        m_lastError = query.lastError();
        // Its clean-up must wait for the rollback: an aborted transaction refuses it.
        m_failed.push_back(std::move(query));
        return nullptr;
    }
    return &m_prepared.emplace(text, std::move(query)).first->second;
}

QString ApplyHandler::execute(const Statement &statement, int *rows, bool *duplicate)
{
    QSqlQuery *query = prepared(statement.text);
    if (query) {
        for (int i = 0; i < statement.values.size(); ++i)
            query->bindValue(i, statement.values.at(i));
        if (query->exec()) {
            *rows = query->numRowsAffected();
            return {};
        }
        m_lastError = query->lastError();
    }
    *duplicate = m_dialect.isDuplicateKey(m_lastError);
    return m_lastError.text();
}

QString ApplyHandler::lockedMessage(const QString &table) const
{
    return QStringLiteral("Otro usuario está modificando los mismos registros de %1 y no los liberó "
                          "a tiempo. No se guardó el cambio; intente de nuevo en unos momentos.").arg(table);
}

QString ApplyHandler::duplicateMessage(const ProviderDef &provider, const QVariantMap &values) const
{
    QStringList parts;
    for (const QString &key : provider.keyColumns) {
        QVariant value;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            if (it.key().compare(key, Qt::CaseInsensitive) == 0)
                value = it.value();
        parts << QStringLiteral("%1 = %2").arg(key, describeValue(value));
    }
    return QStringLiteral("Ya existe un registro en %1 con la clave %2. No se guardó el cambio.")
        .arg(provider.mainTable, parts.join(QStringLiteral(", ")));
}

const ColumnInfo *ApplyHandler::column(const QString &table, const QString &name) const
{
    const auto it = m_columns.constFind(table.toUpper());
    if (it == m_columns.constEnd())
        return nullptr;
    for (const ColumnInfo &col : it.value())
        if (col.name.compare(name, Qt::CaseInsensitive) == 0)
            return &col;
    return nullptr;
}

QString ApplyHandler::loadColumns(const QString &table)
{
    if (m_columns.contains(table.toUpper()))
        return {};
    QString error;
    QSqlDatabase db = m_connection.database();
    const QList<ColumnInfo> columns = m_dialect.tableColumns(db, table, &error);
    if (!error.isEmpty())
        return QStringLiteral("No se pudieron leer las columnas de %1: %2").arg(table, error);
    if (columns.isEmpty())
        return QStringLiteral("La tabla %1 no existe en la base de datos.").arg(table);
    m_columns.insert(table.toUpper(), columns);
    return {};
}

} // namespace appserver
