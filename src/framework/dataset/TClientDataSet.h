#pragma once
// An in-memory table: fields declared in code or described by FieldDefs, created empty with
// CreateDataSet, emptied with EmptyDataSet, presented in the order of IndexFieldNames or of a
// declared index chosen by IndexName (otherwise in the order the rows were added). Closing
// keeps the rows; opening again shows them.

#include "framework/dataset/TDataSet.h"
#include "framework/dataset/TFieldDefs.h"
#include "framework/dataset/TIndexDefs.h"

class TClientDataSet : public TDataSet {
public:
    explicit TClientDataSet(const QString &name = QString());

    TFieldDefs &FieldDefs() { return m_fieldDefs; }
    TIndexDefs &IndexDefs() { return m_indexDefs; }

    // Makes the fields (from FieldDefs when none were declared), drops every row and opens.
    void CreateDataSet();
    void EmptyDataSet();

    // "A;B;C", ascending; empty for the order of addition. Clears IndexName.
    const QString &IndexFieldNames() const { return m_indexFieldNames; }
    void setIndexFieldNames(const QString &fieldNames);
    // Selects a declared index by name; empty for none. Clears IndexFieldNames.
    const QString &IndexName() const { return m_indexName; }
    void setIndexName(const QString &indexName);

protected:
    void doOpen() override;

private:
    QList<SortKey> keysOf(const QString &fieldNames, const QString &descFields, bool allDescending,
                          bool caseInsensitive) const;

    TFieldDefs m_fieldDefs;
    TIndexDefs m_indexDefs;
    QString m_indexFieldNames;
    QString m_indexName;
};
