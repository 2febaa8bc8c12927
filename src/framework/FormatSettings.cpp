#include "FormatSettings.h"

#include <QLocale>

namespace {

QString &shortDateFormat()
{
    static QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
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
