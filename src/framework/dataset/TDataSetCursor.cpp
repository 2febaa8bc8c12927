// TDataSet: the cursor, searches, filter and order, calculated fields and row access for views.
#include "framework/dataset/TDataSet.h"

#include "framework/Exceptions.h"
#include "framework/dataset/FieldConvert.h"

#include <algorithm>

// ---- rows ----

int TDataSet::rowCount() const
{
    if (!Active())
        return 0;
    return m_records.visibleCount() + (m_insertRecord ? 1 : 0);
}

TRecord *TDataSet::recordAtRow(int row) const
{
    if (m_insertRecord) {
        if (row == m_insertRow)
            return m_insertRecord.get();
        if (row > m_insertRow)
            --row;
    }
    return m_records.visibleAt(row);
}

int TDataSet::RecordCount() const
{
    return Active() ? m_records.visibleCount() : 0;
}

bool TDataSet::IsEmpty() const
{
    return rowCount() == 0;
}

int TDataSet::RecNo() const
{
    return m_cur + 1;
}

QVariant TDataSet::rowValue(int row, const TField *field)
{
    if (row < 0 || row >= rowCount() || !field || field->DataSet() != this)
        return {};
    TRecord *record = row == m_cur && m_editBuffer ? m_editBuffer.get() : recordAtRow(row);
    return recordValue(record, field);
}

QVariant TDataSet::recordValue(TRecord *record, const TField *field)
{
    if (field->m_kind != fkData && !record->calcValid)
        ensureCalculated(record);
    return slotFor(record, field);
}

// ---- cursor ----

void TDataSet::scrollTo(int row, bool eof, bool bof)
{
    const bool moved = row != m_cur;
    m_cur = row;
    m_eof = eof;
    m_bof = bof;
    if (moved) {
        ensureCalculated(activeRecord());
        notify(TDataEvent::DataSetScroll);
    }
}

void TDataSet::First()
{
    checkActive();
    checkBrowseMode();
    fire(BeforeScroll);
    scrollTo(IsEmpty() ? -1 : 0, IsEmpty(), true);
    fire(AfterScroll);
}

void TDataSet::Last()
{
    checkActive();
    checkBrowseMode();
    fire(BeforeScroll);
    scrollTo(rowCount() - 1, true, IsEmpty());
    fire(AfterScroll);
}

void TDataSet::Next()
{
    checkActive();
    checkBrowseMode();
    fire(BeforeScroll);
    if (!m_eof) {
        if (m_cur + 1 < rowCount())
            scrollTo(m_cur + 1, false, false);
        else
            m_eof = true;
    }
    fire(AfterScroll);
}

void TDataSet::Prior()
{
    checkActive();
    checkBrowseMode();
    fire(BeforeScroll);
    if (!m_bof) {
        if (m_cur > 0)
            scrollTo(m_cur - 1, false, false);
        else
            m_bof = true;
    }
    fire(AfterScroll);
}

void TDataSet::setRecNo(int recNo)
{
    moveToRow(recNo - 1);
}

void TDataSet::moveToRow(int row)
{
    if (!Active() || row == m_cur || row < 0 || row >= rowCount())
        return;
    // Posting the pending row may move rows: aim at the record, not at the number.
    const TRecord *target = recordAtRow(row);
    checkBrowseMode();
    row = m_records.visibleIndexOf(target);
    if (row < 0 || row == m_cur)
        return;
    fire(BeforeScroll);
    scrollTo(row, false, false);
    fire(AfterScroll);
}

// ---- searches ----

QVariantList TDataSet::valueList(const QVariant &values, int count)
{
    QVariantList list = values.typeId() == QMetaType::QVariantList ? values.toList()
                                                                   : QVariantList{values};
    if (list.size() != count)
        throw EDatabaseError(QStringLiteral("Se esperaban %1 valores de búsqueda y se recibieron %2")
                                 .arg(count).arg(list.size()));
    return list;
}

