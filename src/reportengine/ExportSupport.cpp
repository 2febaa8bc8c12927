#include "reportengine/ExportSupport.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>

#include <map>

namespace report::exportsupport {

bool fail(QString *error, const QString &path, const QString &message)
{
    if (error)
        *error = QStringLiteral("%1: %2").arg(path, message);
    return false;
}

QString cancelledMessage() { return QStringLiteral("exportación cancelada"); }

QByteArray pngBytes(const QImage &image, double dotsPerInch)
{
    QImage stated = image;
    stated.setDotsPerMeterX(qRound(dotsPerInch / 0.0254));
    stated.setDotsPerMeterY(qRound(dotsPerInch / 0.0254));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    stated.save(&buffer, "PNG");
    return bytes;
}

QList<QList<const PreparedPage *>> pagesByLayoutPage(const PreparedReport &report)
{
    std::map<int, QList<const PreparedPage *>> groups;
    for (const PreparedPage &page : report.pages)
        groups[page.layoutPage] << &page;
    QList<QList<const PreparedPage *>> result;
    for (const auto &[index, pages] : groups)
        result << pages;
    return result;
}

bool moveIntoPlace(const QString &built, const QString &path, QString *error)
{
    QFile source(built);
    if (!source.open(QIODevice::ReadOnly))
        return fail(error, path, source.errorString());
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly))
        return fail(error, path, target.errorString());
    if (target.write(source.readAll()) < 0 || !target.commit())
        return fail(error, path, target.errorString());
    return true;
}

bool ColumnHeaderOnce::keep(const PreparedItem &item)
{
    if (item.bandKind != BandKind::ColumnHeader)
        return true;
    if (m_seen.contains(item.band) && !m_here.contains(item.band))
        return false;
    m_here.insert(item.band);
    return true;
}

void ColumnHeaderOnce::pageDone()
{
    m_seen.unite(m_here);
    m_here.clear();
}

} // namespace report::exportsupport
