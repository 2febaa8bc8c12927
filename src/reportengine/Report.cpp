#include "reportengine/Report.h"

#include "reportengine/LayoutReader.h"
#include "reportengine/ReportBuilder.h"

namespace report {

Report::Report(ReportLayout layout) { setLayout(std::move(layout)); }

bool Report::loadLayout(const QString &path, QString *error)
{
    auto layout = LayoutReader::load(path, error);
    if (!layout)
        return false;
    setLayout(std::move(*layout));
    return true;
}

void Report::setLayout(ReportLayout layout)
{
    m_layout = std::make_shared<const ReportLayout>(std::move(layout));
}

void Report::setDataSet(const QString &name, TDataSet *dataSet) { m_dataSets.insert(name, dataSet); }

TDataSet *Report::dataSet(const QString &name) const { return m_dataSets.value(name); }

PreparedReport Report::prepare(const Progress &progress) const
{
    PreparedReport prepared = ReportBuilder(m_layout, m_dataSets, OnGetValue, progress).build();
    prepared.info = Info;
    if (!prepared.info.created.isValid())
        prepared.info.created = QDateTime::currentDateTime();
    return prepared;
}

} // namespace report
