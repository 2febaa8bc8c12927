// Generation against small seeded companies: the reads that decide a score, the input messages
// and the career positions beside the result.

#include "tests/data/support/CompanyBuilder.h"
#include "tests/support/DataTable.h"
#include "framework/Exceptions.h"
#include "tests/data/support/GenerationHarness.h"
#include "tests/support/TestTools.h"

#include <QtTest>

namespace {

QVariant valueOf(const QString &text)
{
    return text == QLatin1String("-") ? QVariant() : QVariant(text.toDouble());
}

// "FO/10/1/40": record type, requirement, detail, points ("-" for null).
QStringList partsOf(const QString &item)
{
    return item.split(QLatin1Char('/'));
}

// Target T1 with `profile`; C1 held by employee 100 with records "EF:", "EN:", "EP:", competence
// lines "CO:" of the latest evaluation and "OLD:" of an older one numbered after it.
void seed(CompanyBuilder &db, const QString &profile, const QString &records, const QString &flag)
{
    db.company(1, flag);
    db.position(1, QStringLiteral("T1"), QStringLiteral("Cargo objetivo"));
    db.position(1, QStringLiteral("C1"), QStringLiteral("Cargo candidato"));
    for (const QString &item : profile.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList p = partsOf(item);
        db.profileRow(1, QStringLiteral("T1"), p[0], p[1].toInt(), valueOf(p[2]), valueOf(p[3]));
    }
    db.employee(1, 100, QStringLiteral("Pérez"), QStringLiteral("Ana"));
    db.contract(1, 100, 1, QStringLiteral("C1"));
    db.evaluation(1, 100, 1, QStringLiteral("2024-01-01"));
    db.evaluation(1, 100, 2, QStringLiteral("2023-01-01"));
    const QHash<QString, QString> tables{{QStringLiteral("EF"), QStringLiteral("BI_DTPEF")},
                                         {QStringLiteral("EN"), QStringLiteral("BI_DTPNF")},
                                         {QStringLiteral("EP"), QStringLiteral("BI_DTPHV")}};
    for (const QString &item : records.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString kind = item.section(QLatin1Char(':'), 0, 0);
        const QStringList p = partsOf(item.section(QLatin1Char(':'), 1));
        if (tables.contains(kind))
            db.record(tables.value(kind), 1, 100, p[0], p[1].toInt(), valueOf(p[2]), valueOf(p[3]));
        else
            db.evaluationLine(1, kind == QLatin1String("OLD") ? 2 : 1, p[0], p[1].toInt(), valueOf(p[2]),
                              valueOf(p[3]));
    }
}

engine::GenerationInputs inputsFor(const QString &categories, bool flag)
{
    engine::GenerationInputs inputs;
    inputs.target = {QStringLiteral("T1"), 1};
    inputs.candidates = {{QStringLiteral("C1"), 1}};
    inputs.categories = categoriesOf(categories);
    inputs.eduSinPuntos = flag;
    return inputs;
}

} // namespace

