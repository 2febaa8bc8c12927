#include "framework/ClientVersion.h"

ClientVersion SepararVersion(const QString &versionAndDate)
{
    const qsizetype separator = versionAndDate.indexOf(u';');
    if (separator < 0)
        return {versionAndDate, QString()};
    return {versionAndDate.left(separator), versionAndDate.mid(separator + 1)};
}
