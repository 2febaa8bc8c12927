#pragma once
// Shows a dataset in Qt views: one column per visible field (header: its display label), one
// row per visible row, the row being inserted included. Follows opens, closes, inserts,
// deletes, edits and scrolls. When editable, setData moves the dataset to the row, puts it in
// edit and assigns the field; a refused value is reported through editFailed and lastError.

#include "framework/dataset/TDataLink.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>
#include <functional>

class TDataSet;
class TField;

class TDataSetModel : public QAbstractTableModel, private TDataLink {
    Q_OBJECT
public:
    explicit TDataSetModel(TDataSet *dataSet = nullptr, QObject *parent = nullptr);
    ~TDataSetModel() override;

    TDataSet *dataSet() const { return m_dataSet; }
    void setDataSet(TDataSet *dataSet);
    bool isEditable() const { return m_editable; }
    void setEditable(bool editable) { m_editable = editable; }
    TField *fieldAt(int column) const;
    int columnOf(const QString &fieldName) const;
    QString lastError() const { return m_lastError; }
    // Re-reads the columns (after fields were shown or hidden).
    void refresh();
    // The columns shown: the named fields in that order (names not found are skipped); an
    // empty list shows every visible field. Titles and read-only marks are kept per field name.
    void setFieldNames(const QStringList &names);
    void setColumnTitle(const QString &fieldName, const QString &title);
    // The title's tooltip; empty: none.
    void setColumnHint(const QString &fieldName, const QString &hint);
    void setColumnReadOnly(const QString &fieldName, bool readOnly);
    // What the view does when the dataset is about to post: store the value of an open cell
    // editor. Throwing refuses the post.
    std::function<void()> OnUpdateRecord;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    void currentRowChanged(int row);
    // The dataset changed state (browse, edit, insert...).
    void stateChanged();
    // The cursor moved or the rows were read again, whether or not the current row number changed.
    void scrolled();
    void editFailed(const QString &message);

private:
    void dataEvent(TDataEvent event, TField *field) override;
    void changeRows(TDataEvent event, TField *field);
    void rowsAboutToChange(TRowChange change, int row) override;
    void rowsChanged(TRowChange change, int row) override;
    void dataSetDestroyed() override;
    void readColumns();
    void followCursor();

    TDataSet *m_dataSet = nullptr;
    QList<TField *> m_columns;
    QStringList m_fieldNames;
    QHash<QString, QString> m_titles;   // upper-cased field name -> title
    QHash<QString, QString> m_hints;    // upper-cased field name -> the title's tooltip
    QSet<QString> m_readOnly;           // upper-cased field names
    int m_rows = 0;
    int m_current = -1;
    bool m_editable = false;
    bool m_resetting = false;
    mutable QString m_lastError;
};
