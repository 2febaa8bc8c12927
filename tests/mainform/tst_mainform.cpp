// The main form on the demo database, driven through its controls: the generation's inputs from
// the tree, the bands read back from the painted grid, the messages, a company chosen with the
// keys, and the keys. (The company list, the look-ups, the tree's double clicks and drill-down,
// the competence report and the replacement window are walked by tst_journey.)

#include "data/DAcSemaf.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "framework/widgets/DialogService.h"
#include "framework/Session.h"
#include "framework/TApplication.h"
#include "framework/Ugnnorma.h"
#include "framework/connection/SDCOMConnection.h"
#include "tests/support/SessionText.h"
#include "framework/widgets/TDBEdit.h"
#include "framework/widgets/TQsCmbCodigo.h"
#include "framework/widgets/TVelkarDBgrid.h"
#include "ui/UAcSemaf.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

class TestMainForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        DtmAcSemaf = new TDtmAcSemaf;
        DtmAcSemaf->AfterConstruction();
        DtmAcSemaf->setSession(m_db.session(1));
        m_forma = new TFrmAcSemaf(m_db.session(1));
        m_forma->AfterConstruction();
        m_forma->resize(1000, 700);
        m_forma->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_forma));
        // Active, as the user's window is: focus moves send their focus events.
        m_forma->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_forma));
    }

    void cleanupTestCase()
    {
        delete m_forma;
        delete DtmAcSemaf.data();
    }

    void generation_data()
    {
        addColumns<int, int, int, QString, QString, QString, QString>(
            {"empresa", "plan", "nodo", "cargo", "aspira", "actual", "empresas"});
        QTest::newRow("node with positions of the other company") << 1 << 1 << 11 << "SUP003" << "2"
                                                                  << "'AUX001','OPE003'" << "'2','2'";
        QTest::newRow("company 2 scores education without points") << 2 << 3 << 2 << "JPR001" << "2"
                                                                    << "'SUP001','ING001'" << "'2','2'";
        QTest::newRow("root takes every position child") << 1 << 1 << 0 << "" << "1" << "'GER002'" << "'1'";
    }

    // The tree yields the target and the candidates, whose holders the grid then shows (that the
    // rows are the engine's is tst_successionmap's, node by node).
    void generation()
    {
        QFETCH(int, empresa);
        QFETCH(int, plan);
        QFETCH(int, nodo);
        QFETCH(QString, cargo);
        QFETCH(QString, aspira);
        QFETCH(QString, actual);
        QFETCH(QString, empresas);
        generar(empresa, plan, nodo);
        QCOMPARE((QStringList{m_forma->CargoAspira, m_forma->EmpreAspira, m_forma->CargoActual, m_forma->EmpCaActual}),
                 (QStringList{cargo, aspira, actual, empresas}));

        if (cargo.isEmpty())
            return;  // the plan's header row names no target position
        TDataSet &resultado = DtmAcSemaf->CdsAcSemaf;
        QVERIFY(resultado.RecordCount() > 0);
        for (resultado.First(); !resultado.Eof(); resultado.Next())
            QVERIFY(empresas.contains(QLatin1Char('\'') + resultado.FieldByName(QStringLiteral("COD_EMCA"))->AsString() + QLatin1Char('\'')));
    }

    void bandsOfThePaintedGrid_data()
    {
        addColumns<QVariant, QColor>({"porcentaje", "color"});
        const QColor verde(146, 226, 107), amarillo(255, 255, 0), rojo(255, 0, 0);
        QTest::newRow("green") << QVariant(113.44) << verde;
        QTest::newRow("yellow") << QVariant(80.0) << amarillo;
        QTest::newRow("red, empty") << QVariant() << rojo;
    }

    // Every cell of the row is painted in its band's colour, the selected cell included (where
    // a band starts and ends is the result schema's).
    void bandsOfThePaintedGrid()
    {
        QFETCH(QVariant, porcentaje);
        QFETCH(QColor, color);
        TClientDataSet &resultado = resultadoVacio();
        resultado.Append();
        resultado.FieldByName(QStringLiteral("COD_EMPL"))->setAsFloat(1);
        resultado.FieldByName(QStringLiteral("APE_EMPL"))->setAsString(QStringLiteral("Prueba"));
        resultado.FieldByName(QStringLiteral("POR_EMPL"))->setAsVariant(porcentaje);
        resultado.Post();
        m_forma->PagCtrPrincipal->setCurrentIndex(1);
        TVelkarDBgrid *grilla = m_forma->DBGrdSemaforo;
        grilla->setFocus();
        grilla->setCurrentIndex(grilla->model()->index(0, 2));
        const QImage imagen = grilla->viewport()->grab().toImage();
        for (int c = 0; c < grilla->model()->columnCount(); ++c) {
            const QRect celda = grilla->visualRect(grilla->model()->index(0, c));
            QCOMPARE(QColor(imagen.pixel(celda.left() + 3, celda.top() + 3)), color);
        }
        QCOMPARE(grilla->model()->index(0, 3).data().toString().endsWith(QLatin1String(" %")), !porcentaje.isNull());
    }

    void reportMessages()
    {
        resultadoVacio();
        m_forma->CargoActual.clear();
        DialogRecorder dialogos;
        QTest::mouseClick(m_forma->spbPreview, Qt::LeftButton);
        QTest::mouseClick(m_forma->BitBtn1, Qt::LeftButton);
        QCOMPARE(dialogos.texts(), (QStringList{QStringLiteral("Primero debe Generar el Sémaforo!!"),
                                                QStringLiteral("No se selecciono cargo en el arbol o no existen cargos debajo del mismo...")}));
        QVERIFY(!DtmAcSemaf->gBoReporte);
    }

    // Starting from company 1 on the traffic-light page, the keys typed in the company selector
    // make another company the session's: globals, the form's connection and the module's data
    // follow it together, the company's education-without-points flag with them, and the form
    // goes back to its first page. Plan rows name their company from the company list.
    void companyChosenWithKeys()
    {
        elegirEmpresa(1);
        QVERIFY(!m_forma->gBoNexofEduSinPuntos);
        QCOMPARE(DtmAcSemaf->QryAcPprom.FieldByName(QStringLiteral("DtfNmbEmpresa"))->AsString(),
                 QStringLiteral("Grupo Empresarial Andino S.A."));
        m_forma->PagCtrPrincipal->setCurrentIndex(1);
        const Session before = m_forma->session();
        m_forma->cmbEmpresa->setFocus();
        QTest::keyClick(m_forma->cmbEmpresa, Qt::Key_End);
        QTest::keyClick(m_forma->cmbEmpresa, Qt::Key_Up);
        verificarEmpresaActual(2);
        QCOMPARE(m_forma->session(), before.withCompany(2));
        QCOMPARE(m_forma->PagCtrPrincipal->currentIndex(), 0);
        QVERIFY(m_forma->gBoNexofEduSinPuntos);  // flag "S" for company 2 in the demo
        QCOMPARE(DtmAcSemaf->QryAcPprom.FieldByName(QStringLiteral("COD_EMPR"))->AsInteger(), 2);
    }

    // Typed letters a to z become capitals; every other character stays as typed.
    void typedLetters()
    {
        const QString typed = QStringLiteral("año zé Ñ7Q");
        elegirEmpresa(1);
        irANodo(1, 11);
        m_forma->PagCtrPrincipal->setCurrentIndex(0);
        TDBEdit *nombre = m_forma->DBEnom_menu;
        DialogRecorder dialogos;
        nombre->setFocus();
        nombre->setText(QString());
        for (const QChar letra : typed) {
            if (letra.unicode() < 128)
                QTest::keyClick(nombre, char(letra.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, nombre, Qt::Key_unknown, QString(letra), Qt::NoModifier);
        }
        const QString escrito = nombre->text();
        DtmAcSemaf->QryAcPprom.Cancel();
        QCOMPARE(escrito, QStringLiteral("AñO Zé Ñ7Q"));
        QVERIFY2(dialogos.texts().isEmpty(), qPrintable(dialogos.texts().join('|')));
    }

    void enterOutsideAGridMovesTheFocus()
    {
        m_forma->PagCtrPrincipal->setCurrentIndex(0);
        m_forma->DBEcod_menu->setFocus();
        const QString codigo = m_forma->DBEcod_menu->text();
        DialogRecorder dialogos;
        QTest::keyClick(m_forma->DBEcod_menu, Qt::Key_Return);
        QCOMPARE(dialogos.texts(), QStringList());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(m_forma->DBEnom_menu));
        QCOMPARE(m_forma->DBEcod_menu->text(), codigo);
    }

    // Enter in the plan's editable grid, on its last column, goes back to the first column
    // instead of moving the form's focus on; the grid hears the Enter too, which only reports
    // the activation and opens no cell editor. (The column walk is the grid's own.)
    void enterInAGrid()
    {
        elegirEmpresa(1);
        irANodo(1, 11);
        TDataSet &filas = DtmAcSemaf->QryAcPprom;
        TVelkarDBgrid *rejilla = m_forma->DBGFrm;
        QVERIFY(rejilla->isVisible());
        rejilla->setFocus();
        rejilla->setSelectedIndex(rejilla->model()->columnCount() - 1);
        const int fila = filas.RecNo();
        QSignalSpy activadas(rejilla, &QAbstractItemView::activated);
        DialogRecorder dialogos;
        QTest::keyClick(rejilla, Qt::Key_Return);
        QCOMPARE(rejilla->SelectedIndex(), 0);
        QCOMPARE(filas.RecNo(), fila);
        QCOMPARE(activadas.size(), 1);
        QCOMPARE(filas.State(), dsBrowse);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(rejilla));
        QCOMPARE(dialogos.texts(), QStringList());
    }

    // The position text over the position list: a key released in it is cancelled without a word
    // and goes no further.
    void keyReleaseInThePositionText()
    {
        QLineEdit *texto = m_forma->edtEdtNmbCarg;
        const QString antes = texto->text();
        int alaLista = 0;
        ContadorDeSoltadas contador(m_forma->cmbEmpCarg, &alaLista);
        DialogRecorder dialogos;
        QTest::keyRelease(texto, Qt::Key_A);
        QTest::keyRelease(texto, Qt::Key_Delete);
        QCOMPARE(dialogos.requests.size(), 0);
        QCOMPARE(alaLista, 0);
        QCOMPARE(texto->text(), antes);
    }

    // Going to a node brings its plan row into view in the record grid, and marks it there, also
    // once the host has shrunk the form (how the grid follows any move of its dataset is the
    // grid's own, checked with the framework's controls).
    void recordGridShowsTheCurrentRow()
    {
        elegirEmpresa(1);
        m_forma->PagCtrPrincipal->setCurrentIndex(0);
        irANodo(1, 0);
        irANodo(1, 13);
        const QSize tamano = m_forma->size();
        m_forma->CambiarAltura(480);
        QApplication::processEvents();
        TVelkarDBgrid *rejilla = m_forma->DBGFrm;
        const int fila = DtmAcSemaf->QryAcPprom.RecNo() - 1;
        const QRect celda = rejilla->visualRect(rejilla->model()->index(fila, 0));
        const bool aLaVista = rejilla->viewport()->rect().contains(celda);
        const bool hayMasFilas = rejilla->model()->rowCount() * rejilla->rowHeight(0) > rejilla->viewport()->height();
        const QString donde = QStringLiteral("row %1 at y %2 of %3").arg(fila).arg(celda.y()).arg(rejilla->viewport()->height());
        m_forma->resize(tamano);
        QVERIFY2(aLaVista, qPrintable(donde));
        QVERIFY(hayMasFilas);
        QCOMPARE(rejilla->model()->headerData(fila, Qt::Vertical).toString(), QStringLiteral("▶"));
        QCOMPARE(rejilla->model()->headerData(0, Qt::Vertical).toString(), QString());
    }

