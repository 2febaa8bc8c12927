#pragma once
// Finds the named parameters of an SQL statement: ":name" tokens. Text inside single or double
// quotes and the "::" cast operator are not parameters. Names match without regard to case, so a
// name written twice is one parameter (the server binds every occurrence). Pure; no Qt GUI.

#include <QList>
#include <QString>
#include <QStringList>

struct SqlParamToken {
    QString name;     // as written at this occurrence, without the colon
    int position = 0; // index of the colon in the statement
    int length = 0;   // colon included
};

class SqlParams {
public:
    // Every occurrence, in the order of the statement.
    static QList<SqlParamToken> tokens(const QString &sql);
    // Distinct names in the order of first appearance, spelled as first written.
    static QStringList names(const QString &sql);
};
