#include "framework/connection/AnswerMemo.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace {

// A value as two reads that ask the same write it: numbers by value, whatever their type.
QJsonValue normalized(const QVariant &value)
{
    if (value.isNull())
        return QJsonValue::Null;
    switch (value.metaType().id()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Double: case QMetaType::Float:
        return value.toDouble();
    case QMetaType::QVariantList: case QMetaType::QStringList: {
        QJsonArray items;
        for (const QVariant &item : value.toList())
            items.append(normalized(item));
        return items;
    }
    case QMetaType::QDate: return value.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime: return value.toDateTime().toString(Qt::ISODateWithMs);
    default: return QJsonValue(QStringLiteral("%1:%2").arg(value.typeName(), value.toString()));
    }
}

} // namespace

QString AnswerMemo::keyOf(const protocol::FetchRequest &request)
{
    QList<QPair<QString, QJsonValue>> params;
    for (const protocol::ParamValue &param : request.params)
        params.append({param.name.toUpper(), normalized(param.value)});
    std::stable_sort(params.begin(), params.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QJsonArray values;
    for (const auto &[name, value] : params)
        values.append(QJsonArray{name, value});
    QJsonArray conditions;
    for (const protocol::Condition &condition : request.conditions)
        conditions.append(QJsonArray{condition.column.toUpper(), protocol::conditionOperatorName(condition.op),
                                     normalized(condition.value), condition.ignoreCase});
    const QJsonArray key{request.provider.toUpper(), request.statement, values, conditions};
    return QString::fromUtf8(QJsonDocument(key).toJson(QJsonDocument::Compact));
}

void AnswerMemo::readAhead(const QList<protocol::FetchRequest> &requests, const QList<protocol::FetchResult> &answers,
                           quint64 action)
{
    // One action's reads ahead add up; outside any action a read-ahead replaces the one before.
    if (action == 0 || action != m_aheadAction)
        m_ahead.clear();
    m_aheadAction = action;
    for (qsizetype i = 0; i < requests.size() && i < answers.size(); ++i)
        m_ahead[keyOf(requests.at(i))].append(answers.at(i));
}

bool AnswerMemo::has(const protocol::FetchRequest &request, quint64 action)
{
    startAction(action);
    const QString key = keyOf(request);
    return m_ahead.contains(key) || m_action.contains(key);
}

void AnswerMemo::startAction(quint64 action)
{
    if (action != m_actionNumber) {
        m_action.clear();
        m_actionNumber = action;
    }
    // What was read ahead for one action (or outside any) and not taken answers no other.
    if (action != m_aheadAction) {
        m_ahead.clear();
        m_aheadAction = action;
    }
}

void AnswerMemo::keep(const protocol::FetchRequest &request, const protocol::FetchResult &answer, quint64 action)
{
    startAction(action);
    if (action != 0 && answer.ok() && answer.rows.size() <= kMostRowsKept)
        m_action.insert(keyOf(request), answer);
}

bool AnswerMemo::take(const protocol::FetchRequest &request, quint64 action, protocol::FetchResult *answer)
{
    startAction(action);
    if (m_ahead.isEmpty() && m_action.isEmpty())
        return false;
    const QString key = keyOf(request);
    if (auto ahead = m_ahead.find(key); ahead != m_ahead.end()) {
        *answer = ahead->takeFirst();
        if (ahead->isEmpty())
            m_ahead.erase(ahead);
        keep(request, *answer, action);
        return true;
    }
    const auto kept = m_action.constFind(key);
    if (kept == m_action.constEnd())
        return false;
    *answer = kept.value();
    return true;
}

void AnswerMemo::clear()
{
    m_ahead.clear();
    m_action.clear();
}