private:
    // Counts the key releases that reach a control.
    class ContadorDeSoltadas : public QObject {
    public:
        ContadorDeSoltadas(QWidget *control, int *cuenta) : m_control(control), m_cuenta(cuenta)
        {
            control->installEventFilter(this);
        }
        ~ContadorDeSoltadas() override { m_control->removeEventFilter(this); }
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::KeyRelease)
                ++*m_cuenta;
            return false;
        }

    private:
        QWidget *m_control;
        int *m_cuenta;
    };

    // The plan row of the node becomes current as a click in the record grid would make it.
    void irANodo(int plan, int nodo)
    {
        TDataSet &planes = DtmAcSemaf->QryAcPprom;
        QVERIFY(planes.Locate(QStringLiteral("COD_MENU;COD_NODO"), QVariantList{plan, nodo}));
    }

    // The company is the form's session's, which the connection and the data module work with and
    // the suite's globals (text and tag) are written from; they all agree.
    void verificarEmpresaActual(int empresa)
    {
        QCOMPARE(m_forma->session().company, empresa);
        QCOMPARE(m_forma->DCOMCnction->session(), m_forma->session());
        QCOMPARE(DtmAcSemaf->session(), m_forma->session());
        QCOMPARE(TApplication::instance().Tag, empresa);
        QCOMPARE(gStCodiEmpr, QString::number(empresa));
        QCOMPARE(m_forma->cmbEmpresa->Codigo(), QString::number(empresa));
        QCOMPARE(DtmAcSemaf->QryGnEmpre.FieldByName(QStringLiteral("COD_EMPR"))->AsInteger(), empresa);
    }

    void elegirEmpresa(int empresa)
    {
        TQsCmbCodigo *combo = m_forma->cmbEmpresa;
        const int indice = combo->findData(QString::number(empresa));
        QVERIFY(indice >= 0);
        combo->setCurrentIndex(indice);
        emit combo->activated(indice);
    }

    // The node's traffic light with every category ticked, as the refresh button makes it.
    void generar(int empresa, int plan, int nodo)
    {
        elegirEmpresa(empresa);
        irANodo(plan, nodo);
        m_forma->PagCtrPrincipal->setCurrentIndex(1);
        for (QCheckBox *casilla : {m_forma->ChkCompe, m_forma->ChkEduFor, m_forma->ChkEduNo, m_forma->ChkExpe})
            casilla->setChecked(true);
        DialogRecorder dialogos;
        QTest::mouseClick(m_forma->SpdBttnRefrescar, Qt::LeftButton);
        QCOMPARE(dialogos.texts(), QStringList());
    }

    // The result table open and empty, whether or not a generation ran before.
    TClientDataSet &resultadoVacio()
    {
        TClientDataSet &resultado = DtmAcSemaf->CdsAcSemaf;
        if (!resultado.Active())
            resultado.Open();
        resultado.EmptyDataSet();
        return resultado;
    }

    DemoDatabase m_db;
    TFrmAcSemaf *m_forma = nullptr;
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
