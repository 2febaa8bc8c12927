#include "framework/dataset/FieldConvert.h"

#include "framework/Exceptions.h"

#include <QLocale>
#include <cmath>
#include <limits>

using protocol::FieldType;

namespace fieldconv {

namespace {

QString subject(const QString &what)
{
    return what.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(what);
}

[[noreturn]] void fail(const QString &text, const char *kind, const QString &what)
{
    throw EConvertError(QStringLiteral("'%1' no es un valor %2 válido%3")
                            .arg(text, QString::fromUtf8(kind), subject(what)));
}

bool isTextVariant(const QVariant &v)
{
    const int id = v.typeId();
    return id == QMetaType::QString || id == QMetaType::QChar || id == QMetaType::QByteArray;
}

qint64 checkedRange(qint64 n, qint64 low, qint64 high, const QString &what)
{
    if (n < low || n > high)
        throw EConvertError(QStringLiteral("El valor %1 está fuera de rango (%2 a %3)%4")
                                .arg(n).arg(low).arg(high).arg(subject(what)));
    return n;
}

QDateTime parseDateTime(const QString &text)
{
    static const char *const formats[] = {"yyyy-MM-ddTHH:mm:ss.zzz", "yyyy-MM-ddTHH:mm:ss",
                                          "yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd HH:mm:ss",
                                          "yyyy-MM-dd HH:mm",        "yyyy-MM-dd",
                                          "dd/MM/yyyy HH:mm:ss",     "dd/MM/yyyy HH:mm",
                                          "dd/MM/yyyy"};
    for (const char *format : formats) {
        const QDateTime dt = QDateTime::fromString(text, QLatin1String(format));
        if (dt.isValid())
            return dt;
    }
    return {};
}

} // namespace

bool isNumeric(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Double: case QMetaType::Float: case QMetaType::Short: case QMetaType::UShort:
    case QMetaType::Long: case QMetaType::ULong: case QMetaType::SChar: case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool isText(FieldType type)
{
    return type == FieldType::String || type == FieldType::FixedChar;
}

QString toText(const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        // Fifteen significant digits: a whole number prints without decimals. Codes are whole
        // numbers of fewer digits, which print the same as an integer does, for much less.
        const double number = value.toDouble();
        if (number != 0 && std::fabs(number) < 1e15 && std::trunc(number) == number)
            return QString::number(qint64(number));
        return QString::number(number, 'g', 15);
    }
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("dd/MM/yyyy"))
                                        : dt.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QByteArray:
        return QString::fromUtf8(value.toByteArray());
    default:
        return value.toString();
    }
}

qint64 toInteger(const QVariant &value, const QString &what)
{
    if (value.isNull())
        return 0;
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        const double d = value.toDouble();
        if (!std::isfinite(d) || std::fabs(d) > 9.2e18)
            fail(toText(value), "entero", what);
        return static_cast<qint64>(std::nearbyint(d)); // ties to even, as the classic Round
    }
    if (isNumeric(value) || value.typeId() == QMetaType::Bool)
        return value.toLongLong();
    if (isTextVariant(value)) {
        const QString text = toText(value).trimmed();
        bool ok = false;
        const qint64 n = text.toLongLong(&ok);
        if (!ok)
            fail(toText(value), "entero", what);
        return n;
    }
    fail(toText(value), "entero", what);
}

double toFloat(const QVariant &value, const QString &what)
{
    if (value.isNull())
        return 0.0;
    if (isNumeric(value) || value.typeId() == QMetaType::Bool)
        return value.toDouble();
    if (isTextVariant(value)) {
        bool ok = false;
        const double d = QLocale::c().toDouble(toText(value).trimmed(), &ok);
        if (!ok)
            fail(toText(value), "numérico", what);
        return d;
    }
    if (value.typeId() == QMetaType::QDateTime) // days since 1899-12-30, as the suite counts them
        return QDateTime(QDate(1899, 12, 30), QTime(0, 0)).msecsTo(value.toDateTime()) / 86400000.0;
    fail(toText(value), "numérico", what);
}

QDateTime toDateTime(const QVariant &value, const QString &what)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime();
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().startOfDay();
    if (isTextVariant(value)) {
        const QDateTime dt = parseDateTime(toText(value).trimmed());
        if (!dt.isValid())
            fail(toText(value), "de fecha", what);
        return dt;
    }
    if (isNumeric(value)) {
        const qint64 ms = qint64(std::llround(value.toDouble() * 86400000.0));
        return QDateTime(QDate(1899, 12, 30), QTime(0, 0)).addMSecs(ms);
    }
    fail(toText(value), "de fecha", what);
}

