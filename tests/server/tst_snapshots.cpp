// Snapshots of a succession map saved and compared by the command line, on SQLite and through
// qacsemaf-server on PostgreSQL; refusals say why and keep nothing.

#include "tests/server/ServerProcess.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/TestTools.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <memory>

namespace {

const QStringList kCategories{QStringLiteral("--categories"), QStringLiteral("EF,EN,EP,CO")};

ProgramRun qacsemaf(const QStringList &arguments)
{
    return runProgram(QStringLiteral(QACSEMAF_TOOL), arguments);
}

QJsonArray jsonRows(const ProgramRun &run)
{
    return QJsonDocument::fromJson(run.output.toUtf8()).array();
}

} // namespace

class TestSnapshots : public QObject {
    Q_OBJECT
private slots:
    // On the file, and through a server on PostgreSQL (the other dialect and the HTTP road at once).
    void savedAndCompared_data()
    {
        addColumns<bool>({"postgres"});
        QTest::newRow("sqlite file") << false;
        QTest::newRow("server on postgres") << true;
    }

    // Two snapshots of plan 1 with one green employee's education and experience records deleted
    // in between: only his lines move, and his history shows both. (How far he falls, the
    // comparison's summary and its report: tst_successionpage.)
    void savedAndCompared()
    {
        QFETCH(bool, postgres);
        const QString pg = qEnvironmentVariable("QACSEMAF_PG");
        if (postgres && pg.isEmpty())
            QSKIP("QACSEMAF_PG is not set: no PostgreSQL database to test against");
        DemoDatabase file;
        QVERIFY2(file.isValid(), qPrintable(file.error()));
        ServerProcess server;
        if (postgres) {
            QCOMPARE(qacsemaf({"seed", "--pg", pg, "--force"}).exitCode, 0);
            QCOMPARE(server.start({"--pg", pg}), QString());
        }
        const QStringList place =
            postgres ? QStringList{"--server", server.address()} : QStringList{"--db", file.path()};
        const QStringList plan = QStringList{"--company", "1", "--plan", "1"} + kCategories + place;

        const ProgramRun first = qacsemaf(QStringList{"snapshot", "save", "--label", "Antes del curso"} + plan);
        QVERIFY2(first.exitCode == 0, qPrintable(first.errors));
        const QRegularExpression saved(QStringLiteral("^qacsemaf: corte (\\d+) guardado: plan 1, (\\d+) nodos, (\\d+) personas\n$"));
        const QString from = saved.match(first.output).captured(1);
        QVERIFY2(!from.isEmpty(), qPrintable(first.output));

        // A green candidate of node 3, as the map scored him.
        const ProgramRun node = qacsemaf(QStringList{"succession", "--node", "3", "--format", "json"} + plan);
        QVERIFY2(node.exitCode == 0, qPrintable(node.errors));
        QString person;
        for (const QJsonValue row : jsonRows(node))
            if (person.isEmpty() && row[QStringLiteral("POR_EMPL")].toDouble() >= 91.1)
                person = QString::number(row[QStringLiteral("COD_EMPL")].toDouble(), 'f', 0);
        QVERIFY2(!person.isEmpty(), qPrintable(node.output));
        for (const char *table : {"BI_DTPEF", "BI_DTPNF", "BI_DTPHV"}) {
            const QString statement =
                QStringLiteral("DELETE FROM %1 WHERE COD_EMPL = %2").arg(QLatin1String(table), person);
            QCOMPARE(postgres ? queryPostgres({statement}) : file.query(statement), QStringList());
        }

        const ProgramRun second = qacsemaf(QStringList{"snapshot", "save"} + plan);
        const QString to = saved.match(second.output).captured(1);
        QVERIFY2(!to.isEmpty(), qPrintable(second.output + second.errors));

        const ProgramRun list = qacsemaf(QStringList{"snapshot", "list", "--company", "1", "--plan", "1", "--format", "json"} + place);
        QVERIFY2(list.exitCode == 0, qPrintable(list.errors));
        const QJsonArray snapshots = jsonRows(list);
        QCOMPARE(snapshots.size(), 2);
        QCOMPARE(snapshots[0][QStringLiteral("ETI_CORT")].toString(), QStringLiteral("Antes del curso"));

        const ProgramRun compared = qacsemaf(QStringList{"snapshot", "compare", from, to, "--company", "1", "--format", "json"} + place);
        QVERIFY2(compared.exitCode == 0, qPrintable(compared.errors));
        // Only his lines move, each down or level; the nodes' green counts lose what he lost.
        QStringList moved;
        int greenLost = 0, greenChange = 0;
        const QJsonDocument comparison = QJsonDocument::fromJson(compared.output.toUtf8());
        for (const QJsonValue line : comparison[QStringLiteral("personas")].toArray()) {
            const QString move = line[QStringLiteral("MOVIMIENTO")].toString();
            if (move == QLatin1String("igual"))
                continue;
            moved << QString::number(line[QStringLiteral("COD_EMPL")].toDouble(), 'f', 0) + QLatin1Char('|') + move;
            greenLost += line[QStringLiteral("BAN_ANTE")].toString() == QLatin1String("Verde")
                         && line[QStringLiteral("BAN_ACTU")].toString() != QLatin1String("Verde");
        }
        for (const QJsonValue node : comparison[QStringLiteral("nodos")].toArray())
            greenChange += node[QStringLiteral("VER_DIFE")].toInt();
        moved.removeDuplicates();
        QCOMPARE(moved, QStringList{person + QStringLiteral("|bajó")});
        QVERIFY(greenLost >= 1);
        QCOMPARE(greenChange, -greenLost);

        const ProgramRun history = qacsemaf(QStringList{"snapshot", "history", "--company", "1", "--employee", person,
                                                        "--format", "json"} + place);
        QVERIFY2(history.exitCode == 0, qPrintable(history.errors));
        QStringList node3;
        for (const QJsonValue line : jsonRows(history))
            if (line[QStringLiteral("COD_NODO")].toInt() == 3)
                node3 << QString::number(line[QStringLiteral("NUM_CORT")].toInt()) + QLatin1Char('|') + line[QStringLiteral("BAN_EMPL")].toString();
        QCOMPARE(node3.size(), 2);
        QCOMPARE(node3.first(), from + QStringLiteral("|Verde"));
        QVERIFY(node3.last().startsWith(to + QLatin1Char('|')) && !node3.last().endsWith(QLatin1String("Verde")));
    }

