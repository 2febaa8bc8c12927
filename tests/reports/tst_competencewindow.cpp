// The competence report from the main form on the demo database: both "Ver Reporte" buttons and
// the result grid's "Ver Competencias" entry open one preview with the table page and the chart
// page of the employee under the result cursor.

#include "DAcSemaf.h"
#include "DemoDatabase.h"
#include "DialogService.h"
#include "ReportPreview.h"
#include "TField.h"
#include "TQsCmbCodigo.h"
#include "UAcSemaf.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QToolButton>
#include <QTabWidget>
#include <QTest>

class TestCompetenceWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void opensBothPages_data();
    void opensBothPages();

private:
    DemoDatabase m_db;
    TFrmAcSemaf *m_forma = nullptr;
};

// Plan 1 of company 1, node 11 ("Supervisor de Bodega"), generated with every category ticked.
void TestCompetenceWindow::initTestCase()
{
    QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
    m_db.startSession(1);
    DtmAcSemaf = new TDtmAcSemaf;
    DtmAcSemaf->AfterConstruction();
    m_forma = new TFrmAcSemaf;
    m_forma->AfterConstruction();
    m_forma->resize(1000, 700);
    m_forma->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_forma));
    TQsCmbCodigo *empresas = m_forma->cmbEmpresa;
    const int indice = empresas->findData(QStringLiteral("1"));
    empresas->setCurrentIndex(indice);
    emit empresas->activated(indice);
    QVERIFY(DtmAcSemaf->QryAcPprom.Locate(QStringLiteral("COD_MENU;COD_NODO"), QVariantList{1, 11}));
    m_forma->PagCtrPrincipal->setCurrentIndex(1);
    for (QCheckBox *casilla : {m_forma->ChkCompe, m_forma->ChkEduFor, m_forma->ChkEduNo, m_forma->ChkExpe})
        casilla->setChecked(true);
    DialogRecorder dialogos;
    QTest::mouseClick(m_forma->SpdBttnRefrescar, Qt::LeftButton);
    QCOMPARE(dialogos.texts(), QStringList());
    QVERIFY(DtmAcSemaf->CdsAcSemaf.RecordCount() > 1);
}

void TestCompetenceWindow::cleanupTestCase()
{
    delete m_forma;
    delete DtmAcSemaf.data();
}

void TestCompetenceWindow::opensBothPages_data()
{
    QTest::addColumn<QString>("entrada");
    QTest::addColumn<int>("fila");
    QTest::newRow("traffic-light page button") << "BitBtn1" << 1;
    QTest::newRow("positions page button") << "BitBtn2" << 2;
    QTest::newRow("grid pop-up entry") << "BntRepCompe" << 2;
}

void TestCompetenceWindow::opensBothPages()
{
    QFETCH(QString, entrada);
    QFETCH(int, fila);
    TDataSet &resultado = DtmAcSemaf->CdsAcSemaf;
    resultado.setRecNo(fila);
    const QString empleado = resultado.FieldByName(QStringLiteral("COD_EMPL"))->AsString();
    DialogRecorder dialogos;
    if (entrada == QLatin1String("BntRepCompe"))
        m_forma->BntRepCompe->trigger();
    else
        m_forma->findChild<QPushButton *>(entrada)->click();
    QCOMPARE(dialogos.texts(), QStringList());

    QList<report::ReportPreview *> vistas;
    for (QWidget *ventana : QApplication::topLevelWidgets())
        if (auto *vista = qobject_cast<report::ReportPreview *>(ventana); vista && vista->isVisible())
            vistas << vista;
    QCOMPARE(vistas.size(), 1);
    const report::PreparedReport &paginas = vistas.first()->pages();
    QCOMPARE(paginas.pageCount(), 2);
    QCOMPARE(paginas.pages.at(0).orientation, QPageLayout::Portrait);
    QCOMPARE(paginas.pages.at(1).orientation, QPageLayout::Landscape);
    for (const report::PreparedPage &pagina : paginas.pages)
        QVERIFY2(pagina.texts().contains(QStringLiteral("Cedula: ") + empleado), qPrintable(pagina.texts().join('|')));
    QVERIFY(DtmAcSemaf->CdsDtpcaRep.RecordCount() > 0);
    delete vistas.first();
}

QTEST_MAIN(TestCompetenceWindow)
#include "tst_competencewindow.moc"
