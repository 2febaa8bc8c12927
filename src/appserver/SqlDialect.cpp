#include "appserver/SqlDialect.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>

namespace appserver {

namespace {

// Dates without a time of day stay QDate (as PostgreSQL gives them): building a local
// QDateTime costs a time-zone lookup per value, and the client converts when it needs one.
QVariant parseDateTime(const QVariant &value)
{
    const int id = value.metaType().id();
    if (id == QMetaType::QDateTime || id == QMetaType::QDate)
        return value;
    const QString text = value.toString().trimmed();
    if (text.size() == 10) {
        const QDate date = QDate::fromString(text, Qt::ISODate);
        return date.isValid() ? QVariant(date) : value;
    }
    const QDateTime dt = QDateTime::fromString(text, Qt::ISODateWithMs);
    return dt.isValid() ? QVariant(dt) : value;
}

} // namespace

QList<ColumnInfo> SqlDialect::tableColumns(QSqlDatabase &db, const QString &table,
                                           QString *error) const
{
    QSqlQuery query(db);
    query.prepare(m_engine->tableColumnsStatement());
    query.addBindValue(table);
    QList<ColumnInfo> columns;
    if (!query.exec()) {
        *error = query.lastError().text();
        return columns;
    }
    while (query.next()) {
        ColumnInfo column;
        column.name = query.value(0).toString();
        const QString declared = query.value(1).toString();
        column.type = typeFromDeclared(declared, &column.size);
        if (!query.value(2).isNull())
            column.size = query.value(2).toInt();
        column.dateOnly = declared.trimmed().compare(QLatin1String("date"), Qt::CaseInsensitive) == 0;
        columns << column;
    }
    return columns;
}

bool SqlDialect::toDatabase(const QVariant &value, FieldType type, bool dateOnly, QVariant *out) const
{
    *out = value;
    if (value.isNull()) {
        *out = QVariant();
        return true;
    }
    bool ok = true;
    switch (type) {
    case FieldType::Smallint:
    case FieldType::Integer: *out = value.toString().trimmed().toInt(&ok); break;
    case FieldType::Largeint: *out = value.toString().trimmed().toLongLong(&ok); break;
    case FieldType::Float: *out = value.toDouble(&ok); break;
    case FieldType::String:
    case FieldType::FixedChar: *out = value.toString(); break;
    case FieldType::Blob: *out = value.toByteArray(); break;
    case FieldType::Boolean: *out = value.toBool(); break;
    case FieldType::DateTime: {
        const QVariant parsed = parseDateTime(value);
        const int parsedType = parsed.metaType().id();
        ok = parsedType == QMetaType::QDateTime || parsedType == QMetaType::QDate;
        *out = parsed;
        break;
    }
    case FieldType::Unknown: break;
    }
    if (!ok) {
        *out = value;
        return false;
    }
    const int id = out->metaType().id();
    if (id == QMetaType::QDateTime || id == QMetaType::QDate)
        *out = m_engine->storedDateTime(*out, dateOnly);
    return true;
}

QVariant SqlDialect::fromDatabase(const QVariant &value, FieldType type)
{
    if (value.isNull())
        return QVariant();
    switch (type) {
    case FieldType::Smallint:
    case FieldType::Integer: return value.metaType().id() == QMetaType::Int ? value : QVariant(value.toInt());
    case FieldType::Largeint: return value.toLongLong();
    case FieldType::Float: return value.toDouble();
    case FieldType::String:
    case FieldType::FixedChar: return value.toString();
    case FieldType::DateTime: return parseDateTime(value);
    case FieldType::Blob: return value.toByteArray();
    default: return value;
    }
}

QString SqlDialect::matchesOldValue(const ColumnInfo &column) const
{
    if (column.type != FieldType::DateTime)
        return column.name + QStringLiteral(" = ?");
    // Compare instants, not spellings.
    return m_engine->matchesOldDateTime(column.name);
}

FieldType SqlDialect::typeFromDeclared(const QString &declared, int *size)
{
    const QString t = declared.trimmed().toLower();
    static const QRegularExpression sizePattern(QStringLiteral("\\(\\s*(\\d+)"));
    const auto match = sizePattern.match(t);
    *size = 0;
    const bool isText = t.contains(QLatin1String("char")) || t.contains(QLatin1String("text"))
        || t.contains(QLatin1String("clob"));
    if (isText) {
        if (match.hasMatch())
            *size = match.captured(1).toInt();
        const bool varying = t.contains(QLatin1String("var")) || t.contains(QLatin1String("text"))
            || t.contains(QLatin1String("clob"));
        return varying ? FieldType::String : FieldType::FixedChar;
    }
    if (t.startsWith(QLatin1String("smallint")) || t == QLatin1String("int2") || t == QLatin1String("tinyint"))
        return FieldType::Smallint;
    if (t.startsWith(QLatin1String("bigint")) || t == QLatin1String("int8"))
        return FieldType::Largeint;
    if (t.contains(QLatin1String("int")) || t == QLatin1String("serial"))
        return FieldType::Integer;
    if (t.contains(QLatin1String("doub")) || t.contains(QLatin1String("float")) || t.contains(QLatin1String("real"))
        || t.startsWith(QLatin1String("numeric")) || t.startsWith(QLatin1String("decimal")))
        return FieldType::Float;
    if (t.contains(QLatin1String("date")) || t.contains(QLatin1String("time")))
        return FieldType::DateTime;
    if (t.contains(QLatin1String("blob")) || t == QLatin1String("bytea") || t.contains(QLatin1String("binary")))
        return FieldType::Blob;
    if (t.startsWith(QLatin1String("bool")))
        return FieldType::Boolean;
    return FieldType::Unknown;
}

} // namespace appserver
