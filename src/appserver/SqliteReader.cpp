#include "appserver/SqliteReader.h"

#include "appserver/RecentTexts.h"
#include "appserver/SqlDialect.h"

#include <QDate>
#include <sqlite3.h>

#include <utility>


namespace appserver {

namespace {

// Statements kept at most; a workstation repeats a few dozen shapes.
constexpr int kCachedStatements = 64;

FieldType typeOfStorage(int storage)
{
    switch (storage) {
    case SQLITE_INTEGER: return FieldType::Integer;
    case SQLITE_FLOAT: return FieldType::Float;
    case SQLITE_TEXT: return FieldType::String;
    case SQLITE_BLOB: return FieldType::Blob;
    default: return FieldType::Unknown;
    }
}

QString text(sqlite3_stmt *stmt, int column)
{
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(stmt, column));
}

// A text cell through the column's recent texts.
QString recentText(RecentTexts &texts, sqlite3_stmt *stmt, int column)
{
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    return texts.text(column, bytes, sqlite3_column_bytes(stmt, column));
}

// A column as its storage class gives it (what QtSql hands over for an untyped column).
QVariant stored(sqlite3_stmt *stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER: return qlonglong(sqlite3_column_int64(stmt, column));
    case SQLITE_FLOAT: return sqlite3_column_double(stmt, column);
    case SQLITE_TEXT: return text(stmt, column);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt, column)),
                          sqlite3_column_bytes(stmt, column));
    default: return QVariant();
    }
}

// "yyyy-MM-dd", the form dates without time are stored in, read without a parser: a fetch of
// employee records reads one per row. Anything else goes the general way.
QVariant isoDate(sqlite3_stmt *stmt, int column)
{
    if (sqlite3_column_type(stmt, column) != SQLITE_TEXT || sqlite3_column_bytes(stmt, column) != 10)
        return {};
    const auto *s = sqlite3_column_text(stmt, column);
    const auto digits = [s](int from, int count) {
        int value = 0;
        for (int i = from; i < from + count; ++i) {
            if (s[i] < '0' || s[i] > '9')
                return -1;
            value = value * 10 + (s[i] - '0');
        }
        return value;
    };
    if (s[4] != '-' || s[7] != '-')
        return {};
    const QDate date(digits(0, 4), digits(5, 2), digits(8, 2));
    return date.isValid() ? QVariant(date) : QVariant();
}

// A column in the form its field type promises the client.
QVariant value(sqlite3_stmt *stmt, int column, FieldType type, RecentTexts &texts)
{
    if (sqlite3_column_type(stmt, column) == SQLITE_NULL)
        return QVariant();
    switch (type) {
    case FieldType::Smallint:
    case FieldType::Integer: return sqlite3_column_int(stmt, column);
    case FieldType::Largeint: return qlonglong(sqlite3_column_int64(stmt, column));
    case FieldType::Float: return sqlite3_column_double(stmt, column);
    case FieldType::String:
    case FieldType::FixedChar:
        return sqlite3_column_type(stmt, column) == SQLITE_TEXT ? QVariant(recentText(texts, stmt, column))
                                                                : QVariant(stored(stmt, column).toString());
    case FieldType::DateTime: {
        const QVariant date = isoDate(stmt, column);
        return date.isValid() ? date : SqlDialect::fromDatabase(stored(stmt, column), type);
    }
    case FieldType::Blob: return SqlDialect::fromDatabase(stored(stmt, column), type);
    default: return stored(stmt, column);
    }
}

// The current row of a statement, read column by column in the form value() gives.
class SqliteCells : public RowCells {
public:
    SqliteCells(sqlite3_stmt *stmt, const QList<FieldDesc> &fields)
        : m_stmt(stmt), m_fields(fields), m_texts(int(fields.size()))
    {
    }
    bool typed() const override { return true; }
    QVariant value(int column) const override
    {
        return appserver::value(m_stmt, column, m_fields.at(column).type, m_texts);
    }
    bool isNull(int column) const override { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }
    double toDouble(int column) const override
    {
        return m_fields.at(column).type == FieldType::Float ? sqlite3_column_double(m_stmt, column)
                                                            : value(column).toDouble();
    }
    int toInt(int column) const override
    {
        const FieldType type = m_fields.at(column).type;
        return type == FieldType::Smallint || type == FieldType::Integer ? sqlite3_column_int(m_stmt, column)
                                                                          : value(column).toInt();
    }
    QString toText(int column) const override
    {
        const FieldType type = m_fields.at(column).type;
        if ((type == FieldType::String || type == FieldType::FixedChar)
            && sqlite3_column_type(m_stmt, column) == SQLITE_TEXT)
            return recentText(m_texts, m_stmt, column);
        return value(column).toString();
    }
    int count() const { return int(m_fields.size()); }

private:
    sqlite3_stmt *m_stmt;
    const QList<FieldDesc> &m_fields;
    mutable RecentTexts m_texts;
};

// Names and declared types; a column without a declared type (an expression) is typed by the
// first row's storage class, as QtSql types it.
void describe(sqlite3_stmt *stmt, QList<FieldDesc> *fields, QList<bool> *declared)
{
    const int count = sqlite3_column_count(stmt);
    for (int i = 0; i < count; ++i) {
        FieldDesc field;
        field.name = QString::fromUtf8(sqlite3_column_name(stmt, i));
        const char *declaredType = sqlite3_column_decltype(stmt, i);
        if (declaredType)
            field.type = SqlDialect::typeFromDeclared(QString::fromUtf8(declaredType), &field.size);
        fields->append(field);
        declared->append(declaredType != nullptr);
    }
}

} // namespace

