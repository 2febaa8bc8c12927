// The main form on the demo database, walked with keys and clicks where a user's work used to get
// lost or misled: a plan row saved with the navigator while its text is still being typed, the
// refusals of a save (a parent that closes a loop, no position chosen), and a company change to a
// plan of the same number and the tree it leaves. (The result grid's order and the drill-down
// menu are walked by tst_journey.)

#include "data/DAcSemaf.h"
#include "framework/widgets/DialogService.h"
#include "framework/widgets/TDBEdit.h"
#include "framework/widgets/TQNavegador.h"
#include "framework/widgets/TQsCmbCodigo.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "ui/UAcSemaf.h"

#include <QApplication>
#include <QCheckBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

class TstMainFormJourneys : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        // Company 2 gets a plan numbered 1, as company 1's first plan is.
        m_db.query(QStringLiteral(
            "INSERT INTO AC_PPROM (COD_EMPR, COD_MENU, COD_NODO, COD_NODP, COD_EMCA, COD_CARG, NOM_MENU, ACT_USUA, "
            "ACT_HORA, ACT_ESTA) VALUES (2, 1, 0, NULL, 2, NULL, 'Plan Uno de Planta', 'ADMIN', '2024-01-01', 'A'), "
            "(2, 1, 1, 0, 2, 'GPL001', 'Plan Uno de Planta', 'ADMIN', '2024-01-01', 'A'), "
            "(2, 1, 2, 1, 2, 'JPR001', 'Plan Uno de Planta', 'ADMIN', '2024-01-01', 'A')"));
        QCOMPARE(m_db.query(QStringLiteral("SELECT COUNT(*) FROM AC_PPROM WHERE COD_EMPR = 2 AND COD_MENU = 1")),
                 QStringList{QStringLiteral("3")});
        DtmAcSemaf = new TDtmAcSemaf;
        DtmAcSemaf->AfterConstruction();
        DtmAcSemaf->setSession(m_db.session(1));
        m_forma = new TFrmAcSemaf(m_db.session(1));
        m_forma->AfterConstruction();
        m_forma->resize(1000, 700);
        m_forma->show();
        QVERIFY(QTest::qWaitForWindowActive(m_forma));
    }

    void cleanupTestCase()
    {
        delete m_forma;
        delete DtmAcSemaf.data();
    }

    void cleanup()
    {
        if (plan().State() != dsBrowse)
            plan().Cancel();
    }

    // Right after start-up no position is chosen for the plan's header row: renaming the plan is
    // refused saying what to choose, and the typed name stays in the edit and the row.
    void renameThePlanRightAfterStartUp()
    {
        QCOMPARE(m_forma->cmbEmpCarg->currentIndex(), -1);
        DialogRecorder dialogos;
        escribir(m_forma->DBEnom_menu, QStringLiteral("Carrera Financiera"));
        pulsar(TQNavegador::nbPost);
        QCOMPARE(dialogos.texts(), QStringList{TDtmAcSemaf::sinCargoElegidoMessage()});
        QCOMPARE(plan().State(), dsEdit);
        QCOMPARE(m_forma->DBEnom_menu->text(), QStringLiteral("CARRERA FINANCIERA"));  // letters typed as capitals
        QCOMPARE(m_db.query(QStringLiteral("SELECT NOM_MENU FROM AC_PPROM WHERE COD_EMPR = 1 AND COD_MENU = 1 "
                                           "AND COD_NODO = 0")),
                 QStringList{QStringLiteral("Carrera Financiera y Logística")});
    }

    void saveWhileTypingTheParent_data()
    {
        // plan 1 of company 1: 2 <- 4 <- 6 <- 8 and 3 <- 5
        addColumns<int, QString, QString>({"nodo", "padre", "mensaje"});
        QTest::newRow("another parent") << 9 << "3" << QString();
        QTest::newRow("a loop of two nodes")
            << 3 << "5"
            << "El nodo 3 no puede tener como Nodo Padre al nodo 5, porque el nodo 5 depende del nodo 3 (3 → 5 → 3). "
               "Elija otro Nodo Padre.";
        QTest::newRow("a longer loop")
            << 2 << "8"
            << "El nodo 2 no puede tener como Nodo Padre al nodo 8, porque el nodo 8 depende del nodo 2 "
               "(2 → 8 → 6 → 4 → 2). Elija otro Nodo Padre.";
        QTest::newRow("its own parent") << 4 << "4" << "El nodo 4 no puede ser su propio Nodo Padre. Elija otro Nodo Padre.";
    }

    // The parent typed into "Nodo Padre" and saved with the navigator's button, the focus still
    // in the edit: the typed node is saved, or the save is refused naming the nodes and the row
    // stays in edit with the typed parent, the database as it was.
    void saveWhileTypingTheParent()
    {
        QFETCH(int, nodo);
        QFETCH(QString, padre);
        QFETCH(QString, mensaje);
        elegirEmpresa(1);
        QVERIFY(plan().Locate(QStringLiteral("COD_MENU;COD_NODO"), QVariantList{1, nodo}));
        const QString antes = padreGuardado(1, nodo);
        DialogRecorder dialogos;
        escribir(m_forma->DBEcod_nodp, padre);
        QVERIFY(m_forma->DBEcod_nodp->hasFocus());
        pulsar(TQNavegador::nbPost);
        QCOMPARE(dialogos.texts().join(QLatin1Char('|')), mensaje);
        if (mensaje.isEmpty()) {
            QCOMPARE(plan().State(), dsBrowse);
            QCOMPARE(padreGuardado(1, nodo), padre);
            // Put back as it was, the same way.
            escribir(m_forma->DBEcod_nodp, antes);
            pulsar(TQNavegador::nbPost);
            QCOMPARE(padreGuardado(1, nodo), antes);
            return;
        }
        QCOMPARE(plan().State(), dsEdit);
        QCOMPARE(plan().FieldByName(QStringLiteral("COD_NODP"))->AsString(), padre);
        QCOMPARE(m_forma->DBEcod_nodp->text(), padre);
        QCOMPARE(padreGuardado(1, nodo), antes);
    }

    void companyChangeRedrawsTheTree_data()
    {
        addColumns<int, QStringList, QString>({"empresa", "arbol", "mensaje"});
        QTest::newRow("same plan number")
            << 2 << QStringList{"Plan Uno de Planta", "GPL001 Gerente de Planta", "JPR001 Jefe de Producción"} << QString();
        QTest::newRow("no plans") << 3 << QStringList{} << QStringLiteral(
            "No se seleccionó cargo en el árbol o no existen cargos debajo del mismo...");
    }

    // From company 1's plan 1, another company chosen with the keys: the tree shows that company's
    // plan or nothing, and "Generación Semaforo" scores that company's employees or none.
    void companyChangeRedrawsTheTree()
    {
        QFETCH(int, empresa);
        QFETCH(QStringList, arbol);
        QFETCH(QString, mensaje);
        elegirEmpresa(1);
        QVERIFY(nodoDelArbol(QStringLiteral("GER002")));
        elegirEmpresa(empresa);
        QCOMPARE(textosDelArbol(), arbol);
        if (!arbol.isEmpty())
            QVERIFY(plan().Locate(QStringLiteral("COD_MENU;COD_NODO"), QVariantList{1, 1}));
        DialogRecorder dialogos;
        generar();
        QCOMPARE(dialogos.texts().join(QLatin1Char('|')), mensaje);
        TDataSet &resultado = DtmAcSemaf->CdsAcSemaf;
        QCOMPARE(resultado.Active() ? resultado.RecordCount() > 0 : false, mensaje.isEmpty());
        for (resultado.First(); resultado.Active() && !resultado.Eof(); resultado.Next())
            QCOMPARE(resultado.FieldByName(QStringLiteral("COD_EMCA"))->AsInteger(), empresa);
    }