    void refusals_data()
    {
        addColumns<QStringList, int, QString>({"arguments", "exitCode", "message"});
        const QStringList one{"--company", "1"};
        QTest::newRow("plans") << QStringList{"snapshot", "compare", "1", "3"} + one << 1
                               << "Los cortes 1 y 3 son de planes distintos (1 y 2): solo se comparan cortes de un mismo plan.";
        QTest::newRow("companies") << QStringList{"snapshot", "compare", "1", "4"} + one << 1
                                   << "Los cortes 1 y 4 son de empresas distintas (1 y 2): solo se comparan cortes de una misma empresa.";
        QTest::newRow("another user's company")
            << QStringList{"snapshot", "compare", "1", "2", "--company", "3", "--user", "CONSULTA", "--password", "CONSULTA"} << 1
            << "El corte 1 no existe en las empresas que el usuario puede ver.";
        QTest::newRow("one number") << QStringList{"snapshot", "compare", "1"} + one << 2
                                    << "indique los dos cortes que se comparan: compare A B, dos números";
        QTest::newRow("label too long")
            << QStringList{"snapshot", "save", "--plan", "1", "--label", QString(61, QLatin1Char('x'))} + one + kCategories << 1
            << "La etiqueta del corte admite 60 caracteres; tiene 61.";
    }

    // Snapshots 1 and 2 of plan 1 and 3 of plan 2 (company 1), 4 of plan 3 (company 2).
    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        if (!m_db) {
            m_db = std::make_unique<DemoDatabase>();
            QVERIFY2(m_db->isValid(), qPrintable(m_db->error()));
            for (const QStringList &save : {QStringList{"1", "1"}, QStringList{"1", "1"}, QStringList{"1", "2"}, QStringList{"2", "3"}}) {
                const ProgramRun run = qacsemaf(QStringList{"snapshot", "save", "--company", save[0], "--plan", save[1],
                                                            "--db", m_db->path()} + kCategories);
                QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
            }
        }
        const QStringList before = m_db->query(QStringLiteral("select count(*) from ac_corte union all select count(*) from ac_cortd"));
        const ProgramRun run = qacsemaf(arguments + QStringList{"--db", m_db->path()});
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.errors.startsWith(QStringLiteral("qacsemaf: ") + message + QLatin1Char('\n')), qPrintable(run.errors));
        QCOMPARE(m_db->query(QStringLiteral("select count(*) from ac_corte union all select count(*) from ac_cortd")), before);
    }

private:
    std::unique_ptr<DemoDatabase> m_db;
};

QTEST_GUILESS_MAIN(TestSnapshots)
#include "tst_snapshots.moc"
