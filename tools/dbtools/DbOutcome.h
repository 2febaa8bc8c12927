#pragma once
// The result of a database operation of the tools: empty error text on success.

#include <QString>
#include <QStringList>

namespace dbtools {

struct DbOutcome {
    QString error;
    QStringList notices;   // steps skipped on purpose, for the person who ran the tool
    bool ok() const { return error.isEmpty(); }
    static DbOutcome success() { return {}; }
    static DbOutcome failure(const QString &message) { return {message, {}}; }
};

} // namespace dbtools
