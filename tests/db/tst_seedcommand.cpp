// qacsemaf seed as a user runs it: option errors, refusing to overwrite, --force, and the
// per-table counts it prints agreeing with the database it made.

#include "DbTestSupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

class TestSeedCommand : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    struct Run {
        int exitCode = -1;
        QString out;
        QString err;
    };

    static Run seed(const QStringList &arguments)
    {
        QProcess process;
        process.start(qEnvironmentVariable("QACSEMAF_EXE"), QStringList{QStringLiteral("seed")} + arguments);
        Run run;
        if (!process.waitForFinished(120000))
            return run;
        run.exitCode = process.exitCode();
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFile::exists(qEnvironmentVariable("QACSEMAF_EXE")), "QACSEMAF_EXE names the built tool");
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no target") << QStringList{} << "exactly one of --db";
        QTest::newRow("two targets") << QStringList{"--db", "x.db", "--pg", "dbname=x"} << "exactly one of --db";
        QTest::newRow("employees not a number") << QStringList{"--db", "x.db", "--employees", "many"} << "--employees";
        QTest::newRow("employees zero") << QStringList{"--db", "x.db", "--employees", "0"} << "--employees";
        QTest::newRow("malformed connection") << QStringList{"--pg", "host"} << "key=value";
    }
    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run run = seed(arguments);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(!QFile::exists(QStringLiteral("x.db")));
    }

    void createsAndRefusesToOverwrite()
    {
        const QString file = m_dir.filePath(QStringLiteral("demo.db"));
        const Run created = seed({QStringLiteral("--db"), file});
        QCOMPARE(created.exitCode, 0);
        QVERIFY2(created.out.contains(QLatin1String("demo database")), qPrintable(created.out));

        const QFileInfo before(file);
        const Run again = seed({QStringLiteral("--db"), file});
        QCOMPARE(again.exitCode, 1);
        QVERIFY2(again.err.contains(QLatin1String("already exists")) && again.err.contains(QLatin1String("--force")),
                 qPrintable(again.err));
        QCOMPARE(QFileInfo(file).lastModified(), before.lastModified());

        const Run forced = seed({QStringLiteral("--db"), file, QStringLiteral("--employees"), QStringLiteral("120"),
                                 QStringLiteral("--force")});
        QCOMPARE(forced.exitCode, 0);
        QVERIFY2(forced.out.contains(QLatin1String("120 employees")), qPrintable(forced.out));
        QCOMPARE(dbtools::DatabaseOpener::openSqlite(file, QStringLiteral("forced")).error, QString());
        const auto closer = qScopeGuard([] { dbtest::closeBackend(QStringLiteral("forced")); });
        QCOMPARE(dbtest::scalar(QSqlDatabase::database(QStringLiteral("forced")),
                                QStringLiteral("SELECT COUNT(*) FROM NM_CONTR WHERE IND_ACTI = 'A'")).toInt(), 120);
    }

    void printedCountsMatch_data()
    {
        QTest::addColumn<QString>("table");
        for (const char *table : {"BI_EMPLE", "NM_CONTR", "AC_PPROM", "BI_DTPCA", "ED_D3CCO", "GN_EMPRE"})
            QTest::newRow(table) << QString::fromLatin1(table);
    }
    void printedCountsMatch()
    {
        QFETCH(QString, table);
        const QString file = m_dir.filePath(QStringLiteral("counted-%1.db").arg(table));
        const Run run = seed({QStringLiteral("--db"), file});
        QCOMPARE(run.exitCode, 0);
        const QRegularExpression line(QStringLiteral("^\\s*%1\\s+(\\d+)\\s*$").arg(table), QRegularExpression::MultilineOption);
        const auto match = line.match(run.out);
        QVERIFY2(match.hasMatch(), qPrintable(run.out));
        QCOMPARE(dbtools::DatabaseOpener::openSqlite(file, QStringLiteral("counted")).error, QString());
        const auto closer = qScopeGuard([] { dbtest::closeBackend(QStringLiteral("counted")); });
        QCOMPARE(match.captured(1).toInt(),
                 dbtest::scalar(QSqlDatabase::database(QStringLiteral("counted")),
                                QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt());
    }
};

QTEST_GUILESS_MAIN(TestSeedCommand)
#include "tst_seedcommand.moc"
