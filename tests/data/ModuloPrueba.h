#pragma once
// The data module against a seeded database, with the main form's controls its rules keep in step.

#include "data/HeadlessMainForm.h"
#include "data/HeadlessWorkstation.h"
#include "tests/support/DemoDatabase.h"
#include "framework/Exceptions.h"
#include "framework/connection/SDCOMConnection.h"
#include "tests/support/TestTools.h"

#include <QTest>

// The headless main form, with a country code that can fail.
class FormaPrueba : public HeadlessMainForm {
public:
    int CodigoPaisEmpresa() const override
    {
        if (pais < 0)
            throw Exception(QStringLiteral("sin país"));
        return pais;
    }
    int pais = 170;
};

// One workstation: its own connection, company list, scratch dataset, data module and controls.
class ModuloPrueba : public HeadlessWorkstation {
public:
    explicit ModuloPrueba(const Session &sesion) : HeadlessWorkstation(sesion)
    {
        module.Forma = &forma;
        module.InicializarlArQry();
        fuente.setDataSet(&module.QryAcPprom);
        fuente.OnDataChange = [this](TDataSource *, TField *field) {
            if (field)
                module.NumerarNodo(field);
        };
        module.ValidaGrupoEmpresarial();
        module.QryAcPprom.Open();
    }

    TField *f(const char *nombre) { return module.QryAcPprom.FieldByName(QLatin1String(nombre)); }

    // Begins a node of `plan` under `padre` with a position of the list; returns its number.
    int nuevoNodo(int plan, int padre, const QString &cargo, int empresaCargo)
    {
        module.QryAcPprom.Append();
        f("NOM_MENU")->setAsString(QStringLiteral("Nodo de prueba"));
        f("COD_MENU")->setAsInteger(plan);
        if (f("COD_NODO")->AsInteger() > 0) {
            f("COD_NODP")->setAsInteger(padre);
            f("COD_CARG")->setAsString(cargo);
        }
        module.Buscar_Cargo(empresaCargo, cargo);
        return f("COD_NODO")->AsInteger();
    }

    TDataSource fuente;
    FormaPrueba forma;
};

// Direct SQL on the test database, for facts the module does not write.
inline void ejecutarSql(const DemoDatabase &db, const QString &sql)
{
    const QStringList error = db.query(sql);
    QVERIFY2(error.isEmpty(), qPrintable(error.join(QLatin1Char('\n')) + QStringLiteral(": ") + sql));
}