class TestGenerationCases : public QObject {
    Q_OBJECT
private slots:
    // Where reading the database decides (the rules on plain values: tst_profilescoring).
    void score_data()
    {
        addColumns<QString, QString, QString, bool, double, int>(
            {"profile", "records", "categories", "flag", "percentage", "profileRows"});

        QTest::newRow("null PUN_REQU: no education points, competences still count")
            << "FO/10/1/- FO/11/1/20 CO/5/1/-" << "EF:FO/10/1/30 EF:FO/11/1/10 CO:CO/5/1/7" << "EF CO" << false
            << 85.0 << 3;
        QTest::newRow("PUN_REQU 0, flag off: the record's points count")
            << "FO/10/1/0 FO/11/1/20" << "EF:FO/10/1/30 EF:FO/11/1/5" << "EF" << false << 175.0 << 2;
        QTest::newRow("duplicate records, flag off: both add")
            << "FO/10/1/40" << "EF:FO/10/1/30 EF:FO/10/1/25" << "EF" << false << 137.5 << 1;
        QTest::newRow("competence lines matched by COD_REGI")
            << "CF/20/1/4 CO/20/1/6" << "CO:CO/20/1/3 CO:CF/20/1/2 CO:CE/20/1/9 EF:CO/20/1/50" << "CO" << false
            << 50.0 << 2;
        QTest::newRow("only the latest evaluation counts")
            << "CO/2/1/4" << "CO:CO/2/1/2 OLD:CO/2/1/4" << "CO" << false << 50.0 << 1;
        QTest::newRow("a percentage that rounds to 0.00 is 0")
            << "FO/1/1/100000" << "EF:FO/1/1/0.001" << "EF" << false << 0.0 << 1;
        QTest::newRow("only competences ticked: education rows are not in the profile")
            << "FO/1/1/10 CO/2/1/4 CE/3/1/4" << "EF:FO/1/1/10 CO:CO/2/1/4" << "CO" << false << 50.0 << 2;
        QTest::newRow("flag on: one requirement in three details counts its first row")
            << "CU/305/1/4 CU/305/2/6 CU/305/3/8" << "EN:CU/305/2/6" << "EN" << true << 150.0 << 3;
        QTest::newRow("flag off: every detail counts")
            << "CU/305/1/4 CU/305/2/6 CU/305/3/8" << "EN:CU/305/2/6" << "EN" << false << 33.33 << 3;
        QTest::newRow("flag on: a code beyond 16 bits counts every row")
            << "CU/70000/1/4 CU/70000/2/6" << "EN:CU/70000/1/4" << "EN" << true << 40.0 << 2;
        QTest::newRow("the record type decides, not the dataset it comes in")
            << "EX/7/1/10" << "EN:EX/7/1/10" << "EP EN" << false << 100.0 << 1;
    }

    void score()
    {
        QFETCH(QString, profile);
        QFETCH(QString, records);
        QFETCH(QString, categories);
        QFETCH(bool, flag);
        QFETCH(double, percentage);
        QFETCH(int, profileRows);

        CompanyBuilder db;
        seed(db, profile, records, flag ? QStringLiteral("S") : QStringLiteral("N"));
        QVERIFY2(db.commit(), qPrintable(db.error()));
        for (Arrangement arrangement : {Arrangement::Literal, Arrangement::Batched}) {
            GenerationHarness station(db.session(1));
            station.run(inputsFor(categories, flag), arrangement);
            TDataSet &result = station.module.CdsAcSemaf;
            QCOMPARE(result.RecordCount(), 1);
            QCOMPARE(result.FieldByName(QStringLiteral("POR_EMPL"))->AsFloat(), percentage);
            QCOMPARE(result.FieldByName(QStringLiteral("NUM_PERA"))->AsInteger(), profileRows);
            QCOMPARE(result.FieldByName(QStringLiteral("APE_EMPL"))->AsString(), QStringLiteral("Pérez"));
        }
    }

    // The two checks first and in order, a malformed list after them: a stop before any employee
    // leaves the result empty with its handler attached, a later one keeps the rows before it.
    void inputMessages_data()
    {
        // target, positions, companies: the form's EmpreAspira, CargoActual, EmpCaActual; rows: left
        addColumns<QString, QString, QString, QString, QString, int>(
            {"categories", "target", "positions", "companies", "message", "rows"});
        QTest::newRow("nothing ticked, no position") << "" << "1" << "" << "" << engine::noCategoryMessage() << 0;
        QTest::newRow("nothing ticked, bad company") << "" << "x" << "'C1'" << "'1x'" << engine::noCategoryMessage() << 0;
        QTest::newRow("blank position list, bad company")
            << "EF" << "x" << "   " << "'1x'" << engine::noPositionMessage() << 0;
        QTest::newRow("target company not a number")
            << "EF" << "" << "'C1'" << "'1'" << "'' no es un valor entero válido (COD_EMPR)" << 0;
        QTest::newRow("first candidate company not a number")
            << "EF" << "1" << "'C1','C1'" << "'1x','1'" << "'1x' no es un valor entero válido (COD_EMPR)" << 0;
        QTest::newRow("second candidate's company not a number")
            << "EF" << "1" << "'C1','C1'" << "'1','1x'" << "'1x' no es un valor entero válido (COD_EMPR)" << 1;
        QTest::newRow("fewer companies than positions")
            << "EF" << "1" << "'C1','C1','C1'" << "'1','1'" << "List index out of bounds (2)" << 2;
    }

