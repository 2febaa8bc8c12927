#include "XlsxExport.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <xlsxwriter.h>

namespace report {

namespace {

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

double rounded(double mm) { return qRound(mm * 2) / 2.0; }

class Workbook {
public:
    Workbook(const QString &path, const QString &sheetName)
        : m_book(workbook_new(QFile::encodeName(path).constData())),
          m_sheet(m_book ? workbook_add_worksheet(m_book, sheetName.left(31).toUtf8().constData()) : nullptr)
    {
    }
    ~Workbook()
    {
        if (m_book)
            workbook_close(m_book);
    }
    bool isValid() const { return m_sheet != nullptr; }
    lxw_error close()
    {
        const lxw_error result = workbook_close(m_book);
        m_book = nullptr;
        return result;
    }
    lxw_worksheet *sheet() const { return m_sheet; }
    lxw_format *format(const ViewDef &view, const QString &numberFormat);

    QList<QByteArray> pictures;   // PNG bytes the workbook may read until it closes

private:
    lxw_workbook *m_book;
    lxw_worksheet *m_sheet;
    QHash<QPair<const ViewDef *, QString>, lxw_format *> m_formats;
};

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

// Which items go into the table: headers and footers of the page once, not on every sheet.
QList<QList<const PreparedItem *>> itemsPerSheet(const PreparedReport &report)
{
    QList<QList<const PreparedItem *>> result;
    QSet<QString> headersSeen;
    for (int p = 0; p < report.pages.size(); ++p) {
        QList<const PreparedItem *> kept;
        const bool lastSheet = p == report.pages.size() - 1;
        QSet<QString> bandsHere;
        for (const PreparedItem &item : report.pages.at(p).items) {
            if (!item.view || item.view->kind == ViewKind::Chart)
                continue;
            if (item.bandKind == BandKind::PageFooter && !lastSheet)
                continue;
            if (item.bandKind == BandKind::PageHeader || item.bandKind == BandKind::ColumnHeader) {
                if (headersSeen.contains(item.band) && !bandsHere.contains(item.band))
                    continue;
                bandsHere.insert(item.band);
            }
            kept << &item;
        }
        headersSeen.unite(bandsHere);
        result << kept;
    }
    return result;
}

QByteArray pngOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class SheetWriter {
public:
    SheetWriter(Workbook &book, const QList<QList<const PreparedItem *>> &sheets) : m_book(book), m_sheets(sheets)
    {
        for (const auto &items : sheets)
            for (const PreparedItem *item : items)
                m_columns[rounded(item->rect.left())] = 0;
        int index = 0;
        for (auto &[left, column] : m_columns)
            column = index++;
    }

    void setColumnWidths()
    {
        std::map<int, double> widths;
        for (const auto &items : m_sheets)
            for (const PreparedItem *item : items) {
                const int column = m_columns.at(rounded(item->rect.left()));
                const auto next = m_columns.upper_bound(rounded(item->rect.left()));
                const double mm = next != m_columns.end() ? next->first - rounded(item->rect.left()) : item->rect.width();
                widths[column] = qMax(widths[column], qMin(mm, item->rect.width()));
            }
        for (const auto &[column, mm] : widths)
            worksheet_set_column(m_book.sheet(), column, column, qMax(1.0, (mm * 96 / 25.4 - 5) / 7), nullptr);
    }

    lxw_error writeSheet(const QList<const PreparedItem *> &items)
    {
        std::map<double, QList<const PreparedItem *>> rows;
        for (const PreparedItem *item : items)
            rows[rounded(item->rect.top())] << item;
        for (auto &[top, cells] : rows) {
            std::sort(cells.begin(), cells.end(),
                      [](const PreparedItem *a, const PreparedItem *b) { return a->rect.left() < b->rect.left(); });
            double height = 0;
            for (int i = 0; i < cells.size(); ++i) {
                const PreparedItem &item = *cells.at(i);
                height = qMax(height, item.rect.height());
                // A view wider than its column spans the columns up to its right edge, short of
                // the next view of the row.
                int last = lastColumn(item);
                if (i + 1 < cells.size())
                    last = qMin(last, column(*cells.at(i + 1)) - 1);
                if (const lxw_error error = writeCell(item, last))
                    return error;
            }
            if (height > 0)
                worksheet_set_row(m_book.sheet(), m_row, height * 72 / 25.4, nullptr);
            ++m_row;
        }
        return LXW_NO_ERROR;
    }

private:
    int column(const PreparedItem &item) const { return m_columns.at(rounded(item.rect.left())); }

    int lastColumn(const PreparedItem &item) const
    {
        int last = column(item);
        for (const auto &[left, index] : m_columns)
            if (left > item.rect.left() && left < item.rect.right() - 0.25)
                last = qMax(last, index);
        return last;
    }

    lxw_error writeCell(const PreparedItem &item, int lastSpanned)
    {
        const int column = this->column(item);
        const ViewDef &view = *item.view;
        if (view.kind == ViewKind::Picture)
            return writePicture(item, column);
        if (lastSpanned > column) {
            // The merged range takes the format (frame, fill); the value goes into its first cell.
            const QString format = item.number.isValid() ? XlsxExport::numberFormat(view.format, item.prefix, item.suffix)
                                                         : QString();
            if (const lxw_error error = worksheet_merge_range(m_book.sheet(), m_row, column, m_row, lastSpanned, "",
                                                              m_book.format(view, format)))
                return error;
        }
        if (item.number.isValid()) {
            const QString format = XlsxExport::numberFormat(view.format, item.prefix, item.suffix);
            return worksheet_write_number(m_book.sheet(), m_row, column, item.number.toDouble(), m_book.format(view, format));
        }
        if (item.text.isEmpty())
            return view.frame || view.fill.isValid()
                       ? worksheet_write_blank(m_book.sheet(), m_row, column, m_book.format(view, QString()))
                       : LXW_NO_ERROR;
        return worksheet_write_string(m_book.sheet(), m_row, column, item.text.toUtf8().constData(),
                                      m_book.format(view, QString()));
    }

    lxw_error writePicture(const PreparedItem &item, int column)
    {
        if (item.picture.isNull())
            return LXW_NO_ERROR;
        m_book.pictures << pngOf(item.picture);
        QSizeF size = item.picture.size();
        size.scale(item.rect.size() * 96 / 25.4, Qt::KeepAspectRatio);
        lxw_image_options options{};
        options.x_scale = size.width() / item.picture.width();
        options.y_scale = size.height() / item.picture.height();
        const QByteArray &png = m_book.pictures.last();
        return worksheet_insert_image_buffer_opt(m_book.sheet(), m_row, column,
                                                 reinterpret_cast<const unsigned char *>(png.constData()),
                                                 size_t(png.size()), &options);
    }

    Workbook &m_book;
    const QList<QList<const PreparedItem *>> &m_sheets;
    std::map<double, int> m_columns;
    int m_row = 0;
};

bool failed(QString *error, const QString &path, const QString &message)
{
    if (error)
        *error = QStringLiteral("%1: %2").arg(path, message);
    return false;
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

bool XlsxExport::write(const PreparedReport &report, const QString &path, QString *error,
                       const std::function<bool(int, int)> &progress)
{
    // The library writes to a path of its own choosing; the finished workbook is then copied into
    // place through QSaveFile, which replaces the target only once everything is written.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return failed(error, path, scratch.errorString());
    const QString temporary = scratch.filePath(QStringLiteral("report.xlsx"));
    const auto sheets = itemsPerSheet(report);
    {
        Workbook book(temporary, report.layout ? report.layout->name : QStringLiteral("Report"));
        if (!book.isValid())
            return failed(error, path, QStringLiteral("cannot create the workbook"));
        SheetWriter writer(book, sheets);
        writer.setColumnWidths();
        for (int p = 0; p < sheets.size(); ++p) {
            if (const lxw_error result = writer.writeSheet(sheets.at(p)))
                return failed(error, path, QString::fromUtf8(lxw_strerror(result)));
            if (progress && !progress(p + 1, sheets.size()))
                return failed(error, path, QStringLiteral("export cancelled"));
        }
        if (const lxw_error result = book.close())
            return failed(error, path, QString::fromUtf8(lxw_strerror(result)));
    }
    QFile built(temporary);
    if (!built.open(QIODevice::ReadOnly))
        return failed(error, path, built.errorString());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(built.readAll()) < 0 || !file.commit())
        return failed(error, path, file.errorString());
    return true;
}

} // namespace report
