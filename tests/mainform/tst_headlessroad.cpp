// The command line's road through the real main form (generate --plan/--node) and without windows
// (generate --target/--candidates): the refusals of a plan's commands, and a company without a
// country on both roads. (Over qacsemaf-server the window is walked by tst_journey.)

#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/TestTools.h"

#include <QTest>

class TestHeadlessRoad : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        // Company 2 loses its country; the outputs of its positions with the flag forced off and on.
        execute(QStringLiteral("UPDATE GN_EMPRE SET COD_PAIS = NULL WHERE COD_EMPR = 2"));
        for (const char *flag : {"off", "on"}) {
            const ProgramRun run = generate(kDirect + QStringList{"--edu-sin-puntos", flag});
            QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
            m_forced << run.output;
        }
        QVERIFY2(m_forced.at(0) != m_forced.at(1), "the flag changes nothing for these positions");
    }

    // The refusals of the commands that read a plan: the message, and nothing printed.
    void refusals_data()
    {
        addColumns<QStringList, int, QString>({"arguments", "exitCode", "message"});
        const QStringList categories{"--categories", "EF,CO"};
        QTest::newRow("generate: no such node") << QStringList{"generate", "--plan", "1", "--node", "99"} + categories << 1
                                                << "qacsemaf: La empresa 1 no tiene el nodo 99 en el plan 1.";
        const QStringList candidate = QStringList{"whatif", "--plan", "1", "--node", "3", "--employee", "56740481"} + categories;
        QTest::newRow("no such plan") << QStringList{"succession", "--plan", "9"} + categories << 1
                                      << "qacsemaf: La empresa 1 no tiene el plan 9.";
        QTest::newRow("no such node") << QStringList{"succession", "--plan", "1", "--node", "99"} + categories << 1
                                      << "qacsemaf: El plan 1 no tiene el nodo 99.";
        QTest::newRow("a node without candidates")
            << QStringList{"succession", "--plan", "1", "--node", "13"} + categories << 1
            << "qacsemaf: No se seleccionó cargo en el árbol o no existen cargos debajo del mismo...";
        QTest::newRow("what-if: no such employee")
            << QStringList{"whatif", "--plan", "1", "--node", "3", "--employee", "123"} + categories << 1
            << "qacsemaf: El empleado 123 no existe en la empresa 1.";
        QTest::newRow("what-if: not a candidate of the node")
            << QStringList{"whatif", "--plan", "1", "--node", "2", "--employee", "56740481"} + categories << 1
            << "qacsemaf: El empleado 56740481 no es candidato en el nodo 2: no tiene contrato activo en sus cargos candidatos.";
        QTest::newRow("what-if: a gap without its requirement") << candidate + QStringList{"--close", "CO:601:2,CO"} << 2
            << "qacsemaf: La brecha \"CO\" no tiene la forma TIPO:REQU:ESPE (por ejemplo CO:601:2, o CO:601 sin "
               "especificación).\nqacsemaf: vea \"qacsemaf whatif --help\"";
        QTest::newRow("what-if: a requirement the profile lacks") << candidate + QStringList{"--close", "CO:999"} << 1
            << "qacsemaf: El perfil del cargo no tiene el requisito CO:999 con puntos requeridos en las categorías marcadas.";
        QTest::newRow("what-if: a requirement he meets")
            << QStringList{"whatif", "--plan", "1", "--node", "3", "--employee", "52345678", "--close", "CO:601"} + categories
            << 1 << "qacsemaf: El candidato ya cumple el requisito CO:601: no es una de sus brechas.";
    }

    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        arguments.insert(1, QStringLiteral("1"));
        arguments.insert(1, QStringLiteral("--company"));
        arguments.insert(1, m_db.path());
        arguments.insert(1, QStringLiteral("--db"));
        const ProgramRun run = tool(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.errors.trimmed(), message);
        QVERIFY(run.output.isEmpty());
    }

    void countrylessCompany_data()
    {
        addColumns<QStringList, bool>({"arguments", "countryZeroRow"});
        const QStringList window{"--plan", "3", "--node", "2"};
        QTest::newRow("window, no row for country 0") << window << false;
        QTest::newRow("window, country 0 says S") << window << true;
        QTest::newRow("command line, no row for country 0") << kDirect << false;
        QTest::newRow("command line, country 0 says S") << kDirect << true;
    }

    // A company without a country reads as country 0: the education-without-points flag is off
    // unless country 0 has a row for it; each road gives what the flag forced off or on gives.
    void countrylessCompany()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, countryZeroRow);
        if (countryZeroRow)
            execute(QStringLiteral("INSERT INTO GN_NEXOF VALUES ('Q0000190', 0, 2, 'S', 'C', 'Sin país')"));
        const ProgramRun run = generate(arguments);
        execute(QStringLiteral("DELETE FROM GN_NEXOF WHERE COD_PAIS = 0"));
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        QVERIFY(!run.errors.contains(QStringLiteral("país")));
        QCOMPARE(run.output, m_forced.at(countryZeroRow ? 1 : 0));
    }

private:
    static ProgramRun tool(const QStringList &arguments) { return runProgram(QStringLiteral(QACSEMAF_TOOL), arguments); }

    ProgramRun generate(const QStringList &arguments) const
    {
        return tool(QStringList{"generate", "--db", m_db.path(), "--company", "2", "--categories", "EF,EN,EP,CO", "--format", "csv"}
                    + arguments);
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

QTEST_GUILESS_MAIN(TestHeadlessRoad)
#include "tst_headlessroad.moc"
