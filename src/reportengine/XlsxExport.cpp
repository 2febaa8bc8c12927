#include "reportengine/XlsxExport.h"

#include "framework/FormatSettings.h"

#include "reportengine/ExportSupport.h"
#include "reportengine/PageRenderer.h"
#include "reportengine/ReportTable.h"

#include <QDate>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <limits>
#include <map>
#include <xlsxwriter.h>

namespace report {

using namespace exportsupport;

namespace {

constexpr double kEdgeMm = 0.5;
constexpr double kChartDotsPerInch = 150;
constexpr double kTallestRowPoints = 409;

// Text shown as is inside a spreadsheet number format.
QString quoted(const QString &text)
{
    return text.isEmpty() ? QString() : QLatin1Char('"') + QString(text).remove(QLatin1Char('"')) + QLatin1Char('"');
}

QString maskFormat(const QString &mask)
{
    // Digits, grouping and the decimal point keep their meaning; everything else is literal.
    QString result;
    QString literal;
    for (const QChar c : mask) {
        if (QStringLiteral("0#.,").contains(c)) {
            result += quoted(literal) + c;
            literal.clear();
        } else {
            literal += c;
        }
    }
    return result + quoted(literal);
}

double halfMm(double mm) { return qRound(mm * 2) / 2.0; }

// Days since the spreadsheet epoch, the fraction of a day for a time; whole seconds, as printed.
double serialOf(const QVariant &value)
{
    static const QDate epoch(1899, 12, 30);
    const auto dayFraction = [](const QTime &time) { return (time.msecsSinceStartOfDay() / 1000) / 86400.0; };
    switch (value.typeId()) {
    case QMetaType::QDate:
        return double(epoch.daysTo(value.toDate()));
    case QMetaType::QTime:
        return dayFraction(value.toTime());
    default: {
        const QDateTime moment = value.toDateTime();
        return double(epoch.daysTo(moment.date())) + dayFraction(moment.time());
    }
    }
}

// The format the report printed the value with (see formatReportValue).
QString printedFormatOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QDate:
        return FormatSettings::ShortDateFormat();
    case QMetaType::QTime:
        return QStringLiteral("HH:mm:ss");
    default:
        return FormatSettings::ShortDateFormat() + QStringLiteral(" HH:mm:ss");
    }
}

class Workbook {
public:
    explicit Workbook(const QString &path) : m_book(workbook_new(QFile::encodeName(path).constData())) {}
    ~Workbook()
    {
        if (m_book)
            workbook_close(m_book);
    }
    bool isValid() const { return m_book != nullptr; }
    lxw_worksheet *addSheet(const QString &name)
    {
        return workbook_add_worksheet(m_book, name.toUtf8().constData());
    }
    lxw_error setProperties(const PreparedReport &report);
    lxw_error close()
    {
        const lxw_error result = workbook_close(m_book);
        m_book = nullptr;
        return result;
    }
    lxw_format *format(const ViewDef &view, const QString &numberFormat);

    QList<QByteArray> pictures;   // PNG bytes the workbook may read until it closes

private:
    lxw_workbook *m_book;
    QHash<QPair<const ViewDef *, QString>, lxw_format *> m_formats;
};

lxw_error Workbook::setProperties(const PreparedReport &report)
{
    const QByteArray title = report.title().toUtf8();
    const QByteArray author = report.info.author.toUtf8();
    const QByteArray company = report.info.subject.toUtf8();
    lxw_doc_properties properties{};
    properties.title = const_cast<char *>(title.constData());
    properties.author = const_cast<char *>(author.constData());
    properties.subject = const_cast<char *>(company.constData());
    properties.company = const_cast<char *>(company.constData());
    if (report.info.created.isValid())
        properties.created = time_t(report.info.created.toSecsSinceEpoch());
    return workbook_set_properties(m_book, &properties);
}

