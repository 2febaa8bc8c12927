#include "framework/widgets/TQsCmbCodigo.h"

TQsCmbCodigo::TQsCmbCodigo(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
}

void TQsCmbCodigo::AgregarItem(const QString &codigo, const QString &texto)
{
    addItem(texto, codigo);
}

QString TQsCmbCodigo::Codigo() const
{
    return CodigoDe(currentIndex());
}

QString TQsCmbCodigo::CodigoDe(int index) const
{
    return index < 0 ? QString() : itemData(index).toString();
}

bool TQsCmbCodigo::setCodigo(const QString &codigo)
{
    const int index = findData(codigo);
    if (index >= 0)
        setCurrentIndex(index);
    return index >= 0;
}
