#pragma once
// The result of a database operation of the tools: empty error text on success.

#include <QString>

namespace dbtools {

struct DbOutcome {
    QString error;
    bool ok() const { return error.isEmpty(); }
    static DbOutcome success() { return {}; }
    static DbOutcome failure(const QString &message) { return {message}; }
};

} // namespace dbtools
