#pragma once
// What the record viewer was asked for, read from the arguments a help label of the suite starts
// it with: the session (--protocol, --alias, --server, --user, --company; the password in the
// environment), the record (--key cod_empl --field COD_EMPL --value N) and the kind of records,
// taken from --program CODE or else from the name the viewer was started under.

#include "tools/viewer/RecordKind.h"

#include <QString>
#include <QStringList>

struct ViewerOptions {
    // The lines --help prints.
    static QString usage();

    QString protocol, alias, server, user, password;
    int company = 0;
    double employee = 0;
    bool hasEmployee = false;
    const RecordKind *kind = nullptr;
    bool dump = false;        // print the rows as text and exit
    QString screenshot;       // save the window to this PNG and exit

    // Reads `arguments` (without the program itself); `startName` is the name the program was
    // started under. Returns an empty text, or the reason the arguments are not usable.
    QString parse(const QStringList &arguments, const QString &startName, const QString &password);
};
