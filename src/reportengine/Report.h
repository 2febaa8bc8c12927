#pragma once
// A report: a layout bound to the datasets it names, and the owner's answer to its variables.
// prepare() lays it out into pages; the datasets must be open (the report never opens or closes
// them) and are walked with First/Next, so their scroll handlers run once per printed row.

#include "reportengine/PreparedReport.h"
#include "reportengine/ReportLayout.h"

#include <QHash>
#include <QPointer>

#include <functional>
#include <memory>

class TDataSet;

namespace report {

class Report {
public:
    using GetValueHandler = std::function<void(const QString &name, QVariant &value)>;
    // Told how many master rows are done of how many; returning false cancels the run.
    using Progress = std::function<bool(int done, int total)>;

    Report() = default;
    explicit Report(ReportLayout layout);

    // Reads the layout from a file or resource; false and an error text when it does not read.
    bool loadLayout(const QString &path, QString *error);
    void setLayout(ReportLayout layout);
    const ReportLayout &layout() const { return *m_layout; }
    bool hasLayout() const { return m_layout != nullptr; }

    void setDataSet(const QString &name, TDataSet *dataSet);
    TDataSet *dataSet(const QString &name) const;

    // Title, author and subject of the prepared pages; `created` is stamped at prepare() when empty.
    DocumentInfo Info;

    // Answers [variable] expressions; a value left invalid prints as empty text.
    GetValueHandler OnGetValue;

    // Lays the report out. Throws the framework's Exception when a dataset is missing or closed
    // or a field is unknown, and EAbort when `progress` cancels.
    PreparedReport prepare(const Progress &progress = {}) const;

private:
    std::shared_ptr<const ReportLayout> m_layout;
    QHash<QString, TDataSet *> m_dataSets;
};

} // namespace report
