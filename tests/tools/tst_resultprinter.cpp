// The command line's printer of the result table: columns, captions and alignment follow the
// schema it is given, found by name in the dataset whatever either order; rows carry their band.
// The CSV follows the locale it is given (the command line hands it the user's), so a
// spreadsheet opened there splits it into the same cells.

#include "data/DataModuleCatalog.h"
#include "engine/ResultSchema.h"
#include "engine/SuccessionSchema.h"
#include "framework/dataset/TClientDataSet.h"
#include "framework/dataset/TField.h"
#include "tests/support/DataTable.h"
#include "tools/ResultPrinter.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

struct Row {
    double employee;
    QVariant percentage;
    QString surnames;
    QString names;
};

const QList<Row> kRows{{1001, 95.5, QStringLiteral("Ríos"), QStringLiteral("Ana")},
                       {1020304, 70.0, QStringLiteral("Gómez Peña"), QStringLiteral("María José")},
                       {7, QVariant(), QStringLiteral("Oz"), QStringLiteral("Li")}};

// Texts a CSV may have to quote: either separator, a quote, a line break, each on its own.
const QList<Row> kAwkwardRows{{42, 88.25, QStringLiteral("Díaz; Ruiz"), QStringLiteral("Ana, Bea")},
                              {43, 12.5, QStringLiteral("O\"Neil"), QStringLiteral("Luz\nMar")}};

// The result table in the data module's own order, with `rows`.
void fillResult(TClientDataSet &result, const QList<Row> &rows = kRows)
{
    DataModuleCatalog::defineResultFields(result, engine::trafficLightTable());
    result.CreateDataSet();
    for (const Row &row : rows) {
        result.Append();
        result.FieldByName(engine::resultfield::CodEmpl)->setAsFloat(row.employee);
        result.FieldByName(engine::resultfield::PorEmpl)->setAsVariant(row.percentage);
        result.FieldByName(engine::resultfield::NumPera)->setAsInteger(12);
        result.FieldByName(engine::resultfield::ApeEmpl)->setAsString(row.surnames);
        result.FieldByName(engine::resultfield::NomEmpl)->setAsString(row.names);
        result.FieldByName(engine::resultfield::CodEmca)->setAsInteger(2);
        result.Post();
    }
}

// The traffic-light schema with its fields in another order.
engine::ResultTable reordered(const QStringList &order)
{
    engine::ResultTable schema = engine::trafficLightTable();
    schema.fields.clear();
    for (const QString &name : order)
        schema.fields << *engine::trafficLightTable().field(name);
    return schema;
}

QString printed(const engine::ResultTable &schema, const QString &format,
                ResultPrinter::Colour colour = ResultPrinter::Colour::None, const CsvStyle &csv = {},
                const QList<Row> &rows = kRows)
{
    TClientDataSet result(QStringLiteral("CdsAcSemaf"));
    fillResult(result, rows);
    QString text;
    QTextStream out(&text);
    ResultPrinter printer(schema);
    printer.setCsvStyle(csv);
    printer.print(result, format, out, colour);
    out.flush();
    return text;
}

// What a row shows in each column, by field name.
QString expectedCell(const Row &row, const QString &field)
{
    namespace f = engine::resultfield;
    if (field == f::CodEmpl)
        return QString::number(row.employee, 'f', 0);
    if (field == f::PorEmpl)
        return row.percentage.isNull() ? QString() : QString::number(row.percentage.toDouble(), 'f', 2);
    if (field == f::NumPera)
        return QStringLiteral("12");
    if (field == f::ApeEmpl)
        return row.surnames;
    if (field == f::NomEmpl)
        return row.names;
    return QStringLiteral("2");
}

// A CSV text read the way a spreadsheet does: quoted fields may hold the separator, doubled
// quotes and line breaks.
QList<QStringList> csvRecords(const QString &text, QChar separator)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"'))
                field += text.at(++i);
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                field += c;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == separator) {
            record << field;
            field.clear();
        } else if (c == QLatin1Char('\n')) {
            records << (record << field);
            record.clear();
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !record.isEmpty())
        records << (record << field);
    return records;
}

} // namespace

class TestResultPrinter : public QObject {
    Q_OBJECT
private slots:
    void columnsFollowTheSchema_data()
    {
        addColumns<QStringList>({"order"});
        QTest::newRow("the schema's order") << engine::trafficLightTable().fieldNames();
        QTest::newRow("names first, a subset") << QStringList{"APE_EMPL", "NOM_EMPL", "POR_EMPL", "COD_EMPL"};
    }

