#pragma once
// The module's data module: every dataset, data source and in-memory result table of the module,
// and the rules that run in their events.

#include <QObject>
#include <QPointer>

class TDtmAcSemaf : public QObject {
    Q_OBJECT
public:
    explicit TDtmAcSemaf(QObject *owner = nullptr);
    ~TDtmAcSemaf() override;

    // Runs the creation handler once the object is fully built.
    void AfterConstruction();

protected:
    void DataModuleCreate(QObject *Sender);
};

extern QPointer<TDtmAcSemaf> DtmAcSemaf;