lxw_format *Workbook::format(const ViewDef &view, const QString &numberFormat)
{
    const auto key = qMakePair(&view, numberFormat);
    if (lxw_format *found = m_formats.value(key))
        return found;
    lxw_format *format = workbook_add_format(m_book);
    format_set_font_name(format, view.font.family.toUtf8().constData());
    format_set_font_size(format, view.font.pixelSize * 0.75);
    if (view.font.bold)
        format_set_bold(format);
    if (view.font.italic)
        format_set_italic(format);
    format_set_align(format, view.hAlign == HAlign::Right    ? LXW_ALIGN_RIGHT
                             : view.hAlign == HAlign::Center ? LXW_ALIGN_CENTER
                                                             : LXW_ALIGN_LEFT);
    format_set_align(format, view.vAlign == VAlign::Bottom   ? LXW_ALIGN_VERTICAL_BOTTOM
                             : view.vAlign == VAlign::Center ? LXW_ALIGN_VERTICAL_CENTER
                                                             : LXW_ALIGN_VERTICAL_TOP);
    if (view.frame)
        format_set_border(format, LXW_BORDER_THIN);
    if (view.fill.isValid()) {
        format_set_pattern(format, LXW_PATTERN_SOLID);
        format_set_bg_color(format, view.fill.rgb() & 0xFFFFFF);
    }
    if (!numberFormat.isEmpty())
        format_set_num_format(format, numberFormat.toUtf8().constData());
    m_formats.insert(key, format);
    return format;
}

// One worksheet: the prepared pages of one layout page written one under the other, the page
// header once at the top, the page footer once at the bottom, the caption row once.
class SheetWriter {
public:
    SheetWriter(Workbook &book, lxw_worksheet *sheet, const PageDef &page, const QList<const PreparedPage *> &pages)
        : m_book(book), m_sheet(sheet), m_table(ReportTable::of(page)), m_pages(pages)
    {
        layOutColumns(page.printableArea().left());
    }

    lxw_error writePage(int index);
    lxw_error finish();

private:
    struct Column {
        double left;    // mm on the sheet
        double right;
    };
    enum class RowKind { None, Other, Table };

    void layOutColumns(double printableLeft);
    QList<const PreparedItem *> itemsToWrite(int index);
    int wantedColumn(const PreparedItem &item) const;
    QList<int> placeRow(const QList<const PreparedItem *> &cells, const QSet<int> &taken) const;
    double widthUpTo(int first, int end) const;
    lxw_error writeCell(const PreparedItem &item, int column);
    lxw_error writeImage(const PreparedItem &item, int column, double widthMm);

    Workbook &m_book;
    lxw_worksheet *m_sheet;
    ReportTable m_table;
    QList<const PreparedPage *> m_pages;
    QList<Column> m_columns;
    exportsupport::ColumnHeaderOnce m_headers;
    RowKind m_previous = RowKind::None;
    int m_row = 0;
    int m_captionRow = -1;
    int m_firstDataRow = -1;
    int m_lastDataRow = -1;
};

void SheetWriter::layOutColumns(double printableLeft)
{
    // A table gives one column per cell; anything printed right of it gets columns of its own.
    // A page without a table gets a column wherever a view starts.
    double tableRight = -std::numeric_limits<double>::max();
    for (const TableColumn &column : m_table.columns()) {
        m_columns << Column{printableLeft + column.left, printableLeft + column.left + column.width};
        tableRight = m_columns.last().right;
    }
    std::map<double, double> extra;   // left -> widest right
    for (const PreparedPage *page : m_pages)
        for (const PreparedItem &item : page->items)
            if (item.view && item.rect.left() >= tableRight - kEdgeMm) {
                double &right = extra[halfMm(item.rect.left())];
                right = qMax(right, item.rect.right());
            }
    for (auto it = extra.begin(); it != extra.end(); ++it) {
        const auto next = std::next(it);
        m_columns << Column{it->first, next != extra.end() ? next->first : it->second};
    }
}

QList<const PreparedItem *> SheetWriter::itemsToWrite(int index)
{
    const bool first = index == 0;
    const bool last = index == m_pages.size() - 1;
    QList<const PreparedItem *> kept;
    for (const PreparedItem &item : m_pages.at(index)->items) {
        if (!item.view)
            continue;
        if ((item.bandKind == BandKind::PageHeader && !first) || (item.bandKind == BandKind::PageFooter && !last))
            continue;
        if (!m_headers.keep(item))
            continue;
        kept << &item;
    }
    m_headers.pageDone();
    return kept;
}

