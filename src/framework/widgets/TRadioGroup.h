#pragma once
// A captioned group of mutually exclusive options addressed by position: ItemIndex is the
// selected option, -1 when none is selected.

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TRadioGroup(const QString &caption = QString(), QWidget *parent = nullptr);
    explicit TRadioGroup(QWidget *parent) : TRadioGroup(QString(), parent) {}

    void setItems(const QStringList &items);
    QStringList Items() const;
    int ItemIndex() const;
    void setItemIndex(int index);

signals:
    void Click();

private:
    QButtonGroup m_buttons;
};
