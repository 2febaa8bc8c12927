// The competence report's rows through a recording transport: the obtained scores and
// percentages, the companies walked, the name look-ups of both drivers, the messages the user sees
// and the report's variables.

#include "CompetenceServer.h"
#include "DAcSemaf.h"
#include "DataTable.h"
#include "DialogService.h"
#include "ErrorGuard.h"
#include "HeadlessMainForm.h"
#include "HeadlessWorkstation.h"
#include "SDCOMConnection.h"
#include "TField.h"
#include "TReportesAcSemaf.h"
#include "Ugnnorma.h"

#include <QtTest>

namespace {

const QString kEmpleado = QStringLiteral("79123456");

engine::Categories categoriesOf(const QString &codes)
{
    engine::Categories ticked;
    ticked.eduFor = codes.contains(QLatin1String("EF"));
    ticked.eduNo = codes.contains(QLatin1String("EN"));
    ticked.expe = codes.contains(QLatin1String("EP"));
    ticked.compe = codes.contains(QLatin1String("CO"));
    return ticked;
}

const QHash<QString, QString> kProviders{{"ef", "DtsPBiDtpef"}, {"nf", "DtsPBiDtpnf"}, {"hv", "DtsPBidtphv"},
                                         {"co", "DtsPEd3dlcc"}};

} // namespace

