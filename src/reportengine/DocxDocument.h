#pragma once
// The main part of a word-processing document made from a prepared report: one section per
// page of the layout, at its paper size, margins and orientation. The page header's texts become
// paragraphs (tab stops where the layout places them), the table of the page a real table whose
// caption row repeats on every page and that has one row per record, the summary paragraphs
// after it; pictures and charts are inline PNG images, and the page footer is the section's
// footer with the page number.

#include "reportengine/PreparedReport.h"

#include <QHash>

#include <functional>

namespace report {

class DocxDocument {
public:
    struct Part {
        QString name;          // path inside the package, e.g. "word/media/image1.png"
        QString contentType;   // empty for a file type declared by its extension
        QByteArray data;
    };
    struct Relation {
        QString id;
        QString type;          // the relationship type's last path segment: "image", "footer", ...
        QString target;        // relative to word/
    };

    explicit DocxDocument(const PreparedReport &report) : m_report(report) {}

    // Builds the document, telling `progress` about every page; false when it cancels.
    bool build(const std::function<bool(int done, int total)> &progress);

    const QByteArray &document() const { return m_document; }
    const QList<Part> &parts() const { return m_parts; }            // footers and media
    const QList<Relation> &relations() const { return m_relations; }

private:
    QString addImage(const QByteArray &png, qint64 key);
    QString addFooter(const QByteArray &xml);

    const PreparedReport &m_report;
    QByteArray m_document;
    QList<Part> m_parts;
    QList<Relation> m_relations;
    QHash<qint64, QString> m_images;   // picture cache key -> relation id
    int m_drawings = 0;
    int m_imageCount = 0;
    int m_footerCount = 0;

    friend class DocxBodyWriter;
};

} // namespace report
