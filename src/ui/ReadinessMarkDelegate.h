#pragma once
// Paints a node's readiness on the career tree: after the node's own icon and caption, a small
// disc in the band colour of the node's best successor, read from one item data role. Nodes
// without that role (no map computed, employees) are painted as before; the icon, the caption
// and the node record roles stay as the tree's code set them.

#include <QStyledItemDelegate>

class ReadinessMarkDelegate : public QStyledItemDelegate {
public:
    // `bandRole` carries the mark's colour (a QColor); an invalid value means no mark.
    ReadinessMarkDelegate(int bandRole, QObject *parent);

    // Where the mark of an item painted in `option` lands, for painting and for looking at it.
    static QRect markRect(const QStyleOptionViewItem &option, const QString &text);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    int m_bandRole;
};
