#include "DAcSemaf.h"

QPointer<TDtmAcSemaf> DtmAcSemaf;

TDtmAcSemaf::TDtmAcSemaf(QObject *owner) : QObject(owner)
{
    setObjectName(QStringLiteral("DtmAcSemaf"));
}

TDtmAcSemaf::~TDtmAcSemaf() = default;

void TDtmAcSemaf::AfterConstruction()
{
    DataModuleCreate(this);
}

void TDtmAcSemaf::DataModuleCreate(QObject *) {}
