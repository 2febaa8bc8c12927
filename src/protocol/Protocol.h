#pragma once
// The messages that travel between a client connection and the application server:
// fetch (statement + typed parameters in, field descriptions + rows out), apply (row deltas
// against a provider's main table) and named server methods. Plain values only, so the same
// structs serve the in-process transport and the JSON one.

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

namespace protocol {

// Field and parameter types, as the client datasets know them.
enum class FieldType {
    Unknown,
    Smallint,   // 16-bit signed
    Integer,    // 32-bit signed
    Largeint,   // 64-bit signed
    Float,      // double
    String,     // variable length text
    FixedChar,  // fixed length text (stored without padding)
    DateTime,
    Blob,
    Boolean
};

QString fieldTypeName(FieldType type);
FieldType fieldTypeFromName(const QString &name);

struct FieldDesc {
    QString name;
    FieldType type = FieldType::Unknown;
    int size = 0;          // characters for text, 0 otherwise
    bool required = false;
};

// A named parameter. A null QVariant binds SQL NULL.
struct ParamValue {
    QString name;
    FieldType type = FieldType::Unknown;
    QVariant value;
};

// Who is asking: every call carries the session of the workstation.
struct Credentials {
    QString user;
    QString password;
    int company = 0;
};

// A condition that query by example or the look-up dialog puts on a statement: one of the
// columns the catalogue lets a user search, compared with a value. The server types the value
// by the column, binds it and joins every condition of a request with AND.
enum class ConditionOperator {
    Equal,
    NotEqual,
    Less,
    LessOrEqual,
    Greater,
    GreaterOrEqual,
    StartsWith,
    Contains,
    IsNull,
    IsNotNull,
    NoRow   // matches no row: learns a statement's columns without reading its rows
};

QString conditionOperatorName(ConditionOperator op);
bool conditionOperatorFromName(const QString &name, ConditionOperator *op);

struct Condition {
    QString column;            // as the dataset's field names it; empty for NoRow
    ConditionOperator op = ConditionOperator::Equal;
    QVariant value;            // a date for a date column compares whole days
    bool ignoreCase = false;   // texts compare upper-cased on both sides
};

// What a workstation asks to read: a statement of the module's catalogue by name (no SQL
// travels), the values of its parameters and {slots} by name, and conditions on its searchable
// columns. The catalogue, not the request, says what type each value is.
struct FetchRequest {
    Credentials session;
    QString provider;
    QString statement;         // empty: the provider's own statement
    QList<ParamValue> params;  // a list value for a slot that takes several texts
    QList<Condition> conditions;
};

// The most reads one several-reads call carries; a client sends more in several calls.
constexpr int kMostReadsPerCall = 64;

// Where a field of that name stands (names compare without regard to case: PostgreSQL gives
// unquoted names in lower case); -1 when there is none.
int indexOfField(const QList<FieldDesc> &fields, const QString &name);

struct FetchResult {
    QString error;             // empty on success
    QList<FieldDesc> fields;
    QList<QVariantList> rows;  // values in the order of fields
    bool ok() const { return error.isEmpty(); }
};

// The current row of a read, column by column. value() is what a FetchResult would hold. When
// typed() is true every value follows its field's type (a double for Float, an int for Smallint
// and Integer, a text for String and FixedChar, or null), and the typed reads give it without
// building a variant; otherwise they convert value().
class RowCells {
public:
    virtual ~RowCells() = default;
    virtual bool typed() const = 0;
    virtual QVariant value(int column) const = 0;
    virtual bool isNull(int column) const = 0;
    virtual double toDouble(int column) const = 0;
    virtual int toInt(int column) const = 0;
    virtual QString toText(int column) const = 0;
    // The first `count` values as a row of a FetchResult.
    QVariantList values(int count) const
    {
        QVariantList row;
        row.reserve(count);
        for (int i = 0; i < count; ++i)
            row.append(value(i));
        return row;
    }
};

// The cells of a row that is already a list of values.
class VariantCells : public RowCells {
public:
    explicit VariantCells(const QVariantList &row) : m_row(row) {}
    bool typed() const override { return false; }
    QVariant value(int column) const override { return m_row.at(column); }
    bool isNull(int column) const override { return m_row.at(column).isNull(); }
    double toDouble(int column) const override { return m_row.at(column).toDouble(); }
    int toInt(int column) const override { return m_row.at(column).toInt(); }
    QString toText(int column) const override { return m_row.at(column).toString(); }

private:
    const QVariantList &m_row;
};

// Takes a fetch's answer one row at a time instead of as a FetchResult, for a reader that walks
// the rows once and keeps its own form of them: the largest reads skip building the rows of an
// answer. A row is valid only during the call.
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual void fields(const QList<FieldDesc> &fields) = 0;   // before the first row
    virtual void row(const RowCells &cells) = 0;
};

// Hands a whole answer to a sink, for the roads that build one anyway (none when it is a
// refusal); returns the answer's error.
QString feedRows(const FetchResult &result, RowSink &sink);

// One change of one row. Column names as the table spells them; old values identify the row
// (every column the client read takes part, so a row changed meanwhile does not match).
struct RowDelta {
    enum class Kind { Insert, Update, Delete };
    Kind kind = Kind::Insert;
    QVariantMap oldValues;     // Update, Delete
    QVariantMap newValues;     // Insert: the whole row; Update: the changed columns
};

// New rows that all name the same columns, as one block: the form of a save of many new rows (a
// snapshot's thousands), which spares each row its own names and the server a statement per row.
// The server types every value by its column, as it does a delta's.
struct InsertRows {
    QStringList columns;       // as the table spells them
    QList<QVariantList> rows;  // values in the order of columns
    bool isEmpty() const { return rows.isEmpty(); }
};

struct ApplyRequest {
    Credentials session;
    QString provider;
    QList<RowDelta> deltas;    // applied in order, in one transaction
    InsertRows inserts{};      // added after the deltas, in the same transaction
};

struct ApplyResult {
    QString error;
    int rowsAffected = 0;
    bool ok() const { return error.isEmpty(); }
};

struct MethodCall {
    Credentials session;
    QString method;
    QVariantList args;
};

struct MethodResult {
    QString error;
    QVariant value;
    bool ok() const { return error.isEmpty(); }
};

} // namespace protocol
