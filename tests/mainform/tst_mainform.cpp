// The main form on the demo database, walked with keys and clicks where a user's work used to get
// lost or misled: a parent typed and refused while typing, a company change and the tree it leaves,
// the tree's shape, the bands painted in the result grid, and Enter. (The look-ups, the drill-down,
// the result grid's order and the reports are walked by tst_journey; a plan saved without a
// position: tst_planrules.)

#include "data/DAcSemaf.h"
#include "framework/Session.h"
#include "framework/TApplication.h"
#include "framework/Ugnnorma.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/widgets/DialogService.h"
#include "framework/widgets/TDBEdit.h"
#include "framework/widgets/TQNavegador.h"
#include "framework/widgets/TQsCmbCodigo.h"
#include "framework/widgets/TVelkarDBgrid.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/SessionText.h"
#include "ui/MainFormDriver.h"
#include "ui/UAcSemaf.h"

#include <QApplication>
#include <QCheckBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <memory>

// Depth and position code of every node, parents before children.
static QStringList walk(QTreeWidgetItem *node, int depth = 0)
{
    QStringList rows{QStringLiteral("%1 %2").arg(depth).arg(depth == 0 ? node->text(0) : node->text(0).section(' ', 0, 0))};
    for (int i = 0; i < node->childCount(); ++i)
        rows << walk(node->child(i), depth + 1);
    return rows;
}

class TestMainForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        // Company 2 gets a plan numbered 1, as company 1's first plan is; plan 2 of company 1 a
        // position that does not exist.
        QCOMPARE(m_db.query(QStringLiteral(
                     "INSERT INTO AC_PPROM (COD_EMPR, COD_MENU, COD_NODO, COD_NODP, COD_EMCA, COD_CARG, NOM_MENU, ACT_USUA, "
                     "ACT_HORA, ACT_ESTA) VALUES (2, 1, 0, NULL, 2, NULL, 'Plan Uno de Planta', 'ADMIN', '2024-01-01', 'A'), "
                     "(2, 1, 1, 0, 2, 'GPL001', 'Plan Uno de Planta', 'ADMIN', '2024-01-01', 'A'), "
                     "(2, 1, 2, 1, 2, 'JPR001', 'Plan Uno de Planta', 'ADMIN', '2024-01-01', 'A')")),
                 QStringList());
        QCOMPARE(m_db.query(QStringLiteral("INSERT INTO AC_PPROM (COD_EMPR, COD_MENU, COD_NODO, COD_NODP, COD_CARG, COD_EMCA) "
                                           "VALUES (1, 2, 9, 8, 'TEC099', 1)")),
                 QStringList());
        m_driver = std::make_unique<MainFormDriver>(m_db.session(1));
        m_forma = m_driver->form();
        m_forma->activateWindow();   // focus moves send their focus events
        QVERIFY(QTest::qWaitForWindowActive(m_forma));
    }

    void cleanupTestCase() { m_driver.reset(); }

    void cleanup()
    {
        if (plan().State() != dsBrowse)
            plan().Cancel();
    }

    // The tree of the current row's plan nests by parent node in node order (nodes 1 and 5 name
    // node 8, met later: each stays under the parent in use at the moment) and names a missing
    // position; another node of the same plan keeps the tree. (The nodes' candidates agree with
    // the engine's plan shape on every plan: tst_successionmap.)
    void careerTree()
    {
        m_driver->chooseCompany(1);
        m_driver->goToNode(2, 0);
        QTreeWidget *vista = m_forma->TreeViewCarrera;
        QCOMPARE(vista->topLevelItemCount(), 1);
        QTreeWidgetItem *raiz = vista->topLevelItem(0);
        const QStringList arbol{"0 Carrera Comercial", "1 DIR003", "2 COO003", "3 PRO005", "4 TEC003",
                                "5 TEC005", "4 DIR004", "5 PRO006", "1 GER003", "2 TEC099"};
        QCOMPARE(walk(raiz), arbol);
        QCOMPARE(vista->currentItem(), raiz);
        m_driver->goToNode(2, 9);
        QCOMPARE(vista->topLevelItem(0), raiz);
        QCOMPARE(vista->currentItem()->text(0), QStringLiteral("TEC099 NO EXISTE EN BASE DE DATOS"));
    }

    void saveWhileTypingTheParent_data()
    {
        // plan 1 of company 1: 2 <- 4 <- 6 <- 8 and 3 <- 5
        addColumns<int, QString, QString>({"nodo", "padre", "mensaje"});
        QTest::newRow("a longer loop")
            << 2 << "8"
            << "El nodo 2 no puede tener como Nodo Padre al nodo 8, porque el nodo 8 depende del nodo 2 "
               "(2 → 8 → 6 → 4 → 2). Elija otro Nodo Padre.";
        QTest::newRow("its own parent") << 4 << "4" << "El nodo 4 no puede ser su propio Nodo Padre. Elija otro Nodo Padre.";
    }

    // A parent typed into "Nodo Padre" and saved with the navigator, the focus still in the edit,
    // that closes a loop: refused naming the nodes, the row left in edit, the database as it was.
    // (A save while typing that succeeds is walked by tst_journey.)
    void saveWhileTypingTheParent()
    {
        QFETCH(int, nodo);
        QFETCH(QString, padre);
        QFETCH(QString, mensaje);
        m_driver->chooseCompany(1);
        QVERIFY(plan().Locate(QStringLiteral("COD_MENU;COD_NODO"), QVariantList{1, nodo}));
        const QString antes = padreGuardado(nodo);
        DialogRecorder dialogos;
        escribir(m_forma->DBEcod_nodp, padre);
        QVERIFY(m_forma->DBEcod_nodp->hasFocus());
        pulsar(TQNavegador::nbPost);
        QCOMPARE(dialogos.texts().join(QLatin1Char('|')), mensaje);
        QCOMPARE(plan().State(), dsEdit);
        QCOMPARE(plan().FieldByName(QStringLiteral("COD_NODP"))->AsString(), padre);
        QCOMPARE(m_forma->DBEcod_nodp->text(), padre);
        QCOMPARE(padreGuardado(nodo), antes);
    }

    void companyChangeRedrawsTheTree_data()
    {
        addColumns<int, bool, QStringList, QString>({"empresa", "sinPuntos", "arbol", "mensaje"});
        QTest::newRow("same plan number")
            << 2 << true << QStringList{"Plan Uno de Planta", "GPL001 Gerente de Planta", "JPR001 Jefe de Producción"} << QString();
        QTest::newRow("no plans") << 3 << false << QStringList{} << QStringLiteral(
            "No se seleccionó cargo en el árbol o no existen cargos debajo del mismo...");
    }

    // From company 1's plan 1 on the traffic-light page, another company chosen with the keys:
    // the session, globals, connection and data module follow it together (its
    // education-without-points flag with them), the tree shows that company's plan (numbered as
    // the one before) or nothing, and "Generación Semaforo" scores that company's employees or none.
    // (The grid, the page and the status bar after a change: tst_journey.)
    void companyChangeRedrawsTheTree()
    {
        QFETCH(int, empresa);
        QFETCH(bool, sinPuntos);
        QFETCH(QStringList, arbol);
        QFETCH(QString, mensaje);
        elegirEmpresa(1);
        QVERIFY(!m_forma->gBoNexofEduSinPuntos);
        QVERIFY(plan().Locate(QStringLiteral("COD_MENU;COD_NODO"), QVariantList{1, 1}));
        m_forma->PagCtrPrincipal->setCurrentIndex(1);
        const Session before = m_forma->session();
        elegirEmpresa(empresa);
        QCOMPARE(m_forma->session(), before.withCompany(empresa));
        QCOMPARE(m_forma->DCOMCnction->session(), m_forma->session());
        QCOMPARE(DtmAcSemaf->session(), m_forma->session());
        QCOMPARE((QStringList{QString::number(TApplication::instance().Tag), gStCodiEmpr,
                              DtmAcSemaf->QryGnEmpre.FieldByName(QStringLiteral("COD_EMPR"))->AsString()}),
                 QStringList(3, QString::number(empresa)));
        QCOMPARE(m_forma->gBoNexofEduSinPuntos, sinPuntos);
        QStringList textos;
        for (QTreeWidgetItemIterator it(m_forma->TreeViewCarrera); *it; ++it)
            textos << (*it)->text(0);
        QCOMPARE(textos, arbol);
        if (!arbol.isEmpty())
            QVERIFY(plan().Locate(QStringLiteral("COD_MENU;COD_NODO"), QVariantList{1, 1}));
        DialogRecorder dialogos;
        m_forma->PagCtrPrincipal->setCurrentIndex(1);
        for (QCheckBox *casilla : {m_forma->ChkCompe, m_forma->ChkEduFor, m_forma->ChkEduNo, m_forma->ChkExpe})
            if (!casilla->isChecked())
                QTest::mouseClick(casilla, Qt::LeftButton);
        QTest::mouseClick(m_forma->SpdBttnRefrescar, Qt::LeftButton);
        QCOMPARE(dialogos.texts().join(QLatin1Char('|')), mensaje);
        TDataSet &resultado = DtmAcSemaf->CdsAcSemaf;
        QCOMPARE(resultado.Active() ? resultado.RecordCount() > 0 : false, mensaje.isEmpty());
        for (resultado.First(); resultado.Active() && !resultado.Eof(); resultado.Next())
            QCOMPARE(resultado.FieldByName(QStringLiteral("COD_EMCA"))->AsInteger(), empresa);
    }

    void bandsOfThePaintedGrid_data()
    {
        addColumns<QVariant, QColor>({"porcentaje", "color"});
        QTest::newRow("green") << QVariant(113.44) << QColor(146, 226, 107);
        QTest::newRow("red, empty") << QVariant() << QColor(255, 0, 0);
    }

    // Every cell of the row is painted in its band's colour, the selected cell included.
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
    }

    // The competence button without positions under the tree's node. (Reports before a generation:
    // tst_reportcommand and tst_competencerows.)
    void reportWithoutPositions()
    {
        m_forma->CargoActual.clear();
        DialogRecorder dialogos;
        QTest::mouseClick(m_forma->BitBtn1, Qt::LeftButton);
        QCOMPARE(dialogos.texts(), QStringList{QStringLiteral("No se selecciono cargo en el arbol o no "
                                                              "existen cargos debajo del mismo...")});
    }

    // Enter in an edit moves the focus on; in the plan's editable grid, on its last column, it
    // goes back to the first column, keeps the row and opens no cell editor.
    void enter()
    {
        m_driver->chooseCompany(1);
        m_driver->goToNode(1, 11);
        m_forma->PagCtrPrincipal->setCurrentIndex(0);
        m_forma->DBEcod_menu->setFocus();
        const QString codigo = m_forma->DBEcod_menu->text();
        DialogRecorder dialogos;
        QTest::keyClick(m_forma->DBEcod_menu, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(m_forma->DBEnom_menu));
        QCOMPARE(m_forma->DBEcod_menu->text(), codigo);

        TVelkarDBgrid *rejilla = m_forma->DBGFrm;
        rejilla->setFocus();
        rejilla->setSelectedIndex(rejilla->model()->columnCount() - 1);
        const int fila = plan().RecNo();
        QTest::keyClick(rejilla, Qt::Key_Return);
        QCOMPARE((QList<int>{rejilla->SelectedIndex(), plan().RecNo(), plan().State()}), (QList<int>{0, fila, dsBrowse}));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(rejilla));
        QCOMPARE(dialogos.texts(), QStringList());
    }

