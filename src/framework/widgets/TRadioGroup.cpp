#include "framework/widgets/TRadioGroup.h"

#include <QHBoxLayout>
#include <QRadioButton>

TRadioGroup::TRadioGroup(const QString &caption, QWidget *parent) : QGroupBox(caption, parent)
{
    setLayout(new QHBoxLayout);
    connect(&m_buttons, &QButtonGroup::idClicked, this, &TRadioGroup::Click);
}

void TRadioGroup::setItems(const QStringList &items)
{
    for (QAbstractButton *button : m_buttons.buttons()) {
        m_buttons.removeButton(button);
        delete button;
    }
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items.at(i), this);
        m_buttons.addButton(button, i);
        layout()->addWidget(button);
    }
}

QStringList TRadioGroup::Items() const
{
    QStringList items;
    for (QAbstractButton *button : m_buttons.buttons())
        items << button->text();
    return items;
}

int TRadioGroup::ItemIndex() const
{
    return m_buttons.checkedId();
}

void TRadioGroup::setItemIndex(int index)
{
    // An exclusive group cannot be emptied by unchecking; lift exclusivity for that moment.
    if (index < 0 || !m_buttons.button(index)) {
        m_buttons.setExclusive(false);
        for (QAbstractButton *button : m_buttons.buttons())
            button->setChecked(false);
        m_buttons.setExclusive(true);
        return;
    }
    m_buttons.button(index)->setChecked(true);
}
