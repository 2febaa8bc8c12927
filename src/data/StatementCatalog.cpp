#include "data/StatementCatalog.h"

#include "framework/Exceptions.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

const StatementCatalog &StatementCatalog::module()
{
    static const StatementCatalog catalog;
    return catalog;
}

StatementCatalog::StatementCatalog()
{
    QFile file(QStringLiteral(":/data/statements.json"));
    file.open(QIODevice::ReadOnly);
    const QJsonArray statements = QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("statements")).toArray();
    for (const QJsonValue &statement : statements)
        m_texts.insert(statement[QStringLiteral("name")].toString(), statement[QStringLiteral("text")].toString());
}

QString StatementCatalog::text(const QString &name, const QHash<QString, QString> &values) const
{
    const auto found = m_texts.constFind(name);
    if (found == m_texts.constEnd())
        throw Exception(QStringLiteral("El catálogo de sentencias no tiene la sentencia %1.").arg(name));
    QString text = *found;
    for (auto entry = values.cbegin(); entry != values.cend(); ++entry)
        text.replace(QLatin1Char('{') + entry.key() + QLatin1Char('}'), entry.value());
    static const QRegularExpression unfilled(QStringLiteral("\\{[a-z]+\\}"));
    if (const QRegularExpressionMatch left = unfilled.match(text); left.hasMatch())
        throw Exception(QStringLiteral("La sentencia %1 quedó sin valor para %2.").arg(name, left.captured()));
    return text;
}
