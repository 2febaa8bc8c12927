// qacsemaf report as a script uses it: a bad command line or an empty result ends with the
// message and without a file. (What the commands write is compared over the file and over the
// server in tst_headlessroad, the pages themselves in the report engine's and competence tests.)

#include "DataTable.h"
#include "DemoDatabase.h"
#include "TestTools.h"

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
                                   << "qacsemaf report: --pdf or --xlsx is required";
        QTest::newRow("unknown report") << QStringList{"report", "competencias", "--pdf", "x.pdf"} << 2
                                        << "qacsemaf report: unknown report \"competencias\" (use list, competence)";
        QTest::newRow("no report named") << QStringList{"report"} << 2 << "qacsemaf report: name the report: list, competence";
        QTest::newRow("nobody evaluated")
            << QStringList{"report", "list", "--company", "2", "--target", "SUP001@2", "--candidates", "NOPE99@2",
                           "--categories", "EF", "--pdf", "x.pdf"}
            << 1 << "Primero debe Generar el Sémaforo!!";
        QTest::newRow("competence without a file") << QStringList{"report", "competence"} + generation << 2
                                                   << "qacsemaf report: --pdf is required";
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
