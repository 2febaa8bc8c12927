#pragma once
// A copy of an SQLite database taken with SQLite's online backup interface: consistent as of
// one moment even while other programs write to it (the copy starts again when a writer changed
// the file under it), written to a file of its own and renamed to the target only when complete.
// The same interface puts such a copy back in place of a database that may be open elsewhere.

#include "tools/dbtools/DbOutcome.h"

#include <QString>

namespace dbtools {

class SqliteBackup {
public:
    // Copies `source` to `target`, which must not exist yet; `pages` gets the pages copied.
    static DbOutcome copy(const QString &source, const QString &target, int *pages);

    // Whether `copy` is a database of this module that this build may restore: an SQLite file
    // with the module's tables, of a schema version no newer than this build's (`version` gets
    // it). The copy is read as a file that cannot change, so nothing is ever made beside it.
    static DbOutcome checkCopy(const QString &copy, int *version);

    struct Restored {
        QString kept;      // the file that keeps the target's content from before; empty when it was new
        int version = 0;   // the schema version of what was restored
    };
    // Puts `copy` (see checkCopy) in place of `target`. A target that does not exist is made, as
    // copy() makes one. An existing target must be an SQLite database of this module (or one
    // without tables); under one exclusive lock of it, its content is first copied to a new file
    // beside it ("<target>.antes-de-restaurar-AAAAMMDD-HHMMSS"), then replaced page by page in
    // one transaction, and left in the rollback journal. Another connection holding the target
    // for longer than `busyWaitMs` makes it fail, with the target and its folder as they were.
    static DbOutcome restore(const QString &copy, const QString &target, int busyWaitMs, Restored *restored);
};

} // namespace dbtools
