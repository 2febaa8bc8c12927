// The competence report's rows through a recording transport, the chart drawn from them, and the
// messages the user sees. (A demo employee's printed page and the report's variables:
// tst_reportcommand.)

#include "tests/ui/CompetenceServer.h"
#include "data/DAcSemaf.h"
#include "tests/data/support/GenerationHarness.h"
#include "tests/support/DataTable.h"
#include "framework/widgets/DialogService.h"
#include "framework/widgets/ErrorGuard.h"
#include "data/HeadlessMainForm.h"
#include "data/HeadlessWorkstation.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/dataset/TField.h"
#include "reportengine/PreparedReport.h"
#include "reports/TReportesAcSemaf.h"

#include <QtTest>

namespace {

const QString kEmpleado = QStringLiteral("79123456");

const QHash<QString, QString> kProviders{{"ef", "DtsPBiDtpef"}, {"nf", "DtsPBiDtpnf"}, {"hv", "DtsPBidtphv"},
                                         {"co", "DtsPEd3dlcc"}};

} // namespace

class TestCompetenceRows : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_form = HeadlessMainForm();
        m_form.CargoAspira = QStringLiteral("SUP001");
        m_form.EmpreAspira = QStringLiteral("2");
        m_form.CargoActual = QStringLiteral("'OPE001'");
        m_form.EmpCaActual = QStringLiteral("'2'");
        m_form.categories = categoriesOf(QStringLiteral("EF"));
        Session session;   // the fake server asks for no place nor password
        session.user = QStringLiteral("ADMIN");
        m_station = std::make_unique<HeadlessWorkstation>(session, &m_form);
        auto server = std::make_unique<CompetenceServer>();
        m_server = server.get();
        m_station->connection.setTransport(std::move(server));
        m_server->profile = {{QStringLiteral("ED"), 1, 1, 8.0}};
        m_server->registeredIn = {2};
        m_server->names = {{"NOM_REGI ED", "EDUCACIÓN"}, {"NOM_REQU ED 1", "BACHILLER"}, {"NOM_ESPE ED 1 1", "ACADÉMICO"}};

        TDtmAcSemaf &module = m_station->module;
        module.QryGnEmpre.Open();   // the page's header: no company nor positions here
        module.QryBiCargo.Open();
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

    // The rows hold the cleaned names, the required and obtained points and the percentages; the
    // whole run reads what it needs in one round trip, whatever the number of profile rows and
    // companies.
    void rows_data()
    {
        // records: "provider:company:points", in the order the database returns them;
        // rows: "required|obtained|POR_CUMP|CUM_GRAF" per detail row, in company order
        addColumns<QString, QString, QVariant, QStringList, QStringList>(
            {"ticked", "empCaActual", "required", "records", "rows"});
        // Company 1: a later category overrides an earlier one; company 2: the last match wins;
        // a repeated company code is walked once.
        QTest::newRow("two companies") << "EF EN" << "'1','1','2'" << QVariant(8.0)
                                       << QStringList{"nf:1:5", "ef:1:9", "ef:2:7", "ef:2:4"}
                                       << QStringList{"8|5|62.5|62.5", "8|4|50|50"};
        QTest::newRow("competences") << "CO" << "'2'" << QVariant(3.0) << QStringList{"co:2:1", "ef:2:3"}
                                     << QStringList{"3|1|33.33|33.33"};
    }

    void rows()
    {
        QFETCH(QString, ticked);
        QFETCH(QString, empCaActual);
        QFETCH(QVariant, required);
        QFETCH(QStringList, records);
        QFETCH(QStringList, rows);
        QLocale::setDefault(QLocale::c());
        m_form.categories = categoriesOf(ticked);
        m_form.EmpCaActual = empCaActual;
        m_server->registeredIn = {1, 2};
        m_server->profile.first().puntos = required;
        m_server->names = {{"NOM_REGI ED", "\u00a0 EDUCACIÓN\t "}, {"NOM_REQU ED 1", "BACHILLER"}, {"NOM_ESPE ED 1 1", "aCADÉMICO"},
                           {"NOM_REQU ED 2", "OTRO"}};
        for (const QString &record : records)
            m_server->records[kProviders.value(record.section(':', 0, 0))][record.section(':', 1, 1).toInt()]
                << CompetenceServer::Row{QStringLiteral("ED"), 1, 1, record.section(':', 2).toDouble()};
        m_server->roundTrips = 0;
        QVERIFY(run());
        QCOMPARE(m_server->roundTrips, 1);
        QStringList got;
        TDataSet &table = m_station->module.CdsDtpcaRep;
        for (table.First(); !table.Eof(); table.Next()) {
            got << QStringList{detail("VAL_REQU").toString(), detail("VAL_CUMP").toString(), detail("POR_CUMP").toString(),
                               detail("CUM_GRAF").toString()}.join(QLatin1Char('|'));
            QCOMPARE((QStringList{detail("TIP_REGI").toString(), detail("TIT_GRAF").toString(), detail("TIT_REPO").toString()}),
                     (QStringList{"EducaciÓn", "Bachiller AcadÉmico", "Bachiller AcadÉmico"}));
        }
        QCOMPARE(got, rows);

        // The chart draws each row's share of its requirement.
        report::PreparedReport prepared;
        m_reports->ReporteCompetencias([&](report::Report &report) { prepared = report.prepare(); });
        QStringList drawn;
        for (const report::PreparedPage &page : prepared.pages)
            for (const report::PreparedItem &item : page.items)
                for (const double share : item.chart.values.value(1))
                    drawn << QString::number(share);
        QCOMPARE(drawn, rows.replaceInStrings(QRegularExpression(QStringLiteral("^.*\\|")), QString()));
    }

    void messages_data()
    {
        addColumns<QString, QString, bool>({"situation", "message", "emptied"});
        QTest::newRow("not generated") << "no employee" << "Se debe Generar el semaforo para ver reporte... " << false;
        QTest::newRow("nothing ticked") << "no category" << "Debe Seleccionar Competencias..." << true;
        QTest::newRow("no profile") << "no profile"
                                    << "No existen datos para generar el reporte seleccionado. Cargo SUP001 Empresa 2" << true;
        QTest::newRow("failing query") << "failing query" << "tabla bloqueada" << true;
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
        else
            m_server->failProvider = QStringLiteral("DtsPBiDtpef");
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
