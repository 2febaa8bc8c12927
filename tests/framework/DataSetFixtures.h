#pragma once
// A small positions table shared by the dataset tests.

#include "framework/dataset/TClientDataSet.h"

#include <QStringList>
#include <memory>

namespace fixtures {

using protocol::FieldType;

// (1,C1,Analista,50) (2,C2,Jefe,80) (0,C3,Auxiliar,null) (1,c4,analista senior,70), on the first.
inline std::unique_ptr<TClientDataSet> positions()
{
    auto ds = std::make_unique<TClientDataSet>(QStringLiteral("CdsCargos"));
    ds->AddField(QStringLiteral("COD_EMPR"), FieldType::Smallint, 0, QStringLiteral("Empresa"));
    ds->AddField(QStringLiteral("COD_CARG"), FieldType::String, 6, QStringLiteral("Cargo"));
    ds->AddField(QStringLiteral("NOM_CARG"), FieldType::String, 40, QStringLiteral("Nombre"));
    ds->AddField(QStringLiteral("PUN_REQU"), FieldType::Float);
    ds->CreateDataSet();
    const QList<QVariantList> rows = {{1, "C1", "Analista", 50.0}, {2, "C2", "Jefe", 80.0},
                                      {0, "C3", "Auxiliar", QVariant()},
                                      {1, "c4", "analista senior", 70.0}};
    for (const QVariantList &row : rows) {
        ds->Append();
        for (int i = 0; i < row.size(); ++i)
            ds->Fields().at(i)->setAsVariant(row.at(i));
        ds->Post();
    }
    ds->First();
    return ds;
}

// The values of one field from the first row to the last, as text.
inline QStringList column(TDataSet &ds, const QString &field)
{
    QStringList values;
    for (ds.First(); !ds.Eof(); ds.Next())
        values << ds.FieldByName(field)->AsString();
    return values;
}

} // namespace fixtures
