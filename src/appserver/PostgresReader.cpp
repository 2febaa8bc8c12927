#include "appserver/PostgresReader.h"

#include "appserver/PostgresEngine.h"
#include "appserver/RecentTexts.h"
#include "appserver/SqlDialect.h"

#include <QAtomicInt>
#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>
#include <QtEndian>

#include <libpq-fe.h>

#include <charconv>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace appserver {

namespace {

// Prepared statements kept at most; a workstation repeats a few dozen shapes.
constexpr int kPreparedStatements = 128;

// A statement's values as libpq takes them: text, except bytes, which go as they are.
class BoundTexts {
public:
    explicit BoundTexts(const QVariantList &values)
    {
        m_bytes.reserve(size_t(values.size()));
        for (const QVariant &value : values)
            add(value);
        for (size_t i = 0; i < m_bytes.size(); ++i) {
            m_values.push_back(m_null[i] ? nullptr : m_bytes[i].constData());
            m_lengths.push_back(int(m_bytes[i].size()));
        }
    }
    int count() const { return int(m_values.size()); }
    const char *const *values() const { return m_values.data(); }
    const int *lengths() const { return m_lengths.data(); }
    const int *formats() const { return m_formats.data(); }

private:
    void add(const QVariant &value)
    {
        m_null.push_back(value.isNull());
        m_formats.push_back(0);
        switch (value.isNull() ? QMetaType::UnknownType : value.typeId()) {
        case QMetaType::UnknownType: m_bytes.emplace_back(); break;
        case QMetaType::Bool: m_bytes.push_back(value.toBool() ? "true" : "false"); break;
        case QMetaType::Double:
            m_bytes.push_back(QByteArray::number(value.toDouble(), 'g', QLocale::FloatingPointShortest));
            break;
        case QMetaType::QDate: m_bytes.push_back(value.toDate().toString(Qt::ISODate).toLatin1()); break;
        case QMetaType::QDateTime:
            m_bytes.push_back(value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1());
            break;
        case QMetaType::QByteArray:
            m_bytes.push_back(value.toByteArray());
            m_formats.back() = 1;
            break;
        default: m_bytes.push_back(value.toString().toUtf8()); break;
        }
    }

