// qacsemaf generate as a script uses it: the result rows in the module's order and format, and
// the module's messages and bad arguments ending in a non-zero exit.

#include "engine/ResultSchema.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/TestTools.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

class TestGenerateCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(m_db.isValid(), qPrintable(m_db.error())); }

    void jsonRowsInPositionThenSurnameOrder()
    {
        QCOMPARE(run({"--target", "SUP001@2", "--candidates", "OPE002@2,OPE001@2", "--categories", "EF,EN,EP,CO",
                      "--format", "json"}),
                 0);
        const QJsonArray rows = QJsonDocument::fromJson(m_output.toUtf8()).array();
        const QList<double> expected = holdersInOrder({"OPE002", "OPE001"});
        QVERIFY(!expected.isEmpty());
        QCOMPARE(rows.size(), expected.size());
        QStringList fields = engine::trafficLightTable().fieldNames();
        fields.sort();
        bool someGreen = false;
        for (int i = 0; i < rows.size(); ++i) {
            const QJsonObject row = rows.at(i).toObject();
            QCOMPARE(row.keys(), fields);
            QCOMPARE(row.value("COD_EMPL").toDouble(), expected.at(i));
            QCOMPARE(row.value("COD_EMCA").toInt(), 2);
            QCOMPARE(row.value("NUM_PERA").toInt(), rows.first().toObject().value("NUM_PERA").toInt());
            someGreen = someGreen || row.value("POR_EMPL").toDouble() >= 90;
        }
        QVERIFY(someGreen);
    }

    void refusals_data()
    {
        // exitCode: 1: the module refused; 2: the arguments are wrong
        addColumns<QStringList, QString, int>({"arguments", "message", "exitCode"});
        QTest::newRow("no category") << QStringList{"--target", "SUP001@2", "--candidates", "OPE001@2", "--categories", ""}
                                     << "Debe Seleccionar Competencias..." << 1;
        QTest::newRow("two places of the data")
            << QStringList{"--server", "127.0.0.1:1", "--target", "SUP001@2", "--candidates", "OPE001@2", "--categories", "EF"}
            << "qacsemaf generate: give one of --db FILE, --pg \"conninfo\" or --server URL\n" << 2;
        QTest::newRow("company not a number")
            << QStringList{"--company", "2x", "--target", "SUP001@2", "--candidates", "OPE001@2", "--categories", "EF"}
            << "qacsemaf generate: --company: \"2x\" is not a number\n" << 2;
        QTest::newRow("target without company") << QStringList{"--target", "SUP001", "--candidates", "OPE001@2",
                                                                "--categories", "EF"}
                                                << "--target" << 2;
        QTest::newRow("unknown category") << QStringList{"--target", "SUP001@2", "--candidates", "OPE001@2",
                                                         "--categories", "EF,XX"}
                                          << "XX" << 2;
        QTest::newRow("unknown company") << QStringList{"--company", "77", "--target", "SUP001@2", "--candidates",
                                                        "OPE001@2", "--categories", "EF"}
                                         << "La empresa 77 no existe." << 1;
        QTest::newRow("positions that do not exist, all named")
            << QStringList{"--target", "SUP001@2", "--candidates", "OPE001@2,NOPE@2,OPE001@9", "--categories", "EF"}
            << "No existen los cargos NOPE@2, OPE001@9." << 1;
    }

    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QFETCH(int, exitCode);
        QCOMPARE(run(arguments), exitCode);
        QVERIFY2(m_errors.contains(message), qPrintable(m_errors));
        QVERIFY(m_output.trimmed().isEmpty());
    }

private:
    int run(const QStringList &arguments)
    {
        const ProgramRun tool = runProgram(QStringLiteral(QACSEMAF_TOOL),
                                           QStringList{"generate", "--db", m_db.path(), "--company", "2"} + arguments);
        m_output = tool.output;
        m_errors = tool.errors;
        return tool.exitCode;
    }

    // The active holders of each position of company 2, position by position, by surname.
    QList<double> holdersInOrder(const QStringList &positions)
    {
        QList<double> codes;
        for (const QString &position : positions)
            for (const QString &code : m_db.query(QStringLiteral(
                     "select a.cod_empl from nm_contr a, bi_emple b where a.cod_empr = b.cod_empr and a.cod_empl = b.cod_empl"
                     " and a.cod_empr = 2 and a.cod_carg = '%1' and a.ind_acti = 'A' order by b.ape_empl").arg(position)))
                codes << code.toDouble();
        return codes;
    }

    DemoDatabase m_db;
    QString m_output;
    QString m_errors;
};

QTEST_GUILESS_MAIN(TestGenerateCommand)
#include "tst_generatecommand.moc"
