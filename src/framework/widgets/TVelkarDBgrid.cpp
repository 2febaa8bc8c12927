#include "TVelkarDBgrid.h"

#include "ErrorGuard.h"
#include "Exceptions.h"
#include "TDataSetModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>

// Paints each cell on the background the grid's hook chooses, or the grid's own.
class VelkarCellDelegate : public QStyledItemDelegate {
public:
    explicit VelkarCellDelegate(TVelkarDBgrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        TVelkarDBgrid::TCellCanvas canvas;
        canvas.Row = m_grid->sourceRow(index);
        const TVelkarDBgrid::TColumn column = m_grid->columnAt(index.column());
        canvas.Brush = column.Color;
        if (!canvas.Brush.isValid())
            canvas.Brush = (index.row() % 2 ? m_grid->m_odd : m_grid->m_even);
        if (m_grid->OnDrawColumnCell) {
            try {
                m_grid->OnDrawColumnCell(m_grid, option.rect, index.column(), column, option.state, canvas);
            } catch (...) {
                // A failing hook must not stop the paint: the cell keeps the grid's look.
            }
        }
        if (!canvas.Brush.isValid()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem cell(option);
        initStyleOption(&cell, index);
        const bool focused = cell.state & QStyle::State_HasFocus;
        cell.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        cell.backgroundBrush = canvas.Brush;
        painter->fillRect(cell.rect, canvas.Brush);
        const QWidget *widget = cell.widget;
        (widget ? widget->style() : QApplication::style())->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
        if (focused) {
            painter->save();
            painter->setPen(QPen(Qt::black, 1, Qt::DotLine));
            painter->drawRect(cell.rect.adjusted(0, 0, -1, -1));
            painter->restore();
        }
    }

private:
    TVelkarDBgrid *m_grid;
};

// Orders the rows shown by the raw values: empty values first, numbers as numbers, texts as the
// workstation's language orders them.
class ValueSorter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override
    {
        const QVariant a = left.data(Qt::EditRole);
        const QVariant b = right.data(Qt::EditRole);
        if (a.isNull() || b.isNull())
            return a.isNull() && !b.isNull();
        bool numbers = false, other = false;
        const double x = a.toDouble(&numbers), y = b.toDouble(&other);
        if (numbers && other && a.typeId() != QMetaType::QString)
            return x < y;
        return QString::localeAwareCompare(a.toString(), b.toString()) < 0;
    }
};

TVelkarDBgrid::TVelkarDBgrid(QWidget *parent) : QTableView(parent), m_model(new TDataSetModel(nullptr, this))
{
    // The view sees the rows through a sorter that keeps the dataset's order until a sortable
    // grid's header is clicked.
    m_view = new ValueSorter(this);
    m_view->setSourceModel(m_model);
    setModel(m_view);
    setItemDelegate(new VelkarCellDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setHighlightSections(false);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
    connect(m_model, &TDataSetModel::currentRowChanged, this, &TVelkarDBgrid::followDataSet);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        applyColumns();
        followDataSet(DataSet() ? DataSet()->currentRow() : -1);
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { moveDataSet(current); });
    connect(m_model, &TDataSetModel::editFailed, this, [](const QString &message) {
        ErrorGuard::run([&] { throw Exception(message); });
    });
}

TVelkarDBgrid::~TVelkarDBgrid() = default;

void TVelkarDBgrid::setDataSource(TDataSource *source)
{
    m_source = source;
    m_model->setDataSet(source ? source->DataSet() : nullptr);
}

TDataSet *TVelkarDBgrid::DataSet() const
{
    return m_model->dataSet();
}

void TVelkarDBgrid::setColumns(const QList<TColumn> &columns)
{
    m_columns = columns;
    QStringList names;
    for (const TColumn &column : columns)
        names << column.FieldName;
    m_model->setFieldNames(names);
    applyColumns();
}

QList<TVelkarDBgrid::TColumn> TVelkarDBgrid::Columns() const
{
    QList<TColumn> columns;
    for (int c = 0; c < m_model->columnCount(); ++c)
        columns << columnAt(c);
    return columns;
}

