#include "tools/ResultPrinter.h"

#include "framework/dataset/TDataSet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

#include <optional>

#include <unistd.h>

namespace {

const QString kBandCaption = QStringLiteral("Semáforo");

// The places after the decimal point a display format shows ("#,##0.00 %": 2); -1 without one.
int decimalsShown(const QString &displayFormat)
{
    const int point = displayFormat.indexOf(QLatin1Char('.'));
    if (point < 0)
        return -1;
    int decimals = 0;
    for (int i = point + 1; i < displayFormat.size(); ++i) {
        if (displayFormat.at(i) != QLatin1Char('0') && displayFormat.at(i) != QLatin1Char('#'))
            break;
        ++decimals;
    }
    return decimals;
}

QString cellText(const engine::ResultField &field, TField *value)
{
    const int decimals = field.isNumber() ? decimalsShown(field.displayFormat) : -1;
    if (decimals >= 0 && !value->IsNull())
        return QString::number(value->AsFloat(), 'f', decimals);
    return value->AsString();
}

QString basicColour(engine::Band band)
{
    switch (band) {
    case engine::Band::Green:
        return QStringLiteral("\x1b[30;42m");
    case engine::Band::Yellow:
        return QStringLiteral("\x1b[30;43m");
    case engine::Band::Red:
        break;
    }
    return QStringLiteral("\x1b[37;41m");
}

// Black text on a light background, white on a dark one.
QString trueColour(engine::Band band)
{
    const engine::Rgb rgb = engine::bandColour(band);
    const bool light = 299 * rgb.red + 587 * rgb.green + 114 * rgb.blue > 128000;
    return QStringLiteral("\x1b[%1;48;2;%2;%3;%4m").arg(light ? 30 : 37).arg(rgb.red).arg(rgb.green).arg(rgb.blue);
}

// The rows as lines of columns two blanks apart, each column as wide as its widest cell; the
// header (the first row) flush left, the cells of `rightAligned` columns flush right.
QStringList laidOut(const QList<QStringList> &rows, const QList<bool> &rightAligned)
{
    QList<int> widths(rows.first().size(), 0);
    for (const QStringList &row : rows)
        for (int c = 0; c < row.size(); ++c)
            widths[c] = qMax(widths[c], row.at(c).size());
    QStringList lines;
    for (int r = 0; r < rows.size(); ++r) {
        QStringList cells;
        for (int c = 0; c < rows[r].size(); ++c) {
            const bool right = r > 0 && c < rightAligned.size() && rightAligned.at(c);
            cells << (right ? rows[r][c].rightJustified(widths[c]) : rows[r][c].leftJustified(widths[c]));
        }
        lines << cells.join(QStringLiteral("  "));
    }
    return lines;
}

QString jsonText(const QVariant &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{QJsonValue::fromVariant(value)}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// A field quoted, its quotes doubled, when it holds the separator, a quote or a line break.
QString csvText(const QString &value, QChar separator)
{
    if (!value.contains(separator) && !value.contains(QLatin1Char('"')) && !value.contains(QLatin1Char('\n'))
        && !value.contains(QLatin1Char('\r')))
        return value;
    return QLatin1Char('"') + QString(value).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

} // namespace

CsvStyle CsvStyle::of(const QLocale &locale)
{
    if (locale.decimalPoint() == QLatin1String(","))
        return {QLatin1Char(';'), QLatin1Char(',')};
    return {};
}

ResultPrinter::ResultPrinter(engine::ResultTable schema) : m_schema(std::move(schema))
{
}

ResultPrinter::Colour ResultPrinter::terminalColour()
{
    const QByteArray term = qgetenv("TERM");
    if (!isatty(STDOUT_FILENO) || !qEnvironmentVariableIsEmpty("NO_COLOR") || term.isEmpty() || term == "dumb")
        return Colour::None;
    const QByteArray colourTerm = qgetenv("COLORTERM");
    return colourTerm == "truecolor" || colourTerm == "24bit" ? Colour::TrueColour : Colour::Basic;
}

QList<ResultPrinter::Column> ResultPrinter::columns(TDataSet &result) const
{
    QList<Column> list;
    for (const engine::ResultField &field : m_schema.fields)
        list << Column{&field, result.FieldByName(field.name)};
    return list;
}

void ResultPrinter::print(TDataSet &result, const QString &format, QTextStream &out, Colour colour) const
{
    if (format == QLatin1String("json"))
        printJson(result, out);
    else if (format == QLatin1String("csv"))
        printCsv(result, out);
    else
        printTable(result, out, colour);
}

void ResultPrinter::printTable(TDataSet &result, QTextStream &out, Colour colour) const
{
    const QList<Column> cols = columns(result);
    TField *percentage = m_schema.bandField.isEmpty() ? nullptr : result.FieldByName(m_schema.bandField);
    QStringList header;
    QList<bool> rightAligned;
    for (const Column &column : cols) {
        header << column.field->caption();
        rightAligned << column.field->isNumber();
    }
    if (percentage)
        header << kBandCaption;
    QList<QStringList> rows{header};
    QList<std::optional<engine::Band>> bands;
    for (result.First(); !result.Eof(); result.Next()) {
        QStringList row;
        for (const Column &column : cols)
            row << cellText(*column.field, column.value);
        if (percentage) {
            bands << m_schema.bandOf(percentage->AsVariant());
            row << (bands.last() ? engine::bandName(*bands.last()) : QString());
        }
        rows << row;
    }
    const QStringList lines = laidOut(rows, rightAligned);
    for (int r = 0; r < lines.size(); ++r) {
        if (r == 0 || !percentage || colour == Colour::None || !bands.at(r - 1)) {
            QString line = lines.at(r);
            // Only a coloured row keeps its padding, so that every background ends at one column.
            while (line.endsWith(QLatin1Char(' ')))
                line.chop(1);
            out << line << '\n';
        } else {
            const engine::Band band = *bands.at(r - 1);
            out << (colour == Colour::TrueColour ? trueColour(band) : basicColour(band)) << lines.at(r) << "\x1b[0m\n";
        }
    }
}

// Written by hand so that each object lists its fields in the schema's order.
void ResultPrinter::printJson(TDataSet &result, QTextStream &out) const
{
    const QList<Column> cols = columns(result);
    QStringList objects;
    for (result.First(); !result.Eof(); result.Next()) {
        QStringList members;
        for (const Column &column : cols)
            members << QStringLiteral("\"%1\": %2").arg(column.field->name, jsonText(column.value->AsVariant()));
        objects << QStringLiteral("  {") + members.join(QStringLiteral(", ")) + QLatin1Char('}');
    }
    out << (objects.isEmpty() ? QStringLiteral("[]") : QStringLiteral("[\n") + objects.join(QStringLiteral(",\n")) + QStringLiteral("\n]"))
        << '\n';
}

// Numbers keep every digit the dataset holds; only their decimal mark follows the style.
void ResultPrinter::printCsv(TDataSet &result, QTextStream &out) const
{
    const QList<Column> cols = columns(result);
    TField *percentage = m_schema.bandField.isEmpty() ? nullptr : result.FieldByName(m_schema.bandField);
    QStringList header;
    for (const Column &column : cols)
        header << csvText(column.field->caption(), m_csv.separator);
    if (percentage)
        header << csvText(kBandCaption, m_csv.separator);
    out << QChar(QChar::ByteOrderMark) << header.join(m_csv.separator) << '\n';
    for (result.First(); !result.Eof(); result.Next()) {
        QStringList values;
        for (const Column &column : cols) {
            QString text = column.value->AsString();
            if (column.field->isNumber())
                text.replace(QLatin1Char('.'), m_csv.decimal);
            values << csvText(text, m_csv.separator);
        }
        if (percentage) {
            const std::optional<engine::Band> band = m_schema.bandOf(percentage->AsVariant());
            values << (band ? engine::bandName(*band) : QString());
        }
        out << values.join(m_csv.separator) << '\n';
    }
}
