// What each company sees: position lists of a company or a group, a node's position checked against
// them, feature flags per company and country, no templates of company 0; and the rounding of scores.

#include "tests/support/DataTable.h"
#include "tests/data/ModuloPrueba.h"
#include "framework/dataset/TParam.h"

#include <QCoreApplication>
#include <QTest>

class TstCompanyGroups : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        // Company 3 is made a group written in lower case, which does not count as one.
        ejecutarSql(m_db, QStringLiteral("UPDATE GN_EMPRE SET GRU_EMPR = 's' WHERE COD_EMPR = 3"));
        ejecutarSql(m_db, QStringLiteral("INSERT INTO GN_NEXOF VALUES ('Q0000300', 170, 2, '  S  ', 'C', 'Con blancos')"));
    }

    // banderas: "code=value"; company 3's are read for a country where it has no row.
    void porEmpresa_data()
    {
        addColumns<int, QString, QString, QStringList>({"empresa", "where", "ordenLista", "banderas"});
        QTest::newRow("grupo S") << 1 << QStringLiteral("COD_EMPR > 0") << QStringLiteral("COD_EMPR, NOM_CARG")
                                 << QStringList{"Q0000190=N"};
        QTest::newRow("empresa N") << 2 << QStringLiteral("COD_EMPR = 2") << QStringLiteral("NOM_CARG")
                                   << QStringList{"Q0000190=S", "Q9999999=N", "Q0000300=S"};  // the last with blanks
        QTest::newRow("s minúscula") << 3 << QStringLiteral("COD_EMPR = 3") << QStringLiteral("NOM_CARG")
                                     << QStringList{"Q0000190=N"};
        QTest::newRow("sin fila de empresa") << 9 << QStringLiteral("COD_EMPR = 9") << QStringLiteral("NOM_CARG")
                                             << QStringList();
    }

    void porEmpresa()
    {
        QFETCH(int, empresa);
        QFETCH(QString, where);
        QFETCH(QString, ordenLista);
        QFETCH(QStringList, banderas);
        ModuloPrueba w(m_db.session(empresa));
        QCOMPARE(w.forma.ListaCargos(), esperado(where, QStringLiteral("COD_EMPR, NOM_CARG"), false));

        QStringList lista, nombres;
        TDataSet &cargos = w.module.QryBiCargo;
        for (cargos.First(); !cargos.Eof(); cargos.Next()) {
            lista << cargos.FieldByName(QStringLiteral("COD_EMPR"))->AsString() + QLatin1Char('-')
                         + cargos.FieldByName(QStringLiteral("COD_CARG"))->AsString() + QLatin1Char('*')
                         + cargos.FieldByName(QStringLiteral("NOM_CARG"))->AsString();
            nombres << cargos.FieldByName(QStringLiteral("DftNmCargo"))->AsString();
        }
        QCOMPARE(lista, esperado(where, ordenLista, false));
        QCOMPARE(nombres, esperado(where, ordenLista, true));
        QCOMPARE(w.module.gStGrupoEmpre, true);

        w.forma.pais = empresa == 3 ? 218 : 170;
        for (const QString &bandera : banderas) {
            QCOMPARE(w.module.VerNexoFlags(bandera.section(QLatin1Char('='), 0, 0)), QVariant(bandera.section(QLatin1Char('='), 1)));
            QCOMPARE(w.module.QryGnNexof.Active(), false);
        }
    }

    void errorEnvuelto()
    {
        ModuloPrueba w(m_db.session(2));
        const int items = w.forma.ListaCargos().size();
        w.scratch.ProviderName = QStringLiteral("DtsPNoExiste");
        const QString mensaje = messageOf([&] { w.module.ValidaGrupoEmpresarial(); });
        const QString prefijo = QStringLiteral("Error en ValidaGrupoEmpresarial: ");
        QVERIFY2(mensaje.startsWith(prefijo) && mensaje.size() > prefijo.size(), qPrintable(mensaje));
        QCOMPARE(w.module.gStGrupoEmpre, false);
        QCOMPARE(w.forma.ListaCargos().size(), items);
    }

    void validacionCargo_data()
    {
        addColumns<int, QVariant, bool>({"empresa", "cargo", "aceptado"});
        QTest::newRow("propio") << 2 << QVariant(QStringLiteral("GPL001")) << true;
        QTest::newRow("de otra empresa") << 2 << QVariant(QStringLiteral("GER002")) << false;
        QTest::newRow("minúsculas") << 2 << QVariant(QStringLiteral("gpl001")) << false;
        QTest::newRow("inactivo") << 2 << QVariant(QStringLiteral("OPE099")) << false;
        QTest::newRow("nulo") << 2 << QVariant() << true;
        QTest::newRow("grupo, de otra empresa") << 1 << QVariant(QStringLiteral("JLO001")) << true;
    }

    void validacionCargo()
    {
        QFETCH(int, empresa);
        QFETCH(QVariant, cargo);
        QFETCH(bool, aceptado);
        ModuloPrueba w(m_db.session(empresa));
        TDataSet &plan = w.module.QryAcPprom;
        QVERIFY(plan.Locate(QStringLiteral("COD_EMPR;COD_MENU;COD_NODO"), QVariantList{empresa, empresa == 1 ? 1 : 3, 1}));
        const QVariant antes = w.f("COD_CARG")->AsVariant();
        plan.Edit();
        const QString mensaje = messageOf([&] { w.f("COD_CARG")->setAsVariant(cargo); });
        QCOMPARE(mensaje, aceptado ? QString() : QStringLiteral("Código de Cargo no válido"));
        QCOMPARE(w.f("COD_CARG")->AsVariant(), aceptado ? cargo : antes);
        plan.Cancel();
    }

    void errorDeBandera()
    {
        ModuloPrueba w(m_db.session(2));
        w.forma.pais = -1;
        QCOMPARE(messageOf([&] { w.module.VerNexoFlags(QStringLiteral("Q'0190")); }),
                 QStringLiteral("Error leyendo NEXOFLAG 'Q''0190': sin país"));
    }

    // Without a main form the country comes from the company list, which may not hold the company.
    void empresaFueraDeLaLista()
    {
        HeadlessWorkstation estacion(m_db.session(9));
        QCOMPARE(messageOf([&] { estacion.module.VerNexoFlags(QStringLiteral("Q0000190")); }),
                 QStringLiteral("Error leyendo NEXOFLAG 'Q0000190': La empresa 9 no existe."));
    }

    // The templates of company 0 stay out of every dataset of the module.
    void filtersHideCompanyZero_data()
    {
        addColumns<QString, QString, QVariantMap>({"dataSet", "table", "params"});
        QTest::newRow("plan nodes") << "QryAcPprom" << "ac_pprom" << QVariantMap{};
        QTest::newRow("positions") << "QryBiCargo" << "bi_cargo" << QVariantMap{};
        QTest::newRow("position combo") << "QryEmpCarg" << "bi_cargo" << QVariantMap{};
        QTest::newRow("replacement rows") << "QryAcCuare" << "ac_cuare"
                                          << QVariantMap{{"cod_empr", 0}, {"cod_menu", "$menu"}, {"cod_nodo", "$node"}};
        QTest::newRow("children") << "QryValNodo" << "ac_pprom"
                                  << QVariantMap{{"psm_codempr", 0}, {"psm_codmenu", "$menu"}, {"psm_codnodp", 0}};
    }

    void filtersHideCompanyZero()
    {
        QFETCH(QString, dataSet);
        QFETCH(QString, table);
        QFETCH(QVariantMap, params);
        // Read straight from the database: the server runs only the module's own statements.
        const auto scalar = [&](const QString &what) {
            const QString sql = QStringLiteral("select %1 from %2 where cod_empr = 0").arg(what, table);
            return m_db.query(sql).value(0);
        };
        QVERIFY2(scalar(QStringLiteral("count(*)")).toInt() > 0, "the demo keeps company-0 rows");
        const bool planTable = table.startsWith(QLatin1String("ac_"));
        const QVariant menu = planTable ? scalar(QStringLiteral("min(cod_menu)")) : QVariant();
        const QVariant node = planTable ? scalar(QStringLiteral("min(cod_nodo)")) : QVariant();

        ModuloPrueba w(m_db.session(1));
        SClientDataSet *target = w.module.remoteDataSet(dataSet);
        target->Close();
        for (auto it = params.cbegin(); it != params.cend(); ++it) {
            const QVariant value = it.value() == QStringLiteral("$menu") ? menu
                                 : it.value() == QStringLiteral("$node") ? node : it.value();
            target->ParamByName(it.key())->setAsVariant(value);
        }
        target->Open();
        QVERIFY(!target->Locate(QStringLiteral("COD_EMPR"), 0));
        for (target->First(); !target->Eof(); target->Next())
            QVERIFY(target->FieldByName(QStringLiteral("COD_EMPR"))->AsInteger() > 0);
    }

    void redondeo_data()
    {
        addColumns<double, int, double>({"valor", "decimales", "esperado"});
        QTest::newRow("2.5 al par de abajo") << 2.5 << 0 << 2.0;
        QTest::newRow("3.5 al par de arriba") << 3.5 << 0 << 4.0;
        QTest::newRow("-2.5") << -2.5 << 0 << -2.0;
        QTest::newRow("12.3456 a dos") << 12.3456 << 2 << 12.35;
        QTest::newRow("-7.25 a uno") << -7.25 << 1 << -7.2;
        QTest::newRow("sin mitad") << 2.6 << 0 << 3.0;
    }

    void redondeo()
    {
        QFETCH(double, valor);
        QFETCH(int, decimales);
        QFETCH(double, esperado);
        QCOMPARE(double(TDtmAcSemaf::RoundDecimals(valor, quint8(decimales))), esperado);
    }

private:
    // The active positions as "company-code*name", or as their "company-name" cut at 20.
    QStringList esperado(const QString &where, const QString &orden, bool conNombre)
    {
        const QString texto = conNombre ? QStringLiteral("SUBSTR(COD_EMPR || '-' || NOM_CARG, 1, 20)")
                                        : QStringLiteral("COD_EMPR || '-' || COD_CARG || '*' || NOM_CARG");
        return m_db.query(QStringLiteral("SELECT %1 FROM BI_CARGO WHERE IND_ACTI = 'A' AND %2 ORDER BY %3")
                              .arg(texto, where, orden));
    }

    DemoDatabase m_db;
};

QTEST_GUILESS_MAIN(TstCompanyGroups)
#include "tst_companygroups.moc"
