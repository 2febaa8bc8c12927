#pragma once
// The suite's data grid: shows a dataset through a data source with a declared column list
// (field, title, width, read-only, colour), a title font, the fields' display formats, one line
// per row, and follows the dataset's cursor both ways, keeping the current row in view whenever
// the dataset moves, opens or refreshes. A narrow indicator column at the left marks the current
// row: "▶" while browsing, "✎" while it is edited, "*" while it is being inserted. Enter moves to
// the next column and wraps to the first; in a form whose key handler moves the column itself,
// Enter only reports the activation. OnDrawColumnCell runs before every cell is painted and may give the cell a
// background of its own, which replaces the grid's, for the selected cell as well. A column may
// offer a pick list or an ellipsis button while it is edited; the button (or Ctrl+Enter) runs
// OnEditButtonClick. With a data source that does not edit by itself (AutoEdit off), cells open
// for editing only while the dataset is already in edit or insert. Before the dataset posts, an
// open cell editor stores its value (a refused value refuses the post and the editor stays).

#include "framework/dataset/TDataSource.h"

#include <QColor>
#include <QFont>
#include <QStyle>
#include <QTableView>
#include <functional>

class QSortFilterProxyModel;
class TDataSetModel;

class TVelkarDBgrid : public QTableView {
    Q_OBJECT
public:
    enum TColumnButtonStyle { cbsAuto, cbsEllipsis, cbsNone };
    struct TColumn {
        QString FieldName;
        QString Title{};    // empty: the field's display label
        int Width = 0;      // pixels; 0: the field's display width or the grid's default
        bool ReadOnly = false;
        QColor Color{};     // cell background; invalid: the grid's
        TColumnButtonStyle ButtonStyle = cbsAuto;  // cbsEllipsis: an edit button in the cell editor
        QStringList PickList{};  // values offered in a drop-down list while the cell is edited
        QString Hint{};     // the title's tooltip; empty: none
    };
    // What the cell-painting hook may change: the background brush of the cell.
    struct TCellCanvas {
        int Row = -1;       // the dataset row being painted
        QColor Brush;       // set to paint the cell on this background
    };
    using TDrawColumnCellEvent = std::function<void(TVelkarDBgrid *sender, const QRect &rect, int dataCol,
                                                    const TColumn &column, QStyle::State state,
                                                    TCellCanvas &canvas)>;

    explicit TVelkarDBgrid(QWidget *parent = nullptr);
    ~TVelkarDBgrid() override;

    TDataSource *DataSource() const { return m_source; }
    // Binds the grid to the source's dataset (call again when the source gets another dataset).
    void setDataSource(TDataSource *source);
    TDataSet *DataSet() const;
    TDataSetModel *dataModel() const { return m_model; }

    // Empty: one column per visible field.
    void setColumns(const QList<TColumn> &columns);
    QList<TColumn> Columns() const;
    void setTitleFont(const QFont &font);
    void setReadOnly(bool readOnly);
    bool ReadOnly() const { return m_readOnly; }
    void setBackgroundColor(const QColor &color);
    void setAlternateColors(const QColor &even, const QColor &odd);

    // The indicator column (shown unless turned off).
    void setIndicator(bool shown);
    bool Indicator() const { return m_indicator; }
    // The marker of a dataset row in the indicator column: empty for every row but the current.
    QString IndicatorOf(int row) const;
    // Whether Enter moves to the next column (on unless a form's key handler does it).
    void setEnterMovesColumn(bool moves) { m_enterMovesColumn = moves; }
    bool EnterMovesColumn() const { return m_enterMovesColumn; }

    // The selected column, as the suite's grids number it (from 0).
    int SelectedIndex() const;
    void setSelectedIndex(int column);
    // A click on a column title orders the in-memory table by that column, a second click
    // reverses it: the cursor, the navigators and whatever walks the table (a report) follow
    // the order the grid shows. The table's order is its index "OrdenGrilla".
    void setSortableByHeader(bool sortable);
    static QString sortIndexName() { return QStringLiteral("OrdenGrilla"); }
    // The dataset row shown at a view index.
    int sourceRow(const QModelIndex &viewIndex) const;
    // The value of a field in a dataset row, for painting hooks.
    QVariant CellValue(int row, const QString &fieldName) const;

    TDrawColumnCellEvent OnDrawColumnCell;
    std::function<void(TVelkarDBgrid *)> OnDblClick;
    std::function<void(TVelkarDBgrid *)> OnEditButtonClick;

    // Whether a cell may open for editing now (read-only, AutoEdit and dataset state).
    bool CanEditCells() const;
    // What the ellipsis button of the selected column does (after its editor closed unsaved):
    // runs OnEditButtonClick inside the error guard.
    void EditButtonClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void updateGeometries() override;

private:
    friend class VelkarCellDelegate;
    TColumn columnAt(int dataCol) const;
    void applyColumns();
    void followDataSet(int row);
    void moveDataSet(const QModelIndex &current);
    void keepCurrentInView();
    void scrollToCurrent();
    void updateIndicator();
    void storeOpenEditor();
    void sortDataSetBy(int column, Qt::SortOrder order);

    TDataSource *m_source = nullptr;
    TDataSetModel *m_model = nullptr;
    QSortFilterProxyModel *m_view = nullptr;
    QList<TColumn> m_columns;
    bool m_readOnly = false;
    bool m_following = false;
    bool m_rowsChanging = false;  // the model is inserting or removing rows
    bool m_resetting = false;     // the model is reading all its rows again
    bool m_indicator = true;
    bool m_enterMovesColumn = true;
    bool m_scrollPending = false; // the current row is kept in view until the user scrolls
    QColor m_background;
    QColor m_even, m_odd;
};
