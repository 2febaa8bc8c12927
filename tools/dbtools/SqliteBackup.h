#pragma once
// A copy of an SQLite database taken with SQLite's online backup interface: consistent as of
// one moment even while other programs write to it (the copy starts again when a writer changed
// the file under it), written to a file of its own and renamed to the target only when complete.

#include "tools/dbtools/DbOutcome.h"

#include <QString>

namespace dbtools {

class SqliteBackup {
public:
    // Copies `source` to `target`, which must not exist yet; `pages` gets the pages copied.
    static DbOutcome copy(const QString &source, const QString &target, int *pages);
};

} // namespace dbtools