private:
    TDataSet &plan() { return DtmAcSemaf->QryAcPprom; }

    QString padreGuardado(int menu, int nodo) const
    {
        return m_db.query(QStringLiteral("SELECT COD_NODP FROM AC_PPROM WHERE COD_EMPR = 1 AND COD_MENU = %1 AND "
                                         "COD_NODO = %2").arg(menu).arg(nodo)).value(0);
    }

    // Clicks into the edit, selects its text and types over it.
    void escribir(TDBEdit *edit, const QString &texto)
    {
        m_forma->PagCtrPrincipal->setCurrentIndex(0);
        QTest::mouseClick(edit, Qt::LeftButton);
        QVERIFY(edit->hasFocus());
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, texto);
    }

    void pulsar(TQNavegador::TNavigateBtn boton)
    {
        QTest::mouseClick(m_forma->QNvgdrFrm->button(boton), Qt::LeftButton);
    }

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

    // Every category ticked, then "Generación Semaforo" on the selected node.
    void generar()
    {
        m_forma->PagCtrPrincipal->setCurrentIndex(1);
        for (QCheckBox *casilla : {m_forma->ChkCompe, m_forma->ChkEduFor, m_forma->ChkEduNo, m_forma->ChkExpe})
            if (!casilla->isChecked())
                QTest::mouseClick(casilla, Qt::LeftButton);
        QTest::mouseClick(m_forma->SpdBttnRefrescar, Qt::LeftButton);
    }

    QStringList textosDelArbol() const
    {
        QStringList textos;
        for (QTreeWidgetItemIterator it(m_forma->TreeViewCarrera); *it; ++it)
            textos << (*it)->text(0);
        return textos;
    }

    QTreeWidgetItem *nodoDelArbol(const QString &codCarg) const
    {
        for (QTreeWidgetItemIterator it(m_forma->TreeViewCarrera); *it; ++it)
            if ((*it)->text(0).section(QLatin1Char(' '), 0, 0) == codCarg)
                return *it;
        return nullptr;
    }

    DemoDatabase m_db;
    TFrmAcSemaf *m_forma = nullptr;
};

QTEST_MAIN(TstMainFormJourneys)
#include "tst_mainformjourneys.moc"
