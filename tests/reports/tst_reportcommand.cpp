// qacsemaf report list as a script uses it: the files it writes hold the generated rows, and a
// bad command line or an empty result ends with the message and without a file.

#include "DataTable.h"
#include "DemoDatabase.h"
#include "TestTools.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

class TestReportCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(m_db.isValid(), qPrintable(m_db.error())); }

    void writesPdfAndWorkbook()
    {
        const QJsonArray rows = generated();
        QVERIFY(rows.size() > 1);

        const QString pdf = m_dir.filePath(QStringLiteral("list.pdf"));
        const QString xlsx = m_dir.filePath(QStringLiteral("list.xlsx"));
        QCOMPARE(run(QStringLiteral(QACSEMAF_TOOL),
                     QStringList{"report", "list"} + generationOptions() + QStringList{"--pdf", pdf, "--xlsx", xlsx}), 0);
        QVERIFY2(m_output.contains(QStringLiteral("PDF, ")) && m_output.contains(pdf), qPrintable(m_output));

        QCOMPARE(run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}), 0);
        QVERIFY2(m_output.contains(QRegularExpression(QStringLiteral("Nro\\. Registros:\\s+%1\\n").arg(rows.size()))),
                 qPrintable(m_output));

        QCOMPARE(run(QStringLiteral("/usr/bin/python3"), {QStringLiteral(READ_XLSX), xlsx}), 0);
        const QJsonArray cells = QJsonDocument::fromJson(m_output.toUtf8()).object().value("rows").toArray();
        int numbersPerEmployee = 0;
        for (const QJsonValue &line : cells)
            if (line.toArray().size() == 4 && line.toArray().at(2).toArray().at(0).isDouble())
                ++numbersPerEmployee;
        QCOMPARE(numbersPerEmployee, rows.size());
    }

    void refusals_data()
    {
        addColumns<QStringList, int, QString>({"arguments", "exitCode", "message"});
        const QStringList generation{"--company", "2", "--target", "SUP001@2", "--candidates", "OPE001@2", "--categories", "EF"};
        QTest::newRow("no output") << QStringList{"report", "list"} + generation << 2
                                   << "qacsemaf report: --pdf or --xlsx is required";
        QTest::newRow("unknown report") << QStringList{"report", "competencias", "--pdf", "x.pdf"} << 2
                                        << "qacsemaf report: unknown report \"competencias\" (use list, competence)";
        QTest::newRow("no report named") << QStringList{"report"} << 2 << "qacsemaf report: name the report: list, competence";
        QTest::newRow("generation option") << QStringList{"report", "list", "--company", "2", "--pdf", "x.pdf"} << 2
                                           << "qacsemaf report: --target is required";
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
    QStringList generationOptions() const
    {
        return {"--db", m_db.path(), "--company", "2", "--target", "SUP001@2", "--candidates", "OPE001@2,OPE002@2",
                "--categories", "EF,EN,EP,CO"};
    }

    // The rows `generate` gives for those options.
    QJsonArray generated()
    {
        run(QStringLiteral(QACSEMAF_TOOL), QStringList{"generate", "--format", "json"} + generationOptions());
        return QJsonDocument::fromJson(m_output.toUtf8()).array();
    }

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
