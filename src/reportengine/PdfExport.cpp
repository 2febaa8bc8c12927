#include "reportengine/PdfExport.h"

#include "reportengine/ExportSupport.h"
#include "reportengine/PageRenderer.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>

namespace report {

namespace {

// A PDF text string: UTF-16 with its byte order mark, written in hexadecimal.
QByteArray pdfString(const QString &text)
{
    QByteArray result("<FEFF");
    for (const QChar c : text)
        result += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return result + '>';
}

QByteArray pdfDate(const QDateTime &moment)
{
    const int offset = moment.offsetFromUtc() / 60;
    const QString zone = offset == 0 ? QStringLiteral("Z")
                                     : QStringLiteral("%1%2'%3'")
                                           .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                                           .arg(qAbs(offset) / 60, 2, 10, QLatin1Char('0'))
                                           .arg(qAbs(offset) % 60, 2, 10, QLatin1Char('0'));
    return (QStringLiteral("(D:") + moment.toString(QStringLiteral("yyyyMMddHHmmss")) + zone + QLatin1Char(')')).toLatin1();
}

QByteArray trailerEntry(const QByteArray &trailer, const char *pattern)
{
    const QRegularExpression expression(QString::fromLatin1(pattern));
    return expression.match(QString::fromLatin1(trailer)).captured(1).toLatin1();
}

// The document information of a finished PDF replaced by an incremental update appended to it:
// a new information dictionary, a cross-reference section for it and a trailer pointing back to
// the original one. Readers take the last trailer, so title, author and subject are the ones
// given here. Empty when the file does not end as expected.
QByteArray withDocumentInfo(const QByteArray &pdf, const PreparedReport &report)
{
    const qsizetype trailerAt = pdf.lastIndexOf("trailer");
    const qsizetype startAt = pdf.lastIndexOf("startxref");
    if (trailerAt < 0 || startAt < trailerAt)
        return QByteArray();
    const QByteArray trailer = pdf.mid(trailerAt, startAt - trailerAt);
    const QByteArray size = trailerEntry(trailer, "/Size\\s+(\\d+)");
    const QByteArray root = trailerEntry(trailer, "/Root\\s+(\\d+\\s+\\d+\\s+R)");
    const QByteArray previous = trailerEntry(pdf.mid(startAt), "startxref\\s+(\\d+)");
    if (size.isEmpty() || root.isEmpty() || previous.isEmpty())
        return QByteArray();
    const QByteArray identifier = trailerEntry(trailer, "(/ID\\s*\\[[^\\]]*\\])");
    // The new dictionary takes the old one's object number, so that nothing refers to it twice.
    QByteArray number = trailerEntry(trailer, "/Info\\s+(\\d+)\\s+0\\s+R");
    QByteArray newSize = size;
    if (number.isEmpty()) {
        number = size;
        newSize = QByteArray::number(size.toLongLong() + 1);
    }
    // The producer the writer named stays.
    QByteArray producer;
    const qsizetype oldInfoAt = pdf.indexOf("\n" + number + " 0 obj");
    if (oldInfoAt >= 0) {
        const QByteArray oldInfo = pdf.mid(oldInfoAt, pdf.indexOf("endobj", oldInfoAt) - oldInfoAt);
        producer = trailerEntry(oldInfo, "/Producer\\s*(\\((?:\\\\.|[^\\\\)])*\\)|<[^>]*>)");
    }

    QByteArray update = pdf.endsWith('\n') ? QByteArray() : QByteArray("\n");
    const qsizetype objectAt = pdf.size() + update.size();
    update += number + " 0 obj\n<<\n/Title " + pdfString(report.title()) + "\n/Creator " + pdfString(QStringLiteral("qacsemaf"));
    if (!report.info.author.isEmpty())
        update += "\n/Author " + pdfString(report.info.author);
    if (!report.info.subject.isEmpty())
        update += "\n/Subject " + pdfString(report.info.subject);
    if (!producer.isEmpty())
        update += "\n/Producer " + producer;
    if (report.info.created.isValid())
        update += "\n/CreationDate " + pdfDate(report.info.created);
    update += "\n>>\nendobj\n";
    const qsizetype xrefAt = pdf.size() + update.size();
    update += "xref\n" + number + " 1\n" + QByteArray::number(objectAt).rightJustified(10, '0') + " 00000 n \n";
    update += "trailer\n<< /Size " + newSize + " /Root " + root + " /Info " + number + " 0 R /Prev " + previous;
    if (!identifier.isEmpty())
        update += ' ' + identifier;
    update += " >>\nstartxref\n" + QByteArray::number(xrefAt) + "\n%%EOF\n";
    return pdf + update;
}

} // namespace

bool PdfExport::write(const PreparedReport &report, const QString &path, QString *error,
                      const std::function<bool(int, int)> &progress)
{
    // The pages are written to memory first: the document information is appended once the
    // writer has finished the file.
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(kResolution);
        writer.setCreator(QStringLiteral("qacsemaf"));
        writer.setTitle(report.title());
        if (!PageRenderer().paintAll(writer, report, progress))
            return exportsupport::fail(error, path, exportsupport::cancelledMessage());
    }
    const QByteArray complete = withDocumentInfo(pdf, report);
    if (complete.isEmpty())
        return exportsupport::fail(error, path, QStringLiteral("no se pudo escribir la información del documento"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(complete) != complete.size() || !file.commit())
        return exportsupport::fail(error, path, file.errorString());
    return true;
}

} // namespace report