private:
    TDataSet &plan() { return DtmAcSemaf->QryAcPprom; }

    QString padreGuardado(int nodo) const
    {
        return m_db.query(QStringLiteral("SELECT COD_NODP FROM AC_PPROM WHERE COD_EMPR = 1 AND COD_MENU = 1 AND COD_NODO = %1")
                              .arg(nodo)).value(0);
    }

    // Clicks into the edit, selects its text and types over it, key by key.
    void escribir(TDBEdit *edit, const QString &texto)
    {
        m_forma->PagCtrPrincipal->setCurrentIndex(0);
        QTest::mouseClick(edit, Qt::LeftButton);
        QVERIFY(edit->hasFocus());
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, texto);
    }

    void pulsar(TQNavegador::TNavigateBtn boton) { QTest::mouseClick(m_forma->QNvgdrFrm->button(boton), Qt::LeftButton); }

    // The company chosen with the keys in the company selector (companies 1, 2 and 3 in order).
    void elegirEmpresa(int empresa)
    {
        TQsCmbCodigo *combo = m_forma->cmbEmpresa;
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = 1; i < empresa; ++i)
            QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->Codigo(), QString::number(empresa));
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
    std::unique_ptr<MainFormDriver> m_driver;
    TFrmAcSemaf *m_forma = nullptr;
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
