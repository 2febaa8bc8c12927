#include "data/StatementCatalog.h"

#include "framework/Exceptions.h"
#include "framework/dataset/SClientDataSet.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

QString quoted(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

// A slot's value as the statement's text shows it to a reader.
QString shown(const QVariant &value, const QString &kind)
{
    if (kind == QLatin1String("texts")) {
        QStringList items;
        for (const QVariant &item : value.toList())
            items << quoted(item.toString());
        return items.join(QLatin1Char(','));
    }
    if (kind == QLatin1String("text"))
        return quoted(value.toString());
    return value.toString();
}

} // namespace

const StatementCatalog &StatementCatalog::module()
{
    static const StatementCatalog catalog;
    return catalog;
}

StatementCatalog::StatementCatalog()
{
    QFile file(QStringLiteral(":/data/statements.json"));
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(QStringLiteral("No se pudo leer el catálogo de sentencias %1: %2").arg(file.fileName(), file.errorString()));
    QJsonParseError parsed;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parsed);
    if (parsed.error != QJsonParseError::NoError)
        throw Exception(QStringLiteral("El catálogo de sentencias %1 no se puede leer: %2 (posición %3)")
                            .arg(file.fileName(), parsed.errorString())
                            .arg(parsed.offset));
    const QJsonArray statements = document.object().value(QStringLiteral("statements")).toArray();
    for (const QJsonValue &statement : statements) {
        const QString name = statement[QStringLiteral("name")].toString();
        m_texts.insert(name, statement[QStringLiteral("text")].toString());
        const QJsonObject slotValues = statement[QStringLiteral("slots")].toObject();
        for (auto it = slotValues.begin(); it != slotValues.end(); ++it)
            m_slotKinds[name].insert(it.key(), it.value().toString());
    }
}

QString StatementCatalog::text(const QString &name, const QVariantMap &slotValues) const
{
    const auto found = m_texts.constFind(name);
    if (found == m_texts.constEnd())
        throw Exception(QStringLiteral("El catálogo de sentencias no tiene la sentencia %1.").arg(name));
    QString text = *found;
    const QHash<QString, QString> kinds = m_slotKinds.value(name);
    for (auto entry = slotValues.cbegin(); entry != slotValues.cend(); ++entry)
        text.replace(QLatin1Char('{') + entry.key() + QLatin1Char('}'), shown(entry.value(), kinds.value(entry.key())));
    static const QRegularExpression unfilled(QStringLiteral("\\{[a-z]+\\}"));
    if (const QRegularExpressionMatch left = unfilled.match(text); left.hasMatch())
        throw Exception(QStringLiteral("La sentencia %1 quedó sin valor para %2.").arg(name, left.captured()));
    return text;
}

void StatementCatalog::use(SClientDataSet &dataSet, const QString &name, const QVariantMap &slotValues) const
{
    dataSet.setStatement(name, text(name, slotValues), slotValues);
}
