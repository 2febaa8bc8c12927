// Replacement rows on the demo: defaults, the employee's name, position and age, and the refusals.

#include "tests/support/DataTable.h"
#include "tests/data/ModuloPrueba.h"

#include <QCoreApplication>
#include <QDate>
#include <QTest>
#include <memory>

// Employees 900001.. of company 1, born a given number of days ago, each holding COO004.
const QList<int> kDiasVividos = {40 * 365, 40 * 365 - 1, 40 * 365 + 1, 364, 10 * 365 + 3};

class TstReplacementRules : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        const QDate hoy = QDate::currentDate();
        for (int i = 0; i < kDiasVividos.size(); ++i) {
            const int id = 900001 + i;
            ejecutarSql(m_db, QStringLiteral("INSERT INTO BI_EMPLE (COD_EMPR, COD_EMPL, NOM_EMPL, APE_EMPL, FEC_NACI) "
                                             "VALUES (1, %1, ' Ana ', ' Ruiz ', '%2')")
                                  .arg(id)
                                  .arg(hoy.addDays(-kDiasVividos.at(i)).toString(Qt::ISODate)));
            ejecutarSql(m_db, QStringLiteral("INSERT INTO NM_CONTR (COD_EMPR, COD_EMPL, NRO_CONT, COD_CARG, IND_ACTI) "
                                             "VALUES (1, %1, 1, 'COO004', 'A')").arg(id));
        }
        m = std::make_unique<ModuloPrueba>(m_db.session(1));
        QVERIFY(m->module.QryAcPprom.Locate(QStringLiteral("COD_EMPR;COD_MENU;COD_NODO"), QVariantList{1, 2, 8}));
    }

    void init()
    {
        m->module.QryAcCuare.Append();
    }

    void cleanup()
    {
        m->module.QryAcCuare.Cancel();
    }

    void valoresIniciales()
    {
        QStringList valores;
        for (const char *campo : {"COD_EMPR", "COD_MENU", "COD_NODO", "JEF_DEPE", "ACT_ESTA", "ACT_USUA"})
            valores << c(campo)->AsString();
        QCOMPARE(valores, (QStringList{"1", "2", "8", "N", "A", "ADMIN"}));
    }

    void empleado_data()
    {
        addColumns<double, QString, QString, QString>({"empleado", "mensaje", "cargo", "nombre"});
        QTest::newRow("con contrato activo") << 900001.0 << QString() << QStringLiteral("COO004")
                                             << QStringLiteral("Ana Ruiz");
        QTest::newRow("dos contratos: el primero") << 52345678.0 << QString() << QStringLiteral("COO002")
                                                   << QStringLiteral("Ángela María Peña Muñoz");
        QTest::newRow("inexistente") << 123.0 << QStringLiteral("Identificación NO existe en la Base de Datos!!!")
                                     << QString() << QString();
        QTest::newRow("sin contrato activo en la empresa")
            << 1020304050.0 << QStringLiteral("Identificación NO existe en la Base de Datos!!!") << QString() << QString();
    }

    void empleado()
    {
        QFETCH(double, empleado);
        QFETCH(QString, mensaje);
        QFETCH(QString, cargo);
        QFETCH(QString, nombre);
        QCOMPARE(messageOf([&] { c("COD_EMPL")->setAsFloat(empleado); }), mensaje);
        QCOMPARE(c("COD_EMPL")->IsNull(), !mensaje.isEmpty());
        QCOMPARE(c("COD_CARG")->AsString(), cargo);
        QCOMPARE(c("DtfNmbEmpleado")->AsString(), nombre);
        QCOMPARE(m->module.QryAcCuare.State(), dsInsert);
    }

    void cargo_data()
    {
        addColumns<QString, QString>({"cargo", "nombre"});
        QTest::newRow("de la empresa") << QStringLiteral("TEC001") << QStringLiteral("Auxiliar Contable");
        QTest::newRow("de otra empresa del grupo") << QStringLiteral("JLO001") << QString();
        QTest::newRow("inactivo") << QStringLiteral("TEC099") << QString();
    }

    void cargo()
    {
        QFETCH(QString, cargo);
        QFETCH(QString, nombre);
        c("COD_CARG")->setAsString(QStringLiteral("COO001"));
        const QString mensaje = messageOf([&] { c("COD_CARG")->setAsString(cargo); });
        QCOMPARE(mensaje, nombre.isEmpty() ? QStringLiteral("Código de Cargo NO existe en la Base de Datos!!!") : QString());
        QCOMPARE(c("COD_CARG")->AsString(), nombre.isEmpty() ? QStringLiteral("COO001") : cargo);
        if (!nombre.isEmpty())
            QCOMPARE(c("DtfNmbCargo")->AsString(), nombre);
    }

    // Whole 365-day spans, no leap days counted.
    void edad_data()
    {
        addColumns<int, int>({"indice", "anios"});
        const QList<int> esperados = {40, 39, 40, 0, 10};
        for (int i = 0; i < kDiasVividos.size(); ++i)
            QTest::newRow(qPrintable(QStringLiteral("%1 días").arg(kDiasVividos.at(i)))) << i << esperados.at(i);
    }

    void edad()
    {
        QFETCH(int, indice);
        QFETCH(int, anios);
        c("COD_EMPL")->setAsFloat(900001 + indice);
        QCOMPARE(c("DtfEdad")->AsVariant(), QVariant(anios));
    }

private:
    TField *c(const char *nombre) { return m->module.QryAcCuare.FieldByName(QLatin1String(nombre)); }
    DemoDatabase m_db;
    std::unique_ptr<ModuloPrueba> m;
};

QTEST_GUILESS_MAIN(TstReplacementRules)
#include "tst_replacementrules.moc"