TVelkarDBgrid::TColumn TVelkarDBgrid::columnAt(int dataCol) const
{
    TField *field = m_model->fieldAt(dataCol);
    if (!field)
        return {};
    for (const TColumn &column : m_columns)
        if (column.FieldName.compare(field->FieldName(), Qt::CaseInsensitive) == 0)
            return column;
    TColumn column;
    column.FieldName = field->FieldName();
    return column;
}

void TVelkarDBgrid::applyColumns()
{
    const int average = fontMetrics().averageCharWidth();
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const TColumn column = columnAt(c);
        TField *field = m_model->fieldAt(c);
        if (!column.Title.isEmpty())
            m_model->setColumnTitle(column.FieldName, column.Title);
        m_model->setColumnReadOnly(column.FieldName, column.ReadOnly);
        int width = column.Width;
        // Without a declared width a column is as wide as its field's text (or its title) can be.
        const int characters = field ? (field->DisplayWidth > 0 ? field->DisplayWidth : field->Size()) : 0;
        if (width <= 0 && characters > 0)
            width = qMax(qMin(characters, 40) * average * 4 / 3 + 10,
                         horizontalHeader()->fontMetrics().horizontalAdvance(m_model->headerData(c, Qt::Horizontal).toString()) + 12);
        if (width > 0)
            setColumnWidth(c, width);
    }
}

void TVelkarDBgrid::setTitleFont(const QFont &font)
{
    horizontalHeader()->setFont(font);
}

void TVelkarDBgrid::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    m_model->setEditable(!readOnly);
}

void TVelkarDBgrid::setBackgroundColor(const QColor &color)
{
    m_background = color;
    m_even = m_odd = color;
    viewport()->update();
}

void TVelkarDBgrid::setAlternateColors(const QColor &even, const QColor &odd)
{
    m_even = even;
    m_odd = odd;
    viewport()->update();
}

int TVelkarDBgrid::SelectedIndex() const
{
    return qMax(0, currentIndex().column());
}

void TVelkarDBgrid::setSelectedIndex(int column)
{
    if (m_model->columnCount() == 0)
        return;
    const int row = currentIndex().isValid() ? currentIndex().row()
                                             : m_view->mapFromSource(m_model->index(qMax(0, DataSet() ? DataSet()->currentRow() : 0), 0)).row();
    setCurrentIndex(m_view->index(qMax(0, row), qBound(0, column, m_model->columnCount() - 1)));
}

QVariant TVelkarDBgrid::CellValue(int row, const QString &fieldName) const
{
    TDataSet *dataSet = DataSet();
    TField *field = dataSet ? dataSet->FindField(fieldName) : nullptr;
    if (!field || row < 0 || row >= dataSet->rowCount())
        return {};
    return dataSet->rowValue(row, field);
}

int TVelkarDBgrid::sourceRow(const QModelIndex &viewIndex) const
{
    return m_view->mapToSource(viewIndex).row();
}

void TVelkarDBgrid::setSortableByHeader(bool sortable)
{
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);  // no initial sort
    setSortingEnabled(sortable);
    horizontalHeader()->setSortIndicatorShown(sortable);
    if (!sortable)
        m_view->sort(-1);
}

void TVelkarDBgrid::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState
        && m_model->columnCount() > 0) {
        setSelectedIndex((SelectedIndex() + 1) % m_model->columnCount());
        return;
    }
    QTableView::keyPressEvent(event);
}

void TVelkarDBgrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (OnDblClick)
        ErrorGuard::run([this] { OnDblClick(this); });
}

void TVelkarDBgrid::followDataSet(int row)
{
    if (row < 0 || row >= m_model->rowCount() || m_following)
        return;
    m_following = true;
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    setCurrentIndex(m_view->mapFromSource(m_model->index(row, qBound(0, column, qMax(0, m_model->columnCount() - 1)))));
    m_following = false;
}

void TVelkarDBgrid::moveDataSet(const QModelIndex &current)
{
    TDataSet *dataSet = DataSet();
    const int row = sourceRow(current);
    if (m_following || !current.isValid() || !dataSet || row == dataSet->currentRow())
        return;
    m_following = true;
    const bool moved = ErrorGuard::run([&] { dataSet->moveToRow(row); });
    m_following = false;
    if (!moved)  // the pending row was refused: the grid stays on it
        followDataSet(dataSet->currentRow());
}
