// Which commands qacsemaf hands to the window program beside it, and that arguments, standard
// streams and exit code pass through unchanged (a stand-in echoes them); without it, the message.

#include "tests/support/DataTable.h"
#include "tests/support/TestTools.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

ProgramRun runWithInput(const QString &program, const QStringList &arguments, const QByteArray &input)
{
    return runProgram(program, arguments, QProcessEnvironment::systemEnvironment(), input);
}

bool copyExecutable(const QString &from, const QString &to)
{
    return QFile::copy(from, to)
           && QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::ExeOwner | QFileDevice::ReadOwner);
}

const int kStandInExit = 42;

} // namespace

class TestWindowRoad : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_withWindow.isValid() && m_alone.isValid());
        m_tool = m_withWindow.filePath(QStringLiteral("qacsemaf"));
        QVERIFY(copyExecutable(QStringLiteral(QACSEMAF_TOOL), m_tool));
        const QString standIn = m_withWindow.filePath(QStringLiteral(QACSEMAF_WINDOW_PROGRAM));
        QFile script(standIn);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "for a in \"$@\"; do printf 'arg=%s\\n' \"$a\"; done\n"
                     "printf 'stdin=%s\\n' \"$(cat)\"\n"
                     "echo 'window program errors' >&2\n"
                     "exit 42\n");
        script.close();
        QVERIFY(QFile::setPermissions(standIn, QFile::permissions(standIn) | QFileDevice::ExeOwner));
        m_lonelyTool = m_alone.filePath(QStringLiteral("qacsemaf"));
        QVERIFY(copyExecutable(QStringLiteral(QACSEMAF_TOOL), m_lonelyTool));
    }

    void handsOver_data()
    {
        addColumns<QStringList, bool>({"arguments", "window"});
        const QStringList node{"--company", "1", "--plan", "1", "--node", "3"};
        QTest::newRow("screenshot") << QStringList{"screenshot", "--out", "page.png"} + node << true;
        QTest::newRow("generate --plan=") << QStringList{"generate", "--plan=1", "--company", "1"} << true;
        QTest::newRow("competence to XLSX=") << QStringList{"report", "competence", "--xlsx=c.xlsx"} << true;
        QTest::newRow("list report on a plan node") << QStringList{"report", "list", "--plan", "1"} << true;
        QTest::newRow("arguments with spaces") << QStringList{"screenshot", "--out", "a page.png", ""} << true;

        QTest::newRow("generate on positions") << QStringList{"generate", "--company", "1", "--target", "DIR002@1"} << false;
        QTest::newRow("an option that only starts like --plan") << QStringList{"generate", "--planes", "1"} << false;

        QTest::newRow("competence rows") << QStringList{"report", "competence", "--rows", "csv"} << false;
        QTest::newRow("unknown command") << QStringList{"screenshots", "--out", "x.png"} << false;
    }

    // Handed over: the stand-in's echo is all there is, arguments in order, the input read and its
    // exit code. Kept: the command line answers itself and the stand-in never runs.
    void handsOver()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, window);
        const ProgramRun run = runWithInput(m_tool, arguments, "answer on stdin");
        if (window) {
            QStringList echoed;
            for (const QString &argument : arguments)
                echoed << QStringLiteral("arg=") + argument;
            echoed << QStringLiteral("stdin=answer on stdin");
            QCOMPARE(run.output, echoed.join(QLatin1Char('\n')) + QLatin1Char('\n'));
            QCOMPARE(run.errors, QStringLiteral("window program errors\n"));
            QCOMPARE(run.exitCode, kStandInExit);
        } else {
            QVERIFY2(!run.output.contains(QStringLiteral("arg=")), qPrintable(run.output));
            QVERIFY2(!run.errors.contains(QStringLiteral("window program")), qPrintable(run.errors));
            QVERIFY(run.exitCode != kStandInExit);
            QVERIFY(run.exitCode == 0 || run.exitCode == 2);   // help, or a usage error of its own
        }
    }

    void missingWindowProgram()
    {
        qputenv("LANG", "C.UTF-8");   // the Spanish message, whatever the locale of the test run
        qunsetenv("LC_ALL");
        qunsetenv("LC_MESSAGES");
        const ProgramRun run = runWithInput(m_lonelyTool, {"screenshot", "--out", "x.png"}, {});
        QCOMPARE(run.exitCode, 127);
        QVERIFY2(run.errors.startsWith(QStringLiteral("qacsemaf: \"screenshot\" abre las ventanas del módulo")),
                 qPrintable(run.errors));
        QVERIFY2(run.errors.contains(m_alone.filePath(QStringLiteral(QACSEMAF_WINDOW_PROGRAM))), qPrintable(run.errors));
        QVERIFY2(run.errors.contains(QStringLiteral("y falta")), qPrintable(run.errors));
        QVERIFY(run.output.isEmpty());
        // The headless commands do without it.
        const ProgramRun seed = runWithInput(m_lonelyTool, {"seed", "--help"}, {});
        QCOMPARE(seed.exitCode, 0);
        QVERIFY2(seed.output.contains(QStringLiteral("--db")), qPrintable(seed.output));
    }

private:
    QTemporaryDir m_withWindow;
    QTemporaryDir m_alone;
    QString m_tool;
    QString m_lonelyTool;
};

QTEST_GUILESS_MAIN(TestWindowRoad)
#include "tst_windowroad.moc"