class TestCompetenceRows : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        ResetSessionGlobals();
        gStNombProg = QStringLiteral("QAcSemaf");
        gStCodiUsua = QStringLiteral("ADMIN");
        m_form = HeadlessMainForm();
        m_form.CargoAspira = QStringLiteral("SUP001");
        m_form.EmpreAspira = QStringLiteral("2");
        m_form.CargoActual = QStringLiteral("'OPE001'");
        m_form.EmpCaActual = QStringLiteral("'2'");
        m_form.categories = categoriesOf(QStringLiteral("EF"));
        m_station = std::make_unique<HeadlessWorkstation>(&m_form);
        auto server = std::make_unique<CompetenceServer>();
        m_server = server.get();
        m_station->connection.setTransport(std::move(server));
        m_server->profile = {{QStringLiteral("ED"), 1, 1, 8.0}};
        m_server->registeredIn = {2};
        m_server->names = {{"NOM_REGI ED", "EDUCACIÓN"}, {"NOM_REQU ED 1", "BACHILLER"}, {"NOM_ESPE ED 1 1", "ACADÉMICO"}};

        TDtmAcSemaf &module = m_station->module;
        module.CdsAcSemaf.AfterScroll = nullptr;   // no positions page here
        module.CdsAcSemaf.Close();
        module.CdsAcSemaf.Open();
        module.CdsAcSemaf.EmptyDataSet();
        module.CdsAcSemaf.Append();
        module.CdsAcSemaf.FieldByName(QStringLiteral("COD_EMPL"))->setAsString(kEmpleado);
        module.CdsAcSemaf.FieldByName(QStringLiteral("POR_EMPL"))->setAsFloat(87.5);
        module.CdsAcSemaf.Post();
        m_scrolls = m_appendScrolls = 0;
        module.CdsDtpcaRep.AfterScroll = [this](TDataSet *table) { ++(table->State() == dsInsert ? m_appendScrolls : m_scrolls); };
        m_reports = std::make_unique<TReportesAcSemaf>(module);
    }

    void scores_data()
    {
        // records: "ef:6": a matching formal-education record of 6 points
        addColumns<QString, QVariant, QStringList, double, QString, double>(
            {"ticked", "required", "records", "obtained", "porCump", "cumGraf"});
        QTest::newRow("no matching record") << "EF" << QVariant(8.0) << QStringList{} << 0.0 << "0" << 0.0;
        QTest::newRow("partial") << "EF" << QVariant(8.0) << QStringList{"ef:6"} << 6.0 << "75" << 75.0;
        QTest::newRow("a third") << "EF" << QVariant(3.0) << QStringList{"ef:1"} << 1.0 << "33.33" << 33.33;
        QTest::newRow("over 100") << "EP" << QVariant(4.0) << QStringList{"hv:5"} << 5.0 << "125" << 125.0;
        QTest::newRow("required 0") << "EF" << QVariant(0.0) << QStringList{"ef:5"} << 5.0 << "0" << 0.0;
        QTest::newRow("last match wins") << "EF" << QVariant(10.0) << QStringList{"ef:7", "ef:4"} << 4.0 << "40" << 40.0;
        QTest::newRow("later category overrides") << "EF EN" << QVariant(10.0) << QStringList{"nf:5", "ef:9"} << 5.0 << "50"
                                                  << 50.0;
        QTest::newRow("competence line") << "CO" << QVariant(4.0) << QStringList{"co:3"} << 3.0 << "75" << 75.0;
        QTest::newRow("unticked category ignored") << "EF" << QVariant(10.0) << QStringList{"nf:9"} << 0.0 << "0" << 0.0;
    }

    void scores()
    {
        QFETCH(QString, ticked);
        QFETCH(QVariant, required);
        QFETCH(QStringList, records);
        QFETCH(double, obtained);
        QFETCH(QString, porCump);
        QFETCH(double, cumGraf);
        QLocale::setDefault(QLocale::c());
        m_form.categories = categoriesOf(ticked);
        m_server->profile.first().puntos = required;
        for (const QString &record : records)
            m_server->records[kProviders.value(record.section(':', 0, 0))][2]
                << CompetenceServer::Row{QStringLiteral("ED"), 1, 1, record.section(':', 1).toDouble()};
        QVERIFY(run());
        QCOMPARE(m_station->module.CdsDtpcaRep.RecordCount(), 1);
        QCOMPARE((QList<double>{detail("VAL_REQU").toDouble(), detail("VAL_CUMP").toDouble(), detail("CUM_GRAF").toDouble(),
                                detail("REQ_GRAF").toDouble()}),
                 (QList<double>{required.toDouble(), obtained, cumGraf, 100.0}));
        QCOMPARE(detail("POR_CUMP").toString(), porCump);
    }

    void companies_data()
    {
        // obtained: one per detail row, in company order
        addColumns<QString, QList<int>, QList<int>, QList<double>>(
            {"empCaActual", "registeredIn", "countedCompanies", "obtained"});
        // Formal records: 6 points in company 1, 4 in company 2 (none in company 3).
        QTest::newRow("repeated codes, registered in both") << "'1','1','2'" << QList<int>{1, 2} << QList<int>{1, 2}
                                                            << QList<double>{6, 4};
        QTest::newRow("registered in the second only") << "'1','2'" << QList<int>{2} << QList<int>{1, 2} << QList<double>{4};
        QTest::newRow("registered nowhere") << "'1','2'" << QList<int>{} << QList<int>{1, 2} << QList<double>{};
        QTest::newRow("nothing found there repeats the score") << "'1','3'" << QList<int>{1, 3} << QList<int>{1, 3}
                                                               << QList<double>{6, 6};
    }

    void companies()
    {
        QFETCH(QString, empCaActual);
        QFETCH(QList<int>, registeredIn);
        QFETCH(QList<int>, countedCompanies);
        QFETCH(QList<double>, obtained);
        m_form.EmpCaActual = empCaActual;
        m_server->registeredIn = QSet<int>(registeredIn.begin(), registeredIn.end());
        m_server->records["DtsPBiDtpef"][1] << CompetenceServer::Row{QStringLiteral("ED"), 1, 1, 6.0};
        m_server->records["DtsPBiDtpef"][2] << CompetenceServer::Row{QStringLiteral("ED"), 1, 1, 4.0};
        QVERIFY(run());
        QList<int> counted;
        for (const auto &request : m_server->sentTo(QStringLiteral("DtsPTemporal"), QStringLiteral("CONTADOR")))
            counted << request.commandText.section(QStringLiteral("COD_EMPR = "), 1).section(QLatin1Char(' '), 0, 0).toInt();
        QCOMPARE(counted, countedCompanies);
        // Rows with the same names keep the order in which they were added.
        QList<double> rows;
        TDataSet &table = m_station->module.CdsDtpcaRep;
        for (table.First(); !table.Eof(); table.Next())
            rows << table.FieldByName(QStringLiteral("VAL_CUMP"))->AsFloat();
        QCOMPARE(rows, obtained);
    }

    // Names are trimmed in the statement with the functions of the database the session names.
    void nameQueries_data()
    {
        addColumns<QString, QString>({"driver", "select"});
        QTest::newRow("MSSQL") << "MSSQL" << " SELECT LTRIM(RTRIM(NOM_";
        QTest::newRow("PostgreSQL") << "POSTGRESQL" << " SELECT TRIM(NOM_";
        QTest::newRow("no driver named") << "" << " SELECT TRIM(NOM_";
        QTest::newRow("case matters") << "mssql" << " SELECT TRIM(NOM_";
    }

    void nameQueries()
    {
        QFETCH(QString, driver);
        QFETCH(QString, select);
        gStDriver = driver;
        QVERIFY(run());
        const auto names = m_server->sentTo(QStringLiteral("DtsPTemporal"), QStringLiteral(" AS NOM_"));
        QCOMPARE(names.size(), 3);
        for (const auto &request : names)
            QVERIFY2(request.commandText.startsWith(select), qPrintable(request.commandText));
    }

    void nameCleaning_data()
    {
        addColumns<QString, QString>({"raw", "printed"});
        QTest::newRow("capitals with accents") << "EDUCACIÓN BÁSICA" << "EducaciÓn bÁsica";
        QTest::newRow("no-break spaces and ends") << "\u00a0 curso\u00a0de EXCEL\t " << "Curso de excel";
        QTest::newRow("one letter") << "b" << "B";
        QTest::newRow("blank") << " \u00a0 " << "";
        QTest::newRow("accented first letter") << "ñANDÚ" << "ñandÚ";
    }

    void nameCleaning()
    {
        QFETCH(QString, raw);
        QFETCH(QString, printed);
        QCOMPARE(TDtmAcSemaf::LimpiarNombre(raw), printed);
        // The same through the report's look-up; a name without a row prints empty.
        m_server->names = {{"NOM_REGI ED", raw}, {"NOM_ESPE ED 1 1", raw}};
        QVERIFY(run());
        QCOMPARE(detail("TIP_REGI").toString(), printed);
        QCOMPARE(detail("COD_REQU").toString(), QString());
        QCOMPARE(detail("TIT_GRAF").toString(), QLatin1Char(' ') + printed);
        QCOMPARE(detail("TIT_REPO").toString(), QLatin1Char(' ') + printed);
    }

    void messages_data()
    {
        addColumns<QString, QString, bool>({"situation", "message", "emptied"});
        QTest::newRow("not generated") << "no employee" << "Se debe Generar el semaforo para ver reporte... " << false;
        QTest::newRow("nothing ticked") << "no category" << "Debe Seleccionar Competencias..." << true;
        QTest::newRow("no profile") << "no profile"
                                    << "No existen datos para generar el reporte seleccionado. Cargo SUP001 Empresa 2" << true;
        QTest::newRow("failing query") << "failing query" << "tabla bloqueada" << true;
        QTest::newRow("company not a number") << "bad company" << "'2x' no es un valor entero válido (COD_EMPR)" << true;
    }

    void messages()
    {
        QFETCH(QString, situation);
        QFETCH(QString, message);
        QFETCH(bool, emptied);
        TDtmAcSemaf &module = m_station->module;
        QVERIFY(run());   // rows of an earlier run
        if (situation == QLatin1String("no employee"))
            module.CdsAcSemaf.EmptyDataSet();
        else if (situation == QLatin1String("no category"))
            m_form.categories = {};
        else if (situation == QLatin1String("no profile"))
            m_server->profile.clear();
        else if (situation == QLatin1String("failing query"))
            m_server->failProvider = QStringLiteral("DtsPBiDtpef");
        else
            m_form.EmpCaActual = QStringLiteral("'2x'");
        DialogRecorder dialogs;
        bool shown = false;
        ErrorGuard::run([&] { m_reports->ReporteCompetencias([&](report::Report &) { shown = true; }); });
        QCOMPARE(dialogs.texts(), QStringList{message});
        QVERIFY(!shown);
        QCOMPARE(module.CdsDtpcaRep.RecordCount(), emptied ? 0 : 1);
        // The handler is in place again whichever way the run ended.
        const int before = m_scrolls;
        QVERIFY(module.CdsDtpcaRep.AfterScroll);
        module.CdsDtpcaRep.AfterScroll(&module.CdsDtpcaRep);
        QCOMPARE(m_scrolls, before + 1);
        QCOMPARE(m_appendScrolls, 0);
    }

    void variables_data()
    {
        // contracts: "company:position"
        addColumns<QString, QString, QStringList, QVariant>({"name", "empCaActual", "contracts", "value"});
        const QVariant untouched(QStringLiteral("as before"));
        QTest::newRow("current position") << "gStCargoActual" << "'2'" << QStringList{"2:OPE001"} << QVariant("Operario de Planta");
        QTest::newRow("without an active contract") << "gStCargoActual" << "'1','2'" << QStringList{} << untouched;
        QTest::newRow("position not active in the first company")
            << "gStCargoActual" << "'1','2'" << QStringList{"1:VIE001", "2:OPE001"} << QVariant("Operario de Planta");
        QTest::newRow("first company that answers") << "gStCargoActual" << "'1','2'" << QStringList{"1:AUX001", "2:OPE001"}
                                                    << QVariant("Auxiliar de Bodega");
        QTest::newRow("aspired position") << "gStCargo" << "'2'" << QStringList{} << QVariant("Supervisor de Planta");
        QTest::newRow("declared, not answered") << "gStPorProm" << "'2'" << QStringList{} << untouched;
    }

    void variables()
    {
        QFETCH(QString, name);
        QFETCH(QString, empCaActual);
        QFETCH(QStringList, contracts);
        QFETCH(QVariant, value);
        m_form.EmpCaActual = empCaActual;
        for (const QString &contract : contracts)
            m_server->contracts.insert(contract.section(':', 0, 0).toInt(), contract.section(':', 1));
        m_server->positions = {{1, "AUX001", "Auxiliar de Bodega"}, {2, "OPE001", " Operario de Planta "},
                               {2, "SUP001", "Supervisor de Planta"}};
        m_station->module.QryBiCargo.Open();
        QVariant answer = QStringLiteral("as before");
        m_reports->RptAcSemafGetValue(name, answer);
        QCOMPARE(answer, value);
    }

private:
    // Runs the report as the window's button does; true when it reached the preview.
    bool run()
    {
        bool shown = false;
        m_reports->ReporteCompetencias([&](report::Report &) { shown = true; });
        // Appending rows ran no handler, and it is attached again for the report's walk.
        TDataSet &table = m_station->module.CdsDtpcaRep;
        const int before = m_scrolls;
        if (table.AfterScroll)
            table.AfterScroll(&table);
        return shown && m_appendScrolls == 0 && m_scrolls == before + 1;
    }

    QVariant detail(const char *field) { return m_station->module.CdsDtpcaRep.FieldByName(QLatin1String(field))->AsVariant(); }

    HeadlessMainForm m_form;
    std::unique_ptr<HeadlessWorkstation> m_station;
    std::unique_ptr<TReportesAcSemaf> m_reports;
    CompetenceServer *m_server = nullptr;
    int m_scrolls = 0;          // the detail table's handler, run on a posted row
    int m_appendScrolls = 0;    // the same handler, run by a row being appended
};

QTEST_MAIN(TestCompetenceRows)
#include "tst_competencerows.moc"
