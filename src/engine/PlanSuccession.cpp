#include "engine/PlanSuccession.h"

#include "engine/EmployeeScorer.h"
#include "engine/HolderRecordGroups.h"
#include "engine/RequirementGapTally.h"
#include "framework/Exceptions.h"
#include "framework/dataset/FieldConvert.h"

#include <QHash>
#include <QSet>

namespace engine {

namespace {

using PositionKey = QPair<int, QString>;   // company, position code

PositionKey keyOf(const CompanyPosition &position)
{
    return {position.company, position.code};
}

const QString &missingPositionName()
{
    static const QString text = QStringLiteral("NO EXISTE EN BASE DE DATOS");
    return text;
}

// The targets whose profiles a group's records are kept to on the server, when they are of one
// company; otherwise every record is read.
std::optional<CompanyPositions> profileTargets(const HolderRecordGroup &group)
{
    for (const CompanyPosition &target : group.targets)
        if (target.company != group.targets.first().company)
            return std::nullopt;
    return group.targets;
}

} // namespace

// One run: what it has read, kept for every node that names it again.
class PlanSuccession::Pass {
public:
    Pass(EngineReads &reads, const Rounding &round, const SuccessionRequest &request)
        : m_reads(reads), m_round(round), m_request(request)
    {
    }

    bool cancelled() const { return m_request.cancel && m_request.cancel->load(); }
    // Tells the caller a read is done; false when it cancelled meanwhile.
    bool readDone() const
    {
        if (m_request.reading)
            m_request.reading();
        return !cancelled();
    }
    // Reads what the nodes need; false when cancelled on the way.
    bool read(const QVector<NodeSuccession> &nodes);
    void score(NodeSuccession &node);
    void name(NodeSuccession &node);
    void nameGaps(RequirementGaps &gaps);

private:
    void readAheadProfiles(const QVector<NodeSuccession> &nodes);
    void readAheadHolders(const QVector<NodeSuccession> &nodes);
    void readAheadNames(const QVector<NodeSuccession> &nodes, EngineReadList *ahead);
    void readProfile(const CompanyPosition &target);
    void readHolders(const CompanyPosition &position);
    void checkOddCodes(int company);
    const EmployeeRecords &recordsOf(const CandidateEmployee &employee, int company, EmployeeRecords &scratch) const;
    struct ScoredHolder {
        PlainRecords plain;
        bool exists = true;
    };
    QVector<ScoredHolder> scoredHolders(const CompanyPosition &position);
    QString positionName(const CompanyPosition &position);
    void readRequirementNames(int company);

