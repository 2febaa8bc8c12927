#pragma once
// The suite's shared helper data module: re-running a remote dataset with new parameter values,
// and reading a number back as a display mask shows it.

#include <QString>
#include <QVariantList>

class SClientDataSet;

class TDtmGnLibre {
public:
    // Closes the dataset, gives its parameters the values in declaration order and opens it
    // again, on its first row. More values than parameters is an error.
    void ReConsultar(SClientDataSet *dataSet, const QVariantList &values);

    // The value as the mask shows it, read back as a number: "###.##" gives the value rounded
    // to two decimals.
    double FormatearFloat(const QString &mask, double value) const;
};

extern TDtmGnLibre *const DtmGnLibre;