bool toBoolean(const QVariant &value, const QString &what)
{
    if (value.isNull())
        return false;
    if (value.typeId() == QMetaType::Bool || isNumeric(value))
        return value.toBool();
    const QString text = toText(value).trimmed();
    for (const char *yes : {"true", "t", "s", "si", "y", "yes", "1"})
        if (text.compare(QLatin1String(yes), Qt::CaseInsensitive) == 0)
            return true;
    for (const char *no : {"false", "f", "n", "no", "0"})
        if (text.compare(QLatin1String(no), Qt::CaseInsensitive) == 0)
            return false;
    fail(text, "lógico", what);
}

QVariant toStorage(const QVariant &value, FieldType type, int size, const QString &what)
{
    // Values that already have their field's form (what the server sends) pass as they are:
    // every fetched value goes through here.
    switch (value.typeId()) {
    case QMetaType::Int:
        if (type == FieldType::Integer)
            return value;
        if (type == FieldType::Smallint) {
            const int number = *static_cast<const int *>(value.constData());
            if (number >= -32768 && number <= 32767)
                return value;
        }
        break;
    case QMetaType::Double:
        if (type == FieldType::Float)
            return value;
        break;
    case QMetaType::QString:
        if ((type == FieldType::String || type == FieldType::FixedChar)
            && !static_cast<const QString *>(value.constData())->isEmpty()
            && (size <= 0 || static_cast<const QString *>(value.constData())->size() <= size))
            return value;
        break;
    default:
        break;
    }
    // An empty text clears the field, whatever its type, as the suite's client datasets do.
    if (value.isNull() || (isTextVariant(value) && toText(value).isEmpty()))
        return {};
    switch (type) {
    case FieldType::Smallint:
        return int(checkedRange(toInteger(value, what), -32768, 32767, what));
    case FieldType::Integer:
        return int(checkedRange(toInteger(value, what), std::numeric_limits<int>::min(),
                                std::numeric_limits<int>::max(), what));
    case FieldType::Largeint:
        return qlonglong(toInteger(value, what));
    case FieldType::Float:
        return toFloat(value, what);
    case FieldType::String:
    case FieldType::FixedChar: {
        const QString text = toText(value);
        return size > 0 ? text.left(size) : text;
    }
    case FieldType::DateTime:
        return toDateTime(value, what);
    case FieldType::Blob:
        return value.typeId() == QMetaType::QByteArray ? value : QVariant(toText(value).toUtf8());
    case FieldType::Boolean:
        return toBoolean(value, what);
    case FieldType::Unknown:
        break;
    }
    return value;
}

QVariant storedCell(const protocol::RowCells &cells, int column, const protocol::FieldDesc &field)
{
    // The cases toStorage passes as they are, read straight from typed cells.
    if (cells.typed()) {
        if (cells.isNull(column))
            return {};
        switch (field.type) {
        case FieldType::Integer: return cells.toInt(column);
        case FieldType::Float: return cells.toDouble(column);
        case FieldType::String:
        case FieldType::FixedChar: {
            QString text = cells.toText(column);
            if (!text.isEmpty() && (field.size <= 0 || text.size() <= field.size))
                return text;
            return toStorage(text, field.type, field.size, field.name);
        }
        default: break;
        }
    }
    return toStorage(cells.value(column), field.type, field.size, field.name);
}

int compare(const QVariant &a, const QVariant &b, bool caseInsensitive)
{
    if (a.isNull() || b.isNull())
        return int(!a.isNull()) - int(!b.isNull());
    const bool an = isNumeric(a), bn = isNumeric(b);
    if (an || bn) {
        bool okA = an, okB = bn;
        const double x = an ? a.toDouble() : QLocale::c().toDouble(toText(a).trimmed(), &okA);
        const double y = bn ? b.toDouble() : QLocale::c().toDouble(toText(b).trimmed(), &okB);
        if (okA && okB)
            return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (a.typeId() == QMetaType::QDateTime && b.typeId() == QMetaType::QDateTime) {
        const QDateTime x = a.toDateTime(), y = b.toDateTime();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const int c = QString::compare(toText(a), toText(b),
                                   caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

FieldType typeOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::SChar: case QMetaType::UChar:
        return FieldType::Smallint;
    case QMetaType::Int: case QMetaType::UInt:
        return FieldType::Integer;
    case QMetaType::LongLong: case QMetaType::ULongLong: case QMetaType::Long: case QMetaType::ULong:
        return FieldType::Largeint;
    case QMetaType::Double: case QMetaType::Float:
        return FieldType::Float;
    case QMetaType::QString: case QMetaType::QChar:
        return FieldType::String;
    case QMetaType::QDateTime: case QMetaType::QDate:
        return FieldType::DateTime;
    case QMetaType::QByteArray:
        return FieldType::Blob;
    case QMetaType::Bool:
        return FieldType::Boolean;
    default:
        return FieldType::Unknown;
    }
}

} // namespace fieldconv
