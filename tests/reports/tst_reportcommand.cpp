// qacsemaf report as a script uses it: a bad command line or an empty result ends with the
// message and without a file; both reports write every format asked for. (What the commands write is compared over the file and over the
// server in tst_headlessroad, the pages themselves in the report engine's and competence tests.)

#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/TestTools.h"

#include <QTemporaryDir>
#include <QtTest>

class TestReportCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(m_db.isValid(), qPrintable(m_db.error())); }

    void refusals_data()
    {
        addColumns<QStringList, int, QString>({"arguments", "exitCode", "message"});
        const QStringList generation{"--company", "2", "--target", "SUP001@2", "--candidates", "OPE001@2", "--categories", "EF"};
        QTest::newRow("no output") << QStringList{"report", "list"} + generation << 2
                                   << "qacsemaf report: --pdf, --xlsx or --docx is required";
        QTest::newRow("unknown report") << QStringList{"report", "competencias", "--pdf", "x.pdf"} << 2
                                        << "qacsemaf report: unknown report \"competencias\" (use list, competence)";
        QTest::newRow("no report named") << QStringList{"report"} << 2 << "qacsemaf report: name the report: list, competence";
        QTest::newRow("nobody evaluated")
            << QStringList{"report", "list", "--company", "2", "--target", "SUP001@2", "--candidates", "NOPE99@2",
                           "--categories", "EF", "--pdf", "x.pdf"}
            << 1 << "Primero debe Generar el Sémaforo!!";
        QTest::newRow("competence without a file") << QStringList{"report", "competence"} + generation << 2
                                                   << "qacsemaf report: --pdf, --xlsx or --docx is required";
        QTest::newRow("employee not evaluated")
            << QStringList{"report", "competence", "--employee", "1"} + generation + QStringList{"--pdf", "x.pdf"} << 1
            << "qacsemaf report: employee 1 is not in the result of this generation";
        QTest::newRow("nobody to report")
            << QStringList{"report", "competence", "--company", "2", "--target", "SUP001@2", "--candidates", "NOPE99@2",
                           "--categories", "EF", "--pdf", "x.pdf"}
            << 1 << "Se debe Generar el semaforo para ver reporte... ";
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
        QTest::addColumn<QString>("report");
        QTest::addColumn<int>("pages");
        QTest::newRow("list") << "list" << 2;
        QTest::newRow("competence") << "competence" << 2;
    }

    void writesEveryFormat()
    {
        QFETCH(QString, report);
        QFETCH(int, pages);
        QStringList arguments{"report", report, "--db", m_db.path(), "--company", "2", "--target", "SUP001@2",
                              "--candidates", "OPE001@2,OPE002@2", "--categories", "EF,EN,EP,CO"};
        QStringList expected;
        for (const QString kind : {"pdf", "xlsx", "docx"}) {
            const QString path = m_dir.filePath(report + QLatin1Char('.') + kind);
            arguments << QStringLiteral("--") + kind << path;
            expected << QStringLiteral("qacsemaf report: %1, %2 %3: %4")
                            .arg(kind.toUpper())
                            .arg(pages)
                            .arg(pages == 1 ? QStringLiteral("page") : QStringLiteral("pages"), path);
        }
        QCOMPARE(run(QStringLiteral(QACSEMAF_TOOL), arguments), 0);
        for (const QString &line : expected)
            QVERIFY2(m_output.contains(line + QLatin1Char('\n')), qPrintable(m_output + m_errors));
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