    // The table: captions in the schema's order, each cell in its column, numbers flush right
    // and texts flush left; the band named last.
    void columnsFollowTheSchema()
    {
        QFETCH(QStringList, order);
        const engine::ResultTable schema = reordered(order);
        const QStringList lines = printed(schema, QStringLiteral("table")).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), kRows.size() + 1);
        const QString &header = lines.first();
        QList<int> starts;
        for (const engine::ResultField &field : schema.fields)
            starts << header.indexOf(field.caption());
        starts << header.indexOf(QStringLiteral("Semáforo"));
        QVERIFY2(std::is_sorted(starts.begin(), starts.end()) && starts.first() == 0, qPrintable(header));
        for (int r = 0; r < kRows.size(); ++r) {
            const QString &line = lines.at(r + 1);
            for (int c = 0; c < schema.fields.size(); ++c) {
                const engine::ResultField &field = schema.fields.at(c);
                const QString cell = line.mid(starts[c], starts[c + 1] - starts[c] - 2);
                const QString text = expectedCell(kRows.at(r), field.name);
                const QString aligned = field.isNumber() ? text.rightJustified(cell.size()) : text.leftJustified(cell.size());
                QCOMPARE(cell, aligned);
            }
            QCOMPARE(line.mid(starts.last()).trimmed(),
                     engine::bandName(engine::band(kRows.at(r).percentage.toDouble())));
        }
    }

    // CSV and JSON give the fields in the schema's order: CSV under their labels, JSON by name.
    void dataFollowTheSchema()
    {
        const QStringList order{"NUM_PERA", "COD_EMPL", "NOM_EMPL", "COD_EMCA"};
        const QStringList csv = printed(reordered(order), QStringLiteral("csv")).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(csv.first(), QStringLiteral("\uFEFFPerfiles,Identificación,Nombres,COD_EMCA,Semáforo"));
        QCOMPARE(csv.at(2), QStringLiteral("12,1020304,María José,2,amarillo"));
        const QString json = printed(reordered(order), QStringLiteral("json"));
        QVERIFY2(json.contains(QStringLiteral("{\"NUM_PERA\": 12, \"COD_EMPL\": 1001, \"NOM_EMPL\": \"Ana\", \"COD_EMCA\": 2}")),
                 qPrintable(json));
    }

    void csvForASpreadsheet_data()
    {
        addColumns<QLocale, QString>({"locale", "separator"});
        QTest::newRow("Spanish, Colombia") << QLocale(QLocale::Spanish, QLocale::Colombia) << QString();
        QTest::newRow("Spanish, Colombia, commas asked for") << QLocale(QLocale::Spanish, QLocale::Colombia)
                                                            << QStringLiteral(",");
    }

    // A byte order mark, the labels and the band; each row's cells as the locale writes them,
    // quoted where a spreadsheet would otherwise split or join them wrongly.
    void csvForASpreadsheet()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, separator);
        CsvStyle style = CsvStyle::of(locale);
        if (!separator.isEmpty())
            style.separator = separator.at(0);
        const QList<Row> rows = kRows + kAwkwardRows;
        const QString text = printed(engine::trafficLightTable(), QStringLiteral("csv"), ResultPrinter::Colour::None,
                                     style, rows);
        QVERIFY2(text.startsWith(QChar(0xFEFF)) && text.count(QChar(0xFEFF)) == 1, qPrintable(text));

        const QList<QStringList> records = csvRecords(text.mid(1), style.separator);
        QCOMPARE(records.size(), rows.size() + 1);
        QCOMPARE(records.first(), (QStringList{"Identificación", "Porcentaje", "Perfiles", "Apellidos", "Nombres",
                                               "COD_EMCA", "Semáforo"}));
        const QString d = style.decimal;
        const QList<QStringList> expected{
            {"1001", "95" + d + "5", "12", "Ríos", "Ana", "2", "verde"},
            {"1020304", "70", "12", "Gómez Peña", "María José", "2", "amarillo"},
            {"7", "", "12", "Oz", "Li", "2", "rojo"},
            {"42", "88" + d + "25", "12", "Díaz; Ruiz", "Ana, Bea", "2", "amarillo"},
            {"43", "12" + d + "5", "12", "O\"Neil", "Luz\nMar", "2", "rojo"},
        };
        for (int r = 0; r < expected.size(); ++r)
            QCOMPARE(records.at(r + 1), expected.at(r));
    }

    // A succession map's row that measures nothing (the plan's own) names no band and takes no
    // colour; a measured row keeps its band and, on a true-colour terminal, its band's background.
    // (CSV names the band as the table does; the bands' colours: tst_mainform's painted grid.)
    void mapRowsWithoutAPercentageHaveNoBand()
    {
        namespace s = engine::successionfield;
        TClientDataSet map(QStringLiteral("CdsMapaSucesion"));
        DataModuleCatalog::defineResultFields(map, engine::successionSummaryTable());
        map.CreateDataSet();
        map.Append();
        map.FieldByName(s::CodNodo)->setAsInteger(0);
        map.FieldByName(s::NomCarg)->setAsString(QStringLiteral("Plan (sin cargo)"));
        map.Post();
        map.Append();
        map.FieldByName(s::CodNodo)->setAsInteger(3);
        map.FieldByName(s::NumCand)->setAsInteger(2);
        map.FieldByName(s::PorMejo)->setAsFloat(95);
        map.Post();
        QString text;
        QTextStream out(&text);
        ResultPrinter printer(engine::successionSummaryTable());
        printer.print(map, QStringLiteral("table"), out, ResultPrinter::Colour::TrueColour);
        out.flush();
        const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines.at(0).contains(QStringLiteral("% Mejor Candidato")), qPrintable(lines.at(0)));
        QVERIFY2(lines.at(1).contains(QStringLiteral("Plan (sin cargo)")), qPrintable(lines.at(1)));
        for (const char *band : {"verde", "amarillo", "rojo", "\x1b"})
            QVERIFY2(!lines.at(1).contains(QLatin1String(band)), qPrintable(lines.at(1)));
        const engine::Rgb green = engine::bandColour(engine::Band::Green);
        const QRegularExpression background(QStringLiteral("^\x1b\\[3[07];48;2;%1;%2;%3m.*verde.*\x1b\\[0m$")
                                                .arg(green.red).arg(green.green).arg(green.blue));
        QVERIFY2(background.match(lines.at(2)).hasMatch(), qPrintable(lines.at(2)));
    }
};

QTEST_GUILESS_MAIN(TestResultPrinter)
#include "tst_resultprinter.moc"