bool TDataSet::matches(TRecord *record, const QList<TField *> &fields, const QVariantList &values,
                       TLocateOptions options)
{
    for (int i = 0; i < fields.size(); ++i) {
        const TField *field = fields.at(i);
        const QVariant have = recordValue(record, field);
        const QVariant &want = values.at(i);
        const bool wantNull = want.isNull() || (want.typeId() == QMetaType::QString && want.toString().isEmpty());
        if (have.isNull() || wantNull) {
            if (have.isNull() != wantNull)
                return false;
            continue;
        }
        if (fieldconv::isText(field->DataType())) {
            const QString a = fieldconv::toText(have), b = fieldconv::toText(want);
            const auto cs = options.testFlag(loCaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
            if (options.testFlag(loPartialKey) ? !a.startsWith(b, cs) : a.compare(b, cs) != 0)
                return false;
        } else if (fieldconv::compare(have, want) != 0) {
            return false;
        }
    }
    return true;
}

int TDataSet::findRow(const QList<TField *> &fields, const QVariantList &values, TLocateOptions options)
{
    for (int row = 0; row < m_records.visibleCount(); ++row)
        if (matches(m_records.visibleAt(row), fields, values, options))
            return row;
    return -1;
}

bool TDataSet::Locate(const QString &keyFields, const QVariant &keyValues, TLocateOptions options)
{
    checkActive();
    checkBrowseMode();
    const QList<TField *> fields = fieldsByNames(keyFields);
    const QVariantList values = valueList(keyValues, fields.size());
    fire(BeforeScroll);
    const int row = findRow(fields, values, options);
    if (row < 0)
        return false;
    scrollTo(row, false, false);
    fire(AfterScroll);
    return true;
}

QVariant TDataSet::Lookup(const QString &keyFields, const QVariant &keyValues, const QString &resultField)
{
    if (!Active())
        return {};
    const QList<TField *> fields = fieldsByNames(keyFields);
    TField *result = FieldByName(resultField);
    const int row = findRow(fields, valueList(keyValues, fields.size()), {});
    return row < 0 ? QVariant() : recordValue(m_records.visibleAt(row), result);
}

// ---- calculated and look-up fields ----

void TDataSet::ensureCalculated(TRecord *record)
{
    if (!record || record->calcValid || m_calcRecord)
        return;
    if (m_calcCount == 0) {
        record->calcValid = true;
        return;
    }
    const TDataSetState saved = m_state;
    m_calcRecord = record;
    m_state = dsCalcFields;
    // Marked computed before the handlers run: a handler that fails is reported once, not on
    // every repaint of the row.
    record->calcValid = true;
    std::fill(record->calc.begin(), record->calc.end(), QVariant());
    try {
        for (TField *field : std::as_const(m_fieldList)) {
            if (field->m_kind != fkLookup || !field->LookupDataSet || field->KeyFields.isEmpty())
                continue;
            QVariantList keys;
            for (TField *key : fieldsByNames(field->KeyFields))
                keys.append(slotFor(record, key));
            const QVariant found = field->LookupDataSet->Lookup(field->LookupKeyFields, QVariant(keys),
                                                                field->LookupResultField);
            slotFor(record, field) = fieldconv::toStorage(found, field->DataType(), field->Size(),
                                                          field->FieldName());
        }
        fire(OnCalcFields);
    } catch (...) {
        m_calcRecord = nullptr;
        m_state = saved;
        throw;
    }
    m_calcRecord = nullptr;
    m_state = saved;
}

void TDataSet::invalidateCalcFields()
{
    m_records.forEach([](TRecord &record) { record.calcValid = false; });
    if (m_editBuffer)
        m_editBuffer->calcValid = false;
    if (m_insertRecord)
        m_insertRecord->calcValid = false;
    if (Active()) {
        ensureCalculated(activeRecord());
        notify(TDataEvent::DataSetChange);
    }
}

// ---- filter and order ----

void TDataSet::setFilter(const QString &filter)
{
    FilterExpression parsed = FilterExpression::parse(filter);
    if (Active() && m_filtered)
        checkBrowseMode();
    const FilterExpression previous = m_filterExpr;
    m_filterExpr = std::move(parsed);
    if (Active() && m_filtered) {
        try {
            applyOrderAndFilter();
        } catch (...) {
            m_filterExpr = previous;
            throw;
        }
        m_cur = -1;
        First();
    }
    m_filterText = filter;
}

void TDataSet::setFiltered(bool filtered)
{
    if (m_filtered == filtered)
        return;
    if (Active())
        checkBrowseMode();
    m_filtered = filtered;
    if (!Active())
        return;
    try {
        applyOrderAndFilter();
    } catch (...) {
        m_filtered = !filtered;
        throw;
    }
    m_cur = -1;
    First();
}

void TDataSet::setSortKeys(const QList<SortKey> &keys)
{
    const QList<SortKey> previous = m_sortKeys;
    m_sortKeys = keys;
    if (!Active())
        return;
    checkBrowseMode();
    const TRecord *current = IsEmpty() ? nullptr : recordAtRow(m_cur);
    try {
        applyOrderAndFilter();
    } catch (...) {
        m_sortKeys = previous;
        throw;
    }
    m_cur = current ? m_records.visibleIndexOf(current) : (IsEmpty() ? -1 : 0);
    notify(TDataEvent::DataSetChange);
}

// Binds the filter and the sort keys to the fields and recomputes the visible rows. Throws,
// changing nothing, when they name a field the dataset does not have.
void TDataSet::applyOrderAndFilter()
{
    RecordSet::Filter filter;
    if (m_filtered && !m_filterExpr.isEmpty()) {
        QList<TField *> fields;
        for (const QString &name : m_filterExpr.fieldNames())
            fields.append(FieldByName(name));
        filter = [this, fields, expr = m_filterExpr](const TRecord &record) {
            auto *row = const_cast<TRecord *>(&record);
            return expr.evaluate([&](int i) { return recordValue(row, fields.at(i)); });
        };
    }
    RecordSet::KeyCompare compare;
    if (!m_sortKeys.isEmpty()) {
        struct Key { int slot; bool descending; bool caseInsensitive; };
        QList<Key> keys;
        for (const SortKey &key : m_sortKeys) {
            const TField *field = FieldByName(key.fieldName);
            if (field->m_kind != fkData)
                throw EDatabaseError(QStringLiteral("%1: no se puede ordenar por el campo calculado '%2'")
                                         .arg(displayName(), field->FieldName()));
            keys.append({field->m_valueIndex, key.descending, key.caseInsensitive});
        }
        compare = [keys](const TRecord &a, const TRecord &b) {
            for (const Key &key : keys) {
                const int c = fieldconv::compare(a.values[size_t(key.slot)], b.values[size_t(key.slot)],
                                                 key.caseInsensitive);
                if (c != 0)
                    return key.descending ? -c : c;
            }
            return 0;
        };
    }
    aboutToChangeRows(TRowChange::Reset, -1);
    m_records.setFilter(std::move(filter));
    m_records.setKeyCompare(std::move(compare));
    m_records.rebuild();
    changedRows(TRowChange::Reset, -1);
}
