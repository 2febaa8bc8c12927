#pragma once
// A succession map kept as it stood ("corte"): for every node of the map, each person once, with
// the score and band of his best evaluated contract there (the highest percentage, the first row
// on a tie); and the comparison of two such snapshots of one plan, per node (the change in people
// ready now, in the green band) and per person (the band moved up or down, stayed, came or left,
// and the score's change). Pure values: the data module stores and reads them.

#include "engine/ResultSchema.h"
#include "engine/SuccessionResult.h"

#include <QDateTime>
#include <QString>
#include <QVector>

#include <optional>

class TClientDataSet;

namespace engine {

// One person at one node of a snapshot.
struct SnapshotEntry {
    int node = 0;
    QString positionCode;      // the node's target position
    int positionCompany = 0;
    QString positionName;
    double codEmpl = 0;        // the person (COD_EMPL)
    QString name;              // surnames and names as the map showed them
    double percentage = 0;
    Band band = Band::Red;
};

// What a snapshot says of itself.
struct SnapshotHeader {
    int company = 0;
    int number = 0;            // NUM_CORT
    int plan = 0;
    QString planName;
    QString categories;        // "EF,EN,EP,CO": the ticked categories
    bool eduSinPuntos = false;
    QString user;
    QDateTime time;            // UTC
    QString label;             // optional
    int nodes = 0;             // nodes of the map
    int people = 0;            // different people in it
};

struct Snapshot {
    SnapshotHeader header;
    QVector<SnapshotEntry> entries;   // by node, then in the map's row order
};

// The ticked categories as a snapshot keeps them ("EF,EN,EP,CO", in that order).
QString categoriesText(const Categories &categories);
// The entries of a computed map: per node, every person once with his best row.
QVector<SnapshotEntry> snapshotEntries(const SuccessionResult &result);
// The header of a map about to be kept (without number, user, time or label).
SnapshotHeader snapshotHeader(const SuccessionResult &result, const QVector<SnapshotEntry> &entries,
                              const Categories &categories, bool eduSinPuntos);

// A band as one letter ("V", "A", "R") and back; throws Exception for another letter.
QString bandCode(Band band);
Band bandOfCode(const QString &code);

enum class BandMove { Up, Down, Same, New, Gone };
// "subió", "bajó", "igual", "nuevo", "salió".
QString moveName(BandMove move);

struct NodeChange {
    int node = 0;
    QString positionCode;
    int positionCompany = 0;
    QString positionName;
    int greenBefore = 0;
    int greenAfter = 0;
    int peopleBefore = 0;
    int peopleAfter = 0;
};

struct PersonChange {
    int node = 0;
    QString positionCode;
    double codEmpl = 0;
    QString name;
    std::optional<Band> bandBefore;
    std::optional<Band> bandAfter;
    std::optional<double> before;
    std::optional<double> after;
    BandMove move = BandMove::Same;
    double change() const { return after.value_or(0) - before.value_or(0); }
};

struct SnapshotComparison {
    SnapshotHeader from;
    SnapshotHeader to;
    QVector<NodeChange> nodes;       // every node either snapshot has people at, by node
    QVector<PersonChange> people;    // by node, then the later snapshot's order, then who left
};

// Refuses (throws Exception) snapshots of different companies or plans.
SnapshotComparison compareSnapshots(const Snapshot &from, const Snapshot &to);

// ---- the tables a comparison, a list of snapshots and a person's history are shown in ----
namespace snapshotfield {
inline constexpr QLatin1String NumCort("NUM_CORT");
inline constexpr QLatin1String CodMenu("COD_MENU");
inline constexpr QLatin1String FecCort("FEC_CORT");
inline constexpr QLatin1String ActUsua("ACT_USUA");
inline constexpr QLatin1String EtiCort("ETI_CORT");
inline constexpr QLatin1String NumNodo("NUM_NODO");
inline constexpr QLatin1String NumPers("NUM_PERS");
inline constexpr QLatin1String CatCort("CAT_CORT");
inline constexpr QLatin1String CodNodo("COD_NODO");
inline constexpr QLatin1String CodCarg("COD_CARG");
inline constexpr QLatin1String NomCarg("NOM_CARG");
inline constexpr QLatin1String VerAnte("VER_ANTE");
inline constexpr QLatin1String VerActu("VER_ACTU");
inline constexpr QLatin1String VerDife("VER_DIFE");
inline constexpr QLatin1String CodEmpl("COD_EMPL");
inline constexpr QLatin1String NomEmpl("NOM_EMPL");
inline constexpr QLatin1String BanAnte("BAN_ANTE");
inline constexpr QLatin1String BanActu("BAN_ACTU");
inline constexpr QLatin1String Movimie("MOVIMIENTO");
inline constexpr QLatin1String PorAnte("POR_ANTE");
inline constexpr QLatin1String PorActu("POR_ACTU");
inline constexpr QLatin1String PorDife("POR_DIFE");
inline constexpr QLatin1String PorEmpl("POR_EMPL");
inline constexpr QLatin1String BanEmpl("BAN_EMPL");
} // namespace snapshotfield

// "Evolución del Plan": the comparison's title.
const QString &evolutionTitle();
// CdsCortes: one row per snapshot.
const ResultTable &snapshotListTable();
// CdsEvolucionNodos: one row per node, the change in green people.
const ResultTable &evolutionNodesTable();
// CdsEvolucionPersonas: one row per person and node; its bands are named in its own columns.
const ResultTable &evolutionPeopleTable();
// CdsHistorialCortes: one row per snapshot and node a person was in.
const ResultTable &snapshotHistoryTable();

// A band's caption, "Verde", "Amarillo", "Rojo".
QString bandCaption(Band band);

void fillSnapshotListRows(TClientDataSet &dataSet, const QVector<SnapshotHeader> &headers);
void fillEvolutionNodeRows(TClientDataSet &dataSet, const SnapshotComparison &comparison);
void fillEvolutionPeopleRows(TClientDataSet &dataSet, const SnapshotComparison &comparison);

// One line of a person's history: a snapshot and one node he was in.
struct HistoryEntry {
    SnapshotHeader header;
    SnapshotEntry entry;
};
void fillSnapshotHistoryRows(TClientDataSet &dataSet, const QVector<HistoryEntry> &history);

} // namespace engine
