#pragma once
// Turns the criteria a user gives in the query-by-example dialog into one SQL condition that is
// safe to append to a statement: texts become quoted literals (single quotes doubled), numbers are
// checked and written in the C locale, dates are read with the user's date format and compared
// as whole days. Columns that the statement's select list qualifies or renames ("a.cod_carg",
// "x AS y") are compared through that expression, so joins do not make them ambiguous.

#include "protocol/Protocol.h"

#include <QHash>
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
    QbeConditionBuilder(const QList<QbeColumn> &columns, const QString &baseSql);

    QString dateFormat = QStringLiteral("dd/MM/yyyy");
    bool upperCase = false;  // texts compare upper-cased on both sides

    // The criteria joined by AND, without a leading WHERE or AND. Throws Exception naming the
    // field and the value that cannot be used.
    QString condition(const QList<QbeCriterion> &criteria) const;

    // The operators as the dialog lists them, in the enum's order.
    static QStringList operatorCaptions();
    static bool isTextType(protocol::FieldType type);

    // Output column name (upper case) -> the expression the select list computes it with.
    static QHash<QString, QString> selectExpressions(const QString &sql);

private:
    QString criterion(const QbeCriterion &criterion) const;
    QString textCriterion(const QString &column, const QbeCriterion &criterion) const;
    QString numberCriterion(const QString &column, const QbeColumn &info, const QbeCriterion &criterion) const;
    QString dateCriterion(const QString &column, const QbeCriterion &criterion) const;
    const QbeColumn &columnInfo(const QString &field) const;

    QList<QbeColumn> m_columns;
    QHash<QString, QString> m_expressions;
};
