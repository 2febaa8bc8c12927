// Plan node rules on the demo: header, numbering, delete guard, chosen position, two users, columns.

#include "tests/support/DataTable.h"
#include "tests/data/ModuloPrueba.h"

#include <QCoreApplication>
#include <QTest>
#include <memory>

class TstPlanRules : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        m = std::make_unique<ModuloPrueba>(m_db.session(1));
    }

    void nuevoPlanEsEncabezado()
    {
        m->module.QryAcPprom.Append();
        m->f("COD_NODP")->setAsInteger(3);
        m->f("COD_CARG")->setAsString(QStringLiteral("GER001"));
        m->f("NUM_ANOS")->setAsString(QStringLiteral("2"));
        m->f("NUM_DIAS")->setAsString(QStringLiteral("30"));
        m->f("COD_MENU")->setAsInteger(40);
        QCOMPARE(m->f("COD_NODO")->AsVariant(), QVariant(0));
        for (const char *campo : {"COD_NODP", "COD_CARG", "NUM_ANOS", "NUM_DIAS"})
            QVERIFY2(m->f(campo)->IsNull(), campo);
        QCOMPARE(m->f("COD_EMCA")->AsInteger(), 1);
        m->module.QryAcPprom.Cancel();
    }

    // Nodes 1..creados hang from the header; the listed ones are then deleted, highest first.
    void numeracion_data()
    {
        addColumns<int, QList<int>, int>({"creados", "borrados", "siguiente"});
        QTest::newRow("solo encabezado") << 0 << QList<int>{} << 1;
        QTest::newRow("borrado el mayor") << 3 << QList<int>{3} << 3;
        QTest::newRow("hueco inferior queda") << 3 << QList<int>{2} << 4;
    }

    void numeracion()
    {
        QFETCH(int, creados);
        QFETCH(QList<int>, borrados);
        QFETCH(int, siguiente);
        const int plan = planLibre();
        TDataSet &pprom = m->module.QryAcPprom;
        for (int esperado = 0; esperado <= creados; ++esperado) {
            QCOMPARE(m->nuevoNodo(plan, 0, QStringLiteral("DIR001"), 1), esperado);
            pprom.Post();
        }
        for (int nodo : borrados) {
            QVERIFY(pprom.Locate(QStringLiteral("COD_EMPR;COD_MENU;COD_NODO"), QVariantList{1, plan, nodo}));
            pprom.Delete();
        }
        QCOMPARE(m->nuevoNodo(plan, 0, QStringLiteral("DIR001"), 1), siguiente);
        pprom.Cancel();
    }

    // A fresh plan: 0 <- 1 <- 2 <- 3. The guard looks one level down only.
    void guardaBorrado_data()
    {
        addColumns<QList<int>, int>({"orden", "rechazado"});
        const QString hijos = QStringLiteral("El nodo actual tiene nodos asociados. Por favor elimine los nodos "
                                             "asociados e intente nuevamente la operación.");
        QTest::newRow("con hijo") << QList<int>{1} << 1;
        QTest::newRow("encabezado con hijos") << QList<int>{0} << 0;
        QTest::newRow("hoja y luego su padre") << QList<int>{3, 2} << -1;
        QTest::newRow("de las hojas hacia arriba") << QList<int>{3, 2, 1, 0} << -1;
    }

    void guardaBorrado()
    {
        QFETCH(QList<int>, orden);
        QFETCH(int, rechazado);
        const int plan = planLibre();
        TDataSet &pprom = m->module.QryAcPprom;
        for (int nodo = 0; nodo <= 3; ++nodo) {
            m->nuevoNodo(plan, nodo - 1, QStringLiteral("DIR001"), 1);
            pprom.Post();
        }
        for (int nodo : orden) {
            QVERIFY(pprom.Locate(QStringLiteral("COD_EMPR;COD_MENU;COD_NODO"), QVariantList{1, plan, nodo}));
            const QString mensaje = messageOf([&] { pprom.Delete(); });
            const bool quedo = pprom.Locate(QStringLiteral("COD_EMPR;COD_MENU;COD_NODO"), QVariantList{1, plan, nodo});
            QCOMPARE(quedo, nodo == rechazado);
            QCOMPARE(mensaje.isEmpty(), nodo != rechazado);
            if (nodo == rechazado)
                QVERIFY(mensaje.startsWith(QStringLiteral("El nodo actual tiene nodos asociados.")));
        }
    }

    void guardarSinCargo()
    {
        TDataSet &pprom = m->module.QryAcPprom;
        m->forma.SeleccionarCargo(0);
        pprom.Append();
        QCOMPARE(m->forma.IndiceCargo(), -1);
        m->f("COD_MENU")->setAsInteger(70);
        m->f("NOM_MENU")->setAsString(QStringLiteral("Plan sin cargo"));
        QCOMPARE(messageOf([&] { pprom.Post(); }), TDtmAcSemaf::sinCargoElegidoMessage());
        QCOMPARE(pprom.State(), dsInsert);
        QCOMPARE(m->f("NOM_MENU")->AsString(), QStringLiteral("Plan sin cargo"));
        QCOMPARE(m->f("COD_MENU")->AsInteger(), 70);

        m->module.Buscar_Cargo(2, QStringLiteral("JLO001"));
        pprom.Post();
        QCOMPARE(pprom.State(), dsBrowse);
        QCOMPARE(m->f("COD_EMCA")->AsInteger(), 2);
    }

    void nodoTomadoPorOtroUsuario()
    {
        ModuloPrueba otro(m_db.session(1));
        const int nodoA = m->nuevoNodo(1, 1, QStringLiteral("DIR002"), 1);
        const int nodoB = otro.nuevoNodo(1, 1, QStringLiteral("DIR002"), 1);
        QCOMPARE(nodoB, nodoA);
        otro.f("NUM_ANOS")->setAsString(QStringLiteral("4"));
        m->module.QryAcPprom.Post();

        const QString mensaje = messageOf([&] { otro.module.QryAcPprom.Post(); });
        QVERIFY2(mensaje.contains(QStringLiteral("nodo %1 del plan 1").arg(nodoA)), qPrintable(mensaje));
        QCOMPARE(otro.module.QryAcPprom.State(), dsInsert);
        QCOMPARE(otro.f("NUM_ANOS")->AsString(), QStringLiteral("4"));
        QCOMPARE(otro.f("COD_CARG")->AsString(), QStringLiteral("DIR002"));

        otro.f("COD_MENU")->setAsInteger(1);
        QCOMPARE(otro.f("COD_NODO")->AsInteger(), nodoA + 1);
        otro.module.QryAcPprom.Post();
        QCOMPARE(otro.module.QryAcPprom.State(), dsBrowse);
    }

    // Level and points from the session company's positions, the name from the position's company.
    void camposCalculados_data()
    {
        addColumns<int, QString>({"nodo", "campos"});
        QTest::newRow("cargo de la empresa") << 1 << "01|166|Directivo|Gerente Administrativo y Financiero";
        QTest::newRow("cargo de otra empresa") << 11 << "|||Supervisor de Bodega";
    }

    void camposCalculados()
    {
        QFETCH(int, nodo);
        QFETCH(QString, campos);
        ModuloPrueba w(m_db.session(1));
        QVERIFY(w.module.QryAcPprom.Locate(QStringLiteral("COD_EMPR;COD_MENU;COD_NODO"), QVariantList{1, 1, nodo}));
        QStringList valores;
        for (const char *campo : {"DtfCodNive", "DtfPunRequ", "DtfNmbNivel", "DtfNmbCargo"})
            valores << w.f(campo)->AsString();
        QCOMPARE(valores.join(QLatin1Char('|')), campos);
    }

private:
    // A plan number no row uses yet: each case works on a plan of its own, whatever ran before it.
    int planLibre()
    {
        TDataSet &pprom = m->module.QryAcPprom;
        TField *menu = pprom.FieldByName(QStringLiteral("COD_MENU"));
        int mayor = 0;
        for (int row = 0; row < pprom.rowCount(); ++row)
            mayor = qMax(mayor, pprom.rowValue(row, menu).toInt());
        return mayor + 1;
    }

    DemoDatabase m_db;
    std::unique_ptr<ModuloPrueba> m;
};

QTEST_GUILESS_MAIN(TstPlanRules)
#include "tst_planrules.moc"
