#pragma once
// Connects data-aware controls and form code to a dataset: OnStateChange when the dataset's
// state changes, OnDataChange with no field when the current row changes (scroll, open, post,
// cancel, delete) and with the field when one field of the current row changes; OnUpdateData
// before a post, when the bound controls store what is typed in them.

#include "framework/dataset/TDataLink.h"
#include "framework/dataset/TDataSet.h"

#include <functional>

class TDataSource : public TDataLink {
public:
    explicit TDataSource(TDataSet *dataSet = nullptr);
    ~TDataSource() override;
    TDataSource(const TDataSource &) = delete;
    TDataSource &operator=(const TDataSource &) = delete;

    QString Name;
    bool AutoEdit = true;  // typing in a bound control puts the dataset in edit

    TDataSet *DataSet() const { return m_dataSet; }
    void setDataSet(TDataSet *dataSet);
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    TDataSetState State() const;

    // What a bound control calls before it changes a value: starts an edit when AutoEdit allows;
    // returns whether the dataset is now in edit or insert.
    bool Edit();

    std::function<void(TDataSource *, TField *)> OnDataChange;
    std::function<void(TDataSource *)> OnStateChange;
    std::function<void(TDataSource *)> OnUpdateData;

protected:
    void dataEvent(TDataEvent event, TField *field) override;
    void dataSetDestroyed() override;

private:
    TDataSet *m_dataSet = nullptr;
    bool m_enabled = true;
};
