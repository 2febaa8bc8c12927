#pragma once
// A client-side row filter: comparisons "field op literal" (=, <>, <, >, <=, >=; numbers and
// quoted texts), "field is [not] null", joined with and/or/not and parentheses. Field names
// match without regard to case. A comparison with a null value is false.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

class FilterExpression {
public:
    FilterExpression() = default;

    // Throws EDatabaseError naming the problem and where it is in the text.
    static FilterExpression parse(const QString &text);

    bool isEmpty() const { return !m_root; }
    // Field names the expression reads, distinct; evaluate asks for values by their index here.
    const QStringList &fieldNames() const { return m_fieldNames; }
    bool evaluate(const std::function<QVariant(int)> &fieldValue) const;

    struct Node;

private:
    friend class FilterParser;
    std::shared_ptr<const Node> m_root;
    QStringList m_fieldNames;
};
