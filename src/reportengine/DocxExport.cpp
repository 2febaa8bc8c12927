#include "reportengine/DocxExport.h"

#include "reportengine/DocxDocument.h"
#include "reportengine/ExportSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamWriter>

#include <zip.h>

namespace report {

using namespace exportsupport;

namespace {

const QString kRelationshipBase = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");

struct PackageEntry {
    QString name;
    QByteArray data;
};

QByteArray xmlOf(const std::function<void(QXmlStreamWriter &)> &body)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.writeStartDocument(QStringLiteral("1.0"), true);
    body(xml);
    xml.writeEndDocument();
    return bytes;
}

QByteArray contentTypes(const DocxDocument &document)
{
    return xmlOf([&](QXmlStreamWriter &xml) {
        xml.writeStartElement(QStringLiteral("Types"));
        xml.writeDefaultNamespace(QStringLiteral("http://schemas.openxmlformats.org/package/2006/content-types"));
        const QList<QPair<QString, QString>> defaults{
            {QStringLiteral("rels"), QStringLiteral("application/vnd.openxmlformats-package.relationships+xml")},
            {QStringLiteral("xml"), QStringLiteral("application/xml")},
            {QStringLiteral("png"), QStringLiteral("image/png")}};
        for (const auto &[extension, type] : defaults) {
            xml.writeEmptyElement(QStringLiteral("Default"));
            xml.writeAttribute(QStringLiteral("Extension"), extension);
            xml.writeAttribute(QStringLiteral("ContentType"), type);
        }
        QList<QPair<QString, QString>> overrides{
            {QStringLiteral("word/document.xml"),
             QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml")},
            {QStringLiteral("word/styles.xml"), QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml")},
            {QStringLiteral("docProps/core.xml"), QStringLiteral("application/vnd.openxmlformats-package.core-properties+xml")},
            {QStringLiteral("docProps/app.xml"), QStringLiteral("application/vnd.openxmlformats-officedocument.extended-properties+xml")}};
        for (const DocxDocument::Part &part : document.parts())
            if (!part.contentType.isEmpty())
                overrides << qMakePair(part.name, part.contentType);
        for (const auto &[name, type] : overrides) {
            xml.writeEmptyElement(QStringLiteral("Override"));
            xml.writeAttribute(QStringLiteral("PartName"), QLatin1Char('/') + name);
            xml.writeAttribute(QStringLiteral("ContentType"), type);
        }
        xml.writeEndElement();
    });
}

QByteArray relationships(const QList<DocxDocument::Relation> &relations)
{
    return xmlOf([&](QXmlStreamWriter &xml) {
        xml.writeStartElement(QStringLiteral("Relationships"));
        xml.writeDefaultNamespace(QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships"));
        for (const DocxDocument::Relation &relation : relations) {
            xml.writeEmptyElement(QStringLiteral("Relationship"));
            xml.writeAttribute(QStringLiteral("Id"), relation.id);
            xml.writeAttribute(QStringLiteral("Type"),
                               relation.type.contains(QLatin1Char('/')) ? relation.type : kRelationshipBase + relation.type);
            xml.writeAttribute(QStringLiteral("Target"), relation.target);
        }
        xml.writeEndElement();
    });
}

QByteArray styles()
{
    // Arial 10 points and no space after paragraphs, so that lines follow one another as printed.
    return xmlOf([](QXmlStreamWriter &xml) {
        xml.writeStartElement(QStringLiteral("w:styles"));
        xml.writeAttribute(QStringLiteral("xmlns:w"), QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main"));
        xml.writeStartElement(QStringLiteral("w:docDefaults"));
        xml.writeStartElement(QStringLiteral("w:rPrDefault"));
        xml.writeStartElement(QStringLiteral("w:rPr"));
        xml.writeEmptyElement(QStringLiteral("w:rFonts"));
        for (const char *script : {"w:ascii", "w:hAnsi", "w:cs", "w:eastAsia"})
            xml.writeAttribute(QLatin1String(script), QStringLiteral("Arial"));
        xml.writeEmptyElement(QStringLiteral("w:sz"));
        xml.writeAttribute(QStringLiteral("w:val"), QStringLiteral("20"));
        xml.writeEmptyElement(QStringLiteral("w:lang"));
        xml.writeAttribute(QStringLiteral("w:val"), QStringLiteral("es-CO"));
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("w:pPrDefault"));
        xml.writeStartElement(QStringLiteral("w:pPr"));
        xml.writeEmptyElement(QStringLiteral("w:spacing"));
        xml.writeAttribute(QStringLiteral("w:after"), QStringLiteral("0"));
        xml.writeAttribute(QStringLiteral("w:line"), QStringLiteral("240"));
        xml.writeAttribute(QStringLiteral("w:lineRule"), QStringLiteral("auto"));
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("w:style"));
        xml.writeAttribute(QStringLiteral("w:type"), QStringLiteral("paragraph"));
        xml.writeAttribute(QStringLiteral("w:default"), QStringLiteral("1"));
        xml.writeAttribute(QStringLiteral("w:styleId"), QStringLiteral("Normal"));
        xml.writeEmptyElement(QStringLiteral("w:name"));
        xml.writeAttribute(QStringLiteral("w:val"), QStringLiteral("Normal"));
        xml.writeEndElement();
        xml.writeEndElement();
    });
}

QString w3cTime(const QDateTime &moment)
{
    const QDateTime utc = (moment.isValid() ? moment : QDateTime::currentDateTime()).toUTC();
    return utc.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"));
}

QByteArray coreProperties(const PreparedReport &report)
{
    return xmlOf([&](QXmlStreamWriter &xml) {
        xml.writeStartElement(QStringLiteral("cp:coreProperties"));
        xml.writeAttribute(QStringLiteral("xmlns:cp"), QStringLiteral("http://schemas.openxmlformats.org/package/2006/metadata/core-properties"));
        xml.writeAttribute(QStringLiteral("xmlns:dc"), QStringLiteral("http://purl.org/dc/elements/1.1/"));
        xml.writeAttribute(QStringLiteral("xmlns:dcterms"), QStringLiteral("http://purl.org/dc/terms/"));
        xml.writeAttribute(QStringLiteral("xmlns:xsi"), QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"));
        xml.writeTextElement(QStringLiteral("dc:title"), report.title());
        if (!report.info.subject.isEmpty())
            xml.writeTextElement(QStringLiteral("dc:subject"), report.info.subject);
        if (!report.info.author.isEmpty()) {
            xml.writeTextElement(QStringLiteral("dc:creator"), report.info.author);
            xml.writeTextElement(QStringLiteral("cp:lastModifiedBy"), report.info.author);
        }
        for (const char *stamp : {"dcterms:created", "dcterms:modified"}) {
            xml.writeStartElement(QLatin1String(stamp));
            xml.writeAttribute(QStringLiteral("xsi:type"), QStringLiteral("dcterms:W3CDTF"));
            xml.writeCharacters(w3cTime(report.info.created));
            xml.writeEndElement();
        }
        xml.writeEndElement();
    });
}

QByteArray appProperties(const PreparedReport &report)
{
    return xmlOf([&](QXmlStreamWriter &xml) {
        xml.writeStartElement(QStringLiteral("Properties"));
        xml.writeDefaultNamespace(QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/extended-properties"));
        xml.writeTextElement(QStringLiteral("Application"), QStringLiteral("qacsemaf"));
        if (!report.info.subject.isEmpty())
            xml.writeTextElement(QStringLiteral("Company"), report.info.subject);
        xml.writeTextElement(QStringLiteral("Pages"), QString::number(report.pageCount()));
        xml.writeEndElement();
    });
}

// Writes the package's entries into a new zip archive at `path`; an error text when it fails.
QString writeArchive(const QString &path, const QList<PackageEntry> &entries)
{
    int code = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive) {
        zip_error_t failure;
        zip_error_init_with_code(&failure, code);
        const QString message = QString::fromUtf8(zip_error_strerror(&failure));
        zip_error_fini(&failure);
        return message;
    }
    for (const PackageEntry &entry : entries) {
        zip_source_t *source = zip_source_buffer(archive, entry.data.constData(), zip_uint64_t(entry.data.size()), 0);
        if (!source || zip_file_add(archive, entry.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
            if (source)
                zip_source_free(source);
            const QString message = QString::fromUtf8(zip_strerror(archive));
            zip_discard(archive);
            return message;
        }
    }
    if (zip_close(archive) < 0) {
        const QString message = QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        return message;
    }
    return QString();
}

} // namespace

bool DocxExport::write(const PreparedReport &report, const QString &path, QString *error,
                       const std::function<bool(int, int)> &progress)
{
    if (!report.layout)
        return fail(error, path, QStringLiteral("el reporte no tiene diseño"));
    DocxDocument document(report);
    if (!document.build(progress))
        return fail(error, path, cancelledMessage());

    QList<DocxDocument::Relation> documentRelations = document.relations();
    documentRelations << DocxDocument::Relation{QStringLiteral("rIdStyles"), QStringLiteral("styles"), QStringLiteral("styles.xml")};
    const QList<DocxDocument::Relation> packageRelations{
        {QStringLiteral("rIdDocument"), QStringLiteral("officeDocument"), QStringLiteral("word/document.xml")},
        {QStringLiteral("rIdCore"),
         QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties"),
         QStringLiteral("docProps/core.xml")},
        {QStringLiteral("rIdApp"), QStringLiteral("extended-properties"), QStringLiteral("docProps/app.xml")}};

    // The archive's buffers must live until it is closed.
    QList<PackageEntry> entries{{QStringLiteral("[Content_Types].xml"), contentTypes(document)},
                                {QStringLiteral("_rels/.rels"), relationships(packageRelations)},
                                {QStringLiteral("docProps/core.xml"), coreProperties(report)},
                                {QStringLiteral("docProps/app.xml"), appProperties(report)},
                                {QStringLiteral("word/document.xml"), document.document()},
                                {QStringLiteral("word/styles.xml"), styles()},
                                {QStringLiteral("word/_rels/document.xml.rels"), relationships(documentRelations)}};
    for (const DocxDocument::Part &part : document.parts())
        entries << PackageEntry{part.name, part.data};

    QTemporaryDir scratch;
    if (!scratch.isValid())
        return fail(error, path, scratch.errorString());
    const QString temporary = scratch.filePath(QStringLiteral("report.docx"));
    if (const QString failure = writeArchive(temporary, entries); !failure.isEmpty())
        return fail(error, path, failure);
    return moveIntoPlace(temporary, path, error);
}

} // namespace report
