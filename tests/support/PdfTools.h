#pragma once
// A PDF as the poppler tools read it: its text with the page layout kept, and its report of
// document facts and page sizes.

#include "tests/support/TestTools.h"

// The text of pages `first` to `last` (every page when 0), laid out as on the page.
inline QString pdfToText(const QString &path, int first = 0, int last = 0)
{
    QStringList arguments{QStringLiteral("-layout")};
    if (first > 0)
        arguments << QStringLiteral("-f") << QString::number(first) << QStringLiteral("-l") << QString::number(last);
    return runProgram(QStringLiteral("pdftotext"), arguments << path << QStringLiteral("-")).output;
}

// pdfinfo's report; with `pages`, also the size of each of the first `pages` pages.
inline QString pdfInfo(const QString &path, int pages = 0)
{
    QStringList arguments;
    if (pages > 0)
        arguments << QStringLiteral("-f") << QStringLiteral("1") << QStringLiteral("-l") << QString::number(pages);
    return runProgram(QStringLiteral("pdfinfo"), arguments << path).output;
}
