#include "tools/ResultPrinter.h"

#include "framework/dataset/TDataSet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

#include <unistd.h>

namespace {

const QStringList kResultFields{"COD_EMPL", "POR_EMPL", "NUM_PERA", "APE_EMPL", "NOM_EMPL", "COD_EMCA"};

QString bandColour(double percentage, bool trueColour)
{
    // The green bound is held in extended precision: 91.1 as a double lies below it.
    if (static_cast<long double>(percentage) >= 91.1L)
        return trueColour ? QStringLiteral("\x1b[30;48;2;146;226;107m") : QStringLiteral("\x1b[30;42m");
    if (percentage >= 70)
        return trueColour ? QStringLiteral("\x1b[30;48;2;255;255;0m") : QStringLiteral("\x1b[30;43m");
    return trueColour ? QStringLiteral("\x1b[37;48;2;255;0;0m") : QStringLiteral("\x1b[37;41m");
}

bool colourAllowed()
{
    const QByteArray term = qgetenv("TERM");
    return isatty(STDOUT_FILENO) && qEnvironmentVariableIsEmpty("NO_COLOR") && !term.isEmpty() && term != "dumb";
}

QString cellText(TField *field)
{
    if (field->FieldName() == QLatin1String("POR_EMPL"))
        return QString::number(field->AsFloat(), 'f', 2);
    return field->AsString();
}

void printTable(TDataSet &result, QTextStream &out)
{
    QList<TField *> fields;
    for (const QString &name : kResultFields)
        fields << result.FieldByName(name);
    QList<QStringList> rows{QStringList(kResultFields)};
    for (result.First(); !result.Eof(); result.Next()) {
        QStringList row;
        for (TField *field : fields)
            row << cellText(field);
        rows << row;
    }
    QList<int> widths(fields.size(), 0);
    for (const QStringList &row : rows)
        for (int c = 0; c < row.size(); ++c)
            widths[c] = qMax(widths[c], row.at(c).size());
    const bool colour = colourAllowed();
    const QByteArray colourTerm = qgetenv("COLORTERM");
    const bool trueColour = colourTerm == "truecolor" || colourTerm == "24bit";
    for (int r = 0; r < rows.size(); ++r) {
        QStringList cells;
        for (int c = 0; c < rows[r].size(); ++c) {
            const bool number = r > 0 && (c < 3 || c == 5);
            cells << (number ? rows[r][c].rightJustified(widths[c]) : rows[r][c].leftJustified(widths[c]));
        }
        const QString line = cells.join(QStringLiteral("  "));
        if (colour && r > 0)
            out << bandColour(rows[r][1].toDouble(), trueColour) << line << "\x1b[0m\n";
        else
            out << line << '\n';
    }
}

QString jsonText(const QVariant &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{QJsonValue::fromVariant(value)}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// Written by hand so that each object lists its fields in the table's order.
void printJson(TDataSet &result, QTextStream &out)
{
    QStringList objects;
    for (result.First(); !result.Eof(); result.Next()) {
        QStringList members;
        for (const QString &name : kResultFields)
            members << QStringLiteral("\"%1\": %2").arg(name, jsonText(result.FieldByName(name)->AsVariant()));
        objects << QStringLiteral("  {") + members.join(QStringLiteral(", ")) + QLatin1Char('}');
    }
    out << (objects.isEmpty() ? QStringLiteral("[]") : QStringLiteral("[\n") + objects.join(QStringLiteral(",\n")) + QStringLiteral("\n]"))
        << '\n';
}

QString csvText(const QString &value)
{
    if (!value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char('"')) && !value.contains(QLatin1Char('\n')))
        return value;
    return QLatin1Char('"') + QString(value).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

void printCsv(TDataSet &result, QTextStream &out)
{
    out << kResultFields.join(QLatin1Char(',')) << '\n';
    for (result.First(); !result.Eof(); result.Next()) {
        QStringList values;
        for (const QString &name : kResultFields)
            values << csvText(result.FieldByName(name)->AsString());
        out << values.join(QLatin1Char(',')) << '\n';
    }
}

} // namespace

void printGenerationResult(TDataSet &result, const QString &format, QTextStream &out)
{
    if (format == QLatin1String("json"))
        printJson(result, out);
    else if (format == QLatin1String("csv"))
        printCsv(result, out);
    else
        printTable(result, out);
}
