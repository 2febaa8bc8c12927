#pragma once
// The server's reading of a statement's named parameters (":name"). Turns the statement into
// one with positional markers and lists, in order, the parameter behind each marker, so every
// occurrence of a repeated name gets the same value. Text in quotes, comments and "::" casts
// are not parameters.

#include <QString>
#include <QStringList>

namespace appserver {

class NamedParams {
public:
    explicit NamedParams(const QString &statement);

    // The statement with each parameter replaced by "?".
    const QString &positionalStatement() const { return m_positional; }
    // The name behind each "?", in order, spelled as in the statement.
    const QStringList &markers() const { return m_markers; }
    // Each name once, in order of first appearance.
    QStringList distinctNames() const;

private:
    QString m_positional;
    QStringList m_markers;
};

} // namespace appserver
