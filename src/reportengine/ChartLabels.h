#pragma once
// Category labels of a bar chart broken into lines, so that no label loses text: the label
// column is made as narrow as it can be while every label's lines still fit the height of its
// category, and as wide as it must be (up to a limit) otherwise.

#include <QFont>
#include <QStringList>

namespace report {

class ChartLabels {
public:
    // `labels` drawn in `font`; `categoryHeight` is the room one category gets along the axis.
    ChartLabels(const QStringList &labels, const QFont &font);

    // The narrowest width from `minWidth` (or the widest word, when wider) up to `maxWidth` at
    // which every label fits `categoryHeight`; `maxWidth` when none does.
    double columnWidth(double categoryHeight, double minWidth, double maxWidth) const;
    // `label` broken at blanks into lines no wider than `width` (a longer word on its own line,
    // broken inside only when it alone is wider).
    QStringList lines(const QString &label, double width) const;
    int maxLineCount(double width) const;
    double lineHeight() const;

private:
    QStringList m_labels;
    QFont m_font;
};

} // namespace report
