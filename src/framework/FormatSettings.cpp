#include "framework/FormatSettings.h"

#include <QLocale>

namespace {

QString &shortDateFormat()
{
    // A workstation without a locale of its own (the C locale names months in English) gets the
    // suite's day/month/year.
    static QString format = QLocale::system().language() == QLocale::C
                                ? QStringLiteral("dd/MM/yyyy")
                                : QLocale::system().dateFormat(QLocale::ShortFormat);
    return format;
}

} // namespace

namespace FormatSettings {

QString ShortDateFormat()
{
    return shortDateFormat();
}

void setShortDateFormat(const QString &format)
{
    shortDateFormat() = format;
}

} // namespace FormatSettings
