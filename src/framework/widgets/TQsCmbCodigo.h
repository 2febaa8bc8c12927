#pragma once
// A combo of codes: each item shows a text and carries a code (a column name, a company number);
// the caller reads and chooses items by code.

#include <QComboBox>

class TQsCmbCodigo : public QComboBox {
    Q_OBJECT
public:
    explicit TQsCmbCodigo(QWidget *parent = nullptr);

    void AgregarItem(const QString &codigo, const QString &texto);
    QString Codigo() const;                      // code of the chosen item; empty when none
    QString CodigoDe(int index) const;
    bool setCodigo(const QString &codigo);       // false when no item has that code
    void setDropDownCount(int lines) { setMaxVisibleItems(lines); }
};
