#pragma once
// The records of each ticked category of the active holders of several positions of one company,
// read once for all those positions: one statement per category through the provider of that
// category's holder reads, whatever the number of positions. Each employee's records keep their
// order (an employee holding two of the positions is read once). When the target profiles are
// given (all of one company), the server leaves out the records whose category and requirement
// no row of those profiles names: they could add nothing. Records no profile row can match are
// not kept.

#include "engine/GenerationInputs.h"
#include "engine/ProfileScoring.h"

#include <QHash>
#include <QStringList>

#include "protocol/Protocol.h"

#include <optional>

class SDCOMConnection;

namespace engine {

class HolderRecordsRead {
public:
    HolderRecordsRead(SDCOMConnection &connection, const Categories &ticked,
                      const ProfileKeys &keys);

    // Adds to `records` (by COD_EMPL) the ticked categories' records of the active holders of
    // `positions` of `company`; room is made for `holders` more employees before the reads.
    void read(int company, const QStringList &positions, const std::optional<CompanyPositions> &targets,
              qsizetype holders, QHash<double, EmployeeRecords> &records) const;
    // The reads `read` makes for those positions, to read ahead.
    QList<protocol::FetchRequest> requests(int company, const QStringList &positions,
                                           const std::optional<CompanyPositions> &targets) const;

private:
    struct CategoryRead;
    static const QList<CategoryRead> &categoryReads();
    QList<protocol::ParamValue> params(int company, const QStringList &positions,
                                       const std::optional<CompanyPositions> &targets) const;
    bool wanted(const CategoryRead &read) const;

    SDCOMConnection &m_connection;
    Categories m_ticked;
    const ProfileKeys &m_keys;
};

} // namespace engine
