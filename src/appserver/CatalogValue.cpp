#include "appserver/CatalogValue.h"

#include <QDate>
#include <QDateTime>
#include <QStringList>
#include <array>
#include <cmath>
#include <utility>

namespace appserver {

namespace {

const std::array<std::pair<ValueKind, const char *>, 6> kKindNames{{
    {ValueKind::Company, "company"}, {ValueKind::Integer, "integer"}, {ValueKind::Number, "number"},
    {ValueKind::Text, "text"},       {ValueKind::Texts, "texts"},     {ValueKind::Date, "date"},
}};

// Plain values only: what a JSON request or a dataset parameter can hold besides lists.
bool isScalar(int type)
{
    switch (type) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Double: case QMetaType::Float:
    case QMetaType::QString:
        return true;
    default:
        return false;
    }
}

bool toWhole(const QVariant &value, qlonglong *out)
{
    const int type = value.metaType().id();
    if (type == QMetaType::Double || type == QMetaType::Float) {
        const double number = value.toDouble();
        if (!std::isfinite(number) || number != std::floor(number) || std::abs(number) > 9.0e15)
            return false;
        *out = qlonglong(number);
        return true;
    }
    if (!isScalar(type))
        return false;
    bool ok = false;
    *out = value.toString().trimmed().toLongLong(&ok);
    return ok;
}

bool toNumber(const QVariant &value, double *out)
{
    if (!isScalar(value.metaType().id()))
        return false;
    bool ok = false;
    *out = value.metaType().id() == QMetaType::QString ? value.toString().trimmed().toDouble(&ok)
                                                       : value.toDouble(&ok);
    return ok && std::isfinite(*out);
}

bool toDate(const QVariant &value, QDate *out)
{
    switch (value.metaType().id()) {
    case QMetaType::QDate: *out = value.toDate(); break;
    case QMetaType::QDateTime: *out = value.toDateTime().date(); break;
    case QMetaType::QString: *out = QDate::fromString(value.toString().trimmed().left(10), Qt::ISODate); break;
    default: return false;
    }
    return out->isValid();
}

} // namespace

bool valueKindFromName(const QString &name, ValueKind *kind)
{
    for (const auto &[k, n] : kKindNames)
        if (name == QLatin1String(n)) {
            *kind = k;
            return true;
        }
    return false;
}

QString valueKindName(ValueKind kind)
{
    for (const auto &[k, n] : kKindNames)
        if (k == kind)
            return QString::fromLatin1(n);
    return {};
}

bool toCatalogValue(const QVariant &value, ValueKind kind, QVariant *out, QString *why)
{
    *out = QVariant();
    if (value.isNull())
        return true;
    const QString shown = value.metaType().id() == QMetaType::QVariantList ? QStringLiteral("(lista)") : value.toString();
    switch (kind) {
    case ValueKind::Company:
    case ValueKind::Integer: {
        qlonglong whole = 0;
        const bool ok = toWhole(value, &whole)
                        && (kind == ValueKind::Integer ? std::abs(whole) <= 2147483647LL : whole >= -32768 && whole <= 32767);
        if (!ok) {
            *why = kind == ValueKind::Company ? QStringLiteral("\"%1\" no es un código de empresa").arg(shown)
                                              : QStringLiteral("\"%1\" no es un número entero").arg(shown);
            return false;
        }
        *out = whole;
        return true;
    }
    case ValueKind::Number: {
        double number = 0;
        if (!toNumber(value, &number)) {
            *why = QStringLiteral("\"%1\" no es un número").arg(shown);
            return false;
        }
        *out = number;
        return true;
    }
    case ValueKind::Text:
        if (!isScalar(value.metaType().id())) {
            *why = QStringLiteral("\"%1\" no es un texto").arg(shown);
            return false;
        }
        *out = value.toString();
        return true;
    case ValueKind::Texts: {
        const QVariantList items = value.metaType().id() == QMetaType::QString ? QVariantList{value} : value.toList();
        QStringList texts;
        for (const QVariant &item : items) {
            if (item.isNull() || !isScalar(item.metaType().id())) {
                *why = QStringLiteral("la lista trae un valor que no es un texto");
                return false;
            }
            texts << item.toString();
        }
        if (texts.isEmpty()) {
            *why = QStringLiteral("la lista de textos está vacía");
            return false;
        }
        *out = texts;
        return true;
    }
    case ValueKind::Date: {
        QDate date;
        if (!toDate(value, &date)) {
            *why = QStringLiteral("\"%1\" no es una fecha").arg(shown);
            return false;
        }
        *out = date;
        return true;
    }
    }
    return false;
}

} // namespace appserver
