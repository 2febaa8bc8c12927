#include "engine/SuccessionSnapshot.h"

#include "framework/Exceptions.h"
#include "engine/DataSetRefill.h"
#include "framework/dataset/TClientDataSet.h"

#include <QHash>
#include <QSet>

#include <map>

namespace engine {

namespace {

using T = ResultFieldType;
namespace sf = snapshotfield;

const QString kSnapshotTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

int bandRank(Band band)
{
    return band == Band::Green ? 2 : band == Band::Yellow ? 1 : 0;
}

ResultTable makeSnapshotListTable()
{
    ResultTable table;
    table.name = QStringLiteral("CdsCortes");
    table.fields = {
        {sf::NumCort, T::Integer, 0, QStringLiteral("Corte"), {}, {}},
        {sf::CodMenu, T::SmallInt, 0, QStringLiteral("Plan"), {}, {}},
        {sf::FecCort, T::Text, 19, QStringLiteral("Fecha (UTC)"), {}, {}},
        {sf::ActUsua, T::Text, 8, QStringLiteral("Usuario"), {}, {}},
        {sf::EtiCort, T::Text, 60, QStringLiteral("Etiqueta"), {}, {}},
        {sf::NumNodo, T::Integer, 0, QStringLiteral("Nodos"), {}, {}},
        {sf::NumPers, T::Integer, 0, QStringLiteral("Personas"), {}, {}},
        {sf::CatCort, T::Text, 11, QStringLiteral("Categorías"), {}, {}},
    };
    return table;
}

ResultTable makeEvolutionNodesTable()
{
    ResultTable table;
    table.name = QStringLiteral("CdsEvolucionNodos");
    table.reportName = QStringLiteral("QryEvolucionNodos");
    table.fields = {
        {sf::CodNodo, T::SmallInt, 0, QStringLiteral("Nodo"), {}, {}},
        {sf::CodCarg, T::Text, 20, QStringLiteral("Cargo"), {}, {}},
        {sf::NomCarg, T::Text, 60, QStringLiteral("Descripción Cargo"), {}, {}},
        {sf::VerAnte, T::Integer, 0, QStringLiteral("Verdes Antes"), {}, {}},
        {sf::VerActu, T::Integer, 0, QStringLiteral("Verdes Después"), {}, {}},
        {sf::VerDife, T::Integer, 0, QStringLiteral("Cambio Verdes"), {}, {}},
    };
    return table;
}

ResultTable makeEvolutionPeopleTable()
{
    ResultTable table;
    table.name = QStringLiteral("CdsEvolucionPersonas");
    table.reportName = QStringLiteral("QryEvolucionPersonas");
    table.fields = {
        {sf::CodNodo, T::SmallInt, 0, QStringLiteral("Nodo"), {}, {}},
        {sf::CodCarg, T::Text, 20, QStringLiteral("Cargo"), {}, {}},
        {sf::CodEmpl, T::Float, 0, QStringLiteral("Identificación"), {}, {}},
        {sf::NomEmpl, T::Text, 51, QStringLiteral("Empleado"), {}, {}},
        {sf::BanAnte, T::Text, 8, QStringLiteral("Banda Antes"), {}, {}},
        {sf::BanActu, T::Text, 8, QStringLiteral("Banda Después"), {}, {}},
        {sf::Movimie, T::Text, 6, QStringLiteral("Movimiento"), {}, {}},
        {sf::PorAnte, T::Float, 0, QStringLiteral("Puntaje Antes"), QStringLiteral("#,##0.00"), {}},
        {sf::PorActu, T::Float, 0, QStringLiteral("Puntaje Después"), QStringLiteral("#,##0.00"), {}},
        {sf::PorDife, T::Float, 0, QStringLiteral("Cambio Puntaje"), QStringLiteral("#,##0.00"), {}},
    };
    return table;
}

ResultTable makeSnapshotHistoryTable()
{
    ResultTable table;
    table.name = QStringLiteral("CdsHistorialCortes");
    table.fields = {
        {sf::NumCort, T::Integer, 0, QStringLiteral("Corte"), {}, {}},
        {sf::FecCort, T::Text, 19, QStringLiteral("Fecha (UTC)"), {}, {}},
        {sf::EtiCort, T::Text, 60, QStringLiteral("Etiqueta"), {}, {}},
        {sf::CodMenu, T::SmallInt, 0, QStringLiteral("Plan"), {}, {}},
        {sf::CodNodo, T::SmallInt, 0, QStringLiteral("Nodo"), {}, {}},
        {sf::CodCarg, T::Text, 20, QStringLiteral("Cargo"), {}, {}},
        {sf::NomCarg, T::Text, 60, QStringLiteral("Descripción Cargo"), {}, {}},
        {sf::PorEmpl, T::Float, 0, QStringLiteral("Porcentaje"), QStringLiteral("#,##0.00"), {}},
        {sf::BanEmpl, T::Text, 8, QStringLiteral("Banda"), {}, {}},
    };
    return table;
}

} // namespace

QString categoriesText(const Categories &categories)
{
    QStringList codes;
    if (categories.eduFor)
        codes << QStringLiteral("EF");
    if (categories.eduNo)
        codes << QStringLiteral("EN");
    if (categories.expe)
        codes << QStringLiteral("EP");
    if (categories.compe)
        codes << QStringLiteral("CO");
    return codes.join(QLatin1Char(','));
}

QVector<SnapshotEntry> snapshotEntries(const SuccessionResult &result)
{
    QVector<SnapshotEntry> entries;
    for (const NodeSuccession &node : result.nodes) {
        if (!node.summary.measured)   // the plan's own row: no position to measure anyone against
            continue;
        QHash<double, int> shown;   // person -> index in entries
        for (const SuccessionCandidate &row : node.rows) {
            const double person = row.employee.codEmplValue;
            const auto found = shown.constFind(person);
            if (found != shown.constEnd()) {
                SnapshotEntry &best = entries[*found];
                if (row.score.percentage > best.percentage) {
                    best.percentage = row.score.percentage;
                    best.band = row.band();
                }
                continue;
            }
            shown.insert(person, int(entries.size()));
            entries.append({node.node, node.inputs.target.code, node.inputs.target.company,
                            node.summary.positionName.trimmed(), person, row.fullName(), row.score.percentage,
                            row.band()});
        }
    }
    return entries;
}

SnapshotHeader snapshotHeader(const SuccessionResult &result, const QVector<SnapshotEntry> &entries,
                              const Categories &categories, bool eduSinPuntos)
{
    SnapshotHeader header;
    header.company = result.company;
    header.plan = result.plan;
    header.planName = result.planName.trimmed();
    header.categories = categoriesText(categories);
    header.eduSinPuntos = eduSinPuntos;
    header.nodes = result.measuredNodes();
    QSet<double> people;
    for (const SnapshotEntry &entry : entries)
        people.insert(entry.codEmpl);
    header.people = int(people.size());
    return header;
}

QString bandCode(Band band)
{
    return band == Band::Green ? QStringLiteral("V") : band == Band::Yellow ? QStringLiteral("A") : QStringLiteral("R");
}

Band bandOfCode(const QString &code)
{
    if (code == QLatin1String("V"))
        return Band::Green;
    if (code == QLatin1String("A"))
        return Band::Yellow;
    if (code == QLatin1String("R"))
        return Band::Red;
    throw Exception(QStringLiteral("Banda desconocida en un corte: \"%1\".").arg(code));
}

QString moveName(BandMove move)
{
    switch (move) {
    case BandMove::Up: return QStringLiteral("subió");
    case BandMove::Down: return QStringLiteral("bajó");
    case BandMove::Same: return QStringLiteral("igual");
    case BandMove::New: return QStringLiteral("nuevo");
    case BandMove::Gone: return QStringLiteral("salió");
    }
    return {};
}

QString bandCaption(Band band)
{
    const QString name = bandName(band);
    return name.left(1).toUpper() + name.mid(1);
}

SnapshotComparison compareSnapshots(const Snapshot &from, const Snapshot &to)
{
    const SnapshotHeader &a = from.header;
    const SnapshotHeader &b = to.header;
    if (a.company != b.company)
        throw Exception(QStringLiteral("Los cortes %1 y %2 son de empresas distintas (%3 y %4): solo se comparan "
                                       "cortes de una misma empresa.").arg(a.number).arg(b.number).arg(a.company).arg(b.company));
    if (a.plan != b.plan)
        throw Exception(QStringLiteral("Los cortes %1 y %2 son de planes distintos (%3 y %4): solo se comparan "
                                       "cortes de un mismo plan.").arg(a.number).arg(b.number).arg(a.plan).arg(b.plan));
    SnapshotComparison comparison;
    comparison.from = a;
    comparison.to = b;

    std::map<int, NodeChange> nodes;
    const auto nodeOf = [&nodes](const SnapshotEntry &entry) -> NodeChange & {
        NodeChange &node = nodes[entry.node];
        node.node = entry.node;
        node.positionCode = entry.positionCode;
        node.positionCompany = entry.positionCompany;
        node.positionName = entry.positionName;
        return node;
    };
    QHash<QPair<int, double>, const SnapshotEntry *> before;
    for (const SnapshotEntry &entry : from.entries) {
        before.insert({entry.node, entry.codEmpl}, &entry);
        NodeChange &node = nodeOf(entry);
        ++node.peopleBefore;
        node.greenBefore += entry.band == Band::Green;
    }
    QSet<QPair<int, double>> seen;
    std::map<int, QVector<PersonChange>> people;
    for (const SnapshotEntry &entry : to.entries) {
        NodeChange &node = nodeOf(entry);
        ++node.peopleAfter;
        node.greenAfter += entry.band == Band::Green;
        PersonChange change{entry.node, entry.positionCode, entry.codEmpl, entry.name, {}, entry.band, {},
                            entry.percentage, BandMove::New};
        if (const SnapshotEntry *old = before.value({entry.node, entry.codEmpl})) {
            seen.insert({entry.node, entry.codEmpl});
            change.bandBefore = old->band;
            change.before = old->percentage;
            const int moved = bandRank(entry.band) - bandRank(old->band);
            change.move = moved > 0 ? BandMove::Up : moved < 0 ? BandMove::Down : BandMove::Same;
        }
        people[entry.node].append(change);
    }
    for (const SnapshotEntry &entry : from.entries) {
        if (seen.contains({entry.node, entry.codEmpl}))
            continue;
        people[entry.node].append({entry.node, entry.positionCode, entry.codEmpl, entry.name, entry.band, {},
                                   entry.percentage, {}, BandMove::Gone});
    }
    for (const auto &[number, node] : nodes)
        comparison.nodes.append(node);
    for (const auto &[number, changes] : people)
        comparison.people += changes;
    return comparison;
}

const QString &evolutionTitle()
{
    static const QString title = QStringLiteral("Evolución del Plan");
    return title;
}

const ResultTable &snapshotListTable()
{
    static const ResultTable table = makeSnapshotListTable();
    return table;
}

const ResultTable &evolutionNodesTable()
{
    static const ResultTable table = makeEvolutionNodesTable();
    return table;
}

const ResultTable &evolutionPeopleTable()
{
    static const ResultTable table = makeEvolutionPeopleTable();
    return table;
}

const ResultTable &snapshotHistoryTable()
{
    static const ResultTable table = makeSnapshotHistoryTable();
    return table;
}

void fillSnapshotListRows(TClientDataSet &dataSet, const QVector<SnapshotHeader> &headers)
{
    refillDataSet(dataSet, headers, [&dataSet](const SnapshotHeader &header) {
        dataSet.FieldByName(sf::NumCort)->setAsInteger(header.number);
        dataSet.FieldByName(sf::CodMenu)->setAsInteger(header.plan);
        dataSet.FieldByName(sf::FecCort)->setAsString(header.time.toUTC().toString(kSnapshotTimeFormat));
        dataSet.FieldByName(sf::ActUsua)->setAsString(header.user);
        dataSet.FieldByName(sf::EtiCort)->setAsString(header.label);
        dataSet.FieldByName(sf::NumNodo)->setAsInteger(header.nodes);
        dataSet.FieldByName(sf::NumPers)->setAsInteger(header.people);
        dataSet.FieldByName(sf::CatCort)->setAsString(header.categories);
    });
}

void fillEvolutionNodeRows(TClientDataSet &dataSet, const SnapshotComparison &comparison)
{
    refillDataSet(dataSet, comparison.nodes, [&dataSet](const NodeChange &node) {
        dataSet.FieldByName(sf::CodNodo)->setAsInteger(node.node);
        dataSet.FieldByName(sf::CodCarg)->setAsString(node.positionCode);
        dataSet.FieldByName(sf::NomCarg)->setAsString(node.positionName);
        dataSet.FieldByName(sf::VerAnte)->setAsInteger(node.greenBefore);
        dataSet.FieldByName(sf::VerActu)->setAsInteger(node.greenAfter);
        dataSet.FieldByName(sf::VerDife)->setAsInteger(node.greenAfter - node.greenBefore);
    });
}

void fillEvolutionPeopleRows(TClientDataSet &dataSet, const SnapshotComparison &comparison)
{
    refillDataSet(dataSet, comparison.people, [&dataSet](const PersonChange &person) {
        dataSet.FieldByName(sf::CodNodo)->setAsInteger(person.node);
        dataSet.FieldByName(sf::CodCarg)->setAsString(person.positionCode);
        dataSet.FieldByName(sf::CodEmpl)->setAsFloat(person.codEmpl);
        dataSet.FieldByName(sf::NomEmpl)->setAsString(person.name);
        if (person.bandBefore)
            dataSet.FieldByName(sf::BanAnte)->setAsString(bandCaption(*person.bandBefore));
        if (person.bandAfter)
            dataSet.FieldByName(sf::BanActu)->setAsString(bandCaption(*person.bandAfter));
        dataSet.FieldByName(sf::Movimie)->setAsString(moveName(person.move));
        if (person.before)
            dataSet.FieldByName(sf::PorAnte)->setAsFloat(*person.before);
        if (person.after)
            dataSet.FieldByName(sf::PorActu)->setAsFloat(*person.after);
        dataSet.FieldByName(sf::PorDife)->setAsFloat(person.change());
    });
}

void fillSnapshotHistoryRows(TClientDataSet &dataSet, const QVector<HistoryEntry> &history)
{
    refillDataSet(dataSet, history, [&dataSet](const HistoryEntry &line) {
        dataSet.FieldByName(sf::NumCort)->setAsInteger(line.header.number);
        dataSet.FieldByName(sf::FecCort)->setAsString(line.header.time.toUTC().toString(kSnapshotTimeFormat));
        dataSet.FieldByName(sf::EtiCort)->setAsString(line.header.label);
        dataSet.FieldByName(sf::CodMenu)->setAsInteger(line.header.plan);
        dataSet.FieldByName(sf::CodNodo)->setAsInteger(line.entry.node);
        dataSet.FieldByName(sf::CodCarg)->setAsString(line.entry.positionCode);
        dataSet.FieldByName(sf::NomCarg)->setAsString(line.entry.positionName);
        dataSet.FieldByName(sf::PorEmpl)->setAsFloat(line.entry.percentage);
        dataSet.FieldByName(sf::BanEmpl)->setAsString(bandCaption(line.entry.band));
    });
}

} // namespace engine
