#include "framework/widgets/TVelkarDBgrid.h"

#include "framework/widgets/ErrorGuard.h"
#include "framework/Exceptions.h"
#include "framework/dataset/TClientDataSet.h"
#include "framework/dataset/TDataSetModel.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>
#include <QScrollBar>

namespace {

// The cell editor of an ellipsis column: a line edit with a small "..." button at its right.
class EllipsisEditor : public QLineEdit {
public:
    explicit EllipsisEditor(QWidget *parent) : QLineEdit(parent), m_button(new QToolButton(this))
    {
        setObjectName(QStringLiteral("ellipsisEditor"));
        m_button->setObjectName(QStringLiteral("ellipsisButton"));
        m_button->setText(QStringLiteral("..."));
        m_button->setCursor(Qt::ArrowCursor);
        m_button->setFocusPolicy(Qt::NoFocus);
    }
    QToolButton *button() const { return m_button; }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLineEdit::resizeEvent(event);
        const int side = height();
        m_button->setGeometry(width() - side, 0, side, side);
        setTextMargins(0, 0, side, 0);
    }

private:
    QToolButton *m_button;
};

} // namespace

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

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const TVelkarDBgrid::TColumn column = m_grid->columnAt(index.column());
        if (!column.PickList.isEmpty()) {
            auto *combo = new QComboBox(parent);
            combo->setObjectName(QStringLiteral("pickList"));
            combo->addItems(column.PickList);
            // A picked value is written at once, as the suite's pick lists do.
            connect(combo, &QComboBox::activated, this, [this, combo](int) {
                auto *self = const_cast<VelkarCellDelegate *>(this);
                emit self->commitData(combo);
                emit self->closeEditor(combo, QAbstractItemDelegate::SubmitModelCache);
            });
            return combo;
        }
        if (column.ButtonStyle == TVelkarDBgrid::cbsEllipsis) {
            auto *editor = new EllipsisEditor(parent);
            connect(editor->button(), &QToolButton::clicked, m_grid, [this, editor] {
                // The typed text is dropped: the button's handler fills the row itself.
                emit const_cast<VelkarCellDelegate *>(this)->closeEditor(editor, QAbstractItemDelegate::NoHint);
                m_grid->EditButtonClick();
            });
            return editor;
        }
        return QStyledItemDelegate::createEditor(parent, option, index);
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *combo = qobject_cast<QComboBox *>(editor);
        if (!combo) {
            QStyledItemDelegate::setEditorData(editor, index);
            return;
        }
        // A one-letter column keeps the first letter of the item: "S" shows as "Si".
        const QString value = index.data(Qt::EditRole).toString().trimmed();
        int found = combo->findText(value, Qt::MatchFixedString);
        for (int i = 0; found < 0 && !value.isEmpty() && i < combo->count(); ++i)
            if (combo->itemText(i).startsWith(value, Qt::CaseInsensitive))
                found = i;
        combo->setCurrentIndex(found);
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            if (combo->currentIndex() >= 0)
                model->setData(index, combo->currentText(), Qt::EditRole);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }

private:
    TVelkarDBgrid *m_grid;
};

// Passes the dataset's rows through in the dataset's order, with the indicator markers as row titles.
class ValueSorter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    // The row titles are the grid's indicator markers, given per dataset row.
    std::function<QString(int)> marker;

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Vertical || !marker)
            return QSortFilterProxyModel::headerData(section, orientation, role);
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
        if (role != Qt::DisplayRole)
            return {};
        return marker(mapToSource(index(section, 0)).row());
    }

    void markersChanged()
    {
        if (rowCount() > 0)
            emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
    }

    // A click on a sortable grid's title: the dataset is reordered instead of the view.
    std::function<void(int, Qt::SortOrder)> sorter;
    void sort(int column, Qt::SortOrder order) override
    {
        if (sorter)
            sorter(column, order);
    }
};

TVelkarDBgrid::TVelkarDBgrid(QWidget *parent) : QTableView(parent), m_model(new TDataSetModel(nullptr, this))
{
    // The view sees the rows through a sorter that keeps the dataset's order until a sortable
    // grid's header is clicked.
    m_view = new ValueSorter(this);
    // Connected before the sorter and the view, which move the view's current row while rows
    // come and go; that move must not move the dataset (it would post a row being inserted).
    for (auto signal : {&QAbstractItemModel::rowsAboutToBeInserted, &QAbstractItemModel::rowsAboutToBeRemoved})
        connect(m_model, signal, this, [this] { m_rowsChanging = true; });
    m_view->setSourceModel(m_model);
    setModel(m_view);
    setItemDelegate(new VelkarCellDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionsClickable(false);
    verticalHeader()->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("▶")) + 8);
    static_cast<ValueSorter *>(m_view)->marker = [this](int row) { return IndicatorOf(row); };
    horizontalHeader()->setHighlightSections(false);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
    connect(m_model, &TDataSetModel::currentRowChanged, this, [this](int row) {
        followDataSet(row);
        keepCurrentInView();
    });
    connect(m_model, &TDataSetModel::scrolled, this, &TVelkarDBgrid::keepCurrentInView);
    for (QScrollBar *bar : {verticalScrollBar(), horizontalScrollBar()})
        connect(bar, &QAbstractSlider::actionTriggered, this, [this] { m_scrollPending = false; });
    connect(m_model, &TDataSetModel::stateChanged, this, &TVelkarDBgrid::updateIndicator);
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_resetting = true; });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_resetting = false;
        applyColumns();
        followDataSet(DataSet() ? DataSet()->currentRow() : -1);
        keepCurrentInView();
    });
    // The dataset's cursor is what counts once the rows are in place.
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_model, signal, this, [this] {
            m_rowsChanging = false;
            followDataSet(DataSet() ? DataSet()->currentRow() : -1);
            keepCurrentInView();
        });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { moveDataSet(current); });
    connect(m_model, &TDataSetModel::editFailed, this, [](const QString &message) {
        ErrorGuard::run([&] { throw Exception(message); });
    });
    m_model->OnUpdateRecord = [this] { storeOpenEditor(); };
    static_cast<ValueSorter *>(m_view)->sorter = [this](int column, Qt::SortOrder order) {
        ErrorGuard::run([&] { sortDataSetBy(column, order); });
    };
}

