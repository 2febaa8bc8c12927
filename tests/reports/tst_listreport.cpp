// The traffic-light list report on the demo database: the report flag while it runs, and the PDF's
// text in the workstation's number format. (The position of a plan node: tst_journey.)

#include "data/DAcSemaf.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "framework/Exceptions.h"
#include "data/HeadlessWorkstation.h"
#include "reportengine/PdfExport.h"
#include "framework/dataset/TField.h"
#include "reports/TReportesAcSemaf.h"
#include "tests/support/PdfTools.h"
#include "tests/support/TestTools.h"

#include <QTemporaryDir>
#include <QtTest>

class TestListReport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        m_station = std::make_unique<HeadlessWorkstation>(m_db.session(2));
        TDtmAcSemaf &module = m_station->module;
        module.QryGnEmpre.ParamByName(QStringLiteral("P_COD_EMPR"))->setAsSmallInt(2);
        module.QryGnEmpre.Open();
        m_reports = std::make_unique<TReportesAcSemaf>(module);
        m_reports->CargoSinPlan = QStringLiteral("Supervisor de Planta");
    }

    void init()
    {
        QLocale::setDefault(QLocale::c());
        m_station->module.CdsAcSemaf.Close();
        m_station->module.CdsAcSemaf.Open();
        m_station->module.CdsAcSemaf.EmptyDataSet();
        m_station->module.QryAcPprom.Close();
    }

    void flagSetWhileReportRuns()
    {
        addResult(1001, 95, QStringLiteral("Ana"), QStringLiteral("Ríos"));
        bool flagWhileRunning = false;
        QCOMPARE(messageOf([&] {
                     m_reports->ProducirListado([&](report::Report &) {
                         flagWhileRunning = m_station->module.gBoReporte;
                         throw Exception(QStringLiteral("printer gone"));
                     });
                 }),
                 QStringLiteral("printer gone"));
        QVERIFY(flagWhileRunning);
        QCOMPARE(m_station->module.gBoReporte, false);
    }

    void pdfText()
    {
        QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Colombia));
        addResult(79123456, 87.5, QStringLiteral("José Ángel"), QStringLiteral("Muñoz Peña"));
        addResult(1020304, 1234.5, QStringLiteral("María"), QStringLiteral("Gómez"));
        const QString path = m_dir.filePath(QStringLiteral("listado.pdf"));
        QString error;
        QVERIFY2(report::PdfExport::write(prepared(), path, &error), qPrintable(error));
        const QString text = pdfToText(path);
        for (const QString &expected :
             {QStringLiteral("Industrias Peñalisa S.A.S."), QStringLiteral("Análisis de Cargos"), QStringLiteral("Plan de Carrera"),
              QStringLiteral("Supervisor de Planta"), QStringLiteral("Identificación"), QStringLiteral("Nombre Completo"),
              QStringLiteral("José Ángel Muñoz Peña"), QStringLiteral("87,50 %"), QStringLiteral("1.234,50 %"),
              QStringLiteral("Página: 1"), QStringLiteral("Velkar: QAcSemaf"), QStringLiteral("Usuario: ADMIN")})
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" not in:\n") + text));
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Nro\\. Registros:\\s+2\\n"))), qPrintable(text));
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("\\b79123456\\s+José"))), qPrintable(text));
    }

private:
    void addResult(double employee, double percentage, const QString &names, const QString &surnames)
    {
        TDataSet &result = m_station->module.CdsAcSemaf;
        result.Append();
        result.FieldByName(QStringLiteral("COD_EMPL"))->setAsFloat(employee);
        result.FieldByName(QStringLiteral("POR_EMPL"))->setAsFloat(percentage);
        result.FieldByName(QStringLiteral("NUM_PERA"))->setAsInteger(3);
        result.FieldByName(QStringLiteral("NOM_EMPL"))->setAsString(names);
        result.FieldByName(QStringLiteral("APE_EMPL"))->setAsString(surnames);
        result.FieldByName(QStringLiteral("COD_EMCA"))->setAsInteger(2);
        result.Post();
    }

    report::PreparedReport prepared()
    {
        report::PreparedReport pages;
        m_reports->ProducirListado([&](report::Report &report) { pages = report.prepare(); });
        return pages;
    }

    DemoDatabase m_db;
    std::unique_ptr<HeadlessWorkstation> m_station;
    std::unique_ptr<TReportesAcSemaf> m_reports;
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestListReport)
#include "tst_listreport.moc"
