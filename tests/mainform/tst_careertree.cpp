// The career tree the main form draws for the current plan row, with the real main form on the
// demo database: nesting by parent node in node order, missing positions, and no rebuild while
// the plan stays the same.

#include "data/DAcSemaf.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "ui/UAcSemaf.h"

#include "tests/data/ModuloPrueba.h"

#include <QApplication>
#include <QTest>
#include <QTreeWidget>

// Depth and position code of every node, parents before children, children in node order.
static QStringList recorrido(QTreeWidgetItem *nodo, int nivel = 0)
{
    QStringList filas{QStringLiteral("%1 %2").arg(nivel).arg(nivel == 0 ? nodo->text(0) : nodo->text(0).section(' ', 0, 0))};
    for (int i = 0; i < nodo->childCount(); ++i)
        filas << recorrido(nodo->child(i), nivel + 1);
    return filas;
}

class TstCareerTree : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        // An inactive position under the plan's top node.
        ejecutarSql(m_db, QStringLiteral("INSERT INTO AC_PPROM (COD_EMPR, COD_MENU, COD_NODO, COD_NODP, COD_CARG, COD_EMCA) "
                                         "VALUES (1, 2, 9, 8, 'TEC099', 1)"));
        DtmAcSemaf = new TDtmAcSemaf;
        DtmAcSemaf->AfterConstruction();
        DtmAcSemaf->setSession(m_db.session(1));
        m_forma = new TFrmAcSemaf(m_db.session(1));
        m_forma->AfterConstruction();
        DtmAcSemaf->ValidaGrupoEmpresarial();
        DtmAcSemaf->QryAcPprom.Open();
    }

    void cleanupTestCase()
    {
        delete m_forma;
        delete DtmAcSemaf.data();
    }

    void estructura_data()
    {
        addColumns<int, QStringList>({"plan", "arbol"});
        // Nodes 1 and 5 name node 8, met later: each stays under the parent in use at the moment.
        QTest::newRow("padres con número mayor") << 2 << QStringList{
            "0 Carrera Comercial", "1 DIR003", "2 COO003", "3 PRO005", "4 TEC003", "5 TEC005", "4 DIR004",
            "5 PRO006", "1 GER003", "2 TEC099"};
        QTest::newRow("grupo de empresas") << 1 << QStringList{
            "0 Carrera Financiera y Logística", "1 GER002", "2 DIR001", "3 COO001", "4 PRO001", "5 TEC001",
            "2 DIR002", "3 COO002", "4 TEC002", "3 PRO002", "2 JLO001", "3 SUP003", "4 AUX001", "4 OPE003"};
    }

    void estructura()
    {
        QFETCH(int, plan);
        QFETCH(QStringList, arbol);
        QVERIFY(irA(plan, 0));
        QTreeWidget *vista = m_forma->TreeViewCarrera;
        QCOMPARE(vista->topLevelItemCount(), 1);
        QCOMPARE(recorrido(vista->topLevelItem(0)), arbol);
        QCOMPARE(vista->currentItem(), vista->topLevelItem(0));
        const QList<QTreeWidgetItem *> faltante = vista->findItems(QStringLiteral("TEC099"), Qt::MatchStartsWith | Qt::MatchRecursive);
        QCOMPARE(faltante.size(), plan == 2 ? 1 : 0);
        if (plan == 2)
            QCOMPARE(faltante.first()->text(0), QStringLiteral("TEC099 NO EXISTE EN BASE DE DATOS"));
    }

    void mismoPlanNoReconstruye()
    {
        QVERIFY(irA(1, 0));
        QTreeWidgetItem *raiz = m_forma->TreeViewCarrera->topLevelItem(0);
        QVERIFY(irA(1, 10));
        QCOMPARE(m_forma->TreeViewCarrera->topLevelItem(0), raiz);
        QCOMPARE(m_forma->TreeViewCarrera->currentItem()->text(0), QStringLiteral("JLO001 Jefe de Logística"));
        QCOMPARE(DtmAcSemaf->gVrCodMenu, QVariant(1));
    }

private:
    bool irA(int plan, int nodo)
    {
        return DtmAcSemaf->QryAcPprom.Locate(QStringLiteral("COD_EMPR;COD_MENU;COD_NODO"), QVariantList{1, plan, nodo});
    }
    DemoDatabase m_db;
    TFrmAcSemaf *m_forma = nullptr;
};

QTEST_MAIN(TstCareerTree)
#include "tst_careertree.moc"
