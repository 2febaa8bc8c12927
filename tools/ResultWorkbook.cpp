#include "tools/ResultWorkbook.h"

#include "framework/dataset/TDataSet.h"
#include "framework/dataset/TField.h"
#include "reportengine/ExportSupport.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <optional>

#include <xlsxwriter.h>

namespace {

const QString kWorkbookBandCaption = QStringLiteral("Semáforo");
constexpr double kWidestColumn = 60;

// The workbook's cell formats, made once per band and number format.
class ResultFormats {
public:
    explicit ResultFormats(lxw_workbook *book) : m_book(book) {}

    lxw_format *caption()
    {
        if (!m_caption) {
            m_caption = workbook_add_format(m_book);
            format_set_bold(m_caption);
            format_set_bottom(m_caption, LXW_BORDER_THIN);
        }
        return m_caption;
    }

    // A row without a band (its percentage is empty) keeps the sheet's background.
    lxw_format *cell(std::optional<engine::Band> band, const QString &numberFormat)
    {
        const QString key = QString::number(band ? int(*band) : -1) + QLatin1Char('|') + numberFormat;
        if (lxw_format *found = m_cells.value(key))
            return found;
        lxw_format *format = workbook_add_format(m_book);
        if (band) {
            const engine::Rgb rgb = engine::bandColour(*band);
            format_set_pattern(format, LXW_PATTERN_SOLID);
            format_set_bg_color(format, lxw_color_t((rgb.red << 16) | (rgb.green << 8) | rgb.blue));
        }
        if (!numberFormat.isEmpty())
            format_set_num_format(format, numberFormat.toUtf8().constData());
        m_cells.insert(key, format);
        return format;
    }

private:
    lxw_workbook *m_book;
    lxw_format *m_caption = nullptr;
    QHash<QString, lxw_format *> m_cells;
};

bool failed(QString *error, const QString &path, lxw_error result)
{
    return report::exportsupport::fail(error, path, QString::fromUtf8(lxw_strerror(result)));
}

} // namespace

QString resultNumberFormat(const QString &displayFormat)
{
    return QString(displayFormat).replace(QLatin1Char('%'), QStringLiteral("\\%"));
}

bool writeResultWorkbook(TDataSet &result, const QString &path, QString *error, const engine::ResultTable &schema)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return report::exportsupport::fail(error, path, scratch.errorString());
    const QString temporary = scratch.filePath(QStringLiteral("result.xlsx"));
    lxw_workbook *book = workbook_new(QFile::encodeName(temporary).constData());
    if (!book)
        return report::exportsupport::fail(error, path, QStringLiteral("no se pudo crear el libro"));
    lxw_worksheet *sheet = workbook_add_worksheet(book, kWorkbookBandCaption.toUtf8().constData());
    ResultFormats formats(book);

    QList<TField *> values;
    QList<double> widths;
    for (int c = 0; c < schema.fields.size(); ++c) {
        const engine::ResultField &field = schema.fields.at(c);
        values << result.FieldByName(field.name);
        widths << field.caption().size();
        worksheet_write_string(sheet, 0, lxw_col_t(c), field.caption().toUtf8().constData(), formats.caption());
    }
    TField *percentage = schema.bandField.isEmpty() ? nullptr : result.FieldByName(schema.bandField);
    const int bandColumn = percentage ? int(schema.fields.size()) : -1;
    if (percentage) {
        widths << kWorkbookBandCaption.size();
        worksheet_write_string(sheet, 0, lxw_col_t(bandColumn), kWorkbookBandCaption.toUtf8().constData(),
                               formats.caption());
    }

    lxw_row_t row = 0;
    for (result.First(); !result.Eof(); result.Next()) {
        ++row;
        const std::optional<engine::Band> band = schema.bandOf(percentage ? percentage->AsVariant() : QVariant());
        for (int c = 0; c < values.size(); ++c) {
            const engine::ResultField &field = schema.fields.at(c);
            TField *value = values.at(c);
            lxw_error written = LXW_NO_ERROR;
            if (value->IsNull()) {
                written = worksheet_write_blank(sheet, row, lxw_col_t(c), formats.cell(band, QString()));
            } else if (field.isNumber()) {
                lxw_format *format = formats.cell(band, resultNumberFormat(field.displayFormat));
                written = worksheet_write_number(sheet, row, lxw_col_t(c), value->AsFloat(), format);
                widths[c] = qMax(widths[c], double(value->AsString().size() + 3));
            } else {
                const QString text = value->AsString();
                written = worksheet_write_string(sheet, row, lxw_col_t(c), text.toUtf8().constData(),
                                                 formats.cell(band, QString()));
                widths[c] = qMax(widths[c], double(text.size()));
            }
            if (written != LXW_NO_ERROR) {
                workbook_close(book);
                return failed(error, path, written);
            }
        }
        if (percentage)
            worksheet_write_string(sheet, row, lxw_col_t(bandColumn),
                                   (band ? engine::bandName(*band) : QString()).toUtf8().constData(),
                                   formats.cell(band, QString()));
    }

    for (int c = 0; c < widths.size(); ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), qMin(kWidestColumn, widths.at(c) + 2), nullptr);
    worksheet_freeze_panes(sheet, 1, 0);
    worksheet_autofilter(sheet, 0, 0, row, lxw_col_t(widths.size() - 1));
    if (const lxw_error closed = workbook_close(book))
        return failed(error, path, closed);
    return report::exportsupport::moveIntoPlace(temporary, path, error);
}
