#include "framework/connection/AnswerMemo.h"

#include <QDate>
#include <QDateTime>

#include <algorithm>
#include <cstring>

namespace {

// A key is written so that two different requests never read the same: texts with their length
// first, numbers by their bits, lists bracketed.
void appendText(QString &key, QChar kind, QStringView text)
{
    key += kind;
    key += QString::number(text.size());
    key += QLatin1Char(':');
    key += text;
}

// A value of no particular form, by its type's name and its text.
void appendTyped(QString &key, const char *typeName, QStringView text)
{
    const QLatin1StringView type(typeName);
    key += QLatin1Char('s');
    key += QString::number(type.size() + 1 + text.size());
    key += QLatin1Char(':');
    key += type;
    key += QLatin1Char(':');
    key += text;
}

void appendNumber(QString &key, double number)
{
    quint64 bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    key += QLatin1Char('d');
    key += QString::number(bits, 16);
    key += QLatin1Char(';');
}

// A value as two reads that ask the same write it: numbers by value, whatever their type.
void appendValue(QString &key, const QVariant &value)
{
    if (value.isNull()) {
        key += QLatin1Char('n');
        return;
    }
    switch (value.metaType().id()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Double: case QMetaType::Float:
        appendNumber(key, value.toDouble());
        return;
    case QMetaType::QStringList: {
        // Each item as the text it is (a list of values would hold each as a text value).
        key += QLatin1Char('[');
        for (const QString &item : *static_cast<const QStringList *>(value.constData()))
            appendTyped(key, QMetaType::fromType<QString>().name(), item);
        key += QLatin1Char(']');
        return;
    }
    case QMetaType::QVariantList:
        key += QLatin1Char('[');
        for (const QVariant &item : *static_cast<const QVariantList *>(value.constData()))
            appendValue(key, item);
        key += QLatin1Char(']');
        return;
    case QMetaType::QDate: appendText(key, QLatin1Char('s'), value.toDate().toString(Qt::ISODate)); return;
    case QMetaType::QDateTime:
        appendText(key, QLatin1Char('s'), value.toDateTime().toString(Qt::ISODateWithMs));
        return;
    default: appendTyped(key, value.typeName(), value.toString()); return;
    }
}

} // namespace

QString AnswerMemo::keyOf(const protocol::FetchRequest &request)
{
    QList<QPair<QString, const QVariant *>> params;
    params.reserve(request.params.size());
    for (const protocol::ParamValue &param : request.params)
        params.append({param.name.toUpper(), &param.value});
    std::stable_sort(params.begin(), params.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QString key;
    key.reserve(256);
    appendText(key, QLatin1Char('p'), request.provider.toUpper());
    appendText(key, QLatin1Char('q'), request.statement);
    key += QLatin1Char('(');
    for (const auto &[name, value] : std::as_const(params)) {
        appendText(key, QLatin1Char('s'), name);
        appendValue(key, *value);
    }
    key += QLatin1Char(')');
    for (const protocol::Condition &condition : request.conditions) {
        appendText(key, QLatin1Char('s'), condition.column.toUpper());
        appendText(key, QLatin1Char('s'), protocol::conditionOperatorName(condition.op));
        appendValue(key, condition.value);
        key += condition.ignoreCase ? QLatin1Char('t') : QLatin1Char('f');
    }
    return key;
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
