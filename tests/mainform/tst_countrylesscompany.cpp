// A company without a country, on both roads of the command line: through the main form
// (generate --plan/--node) and without windows (generate --target/--candidates). Its country
// reads as 0, so the education-without-points flag is off unless country 0 has a row for it;
// each road's result is the one the generation gives with the flag forced off or on.

#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/TestTools.h"

#include <QTest>

class TestCountrylessCompany : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        execute(QStringLiteral("UPDATE GN_EMPRE SET COD_PAIS = NULL WHERE COD_EMPR = 2"));
        for (const char *flag : {"off", "on"}) {
            const ProgramRun run = tool(kDirect + QStringList{"--edu-sin-puntos", flag});
            QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
            m_forced << run.output;
        }
        QVERIFY2(m_forced.at(0) != m_forced.at(1), "the flag changes nothing for these positions");
    }

    void flagOfCountryZero_data()
    {
        addColumns<QStringList, bool>({"arguments", "countryZeroRow"});
        const QStringList window{"--plan", "3", "--node", "2"};
        QTest::newRow("window, no row for country 0") << window << false;
        QTest::newRow("window, country 0 says S") << window << true;
        QTest::newRow("command line, no row for country 0") << kDirect << false;
        QTest::newRow("command line, country 0 says S") << kDirect << true;
    }

    void flagOfCountryZero()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, countryZeroRow);
        if (countryZeroRow)
            execute(QStringLiteral("INSERT INTO GN_NEXOF VALUES ('Q0000190', 0, 2, 'S', 'C', 'Sin país')"));
        const ProgramRun run = tool(arguments);
        execute(QStringLiteral("DELETE FROM GN_NEXOF WHERE COD_PAIS = 0"));
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        QCOMPARE(run.errors.contains(QStringLiteral("país")), false);
        QCOMPARE(run.output, m_forced.at(countryZeroRow ? 1 : 0));
    }

private:
    ProgramRun tool(const QStringList &arguments) const
    {
        return runProgram(QStringLiteral(QACSEMAF_TOOL),
                          QStringList{"generate", "--db", m_db.path(), "--company", "2", "--categories", "EF,EN,EP,CO",
                                      "--format", "csv"} + arguments);
    }

    void execute(const QString &sql) const
    {
        const QStringList error = m_db.query(sql);
        QVERIFY2(error.isEmpty(), qPrintable(error.join(QLatin1Char('\n'))));
    }

    // The target and candidates that the window derives from node 2 of plan 3.
    const QStringList kDirect{"--target", "JPR001@2", "--candidates", "SUP001@2,ING001@2"};
    DemoDatabase m_db;
    QStringList m_forced;  // the output with the flag forced off, then on
};

QTEST_GUILESS_MAIN(TestCountrylessCompany)
#include "tst_countrylesscompany.moc"
