#pragma once
// Reads the condition text the suite's code hands to query by example (" AND 1=0",
// " WHERE COD_EMPR = 1 AND NOM_MENU = 'Plan'") into typed conditions for the server: comparisons
// of one column with a number or a text, IS [NOT] NULL, and "1=0" (no row), joined by AND, after
// an optional leading WHERE or AND. Anything else is refused: no SQL text goes to the server.

#include "protocol/Protocol.h"

#include <QList>
#include <QString>

class ConditionText {
public:
    // The conditions of `text`, none for a blank text; throws Exception saying why it cannot be
    // read.
    static QList<protocol::Condition> parse(const QString &text);
};
