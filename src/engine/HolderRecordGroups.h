#pragma once
// Which candidate positions of a plan have their holders' records read together. A position's
// holders are scored only against the profiles of the nodes it stands under; read with every
// profile of the plan, a plan of many areas would read several times the records its nodes can
// count. So the positions that stand under the same targets are read together, kept to those
// targets' profiles. Positions that share a holder go in one group, so that each employee's
// records come in one read, in their order and once. Groups beyond what the caller can read in
// one round trip are merged within their company (the cheapest group to read first, into the
// group it adds the fewest holder-target pairs to), so that the reads stay few however the plan
// is drawn.

#include "engine/CandidateEmployee.h"
#include "engine/GenerationInputs.h"

#include <QHash>
#include <QStringList>
#include <QVector>

namespace engine {

struct HolderRecordGroup {
    int company = 0;
    QStringList positions;       // of that company
    CompanyPositions targets;    // the targets they stand under (each once)
    qsizetype holders = 0;       // the positions' contracts
};

class HolderRecordGroups {
public:
    // `position`, held by `holders`, stands under `target` (whose profile has rows). A position
    // without holders reads nothing and is left out.
    void add(const CompanyPosition &position, const CandidateEmployees &holders, const CompanyPosition &target);

    // The groups, company by company in the order the companies were first named: at most
    // `most`, or one per company when there are more companies.
    QVector<HolderRecordGroup> groups(int most) const;

private:
    struct Position {
        CompanyPosition position;
        CompanyPositions targets;
        CandidateEmployees holders;
    };
    QVector<Position> m_positions;
    QHash<QPair<int, QString>, int> m_at;   // company, position -> m_positions
};

} // namespace engine
