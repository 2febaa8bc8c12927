#include "reportengine/ChartLabels.h"

#include <QFontMetricsF>
#include <QRegularExpression>

namespace report {

ChartLabels::ChartLabels(const QStringList &labels, const QFont &font) : m_labels(labels), m_font(font) {}

double ChartLabels::lineHeight() const { return QFontMetricsF(m_font).lineSpacing(); }

QStringList ChartLabels::lines(const QString &label, double width) const
{
    const QFontMetricsF metrics(m_font);
    QStringList result;
    QString line;
    const auto add = [&](const QString &piece) {
        const QString joined = line.isEmpty() ? piece : line + QLatin1Char(' ') + piece;
        if (line.isEmpty() || metrics.horizontalAdvance(joined) <= width) {
            line = joined;
        } else {
            result << line;
            line = piece;
        }
    };
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (const QString &word : label.split(blanks, Qt::SkipEmptyParts)) {
        if (metrics.horizontalAdvance(word) <= width) {
            add(word);
            continue;
        }
        // A word wider than the column is cut into pieces that fit, so none of it is hidden.
        QString piece;
        for (const QChar c : word) {
            if (!piece.isEmpty() && metrics.horizontalAdvance(piece + c) > width) {
                add(piece);
                piece.clear();
            }
            piece += c;
        }
        add(piece);
    }
    if (!line.isEmpty())
        result << line;
    return result;
}

int ChartLabels::maxLineCount(double width) const
{
    int most = 0;
    for (const QString &label : m_labels)
        most = qMax(most, int(lines(label, width).size()));
    return most;
}

double ChartLabels::columnWidth(double categoryHeight, double minWidth, double maxWidth) const
{
    const QFontMetricsF metrics(m_font);
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    double widest = minWidth;
    for (const QString &label : m_labels)
        for (const QString &word : label.split(blanks, Qt::SkipEmptyParts))
            widest = qMax(widest, metrics.horizontalAdvance(word));
    const double step = qMax(2.0, metrics.averageCharWidth());
    for (double width = qMin(widest, maxWidth); width < maxWidth; width += step)
        if (maxLineCount(width) * lineHeight() <= categoryHeight)
            return width;
    return maxWidth;
}

} // namespace report