    void inputMessages()
    {
        QFETCH(QString, categories);
        QFETCH(QString, target);
        QFETCH(QString, positions);
        QFETCH(QString, companies);
        QFETCH(QString, message);
        QFETCH(int, rows);
        CompanyBuilder db;
        seed(db, QStringLiteral("FO/1/1/3"), QStringLiteral("EF:FO/1/1/2"), QStringLiteral("N"));
        QVERIFY2(db.commit(), qPrintable(db.error()));
        GenerationHarness station(db.session(1));
        station.form.categories = categoriesOf(QStringLiteral("EF"));
        station.form.CargoAspira = QStringLiteral("T1");
        station.form.EmpreAspira = QStringLiteral("1");
        station.form.CargoActual = QStringLiteral("'C1'");
        station.form.EmpCaActual = QStringLiteral("'1'");
        station.module.GenerarSemaforoCarrera();
        QCOMPARE(station.module.CdsAcSemaf.RecordCount(), 1);

        station.form.categories = categoriesOf(categories);
        station.form.EmpreAspira = target;
        station.form.CargoActual = positions;
        station.form.EmpCaActual = companies;
        station.scratch.Close();
        station.scratch.setCommandText(QString());
        QCOMPARE(messageOf([&] { station.module.GenerarSemaforoCarrera(); }), message);
        if (rows == 0)
            QVERIFY(!station.scratch.CommandText().contains(QLatin1String("NM_CONTR")));
        TDataSet &result = station.module.CdsAcSemaf;
        QCOMPARE(result.RecordCount(), rows);
        for (result.First(); !result.Eof(); result.Next())
            QCOMPARE(result.FieldByName(QStringLiteral("POR_EMPL"))->AsFloat(), 66.67);
        QVERIFY(result.AfterScroll);
    }

    // The current node's position beside the result: names trimmed, cut at 20, empty when unknown.
    void careerPositions_data()
    {
        addColumns<int, QString>({"node", "row"});
        QTest::newRow("short name") << 2 << "C1|Cargo candidato|66.67|1";
        QTest::newRow("long name trimmed and cut") << 3 << "C2|Coordinador Regional|66.67|1";
        QTest::newRow("unknown position") << 4 << "ZZ9||66.67|1";
    }

    void careerPositions()
    {
        QFETCH(int, node);
        QFETCH(QString, row);
        CompanyBuilder db;
        seed(db, QStringLiteral("FO/1/1/3"), QStringLiteral("EF:FO/1/1/2"), QStringLiteral("N"));
        db.position(1, QStringLiteral("C2"), QStringLiteral("  Coordinador Regional de Talento Humano"));
        db.planNode(1, 1, 0, 0, 1, QString());
        db.planNode(1, 1, 1, 0, 1, QStringLiteral("T1"));
        db.planNode(1, 1, 2, 1, 1, QStringLiteral("C1"));
        db.planNode(1, 1, 3, 1, 1, QStringLiteral("C2"));
        db.planNode(1, 1, 4, 1, 1, QStringLiteral("ZZ9"));
        QVERIFY2(db.commit(), qPrintable(db.error()));
        GenerationHarness station(db.session(1));
        TDtmAcSemaf &module = station.module;
        // Only the plan row's values matter here, not the plan rules behind its events.
        for (TDataSet *dataSet : {static_cast<TDataSet *>(&module.QryAcPprom), static_cast<TDataSet *>(&module.QryBiCargo)})
            dataSet->AfterOpen = dataSet->AfterScroll = dataSet->OnCalcFields = nullptr;
        module.QryBiCargo.Open();
        module.QryAcPprom.Open();
        QVERIFY(module.QryAcPprom.Locate(QStringLiteral("COD_MENU;COD_NODO"), QVariantList{1, node}));
        station.run(inputsFor(QStringLiteral("EF"), false), Arrangement::Batched);

        TClientDataSet &positions = module.CdsCargUsuario;
        QCOMPARE(positions.rowCount(), 1);
        QStringList values;
        for (TField *field : positions.Fields())
            values << positions.rowValue(0, field).toString();
        QCOMPARE(values.join(QLatin1Char('|')), row);
    }

};

QTEST_GUILESS_MAIN(TestGenerationCases)
#include "tst_generationcases.moc"
