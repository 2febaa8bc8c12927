#pragma once
// Prints the traffic-light result table in its order: a table coloured by band on a terminal,
// JSON or CSV. Shared by the commands that generate (directly or through the main form).

#include <QString>

class QTextStream;
class TDataSet;

// `format` is table, json or csv.
void printGenerationResult(TDataSet &result, const QString &format, QTextStream &out);