int SheetWriter::wantedColumn(const PreparedItem &item) const
{
    // A text goes where it reads from: its right edge when right-aligned, its middle when centred.
    double edge = item.rect.left() + kEdgeMm;
    if (item.view->kind == ViewKind::Text && item.view->hAlign == HAlign::Right)
        edge = item.rect.right() - kEdgeMm;
    else if (item.view->kind == ViewKind::Text && item.view->hAlign == HAlign::Center)
        edge = item.rect.center().x();
    int found = 0;
    for (int c = 0; c < m_columns.size(); ++c)
        if (m_columns.at(c).left <= edge)
            found = c;
    return found;
}

QList<int> SheetWriter::placeRow(const QList<const PreparedItem *> &cells, const QSet<int> &taken) const
{
    // Every view of a line gets a column of its own, left to right, as near as possible to the
    // one it wants; a line that runs past the last column is pushed back from the right.
    QList<int> columns;
    QList<bool> fixed;
    int previous = -1;
    for (const PreparedItem *item : cells) {
        const int own = m_table.columnOf(*item);
        int column = own >= 0 ? own : qMax(wantedColumn(*item), previous + 1);
        while (own < 0 && taken.contains(column))
            ++column;
        columns << column;
        fixed << (own >= 0);
        previous = column;
    }
    const QList<int> forward = columns;
    int limit = m_columns.size();
    for (int i = columns.size() - 1; i >= 0; --i) {
        if (columns.at(i) >= limit) {
            int column = limit - 1;
            while (column >= 0 && taken.contains(column))
                --column;
            if (fixed.at(i) || column < 0)
                return forward;
            columns[i] = column;
        }
        limit = columns.at(i);
    }
    return columns;
}

double SheetWriter::widthUpTo(int first, int end) const
{
    // Up to the last column there is no limit: nothing stands to the right.
    if (first >= m_columns.size() || end >= m_columns.size())
        return std::numeric_limits<double>::max();
    return m_columns.at(end).left - m_columns.at(first).left;
}

lxw_error SheetWriter::writePage(int index)
{
    // Lines by their top; the cells of one record always make one line.
    std::map<double, QList<const PreparedItem *>> lines;
    for (const PreparedItem *item : itemsToWrite(index)) {
        const bool cell = m_table.isValid() && item->band == m_table.rowBand()->name;
        lines[halfMm(cell ? item->rect.top() - item->view->rect.top() : item->rect.top())] << item;
    }
    QList<QPair<int, double>> images;   // column and bottom of the pictures placed on this page
    for (auto line = lines.begin(); line != lines.end(); ++line) {
        const double top = line->first;
        QList<const PreparedItem *> &cells = line->second;
        // A picture taller than its line makes the line as tall as the picture, short of the next
        // line; lines within its height stay beside it.
        const auto next = std::next(line);
        const double room = next != lines.end() ? next->first - top : std::numeric_limits<double>::max();
        std::sort(cells.begin(), cells.end(),
                  [](const PreparedItem *a, const PreparedItem *b) { return a->rect.left() < b->rect.left(); });
        bool captions = false;
        bool records = false;
        for (const PreparedItem *item : cells) {
            if (m_table.columnOf(*item) < 0)
                continue;
            if (item->band == m_table.rowBand()->name)
                records = true;
            else
                captions = true;
        }
        const RowKind kind = captions || records ? RowKind::Table : RowKind::Other;
        // A blank line between the table and what surrounds it keeps the table a region of its own.
        if (m_previous != RowKind::None && m_previous != kind)
            ++m_row;
        m_previous = kind;
        if (captions && m_captionRow < 0)
            m_captionRow = m_row;
        if (records) {
            if (m_firstDataRow < 0)
                m_firstDataRow = m_row;
            m_lastDataRow = m_row;
        }
        QSet<int> taken;
        for (const auto &[column, bottom] : images)
            if (bottom > top + kEdgeMm)
                taken.insert(column);
        const QList<int> columns = placeRow(cells, taken);
        double height = 0;
        for (int i = 0; i < cells.size(); ++i) {
            const PreparedItem &item = *cells.at(i);
            lxw_error result = LXW_NO_ERROR;
            if (item.view->kind == ViewKind::Text) {
                height = qMax(height, item.rect.height());
                result = writeCell(item, columns.at(i));
            } else {
                const int end = i + 1 < cells.size() ? columns.at(i + 1) : int(m_columns.size());
                result = writeImage(item, columns.at(i), qMin(item.rect.width(), widthUpTo(columns.at(i), end)));
                images << qMakePair(columns.at(i), item.rect.bottom());
                height = qMax(height, qMin(item.rect.height(), room));
            }
            if (result != LXW_NO_ERROR)
                return result;
        }
        if (height > 0)
            worksheet_set_row(m_sheet, m_row, qMin(kTallestRowPoints, height * 72 / 25.4), nullptr);
        ++m_row;
    }
    return LXW_NO_ERROR;
}

