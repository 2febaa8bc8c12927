#pragma once
// The look-up dialog: runs a query, lets the user search and pick a row, and copies the picked
// values into target fields.

#include <QDialog>
#include <QPointer>

class TCaptura : public QDialog {
    Q_OBJECT
public:
    explicit TCaptura(QWidget *parent = nullptr);

    // Runs the creation handler once the object is fully built.
    void AfterConstruction() {}
};

extern QPointer<TCaptura> Captura;
