#pragma once
// The base of every dataset: fields, rows, a cursor, the states inactive/browse/edit/insert,
// editing with the classic event order, Locate, a client-side filter, and notices to data
// sources and views. Rows live in memory; subclasses fill them on open (doOpen) and send the
// changes somewhere on post and delete (applyUpdate).

#include "framework/dataset/FilterExpression.h"
#include "protocol/Protocol.h"
#include "framework/dataset/RecordSet.h"
#include "framework/dataset/TDataLink.h"
#include "framework/dataset/TField.h"

#include <QFlags>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsCalcFields };

enum TLocateOption { loCaseInsensitive = 0x1, loPartialKey = 0x2 };
Q_DECLARE_FLAGS(TLocateOptions, TLocateOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TLocateOptions)

class TDataSet {
public:
    using TDataSetNotifyEvent = std::function<void(TDataSet *)>;

    explicit TDataSet(const QString &name = QString());
    virtual ~TDataSet();
    TDataSet(const TDataSet &) = delete;
    TDataSet &operator=(const TDataSet &) = delete;

    QString Name;

    // Fields. Declared fields may be added only while the dataset is closed; a text field
    // declared without a size gets 20 characters.
    TField *AddField(const QString &name, protocol::FieldType type, int size = 0,
                     const QString &displayLabel = QString(), TFieldKind kind = fkData);
    const QList<TField *> &Fields() const { return m_fieldList; }
    int FieldCount() const { return m_fieldList.size(); }
    TField *FieldByName(const QString &name) const;  // throws EDatabaseError when missing
    TField *FindField(const QString &name) const;    // nullptr when missing

    bool Active() const { return m_state != dsInactive; }
    void setActive(bool active);
    void Open();
    void Close();
    TDataSetState State() const { return m_state; }

    void First();
    void Next();
    void Prior();
    void Last();
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    int RecNo() const;                // 1-based; 0 when empty
    void setRecNo(int recNo);
    int RecordCount() const;          // visible rows, a row being inserted not counted
    bool IsEmpty() const;

    // keyFields separated by ";"; keyValues a value, or a QVariantList with one per key field.
    // Exact and case-sensitive unless options say otherwise; moves the cursor when found.
    bool Locate(const QString &keyFields, const QVariant &keyValues, TLocateOptions options = {});
    // The same search without moving the cursor: resultField of the first matching row.
    QVariant Lookup(const QString &keyFields, const QVariant &keyValues, const QString &resultField);

    void Append();
    void Insert();
    void Edit();
    void Post();
    // Asks the bound controls to store what is typed in them and not yet in the fields; Post
    // does it first, so that a save never leaves typed text behind. A refused value throws.
    void UpdateRecord();
    void Cancel();
    void Delete();
    bool Modified() const { return m_modified; }

    const QString &Filter() const { return m_filterText; }
    void setFilter(const QString &filter);  // throws EDatabaseError when the text does not parse
    bool Filtered() const { return m_filtered; }
    void setFiltered(bool filtered);

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }

    // Forgets every row's calculated values, for when what they are computed from changed.
    void invalidateCalcFields();

    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, OnNewRecord;
    TDataSetNotifyEvent BeforeEdit, AfterEdit, BeforePost, AfterPost;
    TDataSetNotifyEvent BeforeCancel, AfterCancel, BeforeDelete, AfterDelete;
    TDataSetNotifyEvent BeforeScroll, AfterScroll, OnCalcFields;

    void attachLink(TDataLink *link);
    void detachLink(TDataLink *link);

    // Row access for views: rows in cursor order, the one being inserted included.
    int rowCount() const;
    int currentRow() const { return m_cur; }
    QVariant rowValue(int row, const TField *field);
    void moveToRow(int row);

protected:
    struct SortKey {
        QString fieldName;
        bool descending = false;
        bool caseInsensitive = false;
    };

    // Fills the rows (and, if none were declared, the fields). Throws to refuse the open.
    virtual void doOpen() {}
    virtual void doClose() {}
    // Sends one change before the dataset takes it; throwing refuses the post or delete.
    virtual void applyUpdate(protocol::RowDelta::Kind kind, const TRecord *oldRecord,
                             const TRecord *newRecord);

    bool hasDeclaredFields() const;
    TField *addDynamicField(const QString &name, protocol::FieldType type, int size);
    void destroyDynamicFields();
    std::unique_ptr<TRecord> newRecord() const;
    RecordSet &records() { return m_records; }
    void setSortKeys(const QList<SortKey> &keys);  // reorders at once when open
    void discardRows();                           // empties the rows of an open dataset
    void checkActive() const;
    void checkInactive() const;
    QString displayName() const;

private:
    friend class TField;

    QVariant fieldValue(const TField *field);
    void setFieldValue(TField *field, const QVariant &value);
    QVariant &slotFor(TRecord *record, const TField *field);
    TRecord *activeRecord();
    TRecord *recordAtRow(int row) const;
    void ensureCalculated(TRecord *record);
    QVariant recordValue(TRecord *record, const TField *field);
    int findRow(const QList<TField *> &fields, const QVariantList &values, TLocateOptions options);
    bool matches(TRecord *record, const QList<TField *> &fields, const QVariantList &values,
                 TLocateOptions options);
    QList<TField *> fieldsByNames(const QString &names) const;
    static QVariantList valueList(const QVariant &values, int count);

    void insertRow(bool append);
    void cancelInsertRow();
    void commitInsert();
    void commitEdit();
    void checkBrowseMode();
    void checkRequired();
    void moveCursor(int row);
    void scrollTo(int row, bool eof, bool bof);
    void applyOrderAndFilter();
    void reindexFields();

    void setState(TDataSetState state);
    void fire(const TDataSetNotifyEvent &event);
    void notify(TDataEvent event, TField *field = nullptr);
    void aboutToChangeRows(TRowChange change, int row);
    void changedRows(TRowChange change, int row);

    std::vector<std::unique_ptr<TField>> m_ownedFields;
    QList<TField *> m_fieldList;
    int m_dataCount = 0;
    int m_calcCount = 0;

    RecordSet m_records;
    std::unique_ptr<TRecord> m_insertRecord;  // the row being inserted, shown at m_insertRow
    int m_insertRow = -1;
    const TRecord *m_insertBefore = nullptr;  // natural place of an Insert (nullptr: Append)
    int m_savedRow = -1;
    std::unique_ptr<TRecord> m_editBuffer;    // the current row's values while in edit
    TRecord *m_calcRecord = nullptr;          // row whose calculated fields are being computed

    TDataSetState m_state = dsInactive;
    int m_cur = -1;
    bool m_eof = true;
    bool m_bof = true;
    bool m_modified = false;

    QString m_filterText;
    FilterExpression m_filterExpr;
    bool m_filtered = false;
    QList<SortKey> m_sortKeys;

    QList<TDataLink *> m_links;
    int m_disableCount = 0;
};
