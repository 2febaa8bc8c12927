#pragma once
// A message of the set-up and seed tools in the user's language. The texts are written in Spanish,
// marked with QT_TRANSLATE_NOOP("qacsemaf", ...), and looked up in the command line's catalogue
// (tools/translations), which the programs load where the locale asks for English; elsewhere, and
// in programs that load no catalogue, the Spanish text is used as it is.

#include <QCoreApplication>
#include <QString>

namespace dbtools {

inline QString dbText(const char *spanish)
{
    return QCoreApplication::translate("qacsemaf", spanish);
}

} // namespace dbtools
