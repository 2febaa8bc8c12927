// qacsemaf seed as a user runs it (its refusals: tst_commandline).

#include "tests/support/DataTable.h"
#include "tests/db/DbTestSupport.h"
#include "tools/dbtools/SchemaLoader.h"
#include "tests/support/TestTools.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

using Pairs = QMap<QString, QString>;

class TestSeedCommand : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // fileLimitKb > 0: the run may not write more than that into one file (it fails as on a full disk).
    static ProgramRun seed(const QStringList &arguments, int fileLimitKb = 0)
    {
        const QString exe = qEnvironmentVariable("QACSEMAF_EXE");
        if (fileLimitKb == 0)
            return runProgram(exe, QStringList{QStringLiteral("seed")} + arguments);
        // SIGXFSZ ignored: a write past the limit fails with EFBIG instead of killing the run.
        const QString limited = QStringLiteral("trap '' XFSZ; ulimit -f %1; exec \"$0\" seed \"$@\"").arg(fileLimitKb * 2);
        return runProgram(QStringLiteral("/bin/sh"), QStringList{QStringLiteral("-c"), limited, exe} + arguments);
    }

private slots:
    void initTestCase()
    {
        // The messages checked are the Spanish ones, whatever the locale of the test run.
        qputenv("LANG", "C.UTF-8");
        qunsetenv("LC_ALL");
        qunsetenv("LC_MESSAGES");
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFile::exists(qEnvironmentVariable("QACSEMAF_EXE")), "QACSEMAF_EXE names the built tool");
    }

    void connectionText_data()
    {
        addColumns<QString, bool, Pairs>({"text", "ok", "expected"});
        QTest::newRow("usual") << "host=db1 port=5433 dbname=rrhh user=admin" << true
                               << Pairs{{"host", "db1"}, {"port", "5433"}, {"dbname", "rrhh"}, {"user", "admin"}};
        QTest::newRow("blanks around =") << "  host = db1   dbname=rrhh " << true
                                         << Pairs{{"host", "db1"}, {"dbname", "rrhh"}};
        QTest::newRow("quoted with blank") << "password='dos palabras' user=a" << true
                                           << Pairs{{"password", "dos palabras"}, {"user", "a"}};
        QTest::newRow("escaped quote") << "password='it\\'s' " << true << Pairs{{"password", "it's"}};
        QTest::newRow("empty text") << "" << true << Pairs{};
        QTest::newRow("unterminated quote") << "password='abc" << false << Pairs{};
    }
    void connectionText()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(Pairs, expected);
        Pairs pairs;
        QString error;
        QCOMPARE(dbtools::DatabaseOpener::parseConnInfo(text, &pairs, &error), ok);
        QCOMPARE(error.isEmpty(), ok);
        if (ok)
            QCOMPARE(pairs, expected);
    }

    void replacesWithForce()
    {
        const QString file = m_dir.filePath(QStringLiteral("demo.db"));
        const ProgramRun created = seed({QStringLiteral("--db"), file});
        QCOMPARE(created.exitCode, 0);
        QVERIFY2(created.output.contains(QStringLiteral("base de demostración creada")), qPrintable(created.output));

        const ProgramRun forced = seed({QStringLiteral("--db"), file, QStringLiteral("--employees"), QStringLiteral("120"),
                                 QStringLiteral("--force")});
        QCOMPARE(forced.exitCode, 0);
        QVERIFY2(forced.output.contains(QLatin1String("120 empleados")), qPrintable(forced.output));
        TestDatabase made(QStringLiteral("sqlite"), file);
        QVERIFY2(made.error().isEmpty(), qPrintable(made.error()));
        QCOMPARE(made.value(QStringLiteral("SELECT COUNT(*) FROM NM_CONTR WHERE IND_ACTI = 'A'")).toInt(), 120);
        // A table not printed holds nothing of the seed (the version row is the schema's).
        int listed = 0;
        for (const QString &table : dbtools::SchemaLoader::tableNames()) {
            if (table == QLatin1String("AC_VERSI"))
                continue;
            const QRegularExpression line(QStringLiteral("^\\s*%1\\s+(\\d+)\\s*$").arg(table), QRegularExpression::MultilineOption);
            const QRegularExpressionMatch printed = line.match(forced.output);
            listed += printed.hasMatch();
            QCOMPARE(made.value(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt(), printed.captured(1).toInt());
        }
        QVERIFY2(listed >= 10, qPrintable(forced.output));
    }

    // A seed failing half-way (a full disk) leaves the old database, or none, and nothing beside.
    void failedSeedLosesNothing()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("demo.db"));
        const ProgramRun full = seed({QStringLiteral("--db"), file, QStringLiteral("--employees"), QStringLiteral("3000")}, 256);
        QCOMPARE(full.exitCode, 1);
        QVERIFY2(full.errors.contains(QLatin1String("disk I/O error")), qPrintable(full.errors));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());

        QCOMPARE(seed({QStringLiteral("--db"), file}).exitCode, 0);
        const qint64 size = QFileInfo(file).size();
        const ProgramRun forced = seed({QStringLiteral("--db"), file, QStringLiteral("--employees"), QStringLiteral("3000"),
                                 QStringLiteral("--force")}, 256);
        QCOMPARE(forced.exitCode, 1);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"demo.db"});
        QCOMPARE(QFileInfo(file).size(), size);
        TestDatabase kept(QStringLiteral("sqlite"), file);
        QVERIFY2(kept.error().isEmpty(), qPrintable(kept.error()));
        QCOMPARE(kept.value(QStringLiteral("SELECT COUNT(*) FROM GN_EMPRE")).toInt(), 3);
        QCOMPARE(kept.value(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
    }
};

QTEST_GUILESS_MAIN(TestSeedCommand)
#include "tst_seedcommand.moc"