    std::vector<QByteArray> m_bytes;
    std::vector<bool> m_null;
    std::vector<const char *> m_values;
    std::vector<int> m_lengths;
    std::vector<int> m_formats;
};

// The result's columns as the QtSql path describes them: text columns with their declared
// length, where the type has one.
QList<FieldDesc> resultFields(const PGresult *result)
{
    QList<FieldDesc> fields;
    const int count = PQnfields(result);
    fields.reserve(count);
    for (int i = 0; i < count; ++i) {
        FieldDesc field;
        field.name = QString::fromUtf8(PQfname(result, i));
        field.type = PostgresEngine::fieldTypeOfOid(int(PQftype(result, i)));
        if (field.type == FieldType::String || field.type == FieldType::FixedChar) {
            // varchar(n) and char(n) keep n in the modifier, after a four-byte header.
            const int size = PQfsize(result, i);
            const int modifier = PQfmod(result, i);
            field.size = qMax(0, size == -1 && modifier >= 4 ? modifier - 4 : size);
        }
        fields.append(field);
    }
    return fields;
}

qlonglong wholeNumber(const char *text)
{
    const char *end = text + qstrlen(text);
    qlonglong value = 0;
    std::from_chars(text, end, value);
    return value;
}

// The server writes a float as the shortest text that reads back as the same number.
double realNumber(const char *text)
{
    const char *end = text + qstrlen(text);
    double value = 0;
    if (std::from_chars(text, end, value).ec == std::errc())
        return value;
    if (qstricmp(text, "NaN") == 0)
        return std::numeric_limits<double>::quiet_NaN();
    if (qstricmp(text, "Infinity") == 0)
        return std::numeric_limits<double>::infinity();
    if (qstricmp(text, "-Infinity") == 0)
        return -std::numeric_limits<double>::infinity();
    return value;
}

// "yyyy-MM-dd", the form the session writes dates in (ISO), read without a parser.
QDate calendarDate(const char *text, int size)
{
    if (size != 10 || text[4] != '-' || text[7] != '-')
        return QDate::fromString(QString::fromLatin1(text, size), Qt::ISODate);
    const auto digits = [text](int from, int count) {
        int value = 0;
        for (int i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    return QDate(digits(0, 4), digits(5, 2), digits(8, 2));
}

// A date or time column's cell: a date stays a QDate, a time of day a QTime, the rest goes the
// way SqlDialect reads a stored date-time.
QVariant dateTimeCell(Oid oid, const char *text, int size)
{
    switch (oid) {
    case 1082: return calendarDate(text, size);
    case 1083: return QTime::fromString(QString::fromLatin1(text, size), Qt::ISODate);
    default: return SqlDialect::fromDatabase(QString::fromLatin1(text, size), FieldType::DateTime);
    }
}

QByteArray byteCell(const char *text)
{
    size_t size = 0;
    unsigned char *bytes = PQunescapeBytea(reinterpret_cast<const unsigned char *>(text), &size);
    const QByteArray value(reinterpret_cast<const char *>(bytes), qsizetype(size));
    PQfreemem(bytes);
    return value;
}

// Types whose binary form is read below; others (numeric, date-times with a time of day) come
// as text.
bool readsBinary(Oid oid)
{
    switch (oid) {
    case 16: case 17: case 18: case 19: case 20: case 21: case 23: case 25: case 26:
    case 700: case 701: case 1042: case 1043: case 1082:
        return true;
    default:
        return false;
    }
}

// A whole number in the binary form of its type (big-endian, of the type's size).
qlonglong binaryWhole(Oid oid, const char *bytes)
{
    switch (oid) {
    case 21: return qFromBigEndian<qint16>(bytes);
    case 20: return qFromBigEndian<qint64>(bytes);
    case 26: return qlonglong(qFromBigEndian<quint32>(bytes));
    default: return qFromBigEndian<qint32>(bytes);
    }
}

double binaryReal(Oid oid, const char *bytes)
{
    if (oid == 700) {
        const quint32 bits = qFromBigEndian<quint32>(bytes);
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return double(value);
    }
    const quint64 bits = qFromBigEndian<quint64>(bytes);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Days from 2000-01-01; the two ends of the range stand for -infinity and infinity, which no
// QDate holds (as their text reads as no date).
QDate binaryDate(const char *bytes)
{
    const qint32 days = qFromBigEndian<qint32>(bytes);
    if (days == std::numeric_limits<qint32>::min() || days == std::numeric_limits<qint32>::max())
        return QDate();
    return QDate::fromJulianDay(QDate(2000, 1, 1).toJulianDay() + days);
}

// One row of a result, read cell by cell in the form its field's type promises.
class PostgresCells : public RowCells {
public:
    PostgresCells(const PGresult *result, const QList<FieldDesc> &fields)
        : m_result(result), m_fields(fields), m_texts(int(fields.size())), m_binary(PQbinaryTuples(result) != 0)
    {
        for (int i = 0; i < fields.size(); ++i)
            m_oids.push_back(PQftype(result, i));
    }
    void setRow(int row) { m_row = row; }

    bool typed() const override { return true; }
    bool isNull(int column) const override { return PQgetisnull(m_result, m_row, column); }
    QVariant value(int column) const override
    {
        if (isNull(column))
            return QVariant();
        const char *text = PQgetvalue(m_result, m_row, column);
        switch (m_fields.at(column).type) {
        case FieldType::Smallint:
        case FieldType::Integer: return int(whole(column));
        case FieldType::Largeint: return whole(column);
        case FieldType::Float: return real(column);
        case FieldType::Boolean: return m_binary ? text[0] != 0 : text[0] == 't';
        case FieldType::DateTime:
            return m_binary ? QVariant(binaryDate(text)) : dateTimeCell(m_oids[size_t(column)], text, length(column));
        case FieldType::Blob: return m_binary ? QByteArray(text, length(column)) : byteCell(text);
        default: return toText(column);
        }
    }
    double toDouble(int column) const override
    {
        if (m_fields.at(column).type != FieldType::Float)
            return value(column).toDouble();
        return isNull(column) ? 0.0 : real(column);
    }
    int toInt(int column) const override
    {
        const FieldType type = m_fields.at(column).type;
        if (type != FieldType::Smallint && type != FieldType::Integer)
            return value(column).toInt();
        return isNull(column) ? 0 : int(whole(column));
    }
    QString toText(int column) const override
    {
        const FieldType type = m_fields.at(column).type;
        if (type != FieldType::String && type != FieldType::FixedChar && type != FieldType::Unknown)
            return value(column).toString();
        if (isNull(column))
            return QString();
        return m_texts.text(column, PQgetvalue(m_result, m_row, column), length(column));
    }

private:
    int length(int column) const { return PQgetlength(m_result, m_row, column); }
    qlonglong whole(int column) const
    {
        const char *cell = PQgetvalue(m_result, m_row, column);
        return m_binary ? binaryWhole(m_oids[size_t(column)], cell) : wholeNumber(cell);
    }
    double real(int column) const
    {
        const char *cell = PQgetvalue(m_result, m_row, column);
        return m_binary ? binaryReal(m_oids[size_t(column)], cell) : realNumber(cell);
    }

    const PGresult *m_result;
    const QList<FieldDesc> &m_fields;
    std::vector<Oid> m_oids;
    mutable RecentTexts m_texts;
    bool m_binary;   // every cell in its type's binary form
    int m_row = 0;
};

// Hands every row of a result to `take`, after `describe` has the fields.
template <class Describe, class Take>
void walkResult(const PGresult *result, Describe describe, Take take)
{
    const QList<FieldDesc> fields = resultFields(result);
    describe(fields);
    PostgresCells cells(result, fields);
    const int rows = PQntuples(result);
    for (int row = 0; row < rows; ++row) {
        cells.setRow(row);
        take(cells, int(fields.size()));
    }
}

} // namespace

PostgresReader::PostgresReader(PGconn *connection) : m_connection(connection) {}

QString PostgresReader::resultError(const PGresult *result) const
{
    // The server's own message, with its SQLSTATE as the QtSql path writes it.
    const QString message = QString::fromUtf8(result ? PQresultErrorMessage(result) : PQerrorMessage(m_connection))
                                .trimmed();
    const char *state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    return state ? QStringLiteral("%1 (%2)").arg(message, QString::fromLatin1(state)) : message;
}

void PostgresReader::learnForm(const QString &statement, const PGresult *result)
{
    if (PQbinaryTuples(result))
        return;
    const auto kept = m_statements.find(statement);
    if (kept == m_statements.end())
        return;
    bool binary = true;
    for (int i = 0; i < PQnfields(result) && binary; ++i)
        binary = readsBinary(PQftype(result, i));
    kept->binary = binary;
}

QByteArray PostgresReader::newName()
{
    if (m_statements.size() >= kPreparedStatements) {
        // Only this reader's own statements go (QtSql keeps its own on the connection). Names
        // are never used twice, so a statement the server could not drop costs its memory and
        // nothing else; whatever made it fail shows again on the next statement.
        QByteArray drop;
        for (const Prepared &prepared : std::as_const(m_statements))
            drop += "DEALLOCATE " + prepared.name + ';';
        PQclear(PQexec(m_connection, drop.constData()));
        m_statements.clear();
    }
    // Numbered for the process, so that two readers on one connection never share a name.
    static QAtomicInt prepared;
    return "qacsemaf_lectura_" + QByteArray::number(prepared.fetchAndAddRelaxed(1) + 1);
}

PostgresReader::Result PostgresReader::execute(const QString &statement, const QVariantList &values, QString *error)
{
    const AroundRead around = std::exchange(m_around, {});
    const auto kept = m_statements.constFind(statement);
    if (!around.isEmpty() || kept == m_statements.constEnd())
        return pipelined(around, statement, values, error);
    const BoundTexts bound(values);
    Result result(PQexecPrepared(m_connection, kept->name.constData(), bound.count(), bound.values(),
                                 bound.lengths(), bound.formats(), kept->binary ? 1 : 0),
                  &PQclear);
    if (result && PQresultStatus(result.get()) == PGRES_TUPLES_OK) {
        learnForm(statement, result.get());
        return result;
    }
    *error = resultError(result.get());
    result.reset();
    return result;
}

namespace {

bool sendStatements(PGconn *connection, const QStringList &statements)
{
    for (const QString &text : statements)
        if (!PQsendQueryParams(connection, text.toUtf8().constData(), 0, nullptr, nullptr, nullptr, nullptr, 0))
            return false;
    return true;
}

} // namespace

PostgresReader::Result PostgresReader::pipelined(const AroundRead &around, const QString &statement,
                                                 const QVariantList &values, QString *error)
{
    const auto kept = m_statements.constFind(statement);
    const bool known = kept != m_statements.constEnd();
    const QByteArray name = known ? kept->name : newName();
    const int form = known && kept->binary ? 1 : 0;
    if (!PQenterPipelineMode(m_connection)) {
        *error = resultError(nullptr);
        return Result(nullptr, &PQclear);
    }
    const BoundTexts bound(values);
    const bool sent =
        sendStatements(m_connection, around.before)
        && (known || PQsendPrepare(m_connection, name.constData(), statement.toUtf8().constData(), 0, nullptr))
        && PQsendQueryPrepared(m_connection, name.constData(), bound.count(), bound.values(), bound.lengths(),
                               bound.formats(), form)
        && sendStatements(m_connection, around.after) && PQpipelineSync(m_connection);
    if (!sent) {
        // The connection failed under the sending; it is opened again before the next request.
        *error = resultError(nullptr);
        PQexitPipelineMode(m_connection);
        return Result(nullptr, &PQclear);
    }
    // Each command's results end with a null; after the first failure the rest come back
    // aborted.
    const int preparation = known ? -1 : int(around.before.size());
    const int read = int(around.before.size()) + (known ? 0 : 1);
    const int commands = read + 1 + int(around.after.size());
    Result rows(nullptr, &PQclear);
    bool prepared = false;
    for (int command = 0; command < commands; ++command) {
        Result result(PQgetResult(m_connection), &PQclear);
        if (!result) {
            *error = resultError(nullptr);
            return Result(nullptr, &PQclear);
        }
        const ExecStatusType status = PQresultStatus(result.get());
        if (status == PGRES_FATAL_ERROR && error->isEmpty())
            *error = resultError(result.get());
        else if (command == read && status == PGRES_TUPLES_OK)
            rows = std::move(result);
        else if (command == preparation && status == PGRES_COMMAND_OK)
            prepared = true;
        while (PGresult *more = PQgetResult(m_connection))
            PQclear(more);
    }
    const Result sync(PQgetResult(m_connection), &PQclear);
    if ((!sync || PQresultStatus(sync.get()) != PGRES_PIPELINE_SYNC || !PQexitPipelineMode(m_connection))
        && error->isEmpty())
        *error = resultError(nullptr);
    if (prepared)
        m_statements.insert(statement, Prepared{name, false});
    if (rows)
        learnForm(statement, rows.get());
    if (!error->isEmpty() || !rows) {
        if (error->isEmpty())
            *error = resultError(nullptr);
        rows.reset();
    }
    return rows;
}

FetchResult PostgresReader::read(const QString &statement, const QVariantList &values)
{
    FetchResult answer;
    const Result result = execute(statement, values, &answer.error);
    if (!result)
        return answer;
    answer.rows.reserve(PQntuples(result.get()));
    walkResult(
        result.get(), [&answer](const QList<FieldDesc> &fields) { answer.fields = fields; },
        [&answer](const PostgresCells &cells, int count) { answer.rows.append(cells.values(count)); });
    return answer;
}

QString PostgresReader::readEach(const QString &statement, const QVariantList &values, RowSink &sink)
{
    QString error;
    const Result result = execute(statement, values, &error);
    if (!result)
        return error;
    walkResult(
        result.get(), [&sink](const QList<FieldDesc> &fields) { sink.fields(fields); },
        [&sink](const PostgresCells &cells, int) { sink.row(cells); });
    return {};
}

} // namespace appserver
