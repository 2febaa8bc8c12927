#include "PdfExport.h"

#include "PageRenderer.h"

#include <QPdfWriter>
#include <QSaveFile>

namespace report {

bool PdfExport::write(const PreparedReport &report, const QString &path, QString *error,
                      const std::function<bool(int, int)> &progress)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(kResolution);
        writer.setCreator(QStringLiteral("qacsemaf"));
        writer.setTitle(report.title());
        if (!PageRenderer().paintAll(writer, report, progress)) {
            file.cancelWriting();
            if (error)
                *error = QStringLiteral("%1: export cancelled").arg(path);
            return false;
        }
    }
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace report
