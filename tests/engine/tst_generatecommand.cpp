// qacsemaf generate as a script uses it: the CSV and workbook a spreadsheet user opens, and the
// module's messages and bad arguments ending in a non-zero exit (the rows themselves: tst_goldentable).

#include "engine/ResultSchema.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/TestTools.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

class TestGenerateCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(m_db.isValid(), qPrintable(m_db.error())); }

    void csvInTheUsersLocale_data()
    {
        // environment: locale variables set (the others removed); decimals with a comma or not
        addColumns<QStringList, QStringList, QChar, QChar>({"environment", "arguments", "separator", "decimal"});
        QTest::newRow("C.UTF-8") << QStringList{"LANG=C.UTF-8"} << QStringList{} << QChar(',') << QChar('.');
        QTest::newRow("LANG=es_CO.UTF-8") << QStringList{"LANG=es_CO.UTF-8"} << QStringList{} << QChar(';') << QChar(',');
        QTest::newRow("LC_ALL=es_CO.UTF-8 over LANG=C.UTF-8")
            << QStringList{"LANG=C.UTF-8", "LC_ALL=es_CO.UTF-8"} << QStringList{} << QChar(';') << QChar(',');
        QTest::newRow("es_CO, --csv-separator |") << QStringList{"LANG=es_CO.UTF-8"}
                                                  << QStringList{"--csv-separator", "|"} << QChar('|') << QChar(',');
    }

    // The style the locale (or --csv-separator) picks: its separator between the cells and its
    // decimal mark in the percentages JSON gives. (The rest of the CSV: tst_resultprinter.)
    void csvInTheUsersLocale()
    {
        QFETCH(QStringList, environment);
        QFETCH(QStringList, arguments);
        QFETCH(QChar, separator);
        QFETCH(QChar, decimal);
        const QJsonArray rows = jsonRows();
        QVERIFY(rows.size() > 1);
        QCOMPARE(run(kPositions + QStringList{"--format", "csv"} + arguments, environment), 0);
        const QStringList lines = m_output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), rows.size() + 1);
        bool someFraction = false;
        for (int i = 0; i < rows.size(); ++i) {
            const QString percentage = QString::number(rows.at(i).toObject().value("POR_EMPL").toDouble());
            QCOMPARE(lines.at(i + 1).section(separator, 1, 1),
                     QString(percentage).replace(QLatin1Char('.'), decimal));
            someFraction = someFraction || percentage.contains(QLatin1Char('.'));
        }
        QVERIFY(someFraction);
    }

    // The workbook read back by another reader: one row per result row, numbers as numbers in the
    // display format, the first row frozen and filtered, each row in its band's colour.
    void xlsxWorksheet()
    {
        const QJsonArray rows = jsonRows();
        QVERIFY(rows.size() > 1);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("semáforo.xlsx"));
        QCOMPARE(run(kPositions + QStringList{"--format", "xlsx", "--out", path}), 0);
        QVERIFY2(m_output.isEmpty(), qPrintable(m_output));
        const ProgramRun reader = runProgram(QStringLiteral("/usr/bin/python3"), QStringList{READ_XLSX, path});
        QVERIFY2(reader.exitCode == 0, qPrintable(reader.errors));
        const QJsonObject sheet = QJsonDocument::fromJson(reader.output.toUtf8()).object().value("sheets").toArray().at(0).toObject();
        QCOMPARE(sheet.value("freeze").toString(), QStringLiteral("A2"));
        QCOMPARE(sheet.value("autofilter").toString(), QStringLiteral("A1:G%1").arg(rows.size() + 1));
        const QJsonArray sheetRows = sheet.value("rows").toArray();
        QCOMPARE(sheetRows.size(), rows.size() + 1);
        QMultiHash<int, QString> fills;   // row -> the colour of each of its cells
        for (const QJsonValue &fill : sheet.value("fills").toArray())
            fills.insert(fill.toArray().at(0).toInt(), fill.toArray().at(2).toString());
        for (int i = 0; i < rows.size(); ++i) {
            const QJsonObject row = rows.at(i).toObject();
            const QJsonArray cells = sheetRows.at(i + 1).toArray().at(1).toArray();
            QCOMPARE(cells.size(), 7);
            QVERIFY(cells.at(1).toArray().at(1).isDouble());
            QCOMPARE(cells.at(1).toArray().at(1).toDouble(), row.value("POR_EMPL").toDouble());
            QCOMPARE(cells.at(1).toArray().at(2).toString(), QStringLiteral("#,##0.00 \\%"));
            const engine::Band band = engine::band(row.value("POR_EMPL").toDouble());
            QCOMPARE(cells.at(6).toArray().at(1).toString(), engine::bandName(band));
            const engine::Rgb rgb = engine::bandColour(band);
            const QString colour = QString::number((rgb.red << 16) | (rgb.green << 8) | rgb.blue, 16).rightJustified(6, '0');
            QCOMPARE(fills.values(i + 2), QStringList(7, colour.toUpper()));
        }
        QVERIFY(!fills.contains(1));
    }

    void refusals_data()
    {
        // exitCode: 1: the module refused; 2: the arguments are wrong
        addColumns<QStringList, QString, int>({"arguments", "message", "exitCode"});
        QTest::newRow("two places of the data")
            << QStringList{"--server", "127.0.0.1:1", "--target", "SUP001@2", "--candidates", "OPE001@2", "--categories", "EF"}
            << "qacsemaf: dé una sola de --db ARCHIVO, --pg \"conninfo\" o --server URL\n" << 2;
        QTest::newRow("target without company") << QStringList{"--target", "SUP001", "--candidates", "OPE001@2",
                                                                "--categories", "EF"}
                                                << "--target" << 2;
        QTest::newRow("unknown category") << QStringList{"--target", "SUP001@2", "--candidates", "OPE001@2",
                                                         "--categories", "EF,XX"}
                                          << "XX" << 2;
        QTest::newRow("positions that do not exist, all named")
            << QStringList{"--target", "SUP001@2", "--candidates", "OPE001@2,NOPE@2,OPE001@9", "--categories", "EF"}
            << "No existen los cargos NOPE@2, OPE001@9." << 1;
        QTest::newRow("two-character separator") << kPositions + QStringList{"--format", "csv", "--csv-separator", ";;"}
                                                 << "--csv-separator: dé un carácter que no sea comillas ni salto de "
                                                    "línea, no \";;\"\n" << 2;
        QTest::newRow("separator without csv") << kPositions + QStringList{"--format", "json", "--csv-separator", ";"}
                                               << "qacsemaf: --csv-separator va con --format csv\n" << 2;
    }

    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QFETCH(int, exitCode);
        QCOMPARE(run(arguments), exitCode);
        QVERIFY2(m_errors.contains(message), qPrintable(m_errors));
        QVERIFY(m_output.trimmed().isEmpty());
    }

private:
    const QStringList kPositions{"--target", "SUP001@2", "--candidates", "OPE002@2,OPE001@2", "--categories",
                                 "EF,EN,EP,CO"};

    // `locale`: NAME=VALUE settings of the locale variables, in place of the caller's.
    int run(const QStringList &arguments, const QStringList &locale = {"LANG=C.UTF-8"})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"LC_ALL", "LC_NUMERIC", "LANG", "LANGUAGE"})
            environment.remove(QLatin1String(name));
        for (const QString &setting : locale)
            environment.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
        const ProgramRun tool = runProgram(QStringLiteral(QACSEMAF_TOOL),
                                           QStringList{"generate", "--db", m_db.path(), "--company", "2"} + arguments,
                                           environment);
        m_output = tool.output;
        m_errors = tool.errors;
        return tool.exitCode;
    }

    QJsonArray jsonRows()
    {
        if (run(kPositions + QStringList{"--format", "json"}) != 0)
            return {};
        return QJsonDocument::fromJson(m_output.toUtf8()).array();
    }

    DemoDatabase m_db;
    QString m_output;
    QString m_errors;
};

QTEST_GUILESS_MAIN(TestGenerateCommand)
#include "tst_generatecommand.moc"
