#pragma once
// Turns the criteria a user gives in the query-by-example dialog into typed conditions for the
// server: numbers are checked and read in the C locale (or the user's), dates are read with the
// user's date format and stand for their whole day, texts go as typed (upper-cased on both sides
// when asked). An empty value asks for an empty column ("=") or a filled one ("<>"). The
// server places each condition on the statement's own column and binds its value.

#include "protocol/Protocol.h"

#include <QList>
#include <QString>
#include <QStringList>

enum class QbeOperator { Igual, Distinto, Menor, MenorIgual, Mayor, MayorIgual, ComienzaCon, Contiene };

struct QbeCriterion {
    QString field;
    QbeOperator op = QbeOperator::Igual;
    QString value;
};

struct QbeColumn {
    QString name;
    protocol::FieldType type = protocol::FieldType::String;
};

class QbeConditionBuilder {
public:
    explicit QbeConditionBuilder(const QList<QbeColumn> &columns) : m_columns(columns) {}

    QString dateFormat = QStringLiteral("dd/MM/yyyy");
    bool upperCase = false;  // texts compare upper-cased on both sides

    // One condition per criterion (all must hold). Throws Exception naming the field and the
    // value that cannot be used.
    QList<protocol::Condition> conditions(const QList<QbeCriterion> &criteria) const;

    // The operators as the dialog lists them, in the enum's order.
    static QStringList operatorCaptions();
    static bool isTextType(protocol::FieldType type);

private:
    protocol::Condition condition(const QbeCriterion &criterion) const;
    const QbeColumn &columnInfo(const QString &field) const;

    QList<QbeColumn> m_columns;
};
