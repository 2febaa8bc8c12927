#pragma once
// What the file exports share: failing with a message the user reads, pictures as PNG, the
// pages of each layout page, and putting a file built elsewhere in place in one step.

#include "reportengine/PreparedReport.h"

#include <QSet>

namespace report::exportsupport {

// Sets `error` to "path: message" and returns false.
bool fail(QString *error, const QString &path, const QString &message);
QString cancelledMessage();

// PNG bytes of `image`, stating `dotsPerInch` so that readers size it as intended.
QByteArray pngBytes(const QImage &image, double dotsPerInch = 96);

// The prepared pages of every page of the layout, in print order: a list report's sheets all
// come from one layout page, the competence report's table and chart from two.
QList<QList<const PreparedPage *>> pagesByLayoutPage(const PreparedReport &report);

// Replaces `path` with the finished file `built` only once it is completely written, so that a
// failure leaves an earlier file as it was.
bool moveIntoPlace(const QString &built, const QString &path, QString *error);

// Keeps a column header once: the first page that prints a column-header band keeps it, later
// pages drop it, since one table runs on under a single caption row.
class ColumnHeaderOnce {
public:
    // False for a column-header item of a band an earlier page already printed.
    bool keep(const PreparedItem &item);
    // Ends the page whose items were just offered.
    void pageDone();
    void reset() { m_seen.clear(); m_here.clear(); }

private:
    QSet<QString> m_seen;
    QSet<QString> m_here;
};

} // namespace report::exportsupport