    EngineReads &m_reads;
    Rounding m_round;
    const SuccessionRequest &m_request;
    QHash<PositionKey, Profile> m_profiles;
    QHash<PositionKey, CandidateEmployees> m_holders;
    QHash<PositionKey, QVector<ScoredHolder>> m_scoredHolders;   // the holders' records made plain
    QHash<int, QHash<double, EmployeeRecords>> m_records;   // company -> COD_EMPL -> records
    QHash<int, QSet<double>> m_checked;                     // codes whose existence was asked
    QHash<int, QSet<double>> m_existing;                    // of those, the ones found
    QHash<int, QHash<QString, QString>> m_positionNames;    // company -> COD_CARG -> NOM_CARG
    QHash<int, RequirementNames> m_requirementNames;
};

bool PlanSuccession::Pass::read(const QVector<NodeSuccession> &nodes)
{
    // Each kind of read goes to the server in one round trip for the whole plan (read ahead), then
    // is taken node by node as the generation takes it.
    readAheadProfiles(nodes);
    // Profiles first: they tell which records can count at all.
    for (const NodeSuccession &node : nodes) {
        if (!node.error.isEmpty())
            continue;
        if (cancelled())
            return false;
        readProfile(node.inputs.target);
        if (!readDone())
            return false;
    }
    readAheadHolders(nodes);
    // The holders of every candidate position a node with a profile names, once each.
    HolderRecordGroups scored;
    for (const NodeSuccession &node : nodes) {
        if (!node.error.isEmpty())
            continue;
        const bool profiled = !m_profiles.value(keyOf(node.inputs.target)).isEmpty();
        for (const CompanyPosition &position : node.inputs.candidates) {
            if (cancelled())
                return false;
            readHolders(position);
            if (!readDone())
                return false;
            if (profiled)
                scored.add(position, m_holders.value(keyOf(position)), node.inputs.target);
        }
    }
    // Their records group by group, each read kept to the profiles of the targets its positions
    // stand under, all in one round trip with the names (a company's requirement names take three
    // reads, its position names one).
    EngineReadList ahead;
    readAheadNames(nodes, &ahead);
    int namesReads = 0;
    for (const EngineRead &read : std::as_const(ahead))
        namesReads += std::holds_alternative<RequirementNamesQuery>(read) ? 3 : 1;
    const int readsPerGroup = int(m_request.categories.eduFor) + int(m_request.categories.eduNo)
        + int(m_request.categories.expe) + int(m_request.categories.compe);
    const QVector<HolderRecordGroup> groups =
        scored.groups((kReadsPerRoundTrip - namesReads) / std::max(1, readsPerGroup));
    // Each group's read is made once, for the read-ahead and for the read that takes its answer.
    QVector<HolderRecordsQuery> queries;
    QVector<ProfileKeys> keys;
    for (const HolderRecordGroup &group : groups) {
        Profile profiles;
        for (const CompanyPosition &target : group.targets)
            profiles += m_profiles.value(keyOf(target));
        keys.append(ProfileKeys(profiles));
        queries.append({group.company, group.positions, m_request.categories, profileTargets(group)});
        ahead << queries.last();
    }
    m_reads.readAhead(ahead);
    QList<int> companies;
    for (qsizetype at = 0; at < groups.size(); ++at) {
        const HolderRecordGroup &group = groups.at(at);
        if (cancelled())
            return false;
        m_reads.holderRecords(queries.at(at), keys.at(at), group.holders, m_records[group.company]);
        if (!companies.contains(group.company))
            companies << group.company;
        if (!readDone())
            return false;
    }
    for (const int company : std::as_const(companies))
        checkOddCodes(company);
    return !cancelled();
}

void PlanSuccession::Pass::readAheadProfiles(const QVector<NodeSuccession> &nodes)
{
    EngineReadList ahead;
    QSet<PositionKey> asked;
    for (const NodeSuccession &node : nodes)
        if (node.error.isEmpty() && !m_profiles.contains(keyOf(node.inputs.target))
            && !asked.contains(keyOf(node.inputs.target))) {
            asked.insert(keyOf(node.inputs.target));
            ahead << ProfileQuery{node.inputs.target, m_request.categories};
        }
    if (ahead.size() > 1)
        m_reads.readAhead(ahead);
}

void PlanSuccession::Pass::readAheadHolders(const QVector<NodeSuccession> &nodes)
{
    EngineReadList ahead;
    QSet<PositionKey> asked;
    for (const NodeSuccession &node : nodes) {
        if (!node.error.isEmpty() || m_profiles.value(keyOf(node.inputs.target)).isEmpty())
            continue;
        for (const CompanyPosition &position : node.inputs.candidates) {
            if (m_holders.contains(keyOf(position)) || asked.contains(keyOf(position)))
                continue;
            asked.insert(keyOf(position));
            ahead << HoldersQuery{position};
        }
    }
    if (ahead.size() > 1)
        m_reads.readAhead(ahead);
}

// The names a map prints (positions, categories, requirements, details) of every company its
// nodes name, read with the holders' records.
void PlanSuccession::Pass::readAheadNames(const QVector<NodeSuccession> &nodes, EngineReadList *ahead)
{
    QSet<int> companies;
    for (const NodeSuccession &node : nodes) {
        companies.insert(node.inputs.target.company);
        for (const CompanyPosition &position : node.inputs.candidates)
            companies.insert(position.company);
    }
    for (const int company : std::as_const(companies)) {
        if (!m_positionNames.contains(company))
            ahead->append(PositionNamesQuery{company});
        if (!m_requirementNames.contains(company))
            ahead->append(RequirementNamesQuery{company});
    }
}

void PlanSuccession::Pass::readProfile(const CompanyPosition &target)
{
    const PositionKey key = keyOf(target);
    if (m_profiles.contains(key))
        return;
    m_profiles.insert(key, m_reads.profile({target, m_request.categories}));
}

void PlanSuccession::Pass::readHolders(const CompanyPosition &position)
{
    const PositionKey key = keyOf(position);
    if (m_holders.contains(key))
        return;
    m_holders.insert(key, m_reads.holders({position}));
}

// The contract's employee exists in its company (the holders' read joined them) unless its code,
// written as text, names another value: only those are asked for, one by one (they are rare).
void PlanSuccession::Pass::checkOddCodes(int company)
{
    QSet<double> &checked = m_checked[company];
    QSet<double> &existing = m_existing[company];
    for (auto holders = m_holders.cbegin(); holders != m_holders.cend(); ++holders) {
        if (holders.key().first != company)
            continue;
        for (const CandidateEmployee &employee : holders.value()) {
            const std::optional<double> value = valueOfCodeText(employee.codEmplText);
            if (value == std::optional<double>(employee.codEmplValue) || checked.contains(employee.codEmplValue))
                continue;
            checked.insert(employee.codEmplValue);
            if (!value)
                continue;
            if (m_reads.employeeRegistered(company, employee.codEmplText))
                existing.insert(employee.codEmplValue);
        }
    }
}

const EmployeeRecords &PlanSuccession::Pass::recordsOf(const CandidateEmployee &employee, int company,
                                                       EmployeeRecords &scratch) const
{
    static const EmployeeRecords none;
    const auto byCompany = m_records.constFind(company);
    const EmployeeRecords *records = &none;
    if (byCompany != m_records.constEnd()) {
        const auto found = byCompany->constFind(employee.codEmplValue);
        if (found != byCompany->constEnd())
            records = &*found;
    }
    if (!m_checked.value(company).contains(employee.codEmplValue))
        return *records;
    scratch = *records;
    scratch.exists = m_existing.value(company).contains(employee.codEmplValue);
    return scratch;
}

QVector<PlanSuccession::Pass::ScoredHolder> PlanSuccession::Pass::scoredHolders(const CompanyPosition &position)
{
    const PositionKey key = keyOf(position);
    const auto found = m_scoredHolders.constFind(key);
    if (found != m_scoredHolders.constEnd())
        return *found;
    QVector<ScoredHolder> scored;
    EmployeeRecords checked;
    for (const CandidateEmployee &employee : m_holders.value(key)) {
        const EmployeeRecords &records = recordsOf(employee, position.company, checked);
        scored.append({PlainRecords(records), records.exists});
    }
    m_scoredHolders.insert(key, scored);
    return scored;
}

void PlanSuccession::Pass::score(NodeSuccession &node)
{
    if (!node.error.isEmpty())
        return;
    const Profile profile = m_profiles.value(keyOf(node.inputs.target));
    const PlainProfile plain(profile, m_request.eduSinPuntos);
    RequirementGapTally tally(node.inputs.target.company, profile);
    EmployeeRecords checked;
    QVector<long double> byRow;
    qsizetype contracts = 0;
    for (const CompanyPosition &position : node.inputs.candidates)
        contracts += m_holders.value(keyOf(position)).size();
    node.rows.reserve(contracts);
    for (const CompanyPosition &position : node.inputs.candidates) {
        // The records were read for the profiles of every target the position stands under:
        // those the node's own profile cannot match add nothing to any of its rows, so the node
        // scores exactly what its own generation reads, each holder's records made plain once
        // for every node.
        const CandidateEmployees holders = m_holders.value(keyOf(position));
        const QVector<ScoredHolder> scored = plain.usable() ? scoredHolders(position) : QVector<ScoredHolder>();
        for (qsizetype at = 0; at < holders.size(); ++at) {
            const CandidateEmployee &employee = holders.at(at);
            const bool asPlain = plain.usable() && scored.at(at).plain.usable();
            const EmployeeScore score =
                asPlain ? plain.score(scored.at(at).plain, scored.at(at).exists, m_request.categories, m_round, byRow)
                        : scoreEmployee(profile, recordsOf(employee, position.company, checked), m_request.categories,
                                        m_request.eduSinPuntos, m_round, byRow);
            node.rows.append({employee, score});
            tally.add(byRow);
        }
    }
    node.gaps = tally.gaps();
}

void PlanSuccession::Pass::name(NodeSuccession &node)
{
    // A node whose inputs were refused names nothing it could find; the plan's own row no position.
    const CompanyPosition &target = node.inputs.target;
    const bool known = node.error.isEmpty() && !isPlanRow(node.node, target);
    node.summary = summarizeNode(node, known ? positionName(target) : QString(),
                                 known ? int(m_profiles.value(keyOf(target)).size()) : 0);
    nameGaps(node.gaps);
}

QString PlanSuccession::Pass::positionName(const CompanyPosition &position)
{
    if (!m_positionNames.contains(position.company))
        m_positionNames.insert(position.company, m_reads.positionNames({position.company}));
    return m_positionNames.value(position.company).value(position.code, missingPositionName());
}

void PlanSuccession::Pass::readRequirementNames(int company)
{
    if (!m_requirementNames.contains(company))
        m_requirementNames.insert(company, m_reads.requirementNames({company}));
}

void PlanSuccession::Pass::nameGaps(RequirementGaps &gaps)
{
    for (RequirementGap &gap : gaps) {
        readRequirementNames(gap.company);
        const RequirementNames &names = m_requirementNames[gap.company];
        const QString type = fieldconv::toText(gap.tipRegi);
        const QString requirement = type + QLatin1Char('|') + fieldconv::toText(gap.codRequ);
        gap.categoryName = names.categories.value(type);
        gap.requirementName = names.requirements.value(requirement);
        if (!gap.codEspe.isNull())
            gap.detailName =
                names.details.value(requirement + QLatin1Char('|') + fieldconv::toText(gap.codEspe));
    }
}

PlanSuccession::PlanSuccession(std::shared_ptr<EngineReads> reads, MaskFormatter formatter)
    : m_reads(std::move(reads)),
      m_round(storedRounding(*trafficLightTable().field(resultfield::PorEmpl), std::move(formatter)))
{
}

PlanSuccession::~PlanSuccession() = default;

CareerPlanShape PlanSuccession::readPlan(int company, int plan, QString *planName)
{
    const PlanRows rows = m_reads->plan(company, plan);
    if (!rows.header)
        throw Exception(QStringLiteral("La empresa %1 no tiene el plan %2.").arg(company).arg(plan));
    CareerPlanShape shape(*rows.header, rows.nodes);
    shape.setPlan(company, plan, rows.name);
    if (planName)
        *planName = rows.name;
    return shape;
}

namespace {

// The node's inputs as a click and "Generación Semaforo" make them, or the message they stop with.
NodeSuccession nodeToRun(const CareerPlanShape &shape, int node, const SuccessionRequest &request)
{
    NodeSuccession run;
    run.node = node;
    try {
        run.inputs = shape.inputs(node, request.categories, request.eduSinPuntos);
    } catch (const Exception &error) {
        run.error = error.Message();
        const PlanTreeNode *drawn = shape.find(node);
        run.inputs.target.code = drawn ? drawn->cargoAspira : QString();
    }
    return run;
}

} // namespace

SuccessionResult PlanSuccession::run(const CareerPlanShape &shape, const SuccessionRequest &request)
{
    categoryCodes(request.categories);   // nothing ticked stops the whole run with the generation's message
    SuccessionResult result;
    result.company = shape.company();
    result.plan = shape.plan();
    result.planName = shape.name();
    for (const int node : shape.nodesWithCandidates())
        result.nodes.append(nodeToRun(shape, node, request));
    const int total = int(result.nodes.size());
    if (request.progress)
        request.progress(0, total);
    Pass pass(*m_reads, m_round, request);
    if (!pass.read(result.nodes)) {
        result.nodes.clear();
        result.cancelled = true;
        return result;
    }
    for (int done = 0; done < total; ++done) {
        if (pass.cancelled()) {
            result.nodes.resize(done);
            result.cancelled = true;
            break;
        }
        NodeSuccession &node = result.nodes[done];
        pass.score(node);
        pass.name(node);
        addGaps(result.planGaps, node.gaps);
        if (request.progress)
            request.progress(done + 1, total);
    }
    sortGaps(result.planGaps);
    return result;
}

NodeSuccession PlanSuccession::runNode(const CareerPlanShape &shape, int node, const SuccessionRequest &request)
{
    NodeSuccession run = nodeToRun(shape, node, request);
    if (!run.error.isEmpty())
        throw Exception(run.error);
    checkGenerationInputs(run.inputs);
    Pass pass(*m_reads, m_round, request);
    pass.read({run});
    pass.score(run);
    pass.name(run);
    return run;
}

} // namespace engine
