#pragma once
// The option text of the load call: blank-separated tokens, double-quoted tokens, and the last
// token that begins with AND kept as the session's condition.

#include <QString>
#include <QStringList>

// Removes blanks and control characters from both ends, as the suite's trimming does.
QString TrimBlanks(const QString &text);
// Cuts the option text into its items.
QStringList ParsearOpciones(QString text);
// The last item whose upper-case form begins with "AND", in its own case; empty if none.
QString UltimaCondicion(const QStringList &items);