// The value typed in an open cell editor goes to its field; a refused value was shown by the
// editFailed handler, and the post stops without a second message.
void TVelkarDBgrid::storeOpenEditor()
{
    if (state() != EditingState)
        return;
    QWidget *editor = indexWidget(currentIndex());
    if (!editor)
        return;
    bool refused = false;
    const QMetaObject::Connection watch = connect(m_model, &TDataSetModel::editFailed, this, [&refused] { refused = true; });
    commitData(editor);
    disconnect(watch);
    if (refused)
        throw EAbort();
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

// The in-memory table takes the order of the clicked column (column -1: its own order again).
void TVelkarDBgrid::sortDataSetBy(int column, Qt::SortOrder order)
{
    auto *table = dynamic_cast<TClientDataSet *>(DataSet());
    if (!table || !table->Active())
        return;
    TField *field = m_model->fieldAt(column);
    if (!field) {
        if (table->IndexName() == sortIndexName())
            table->setIndexName(QString());
        return;
    }
    table->IndexDefs().Remove(sortIndexName());
    table->IndexDefs().Add(sortIndexName(), field->FieldName(),
                           order == Qt::DescendingOrder ? TIndexOptions(ixDescending) : TIndexOptions());
    table->setIndexName(sortIndexName());
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
        m_model->setColumnHint(column.FieldName, column.Hint);
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
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);  // no initial order
    setSortingEnabled(sortable);
    horizontalHeader()->setSortIndicatorShown(sortable);
}

bool TVelkarDBgrid::CanEditCells() const
{
    TDataSet *dataSet = DataSet();
    if (m_readOnly || !dataSet || !dataSet->Active())
        return false;
    const TDataSetState state = dataSet->State();
    return !m_source || m_source->AutoEdit || state == dsEdit || state == dsInsert;
}

bool TVelkarDBgrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (trigger != QAbstractItemView::AllEditTriggers && !CanEditCells())
        return false;
    return QTableView::edit(index, trigger, event);
}

void TVelkarDBgrid::EditButtonClick()
{
    setFocus();
    if (OnEditButtonClick)
        ErrorGuard::run([this] { OnEditButtonClick(this); });
}

void TVelkarDBgrid::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ControlModifier)
        && columnAt(currentIndex().column()).ButtonStyle == cbsEllipsis && CanEditCells()) {
        EditButtonClick();
        return;
    }
    if (enter && state() != EditingState && m_model->columnCount() > 0) {
        if (m_enterMovesColumn)
            setSelectedIndex((SelectedIndex() + 1) % m_model->columnCount());
        else if (currentIndex().isValid())
            emit activated(currentIndex());  // the form has moved the column already
        event->accept();
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

void TVelkarDBgrid::setIndicator(bool shown)
{
    m_indicator = shown;
    verticalHeader()->setVisible(shown);
}

QString TVelkarDBgrid::IndicatorOf(int row) const
{
    TDataSet *dataSet = DataSet();
    if (!m_indicator || !dataSet || !dataSet->Active() || row < 0 || row != dataSet->currentRow())
        return {};
    switch (dataSet->State()) {
    case dsEdit:
        return QStringLiteral("✎");
    case dsInsert:
        return QStringLiteral("*");
    default:
        return QStringLiteral("▶");
    }
}

void TVelkarDBgrid::updateIndicator()
{
    if (!m_rowsChanging && !m_resetting)
        static_cast<ValueSorter *>(m_view)->markersChanged();
}

// The dataset moved, opened or was read again: its current row is brought into view now and
// kept there while the grid is laid out or resized, until the user scrolls the grid himself.
void TVelkarDBgrid::keepCurrentInView()
{
    m_scrollPending = true;
    if (m_rowsChanging || m_resetting)
        return;  // the end of the change comes back here
    updateIndicator();
    executeDelayedItemsLayout();  // the scroll range must know the rows before scrolling
    scrollToCurrent();
}

void TVelkarDBgrid::scrollToCurrent()
{
    if (!m_scrollPending || !currentIndex().isValid())
        return;
    scrollTo(currentIndex());
}

void TVelkarDBgrid::showEvent(QShowEvent *event)
{
    QTableView::showEvent(event);
    executeDelayedItemsLayout();
    scrollToCurrent();
}

void TVelkarDBgrid::updateGeometries()
{
    QTableView::updateGeometries();
    scrollToCurrent();
}

void TVelkarDBgrid::moveDataSet(const QModelIndex &current)
{
    TDataSet *dataSet = DataSet();
    const int row = sourceRow(current);
    if (m_following || m_rowsChanging || !current.isValid() || !dataSet || row == dataSet->currentRow())
        return;
    m_following = true;
    const bool moved = ErrorGuard::run([&] { dataSet->moveToRow(row); });
    m_following = false;
    if (!moved)  // the pending row was refused: the grid stays on it
        followDataSet(dataSet->currentRow());
}
