#pragma once
// The server's reading of a statement's named parameters (":name"). Turns the statement into
// one with positional markers and lists, in order, the parameter behind each marker, so every
// occurrence of a repeated name gets the same value. Text in quotes, comments and "::" casts
// are not parameters.

#include "protocol/SqlMask.h"

#include <QString>
#include <QStringList>

namespace protocol {

class NamedParams {
public:
    explicit NamedParams(const QString &statement, SqlSyntax syntax = SqlSyntax::Sqlite);

    // The statement with each parameter replaced by "?" (SQLite) or "$1", "$2", ... (PostgreSQL,
    // whose own markers QtSql passes through untouched).
    const QString &positionalStatement() const { return m_positional; }
    // The name behind each "?", in order, spelled as in the statement.
    const QStringList &markers() const { return m_markers; }
    // Each name once, in order of first appearance.
    QStringList distinctNames() const;

private:
    QString m_positional;
    QStringList m_markers;
};

} // namespace protocol