SqliteReader::SqliteReader(sqlite3 *db) : m_db(db)
{
    // The page cache belongs to the connection: with the default two megabytes a generation
    // reads most pages from the file again at every statement; a larger one keeps the tables it
    // walks in memory between reads. Nothing of the file changes, and a file that is not a
    // database is refused where it is read, with the module's own message.
    sqlite3_exec(m_db, "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);
}

SqliteReader::~SqliteReader()
{
    for (const Prepared &prepared : std::as_const(m_statements))
        sqlite3_finalize(prepared.stmt);
}

QString SqliteReader::databaseError() const
{
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

SqliteReader::Prepared *SqliteReader::prepared(const QString &statement, QString *error)
{
    const auto cached = m_statements.find(statement);
    if (cached != m_statements.end()) {
        sqlite3_reset(cached->stmt);
        sqlite3_clear_bindings(cached->stmt);
        return &*cached;
    }
    const QByteArray utf8 = statement.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    if (sqlite3_prepare_v3(m_db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &stmt, &tail)
        != SQLITE_OK) {
        *error = databaseError();
        return nullptr;
    }
    // The guard let one statement through; whatever SQLite sees after it must be blank too.
    for (; tail && *tail; ++tail) {
        if (*tail != ' ' && *tail != '\t' && *tail != '\r' && *tail != '\n' && *tail != ';') {
            sqlite3_finalize(stmt);
            *error = QStringLiteral("Solo se permite una sentencia por consulta.");
            return nullptr;
        }
    }
    if (!stmt) {
        *error = QStringLiteral("La sentencia de consulta está vacía.");
        return nullptr;
    }
    if (m_statements.size() >= kCachedStatements) {
        for (const Prepared &old : std::as_const(m_statements))
            sqlite3_finalize(old.stmt);
        m_statements.clear();
    }
    Prepared entry;
    entry.stmt = stmt;
    describe(stmt, &entry.fields, &entry.declared);
    return &*m_statements.insert(statement, entry);
}

QString SqliteReader::bind(sqlite3_stmt *stmt, const QVariantList &values) const
{
    if (values.size() != sqlite3_bind_parameter_count(stmt))
        return QStringLiteral("Parameter count mismatch");
    for (int i = 0; i < values.size(); ++i) {
        const QVariant &v = values.at(i);
        const int at = i + 1;
        int rc = SQLITE_OK;
        switch (v.isNull() ? QMetaType::UnknownType : v.typeId()) {
        case QMetaType::UnknownType: rc = sqlite3_bind_null(stmt, at); break;
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Bool: rc = sqlite3_bind_int64(stmt, at, v.toLongLong()); break;
        case QMetaType::Double: rc = sqlite3_bind_double(stmt, at, v.toDouble()); break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = v.toByteArray();
            rc = sqlite3_bind_blob(stmt, at, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray utf8 = v.toString().toUtf8();
            rc = sqlite3_bind_text(stmt, at, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            break;
        }
        }
        if (rc != SQLITE_OK)
            return databaseError();
    }
    return {};
}

template <class Describe, class Take>
QString SqliteReader::walk(const QString &statement, const QVariantList &values, Describe describe, Take take)
{
    const AroundRead around = std::exchange(m_around, {});
    QString error = runAll(around.before);
    if (!error.isEmpty())
        return error;
    const Prepared *entry = prepared(statement, &error);
    if (!entry)
        return error;
    sqlite3_stmt *stmt = entry->stmt;
    error = bind(stmt, values);
    if (!error.isEmpty())
        return error;
    int rc = sqlite3_step(stmt);
    QList<FieldDesc> fields = entry->fields;
    for (int i = 0; i < fields.size(); ++i)
        if (!entry->declared.at(i) && rc == SQLITE_ROW)
            fields[i].type = typeOfStorage(sqlite3_column_type(stmt, i));
    describe(fields);
    const SqliteCells cells(stmt, fields);
    while (rc == SQLITE_ROW) {
        take(cells);
        rc = sqlite3_step(stmt);
    }
    if (rc != SQLITE_DONE)
        error = databaseError();
    sqlite3_reset(stmt);
    return error.isEmpty() ? runAll(around.after) : error;
}

QString SqliteReader::runAll(const QStringList &statements)
{
    for (const QString &statement : statements)
        if (sqlite3_exec(m_db, statement.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            return databaseError();
    return {};
}

FetchResult SqliteReader::read(const QString &statement, const QVariantList &values)
{
    FetchResult result;
    result.error = walk(
        statement, values, [&result](const QList<FieldDesc> &fields) { result.fields = fields; },
        [&result](const SqliteCells &cells) { result.rows.append(cells.values(cells.count())); });
    if (!result.ok()) {
        result.fields.clear();
        result.rows.clear();
    }
    return result;
}

QString SqliteReader::readEach(const QString &statement, const QVariantList &values, RowSink &sink)
{
    return walk(
        statement, values, [&sink](const QList<FieldDesc> &fields) { sink.fields(fields); },
        [&sink](const SqliteCells &cells) { sink.row(cells); });
}

} // namespace appserver
