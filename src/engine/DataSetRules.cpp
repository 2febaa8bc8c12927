#include "engine/DataSetRules.h"

#include "framework/dataset/TDataSet.h"

namespace engine {

namespace {

QVariant value(TDataSet &dataSet, const QString &field)
{
    return dataSet.FieldByName(field)->AsVariant();
}

bool profileHasPoints(TDataSet &profile)
{
    return !profile.FieldByName(QStringLiteral("PUN_REQU"))->IsNull();
}

bool sameRequirement(TDataSet &profile, TDataSet &records, const QString &recordTypeField)
{
    return sameValue(value(profile, QStringLiteral("COD_REQU")), value(records, QStringLiteral("COD_REQU")))
        && sameValue(value(profile, QStringLiteral("COD_ESPE")), value(records, QStringLiteral("COD_ESPE")))
        && sameValue(value(profile, QStringLiteral("TIP_REGI")), value(records, recordTypeField));
}

} // namespace

bool mismoRequisito(TDataSet &profile, TDataSet &records)
{
    return sameRequirement(profile, records, QStringLiteral("TIP_REGI"));
}

void sumarPuntosEducacion(TDataSet &profile, TDataSet &records, bool eduSinPuntos, long double &obtained)
{
    while (!records.Eof()) {
        if (mismoRequisito(profile, records) && profileHasPoints(profile)) {
            if (eduSinPuntos) {
                obtained += points(value(profile, QStringLiteral("PUN_REQU")));
                return;
            }
            obtained += points(value(records, QStringLiteral("PUN_OBTE")));
        }
        records.Next();
    }
}

void sumarPuntosExperiencia(TDataSet &profile, TDataSet &records, long double &obtained)
{
    while (!records.Eof()) {
        if (mismoRequisito(profile, records) && profileHasPoints(profile))
            obtained += points(value(records, QStringLiteral("PUN_OBTE")));
        records.Next();
    }
}

void sumarPuntosCompetencias(TDataSet &profile, TDataSet &lines, long double &obtained)
{
    lines.First();
    while (!lines.Eof()) {
        if (sameRequirement(profile, lines, QStringLiteral("COD_REGI")))
            obtained += points(value(lines, QStringLiteral("PUN_OBTE")));
        lines.Next();
    }
}

ProfileRow profileRowAt(TDataSet &profile)
{
    return {{value(profile, QStringLiteral("COD_REQU")), value(profile, QStringLiteral("COD_ESPE")),
             value(profile, QStringLiteral("TIP_REGI"))},
            value(profile, QStringLiteral("PUN_REQU"))};
}

CategoryRecord categoryRecordAt(TDataSet &records, bool competenceLine)
{
    return {{value(records, QStringLiteral("COD_REQU")), value(records, QStringLiteral("COD_ESPE")),
             value(records, competenceLine ? QStringLiteral("COD_REGI") : QStringLiteral("TIP_REGI"))},
            value(records, QStringLiteral("PUN_OBTE"))};
}

} // namespace engine
