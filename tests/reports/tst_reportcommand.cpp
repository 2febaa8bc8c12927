// qacsemaf report as a script uses it: a bad command line or an empty result ends with the
// message and without a file; both reports write every format asked for; the competence page prints
// the rows. (The list's rows: tst_journey; the pages' layout: the report engine's tests.)

#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/PdfTools.h"
#include "tests/support/TestTools.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

class TestReportCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        // The messages checked are the Spanish ones, whatever the locale of the test run.
        qputenv("LANG", "C.UTF-8");
        qunsetenv("LC_ALL");
        qunsetenv("LC_MESSAGES");
    }

    void refusals_data()
    {
        addColumns<QStringList, int, QString>({"arguments", "exitCode", "message"});
        const QStringList generation{"--company", "2", "--target", "SUP001@2", "--candidates", "OPE001@2", "--categories", "EF"};
        QTest::newRow("no output") << QStringList{"report", "list"} + generation << 2
                                   << "qacsemaf: falta --pdf, --xlsx o --docx";
        QTest::newRow("no report named") << QStringList{"report"} << 2 << "qacsemaf: indique el reporte: list, competence, evolution";
        QTest::newRow("nobody evaluated")
            << QStringList{"report", "list", "--company", "2", "--target", "SUP001@2", "--candidates", "NOPE99@2",
                           "--categories", "EF", "--pdf", "x.pdf"}
            << 1 << "Primero debe Generar el Sémaforo!!";
        QTest::newRow("employee not evaluated")
            << QStringList{"report", "competence", "--employee", "1"} + generation + QStringList{"--pdf", "x.pdf"} << 1
            << "qacsemaf: el empleado 1 no está en el resultado de esta generación";
    }

    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        if (arguments.size() > 2 && (arguments.at(1) == QLatin1String("list") || arguments.at(1) == QLatin1String("competence")))
            arguments << QStringList{"--db", m_db.path()};
        arguments.replaceInStrings(QStringLiteral("x.pdf"), m_dir.filePath(QStringLiteral("refused.pdf")));
        QCOMPARE(run(QStringLiteral(QACSEMAF_TOOL), arguments), exitCode);
        QVERIFY2(m_errors.contains(message + QLatin1Char('\n')), qPrintable(m_errors));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("refused.pdf"))));
    }

    void writesEveryFormat_data()
    {
        // road: the positions, or a plan node through the main form
        addColumns<QString, QStringList, int>({"report", "road", "pages"});
        const QStringList positions{"--company", "2", "--target", "SUP001@2", "--candidates", "OPE001@2,OPE002@2"};
        const QStringList node{"--company", "1", "--plan", "1", "--node", "11"};
        QTest::newRow("list") << "list" << positions << 2;
        QTest::newRow("competence") << "competence" << positions << 2;
        QTest::newRow("competence on a plan node") << "competence" << node << 2;
    }

    void writesEveryFormat()
    {
        QFETCH(QString, report);
        QFETCH(QStringList, road);
        QFETCH(int, pages);
        QStringList arguments = QStringList{"report", report, "--db", m_db.path(), "--categories", "EF,EN,EP,CO"} + road;
        QStringList expected;
        for (const QString kind : {"pdf", "xlsx", "docx"}) {
            const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QLatin1Char('.') + kind);
            arguments << QStringLiteral("--") + kind << path;
            expected << QStringLiteral("qacsemaf: %1, %2 %3: %4")
                            .arg(kind.toUpper())
                            .arg(pages)
                            .arg(pages == 1 ? QStringLiteral("página") : QStringLiteral("páginas"), path);
        }
        QCOMPARE(run(QStringLiteral(QACSEMAF_TOOL), arguments), 0);
        for (const QString &line : expected)
            QVERIFY2(m_output.contains(line + QLatin1Char('\n')), qPrintable(m_output + m_errors));
    }

    // The competence report's rows without windows: one employee's (the result's first unless one
    // is named), the same in both formats and on the printed page.
    void competenceRows()
    {
        for (const bool named : {false, true}) {
            const QStringList generation{"--db", m_db.path(), "--company", "2", "--target", "SUP001@2",
                                         "--candidates", "OPE001@2,OPE002@2", "--categories", "EF,EN,EP,CO"};
            QCOMPARE(run(QStringLiteral(QACSEMAF_TOOL), QStringList{"generate", "--format", "csv"} + generation), 0);
            const QStringList result = m_output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            QVERIFY2(result.size() > 2, qPrintable(m_output));
            const QString employee = (named ? result.last() : result.at(1)).section(QLatin1Char(','), 0, 0);
            const QStringList chosen = named ? QStringList{"--employee", employee} : QStringList();

            QCOMPARE(run(QStringLiteral(QACSEMAF_TOOL), QStringList{"report", "competence", "--rows", "csv"} + generation + chosen), 0);
            QStringList lines = m_output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            QVERIFY2(lines.size() > 1, qPrintable(m_output + m_errors));
            QCOMPARE(lines.takeFirst(), QStringLiteral("COD_EMPL,TIP_REGI,COD_REQU,COD_ESPE,VAL_REQU,VAL_CUMP,CUM_GRAF"));

            QCOMPARE(run(QStringLiteral(QACSEMAF_TOOL), QStringList{"report", "competence", "--rows", "json"} + generation + chosen), 0);
            const QJsonArray rows = QJsonDocument::fromJson(m_output.toUtf8()).array();
            QCOMPARE(rows.size(), lines.size());
            for (int i = 0; i < rows.size(); ++i) {
                const QJsonObject row = rows.at(i).toObject();
                QCOMPARE(row.value(QStringLiteral("COD_EMPL")).toString(), employee);
                QVERIFY2(lines.at(i).startsWith(employee + QLatin1Char(',')), qPrintable(lines.at(i)));
                // CSV shows two decimals.
                QVERIFY(qAbs(lines.at(i).section(QLatin1Char(','), -1).toDouble() - row.value(QStringLiteral("CUM_GRAF")).toDouble())
                        < 0.006);
                QVERIFY(row.value(QStringLiteral("VAL_REQU")).isDouble());
                QVERIFY(!row.value(QStringLiteral("COD_REQU")).toString().isEmpty());
            }
            if (!named)
                continue;
            // The printed table: the employee, the position he holds, the one he is compared with, and
            // every row's category and requirement.
            const QString pdf = m_dir.filePath(QStringLiteral("competencias.pdf"));
            QCOMPARE(run(QStringLiteral(QACSEMAF_TOOL),
                         QStringList{"report", "competence", "--pdf", pdf} + generation + chosen), 0);
            const QString text = pdfToText(pdf, 1, 1);
            const QString current = m_db.query(QStringLiteral(
                "SELECT TRIM(c.NOM_CARG) FROM NM_CONTR k, BI_CARGO c WHERE k.COD_EMPR = 2 "
                "AND k.COD_EMPL = %1 AND k.IND_ACTI = 'A' AND c.COD_EMPR = k.COD_EMPR "
                "AND c.COD_CARG = k.COD_CARG AND c.IND_ACTI = 'A'").arg(employee)).value(0);
            const QRegularExpression holds(QStringLiteral("Cargo:\\s+") + current);
            QVERIFY2(!current.isEmpty() && text.contains(holds), qPrintable(text));
            const QString target = QStringLiteral("SELECT TRIM(NOM_CARG) FROM BI_CARGO "
                                                  "WHERE COD_EMPR = 2 AND COD_CARG = 'SUP001'");
            QStringList expected{QStringLiteral("Cedula: ") + employee, m_db.query(target).value(0)};
            for (const QJsonValue row : rows)
                for (const char *field : {"TIP_REGI", "COD_REQU"})
                    expected << row[QLatin1String(field)].toString().section(QLatin1Char(' '), 0, 0);
            for (const QString &piece : expected)
                QVERIFY2(!piece.isEmpty() && text.contains(piece), qPrintable(piece + " not in:\n" + text));
        }
    }

private:
    int run(const QString &program, const QStringList &arguments)
    {
        const ProgramRun done = runProgram(program, arguments);
        m_output = done.output;
        m_errors = done.errors;
        return done.exitCode;
    }

    DemoDatabase m_db;
    QTemporaryDir m_dir;
    QString m_output;
    QString m_errors;
};

QTEST_GUILESS_MAIN(TestReportCommand)
#include "tst_reportcommand.moc"
