#include "ui/ReadinessMarkDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace {

const int kMarkGap = 6;

int markDiameter(const QStyleOptionViewItem &option)
{
    return qMax(8, option.fontMetrics.height() - 4);
}

} // namespace

ReadinessMarkDelegate::ReadinessMarkDelegate(int bandRole, QObject *parent)
    : QStyledItemDelegate(parent), m_bandRole(bandRole)
{
}

QRect ReadinessMarkDelegate::markRect(const QStyleOptionViewItem &option, const QString &text)
{
    // The caption is laid out by the style after the icon; the mark follows its text.
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    QStyleOptionViewItem textOption = option;
    textOption.text = text;
    textOption.features |= QStyleOptionViewItem::HasDisplay;
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &textOption, widget);
    const int diameter = markDiameter(option);
    const int left = textRect.left() + option.fontMetrics.horizontalAdvance(text) + kMarkGap;
    return QRect(left, option.rect.center().y() - diameter / 2, diameter, diameter);
}

void ReadinessMarkDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const QColor colour = index.data(m_bandRole).value<QColor>();
    if (!colour.isValid())
        return;
    QStyleOptionViewItem laidOut = option;
    initStyleOption(&laidOut, index);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(colour.darker(160), 1));
    painter->setBrush(colour);
    painter->drawEllipse(markRect(laidOut, laidOut.text));
    painter->restore();
}

QSize ReadinessMarkDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (index.data(m_bandRole).value<QColor>().isValid())
        size.rwidth() += kMarkGap + markDiameter(option) + 2;
    return size;
}