lxw_error SheetWriter::writeCell(const PreparedItem &item, int column)
{
    const ViewDef &view = *item.view;
    if (item.number.isValid()) {
        const QString format = XlsxExport::numberFormat(view.format, item.prefix, item.suffix);
        return worksheet_write_number(m_sheet, m_row, column, item.number.toDouble(), m_book.format(view, format));
    }
    if (item.dateTime.isValid()) {
        const QString format = XlsxExport::dateTimeFormat(printedFormatOf(item.dateTime), item.prefix, item.suffix);
        return worksheet_write_number(m_sheet, m_row, column, serialOf(item.dateTime), m_book.format(view, format));
    }
    if (item.text.isEmpty())
        return view.frame || view.fill.isValid() ? worksheet_write_blank(m_sheet, m_row, column, m_book.format(view, QString()))
                                                 : LXW_NO_ERROR;
    return worksheet_write_string(m_sheet, m_row, column, item.text.toUtf8().constData(), m_book.format(view, QString()));
}

lxw_error SheetWriter::writeImage(const PreparedItem &item, int column, double widthMm)
{
    // Pictures keep their proportions inside their box, as printed; charts are drawn at their size.
    QImage image = item.picture;
    double dotsPerInch = 96;
    if (item.view->kind == ViewKind::Chart) {
        dotsPerInch = kChartDotsPerInch;
        image = PageRenderer().imageOf(item, dotsPerInch);
    }
    if (image.isNull())
        return LXW_NO_ERROR;
    m_book.pictures << pngBytes(image, dotsPerInch);
    const QSizeF shown = QSizeF(image.size()) * 96 / dotsPerInch;   // pixels as the reader sizes it
    QSizeF size = shown;
    size.scale(QSizeF(widthMm, item.rect.height()) * PageRenderer::kPixelsPerMm, Qt::KeepAspectRatio);
    lxw_image_options options{};
    options.x_scale = size.width() / shown.width();
    options.y_scale = size.height() / shown.height();
    options.object_position = LXW_OBJECT_MOVE_DONT_SIZE;
    const QByteArray &png = m_book.pictures.last();
    return worksheet_insert_image_buffer_opt(m_sheet, m_row, column, reinterpret_cast<const unsigned char *>(png.constData()),
                                             size_t(png.size()), &options);
}

lxw_error SheetWriter::finish()
{
    for (int c = 0; c < m_columns.size(); ++c) {
        const double mm = m_columns.at(c).right - m_columns.at(c).left;
        worksheet_set_column(m_sheet, c, c, qMax(1.0, (mm * PageRenderer::kPixelsPerMm - 5) / 7), nullptr);
    }
    if (m_firstDataRow < 0)
        return LXW_NO_ERROR;
    // The captions stay in sight while scrolling, and filter and sort the records below them.
    const bool captioned = m_captionRow >= 0 && m_captionRow < m_firstDataRow;
    const int top = captioned ? m_captionRow : m_firstDataRow;
    if (captioned || top > 0)
        worksheet_freeze_panes(m_sheet, captioned ? top + 1 : top, 0);
    return worksheet_autofilter(m_sheet, top, 0, m_lastDataRow, lxw_col_t(m_table.columns().size() - 1));
}

} // namespace

