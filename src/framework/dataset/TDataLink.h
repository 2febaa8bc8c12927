#pragma once
// What a data source or a view hears from a dataset. dataEvent carries the dataset's notices
// (state, scroll, record and field changes); the row hooks let a view mirror the visible rows:
// each is called once before and once after the dataset changes them.

class TField;

enum class TDataEvent {
    UpdateState,    // the dataset's state changed
    DataSetChange,  // any row may have changed (open, post, cancel, delete, filter, order)
    DataSetScroll,  // the cursor moved
    RecordChange,   // the current row changed as a whole
    FieldChange,    // one field of the current row changed
    LayoutChange,   // the fields changed
    UpdateRecord    // before a post: bound controls store what is typed in them (they throw to refuse)
};

enum class TRowChange { Reset, Inserted, Removed };

class TDataLink {
public:
    virtual ~TDataLink() = default;
    virtual void dataEvent(TDataEvent event, TField *field) = 0;
    virtual void rowsAboutToChange(TRowChange, int /*row*/) {}
    virtual void rowsChanged(TRowChange, int /*row*/) {}
    virtual void dataSetDestroyed() {}
};
