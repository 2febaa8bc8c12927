#pragma once
// Reads what the what-if of one candidate of a plan node needs, through the reads a
// generation is handed and with the generation's own scorer: the node's inputs as the tree
// derives them, the candidate's contract among the holders of the node's candidate positions,
// the target's profile and the candidate's records as the batched scorer reads them for that
// position, and which category each record type of the profile belongs to (the profile read
// once per ticked box).

#include "engine/CandidateWhatIf.h"
#include "engine/CareerPlanShape.h"
#include "engine/GenerationDataSets.h"

#include <optional>

namespace engine {

struct WhatIfCandidate {
    int node = 0;
    GenerationInputs inputs;
    CandidateEmployee employee;   // the contract evaluated
    CompanyPosition position;     // the candidate position he holds
    CandidateWhatIf whatIf;
};

class WhatIfReading {
public:
    // `formatter` rounds the percentages as the result table stores them.
    WhatIfReading(const GenerationDataSets &dataSets, MaskFormatter formatter);

    // The candidate of COD_EMPL `employee` (of a contract in company `contractCompany` when
    // given) at node `node`. Throws Exception with the message the node's generation stops
    // with, when he is no employee of the node's candidate companies (or of that company), when
    // he holds no candidate position of the node, or when his code names contracts of several
    // companies and none is given.
    WhatIfCandidate read(const CareerPlanShape &shape, int node, const SuccessionRequest &request, double employee,
                         std::optional<int> contractCompany = std::nullopt);

private:
    QHash<QString, RecordList> listsOfTypes(const GenerationInputs &inputs);
    QString notACandidate(const WhatIfCandidate &found, const QString &code, std::optional<int> contractCompany);
    EngineReads &reads() const;

    GenerationDataSets m_dataSets;
    Rounding m_round;
};

} // namespace engine