QString XlsxExport::numberFormat(const QString &format, const QString &prefix, const QString &suffix)
{
    static const QRegularExpression printf(QStringLiteral("^%\\d*(?:\\.(\\d+))?([nfdg])$"));
    QString number = QStringLiteral("General");
    if (const auto match = printf.match(format); match.hasMatch()) {
        const int decimals = match.captured(2) == QLatin1String("d") ? 0 : match.captured(1).toInt();
        const QString fraction = decimals > 0 ? QLatin1Char('.') + QString(decimals, QLatin1Char('0')) : QString();
        number = (match.captured(2) == QLatin1String("n") ? QStringLiteral("#,##0") : QStringLiteral("0")) + fraction;
    } else if (!format.isEmpty()) {
        number = maskFormat(format);
    }
    if (prefix.isEmpty() && suffix.isEmpty())
        return number;
    return quoted(prefix) + number + quoted(suffix);
}

QString XlsxExport::dateTimeFormat(const QString &qtFormat, const QString &prefix, const QString &suffix)
{
    // Day, month, year, hour, minute and second letters carry over (months and minutes are both
    // "m" in a spreadsheet, told apart by their neighbours); the rest is literal text.
    QString result;
    QString literal;
    bool inQuotes = false;
    for (int i = 0; i < qtFormat.size(); ++i) {
        const QChar c = qtFormat.at(i);
        if (c == QLatin1Char('\'')) {
            inQuotes = !inQuotes;
            continue;
        }
        if (!inQuotes && QStringLiteral("dMyHhms").contains(c)) {
            result += quoted(literal);
            literal.clear();
            result += c == QLatin1Char('M') ? QLatin1Char('m') : c == QLatin1Char('H') ? QLatin1Char('h') : c;
        } else if (!inQuotes && QStringLiteral("/:-. ").contains(c) && literal.isEmpty()) {
            result += c;
        } else {
            literal += c;
        }
    }
    return quoted(prefix) + result + quoted(literal) + quoted(suffix);
}

QString XlsxExport::sheetName(const QString &title, int index)
{
    static const QRegularExpression forbidden(QStringLiteral("[\\[\\]:*?/\\\\]"));
    QString name = QString(title).remove(forbidden).simplified();
    while (name.startsWith(QLatin1Char('\'')))
        name.remove(0, 1);
    if (name.isEmpty())
        name = QStringLiteral("Reporte");
    const QString suffix = index > 0 ? QStringLiteral(" (%1)").arg(index + 1) : QString();
    name = name.left(31 - suffix.size()).trimmed();
    while (name.endsWith(QLatin1Char('\'')))
        name.chop(1);
    return name + suffix;
}

bool XlsxExport::write(const PreparedReport &report, const QString &path, QString *error,
                       const std::function<bool(int, int)> &progress)
{
    if (!report.layout)
        return fail(error, path, QStringLiteral("el reporte no tiene diseño"));
    // The library writes to a path of its own choosing; the finished workbook is then put in place.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return fail(error, path, scratch.errorString());
    const QString temporary = scratch.filePath(QStringLiteral("report.xlsx"));
    {
        Workbook book(temporary);
        if (!book.isValid())
            return fail(error, path, QStringLiteral("no se pudo crear el libro"));
        if (const lxw_error result = book.setProperties(report))
            return fail(error, path, QString::fromUtf8(lxw_strerror(result)));
        const auto groups = pagesByLayoutPage(report);
        int done = 0;
        for (int g = 0; g < groups.size(); ++g) {
            lxw_worksheet *sheet = book.addSheet(sheetName(report.title(), g));
            if (!sheet)
                return fail(error, path, QStringLiteral("no se pudo crear la hoja %1").arg(sheetName(report.title(), g)));
            SheetWriter writer(book, sheet, report.layout->pages.at(groups.at(g).first()->layoutPage), groups.at(g));
            for (int p = 0; p < groups.at(g).size(); ++p) {
                if (const lxw_error result = writer.writePage(p))
                    return fail(error, path, QString::fromUtf8(lxw_strerror(result)));
                if (progress && !progress(++done, report.pageCount()))
                    return fail(error, path, cancelledMessage());
            }
            if (const lxw_error result = writer.finish())
                return fail(error, path, QString::fromUtf8(lxw_strerror(result)));
        }
        if (const lxw_error result = book.close())
            return fail(error, path, QString::fromUtf8(lxw_strerror(result)));
    }
    return moveIntoPlace(temporary, path, error);
}

} // namespace report
