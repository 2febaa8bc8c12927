#include "framework/dataset/TDtmGnLibre.h"

#include "framework/DecimalRounding.h"
#include "framework/Exceptions.h"
#include "framework/dataset/SClientDataSet.h"


namespace {
TDtmGnLibre instance;
}

TDtmGnLibre *const DtmGnLibre = &instance;

void TDtmGnLibre::ReConsultar(SClientDataSet *dataSet, const QVariantList &values)
{
    dataSet->Close();
    TParams &params = dataSet->Params();
    if (values.size() > params.Count())
        throw EDatabaseError(QStringLiteral("%1: se recibieron %2 valores para %3 parámetros")
                                 .arg(dataSet->Name).arg(values.size()).arg(params.Count()));
    for (int i = 0; i < values.size(); ++i)
        params.Items(i)->setAsVariant(values.at(i));
    dataSet->Open();
    dataSet->First();
}

double TDtmGnLibre::FormatearFloat(const QString &mask, double value) const
{
    // Only the places after the decimal point change the number; grouping and literal
    // characters only change how it looks. A value that the mask shows as nothing (zero
    // under "#" placeholders) reads back as 0.
    const int point = mask.indexOf(QLatin1Char('.'));
    int decimals = 0;
    if (point >= 0)
        for (int i = point + 1; i < mask.size(); ++i)
            if (mask.at(i) == QLatin1Char('#') || mask.at(i) == QLatin1Char('0'))
                ++decimals;
    return DecimalRounding::halfAwayFromZero(value, decimals);
}
