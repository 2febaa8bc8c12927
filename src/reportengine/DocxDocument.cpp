#include "reportengine/DocxDocument.h"

#include "reportengine/ExportSupport.h"
#include "reportengine/PageRenderer.h"
#include "reportengine/ReportTable.h"
#include "reportengine/TextTemplate.h"

#include <QMap>
#include <QSet>
#include <QXmlStreamWriter>

#include <algorithm>
#include <map>

namespace report {

namespace {

constexpr double kTwipsPerMm = 1440 / 25.4;
constexpr double kTwipsPerPixel = 15;    // a pixel at 96 dpi
constexpr double kEmuPerMm = 36000;
constexpr double kDocxChartDotsPerInch = 150;
constexpr double kDocxLineMm = 0.5;     // views whose tops differ less share a line

QString twips(double mm) { return QString::number(qRound(mm * kTwipsPerMm)); }
QString emus(double mm) { return QString::number(qRound64(mm * kEmuPerMm)); }

void writeWordNamespaces(QXmlStreamWriter &xml)
{
    xml.writeAttribute(QStringLiteral("xmlns:w"), QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main"));
    xml.writeAttribute(QStringLiteral("xmlns:r"), QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships"));
    xml.writeAttribute(QStringLiteral("xmlns:wp"), QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing"));
    xml.writeAttribute(QStringLiteral("xmlns:a"), QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/main"));
    xml.writeAttribute(QStringLiteral("xmlns:pic"), QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/picture"));
}

void writeValue(QXmlStreamWriter &xml, const QString &element, const QString &value)
{
    xml.writeEmptyElement(element);
    xml.writeAttribute(QStringLiteral("w:val"), value);
}

bool printsPageNumber(const ViewDef &view)
{
    const auto parsed = TextTemplate::parse(view.text);
    if (!parsed)
        return false;
    for (const TextTemplate::Part &part : parsed->parts())
        if (part.expression && part.expression->kind == Expression::Page)
            return true;
    return false;
}

QString justification(HAlign align)
{
    return align == HAlign::Right ? QStringLiteral("right") : align == HAlign::Center ? QStringLiteral("center")
                                                                                     : QStringLiteral("left");
}

void writeRunProperties(QXmlStreamWriter &xml, const FontDef &font)
{
    xml.writeStartElement(QStringLiteral("w:rPr"));
    xml.writeEmptyElement(QStringLiteral("w:rFonts"));
    for (const char *script : {"w:ascii", "w:hAnsi", "w:cs"})
        xml.writeAttribute(QLatin1String(script), font.family);
    if (font.bold)
        xml.writeEmptyElement(QStringLiteral("w:b"));
    if (font.italic)
        xml.writeEmptyElement(QStringLiteral("w:i"));
    if (font.color.isValid() && font.color != QColor(Qt::black))
        writeValue(xml, QStringLiteral("w:color"), font.color.name().mid(1).toUpper());
    // Half points: a pixel at 96 dpi is three quarters of a point.
    const QString size = QString::number(qRound(font.pixelSize * 1.5));
    writeValue(xml, QStringLiteral("w:sz"), size);
    writeValue(xml, QStringLiteral("w:szCs"), size);
    xml.writeEndElement();
}

void writeRuns(QXmlStreamWriter &xml, const FontDef &font, const QString &text)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        xml.writeStartElement(QStringLiteral("w:r"));
        writeRunProperties(xml, font);
        if (i > 0)
            xml.writeEmptyElement(QStringLiteral("w:br"));
        xml.writeStartElement(QStringLiteral("w:t"));
        xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
        xml.writeCharacters(QString(lines.at(i)).remove(QLatin1Char('\r')));
        xml.writeEndElement();
        xml.writeEndElement();
    }
}

void writeTightSpacing(QXmlStreamWriter &xml, double beforeMm = 0)
{
    xml.writeEmptyElement(QStringLiteral("w:spacing"));
    xml.writeAttribute(QStringLiteral("w:before"), twips(qMax(0.0, beforeMm)));
    xml.writeAttribute(QStringLiteral("w:after"), QStringLiteral("0"));
}

// One line of texts as one paragraph, each text at a tab stop where the layout puts it.
void writeTextLine(QXmlStreamWriter &xml, const QList<const PreparedItem *> &items, double printableLeft, double beforeMm)
{
    struct Stop {
        QString kind;
        double mm;
    };
    QList<Stop> stops;
    for (const PreparedItem *item : items) {
        const HAlign align = item->view->hAlign;
        const double mm = align == HAlign::Right    ? item->rect.right()
                          : align == HAlign::Center ? item->rect.center().x()
                                                    : item->rect.left();
        stops << Stop{justification(align), mm - printableLeft};
    }
    xml.writeStartElement(QStringLiteral("w:p"));
    xml.writeStartElement(QStringLiteral("w:pPr"));
    xml.writeStartElement(QStringLiteral("w:tabs"));
    QList<Stop> sorted = stops;
    std::sort(sorted.begin(), sorted.end(), [](const Stop &a, const Stop &b) { return a.mm < b.mm; });
    for (const Stop &stop : sorted) {
        xml.writeEmptyElement(QStringLiteral("w:tab"));
        xml.writeAttribute(QStringLiteral("w:val"), stop.kind);
        xml.writeAttribute(QStringLiteral("w:pos"), twips(qMax(0.0, stop.mm)));
    }
    xml.writeEndElement();
    writeTightSpacing(xml, beforeMm);
    xml.writeEndElement();
    for (int i = 0; i < items.size(); ++i) {
        // The first text needs no tab when it starts at the margin.
        if (i > 0 || stops.at(i).mm > kDocxLineMm || stops.at(i).kind != QLatin1String("left")) {
            xml.writeStartElement(QStringLiteral("w:r"));
            xml.writeEmptyElement(QStringLiteral("w:tab"));
            xml.writeEndElement();
        }
        writeRuns(xml, items.at(i)->view->font, items.at(i)->text);
    }
    xml.writeEndElement();
}

void writeFieldCharacter(QXmlStreamWriter &xml, const QString &type)
{
    xml.writeStartElement(QStringLiteral("w:r"));
    xml.writeEmptyElement(QStringLiteral("w:fldChar"));
    xml.writeAttribute(QStringLiteral("w:fldCharType"), type);
    xml.writeEndElement();
}

// The cells of one record, or the captions, in table order.
struct TableLine {
    bool captions = false;
    double height = 0;   // mm
    QMap<int, const PreparedItem *> cells;
};

} // namespace

// Writes the body of the document, section by section.
class DocxBodyWriter {
public:
    DocxBodyWriter(DocxDocument &document, QXmlStreamWriter &xml) : m_document(document), m_xml(xml) {}

    void writeSection(const QList<const PreparedPage *> &pages, const PageDef &def, bool last,
                      const std::function<bool()> &pageDone);
    bool cancelled() const { return m_cancelled; }

private:
    bool isPageNumber(const ViewDef &view);
    QList<const PreparedItem *> itemsOf(const QList<const PreparedPage *> &pages, int index);
    void writeTable(const QList<TableLine> &lines);
    void writeCell(const TableColumn &column, const PreparedItem *item);
    void writeImageParagraph(const PreparedItem &item, double printableLeft, double beforeMm);
    void writeInline(const QString &relation, double widthMm, double heightMm);
    QString footerOf(const QList<const PreparedItem *> &items, const PreparedItem *pageNumber, double printableLeft);
    void writeSectionProperties(const PreparedPage &page, const PageDef &def, const QString &footer);

    DocxDocument &m_document;
    QXmlStreamWriter &m_xml;
    ReportTable m_table;
    exportsupport::ColumnHeaderOnce m_headers;
    QHash<const ViewDef *, bool> m_pageNumbers;
    bool m_cancelled = false;
};

bool DocxBodyWriter::isPageNumber(const ViewDef &view)
{
    auto found = m_pageNumbers.find(&view);
    if (found == m_pageNumbers.end())
        found = m_pageNumbers.insert(&view, printsPageNumber(view));
    return *found;
}

QList<const PreparedItem *> DocxBodyWriter::itemsOf(const QList<const PreparedPage *> &pages, int index)
{
    // The page header once, above everything; the column header once, as the table's caption row
    // (the word processor repeats it on every page); the page footer goes to the section's footer.
    QList<const PreparedItem *> kept;
    for (const PreparedItem &item : pages.at(index)->items) {
        if (!item.view || item.bandKind == BandKind::PageFooter || (item.bandKind == BandKind::PageHeader && index > 0))
            continue;
        if (item.view->kind == ViewKind::Text && (item.text.isEmpty() || isPageNumber(*item.view)))
            continue;
        if (!m_headers.keep(item))
            continue;
        kept << &item;
    }
    m_headers.pageDone();
    return kept;
}

void DocxBodyWriter::writeSection(const QList<const PreparedPage *> &pages, const PageDef &def, bool last,
                                  const std::function<bool()> &pageDone)
{
    m_table = ReportTable::of(def);
    m_headers.reset();
    const double printableLeft = def.printableArea().left();
    QList<TableLine> table;
    bool endsWithTable = false;
    const auto flushTable = [&] {
        if (table.isEmpty())
            return;
        writeTable(table);
        table.clear();
        endsWithTable = true;
    };
    for (int index = 0; index < pages.size(); ++index) {
        std::map<double, QList<const PreparedItem *>> lines;
        for (const PreparedItem *item : itemsOf(pages, index)) {
            const bool cell = m_table.isValid() && item->band == m_table.rowBand()->name;
            lines[qRound((cell ? item->rect.top() - item->view->rect.top() : item->rect.top()) / kDocxLineMm) * kDocxLineMm] << item;
        }
        double bottom = index == 0 ? def.printableArea().top() : -1;
        for (auto &[top, items] : lines) {
            std::sort(items.begin(), items.end(),
                      [](const PreparedItem *a, const PreparedItem *b) { return a->rect.left() < b->rect.left(); });
            const double before = bottom < 0 ? 0 : top - bottom;
            TableLine line;
            QList<const PreparedItem *> texts;
            for (const PreparedItem *item : items) {
                bottom = qMax(bottom, item->rect.bottom());
                if (const int column = m_table.columnOf(*item); column >= 0) {
                    line.cells.insert(column, item);
                    line.captions = item->band != m_table.rowBand()->name;
                    line.height = qMax(line.height, item->rect.height());
                } else if (item->view->kind == ViewKind::Text) {
                    texts << item;
                } else {
                    flushTable();
                    writeImageParagraph(*item, printableLeft, before);
                    endsWithTable = false;
                }
            }
            if (!line.cells.isEmpty()) {
                table << line;
            } else if (!texts.isEmpty()) {
                flushTable();
                writeTextLine(m_xml, texts, printableLeft, before);
                endsWithTable = false;
            }
        }
        if (pageDone && !pageDone()) {
            m_cancelled = true;
            return;
        }
    }
    flushTable();

    QList<const PreparedItem *> footerItems;
    const PreparedItem *pageNumber = nullptr;
    for (const PreparedItem &item : pages.first()->items)
        if (item.view && item.view->kind == ViewKind::Text && isPageNumber(*item.view))
            pageNumber = &item;
    for (const PreparedItem &item : pages.last()->items)
        if (item.view && item.bandKind == BandKind::PageFooter && item.view->kind == ViewKind::Text && !item.text.isEmpty())
            footerItems << &item;
    std::sort(footerItems.begin(), footerItems.end(),
              [](const PreparedItem *a, const PreparedItem *b) { return a->rect.left() < b->rect.left(); });
    const QString footer = footerOf(footerItems, pageNumber, printableLeft);

    // A section ends with a paragraph holding its properties; the last one's close the body.
    if (!last || endsWithTable) {
        m_xml.writeStartElement(QStringLiteral("w:p"));
        m_xml.writeStartElement(QStringLiteral("w:pPr"));
        writeTightSpacing(m_xml);
        if (!last)
            writeSectionProperties(*pages.first(), def, footer);
        m_xml.writeEndElement();
        m_xml.writeEndElement();
    }
    if (last)
        writeSectionProperties(*pages.first(), def, footer);
}

void DocxBodyWriter::writeTable(const QList<TableLine> &lines)
{
    const QList<TableColumn> &columns = m_table.columns();
    double width = 0;
    for (const TableColumn &column : columns)
        width += column.width;
    m_xml.writeStartElement(QStringLiteral("w:tbl"));
    m_xml.writeStartElement(QStringLiteral("w:tblPr"));
    m_xml.writeEmptyElement(QStringLiteral("w:tblW"));
    m_xml.writeAttribute(QStringLiteral("w:w"), twips(width));
    m_xml.writeAttribute(QStringLiteral("w:type"), QStringLiteral("dxa"));
    m_xml.writeEmptyElement(QStringLiteral("w:tblInd"));
    m_xml.writeAttribute(QStringLiteral("w:w"), twips(columns.first().left));
    m_xml.writeAttribute(QStringLiteral("w:type"), QStringLiteral("dxa"));
    m_xml.writeEmptyElement(QStringLiteral("w:tblLayout"));
    m_xml.writeAttribute(QStringLiteral("w:type"), QStringLiteral("fixed"));
    m_xml.writeEndElement();
    m_xml.writeStartElement(QStringLiteral("w:tblGrid"));
    for (const TableColumn &column : columns) {
        m_xml.writeEmptyElement(QStringLiteral("w:gridCol"));
        m_xml.writeAttribute(QStringLiteral("w:w"), twips(column.width));
    }
    m_xml.writeEndElement();
    for (int i = 0; i < lines.size(); ++i) {
        const TableLine &line = lines.at(i);
        m_xml.writeStartElement(QStringLiteral("w:tr"));
        m_xml.writeStartElement(QStringLiteral("w:trPr"));
        m_xml.writeEmptyElement(QStringLiteral("w:cantSplit"));
        m_xml.writeEmptyElement(QStringLiteral("w:trHeight"));
        m_xml.writeAttribute(QStringLiteral("w:val"), twips(line.height));
        m_xml.writeAttribute(QStringLiteral("w:hRule"), QStringLiteral("atLeast"));
        if (line.captions && i == 0)
            m_xml.writeEmptyElement(QStringLiteral("w:tblHeader"));
        m_xml.writeEndElement();
        for (int c = 0; c < columns.size(); ++c)
            writeCell(columns.at(c), line.cells.value(c));
        m_xml.writeEndElement();
    }
    m_xml.writeEndElement();
}

void DocxBodyWriter::writeCell(const TableColumn &column, const PreparedItem *item)
{
    m_xml.writeStartElement(QStringLiteral("w:tc"));
    m_xml.writeStartElement(QStringLiteral("w:tcPr"));
    m_xml.writeEmptyElement(QStringLiteral("w:tcW"));
    m_xml.writeAttribute(QStringLiteral("w:w"), twips(column.width));
    m_xml.writeAttribute(QStringLiteral("w:type"), QStringLiteral("dxa"));
    const ViewDef *view = item ? item->view : nullptr;
    if (view && view->frame) {
        m_xml.writeStartElement(QStringLiteral("w:tcBorders"));
        for (const char *side : {"w:top", "w:left", "w:bottom", "w:right"}) {
            m_xml.writeEmptyElement(QLatin1String(side));
            m_xml.writeAttribute(QStringLiteral("w:val"), QStringLiteral("single"));
            m_xml.writeAttribute(QStringLiteral("w:sz"), QStringLiteral("4"));
            m_xml.writeAttribute(QStringLiteral("w:space"), QStringLiteral("0"));
            m_xml.writeAttribute(QStringLiteral("w:color"), QStringLiteral("000000"));
        }
        m_xml.writeEndElement();
    }
    if (view && view->fill.isValid()) {
        m_xml.writeEmptyElement(QStringLiteral("w:shd"));
        m_xml.writeAttribute(QStringLiteral("w:val"), QStringLiteral("clear"));
        m_xml.writeAttribute(QStringLiteral("w:color"), QStringLiteral("auto"));
        m_xml.writeAttribute(QStringLiteral("w:fill"), view->fill.name().mid(1).toUpper());
    }
    if (view) {
        const QString gap = QString::number(qRound(view->gapX * kTwipsPerPixel));
        m_xml.writeStartElement(QStringLiteral("w:tcMar"));
        for (const char *side : {"w:left", "w:right"}) {
            m_xml.writeEmptyElement(QLatin1String(side));
            m_xml.writeAttribute(QStringLiteral("w:w"), gap);
            m_xml.writeAttribute(QStringLiteral("w:type"), QStringLiteral("dxa"));
        }
        m_xml.writeEndElement();
        writeValue(m_xml, QStringLiteral("w:vAlign"), view->vAlign == VAlign::Bottom   ? QStringLiteral("bottom")
                                                      : view->vAlign == VAlign::Center ? QStringLiteral("center")
                                                                                       : QStringLiteral("top"));
    }
    m_xml.writeEndElement();
    m_xml.writeStartElement(QStringLiteral("w:p"));
    m_xml.writeStartElement(QStringLiteral("w:pPr"));
    writeTightSpacing(m_xml);
    if (view)
        writeValue(m_xml, QStringLiteral("w:jc"), justification(view->hAlign));
    m_xml.writeEndElement();
    if (item && !item->text.isEmpty())
        writeRuns(m_xml, view->font, item->text);
    m_xml.writeEndElement();
    m_xml.writeEndElement();
}

void DocxBodyWriter::writeImageParagraph(const PreparedItem &item, double printableLeft, double beforeMm)
{
    QString relation;
    QSizeF size = item.rect.size();
    if (item.view->kind == ViewKind::Chart) {
        relation = m_document.addImage(exportsupport::pngBytes(PageRenderer().imageOf(item, kDocxChartDotsPerInch),
                                                                kDocxChartDotsPerInch), 0);
    } else {
        if (item.picture.isNull())
            return;
        relation = m_document.addImage(exportsupport::pngBytes(item.picture), item.picture.cacheKey());
        // A picture keeps its proportions inside its box, as printed.
        QSizeF shown = item.picture.size();
        shown.scale(size, Qt::KeepAspectRatio);
        size = shown;
    }
    m_xml.writeStartElement(QStringLiteral("w:p"));
    m_xml.writeStartElement(QStringLiteral("w:pPr"));
    writeTightSpacing(m_xml, beforeMm);
    m_xml.writeEmptyElement(QStringLiteral("w:ind"));
    m_xml.writeAttribute(QStringLiteral("w:left"), twips(qMax(0.0, item.rect.left() - printableLeft)));
    m_xml.writeEndElement();
    writeInline(relation, size.width(), size.height());
    m_xml.writeEndElement();
}

void DocxBodyWriter::writeInline(const QString &relation, double widthMm, double heightMm)
{
    const QString id = QString::number(++m_document.m_drawings);
    m_xml.writeStartElement(QStringLiteral("w:r"));
    m_xml.writeStartElement(QStringLiteral("w:drawing"));
    m_xml.writeStartElement(QStringLiteral("wp:inline"));
    for (const char *distance : {"distT", "distB", "distL", "distR"})
        m_xml.writeAttribute(QLatin1String(distance), QStringLiteral("0"));
    m_xml.writeEmptyElement(QStringLiteral("wp:extent"));
    m_xml.writeAttribute(QStringLiteral("cx"), emus(widthMm));
    m_xml.writeAttribute(QStringLiteral("cy"), emus(heightMm));
    m_xml.writeEmptyElement(QStringLiteral("wp:docPr"));
    m_xml.writeAttribute(QStringLiteral("id"), id);
    m_xml.writeAttribute(QStringLiteral("name"), QStringLiteral("Imagen ") + id);
    m_xml.writeStartElement(QStringLiteral("wp:cNvGraphicFramePr"));
    m_xml.writeEmptyElement(QStringLiteral("a:graphicFrameLocks"));
    m_xml.writeAttribute(QStringLiteral("noChangeAspect"), QStringLiteral("1"));
    m_xml.writeEndElement();
    m_xml.writeStartElement(QStringLiteral("a:graphic"));
    m_xml.writeStartElement(QStringLiteral("a:graphicData"));
    m_xml.writeAttribute(QStringLiteral("uri"), QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/picture"));
    m_xml.writeStartElement(QStringLiteral("pic:pic"));
    m_xml.writeStartElement(QStringLiteral("pic:nvPicPr"));
    m_xml.writeEmptyElement(QStringLiteral("pic:cNvPr"));
    m_xml.writeAttribute(QStringLiteral("id"), id);
    m_xml.writeAttribute(QStringLiteral("name"), QStringLiteral("imagen%1.png").arg(id));
    m_xml.writeEmptyElement(QStringLiteral("pic:cNvPicPr"));
    m_xml.writeEndElement();
    m_xml.writeStartElement(QStringLiteral("pic:blipFill"));
    m_xml.writeEmptyElement(QStringLiteral("a:blip"));
    m_xml.writeAttribute(QStringLiteral("r:embed"), relation);
    m_xml.writeStartElement(QStringLiteral("a:stretch"));
    m_xml.writeEmptyElement(QStringLiteral("a:fillRect"));
    m_xml.writeEndElement();
    m_xml.writeEndElement();
    m_xml.writeStartElement(QStringLiteral("pic:spPr"));
    m_xml.writeStartElement(QStringLiteral("a:xfrm"));
    m_xml.writeEmptyElement(QStringLiteral("a:off"));
    m_xml.writeAttribute(QStringLiteral("x"), QStringLiteral("0"));
    m_xml.writeAttribute(QStringLiteral("y"), QStringLiteral("0"));
    m_xml.writeEmptyElement(QStringLiteral("a:ext"));
    m_xml.writeAttribute(QStringLiteral("cx"), emus(widthMm));
    m_xml.writeAttribute(QStringLiteral("cy"), emus(heightMm));
    m_xml.writeEndElement();
    m_xml.writeStartElement(QStringLiteral("a:prstGeom"));
    m_xml.writeAttribute(QStringLiteral("prst"), QStringLiteral("rect"));
    m_xml.writeEmptyElement(QStringLiteral("a:avLst"));
    m_xml.writeEndElement();
    m_xml.writeEndElement();   // pic:spPr
    m_xml.writeEndElement();   // pic:pic
    m_xml.writeEndElement();   // a:graphicData
    m_xml.writeEndElement();   // a:graphic
    m_xml.writeEndElement();   // wp:inline
    m_xml.writeEndElement();   // w:drawing
    m_xml.writeEndElement();   // w:r
}

QString DocxBodyWriter::footerOf(const QList<const PreparedItem *> &items, const PreparedItem *pageNumber,
                                 double printableLeft)
{
    if (items.isEmpty() && !pageNumber)
        return QString();
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.writeStartDocument(QStringLiteral("1.0"), true);
    xml.writeStartElement(QStringLiteral("w:ftr"));
    writeWordNamespaces(xml);
    if (!items.isEmpty())
        writeTextLine(xml, items, printableLeft, 0);
    if (pageNumber) {
        // The page number as the word processor counts pages, with the caption the header gave it.
        xml.writeStartElement(QStringLiteral("w:p"));
        xml.writeStartElement(QStringLiteral("w:pPr"));
        writeTightSpacing(xml);
        writeValue(xml, QStringLiteral("w:jc"), QStringLiteral("right"));
        xml.writeEndElement();
        if (!pageNumber->prefix.isEmpty())
            writeRuns(xml, pageNumber->view->font, pageNumber->prefix);
        writeFieldCharacter(xml, QStringLiteral("begin"));
        xml.writeStartElement(QStringLiteral("w:r"));
        xml.writeStartElement(QStringLiteral("w:instrText"));
        xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
        xml.writeCharacters(QStringLiteral(" PAGE "));
        xml.writeEndElement();
        xml.writeEndElement();
        writeFieldCharacter(xml, QStringLiteral("separate"));
        writeRuns(xml, pageNumber->view->font, QStringLiteral("1"));
        writeFieldCharacter(xml, QStringLiteral("end"));
        if (!pageNumber->suffix.isEmpty())
            writeRuns(xml, pageNumber->view->font, pageNumber->suffix);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return m_document.addFooter(bytes);
}

void DocxBodyWriter::writeSectionProperties(const PreparedPage &page, const PageDef &def, const QString &footer)
{
    m_xml.writeStartElement(QStringLiteral("w:sectPr"));
    if (!footer.isEmpty()) {
        m_xml.writeEmptyElement(QStringLiteral("w:footerReference"));
        m_xml.writeAttribute(QStringLiteral("w:type"), QStringLiteral("default"));
        m_xml.writeAttribute(QStringLiteral("r:id"), footer);
    }
    writeValue(m_xml, QStringLiteral("w:type"), QStringLiteral("nextPage"));
    m_xml.writeEmptyElement(QStringLiteral("w:pgSz"));
    m_xml.writeAttribute(QStringLiteral("w:w"), twips(page.size.width()));
    m_xml.writeAttribute(QStringLiteral("w:h"), twips(page.size.height()));
    if (page.orientation == QPageLayout::Landscape)
        m_xml.writeAttribute(QStringLiteral("w:orient"), QStringLiteral("landscape"));
    // The footer sits in the bottom margin as the report's page footer sits above it.
    const BandDef *footerBand = def.band(BandKind::PageFooter);
    m_xml.writeEmptyElement(QStringLiteral("w:pgMar"));
    m_xml.writeAttribute(QStringLiteral("w:top"), twips(def.margins.top()));
    m_xml.writeAttribute(QStringLiteral("w:right"), twips(def.margins.right()));
    m_xml.writeAttribute(QStringLiteral("w:bottom"), twips(def.margins.bottom() + (footerBand ? footerBand->height : 0)));
    m_xml.writeAttribute(QStringLiteral("w:left"), twips(def.margins.left()));
    m_xml.writeAttribute(QStringLiteral("w:header"), twips(def.margins.top() / 2));
    m_xml.writeAttribute(QStringLiteral("w:footer"), twips(def.margins.bottom()));
    m_xml.writeAttribute(QStringLiteral("w:gutter"), QStringLiteral("0"));
    m_xml.writeEndElement();
}

QString DocxDocument::addImage(const QByteArray &png, qint64 key)
{
    if (key != 0)
        if (const QString found = m_images.value(key); !found.isEmpty())
            return found;
    const QString target = QStringLiteral("media/image%1.png").arg(++m_imageCount);
    m_parts << Part{QStringLiteral("word/") + target, QString(), png};
    m_relations << Relation{QStringLiteral("rId%1").arg(m_relations.size() + 1), QStringLiteral("image"), target};
    if (key != 0)
        m_images.insert(key, m_relations.last().id);
    return m_relations.last().id;
}

QString DocxDocument::addFooter(const QByteArray &xml)
{
    const QString target = QStringLiteral("footer%1.xml").arg(++m_footerCount);
    m_parts << Part{QStringLiteral("word/") + target,
                    QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml"), xml};
    m_relations << Relation{QStringLiteral("rId%1").arg(m_relations.size() + 1), QStringLiteral("footer"), target};
    return m_relations.last().id;
}

bool DocxDocument::build(const std::function<bool(int, int)> &progress)
{
    m_document.clear();
    m_parts.clear();
    m_relations.clear();
    m_images.clear();
    m_drawings = 0;
    m_imageCount = 0;
    m_footerCount = 0;
    QXmlStreamWriter xml(&m_document);
    xml.writeStartDocument(QStringLiteral("1.0"), true);
    xml.writeStartElement(QStringLiteral("w:document"));
    writeWordNamespaces(xml);
    xml.writeStartElement(QStringLiteral("w:body"));
    DocxBodyWriter writer(*this, xml);
    const auto groups = exportsupport::pagesByLayoutPage(m_report);
    int done = 0;
    const auto pageDone = [&] { return !progress || progress(++done, m_report.pageCount()); };
    for (int g = 0; g < groups.size(); ++g) {
        writer.writeSection(groups.at(g), m_report.layout->pages.at(groups.at(g).first()->layoutPage), g == groups.size() - 1,
                            pageDone);
        if (writer.cancelled())
            return false;
    }
    if (groups.isEmpty())
        xml.writeEmptyElement(QStringLiteral("w:p"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return true;
}

} // namespace report
