#pragma once
// Process-wide format settings the suite's forms share, like the short date format that the
// look-up dialog and the query-by-example criteria use to read dates typed by the user.

#include <QString>

namespace FormatSettings {

// The short date format in Qt's notation ("dd/MM/yyyy"). Starts as the system locale's, or as
// "dd/MM/yyyy" under the C locale.
QString ShortDateFormat();
void setShortDateFormat(const QString &format);

} // namespace FormatSettings
