#pragma once
// Scoring of one employee against a requirement profile, over plain values: which of the
// employee's records count for a profile row, how obtained and required points add up, and the
// compliance percentage. Free of datasets and widgets so that generation and the competence
// report share it. Values are QVariants exactly as the datasets deliver them (null for an
// empty field).

#include "engine/ResultSchema.h"

#include <QSet>
#include <QString>
#include <QVariant>
#include <QVector>

namespace engine {

// The three values that name a requirement. For competence lines `tipRegi` holds COD_REGI.
struct RequirementKey {
    RequirementKey() = default;
    RequirementKey(QVariant requirement, QVariant detail, QVariant type)
        : codRequ(std::move(requirement)), codEspe(std::move(detail)), tipRegi(std::move(type)) {}

    QVariant codRequ;
    QVariant codEspe;
    QVariant tipRegi;

    // Matching runs for every profile row against every record of an employee. Keys of the
    // usual shape (whole-number codes and a text type, each possibly null) are read into plain
    // values once, so that two such keys compare without going through the variants: the two
    // codes make one word; the nulls and a type of up to three characters (the usual two-letter
    // codes) make another, so that most comparisons are two integer tests.
    void prepare();
    struct Plain {
        bool ready = false;
        quint64 codes = 0;     // COD_REQU in the high half, COD_ESPE in the low half (0 when null)
        quint64 shape = 0;     // null flags, the type's length and, when short, its characters
        QString tipo;          // compared only when the type is too long to be in `shape`
    } plain;
};

struct ProfileRow {
    RequirementKey key;
    QVariant punRequ;   // may be null
};
using Profile = QVector<ProfileRow>;

struct CategoryRecord {
    RequirementKey key;
    QVariant punObte;   // may be null (reads as 0)
};
using CategoryRecords = QVector<CategoryRecord>;

// One employee's records per requirement category, in the order the server returns them.
struct EmployeeRecords {
    bool exists = true;           // the employee has a row in the company asked for
    CategoryRecords formal;       // formal education
    CategoryRecords nonFormal;    // non-formal education
    CategoryRecords experience;   // work experience
    CategoryRecords competences;  // lines of the latest competence evaluation
};

// The ticked requirement categories.
struct Categories {
    bool eduFor = false;
    bool eduNo = false;
    bool expe = false;
    bool compe = false;
    bool any() const { return eduFor || eduNo || expe || compe; }
};

struct EmployeeScore {
    long double obtained = 0;
    long double required = 0;
    quint16 profileCount = 0;
    double percentage = 0;
};

// Variant equality as the datasets' values compare: nulls equal each other and nothing else;
// numbers compare by value whatever their width (integers exactly); a text against a number
// compares as a number when the text reads as one; texts exactly (no trimming, no case folding).
bool sameValue(const QVariant &a, const QVariant &b);

// Which records can match a row of a profile at all, so that a reader may leave out the others:
// they add nothing whatever the order of the rest. Decided on prepared keys of the usual shape;
// anything else may match.
class ProfileKeys {
public:
    explicit ProfileKeys(const Profile &profile);
    bool mayMatch(const RequirementKey &record) const;

private:
    bool m_decides = true;   // every profile key is prepared, so the set below is the whole answer
    QSet<std::pair<quint64, quint64>> m_keys;
};

// Requirement, then detail, then record type; the first difference decides.
bool mismoRequisitoGeneral(const RequirementKey &profile, const RequirementKey &record);
inline bool mismoRequisito(const RequirementKey &profile, const RequirementKey &record)
{
    // Inline for prepared keys of the usual shape (the same answers as sameValue gives for
    // them: null only equals null); everything else goes the general way.
    const RequirementKey::Plain &a = profile.plain;
    const RequirementKey::Plain &b = record.plain;
    if (a.ready && b.ready) {
        constexpr quint64 kLongTypeShape = quint64(7) << 48;
        if (a.codes != b.codes || a.shape != b.shape)
            return false;
        if ((a.shape & kLongTypeShape) != kLongTypeShape)
            return true;
    }
    return mismoRequisitoGeneral(profile, record);
}

// Walks the records from `from`; while the row has required points, every match adds its
// obtained points, or, with education without points, the row's required points once and the
// walk stops there. Returns the index the walk ended on (records.size() at the end).
int sumarPuntosEducacion(const ProfileRow &row, const CategoryRecords &records, int from,
                         bool eduSinPuntos, long double &obtained);
// The same walk without the education flag; it always runs to the end.
int sumarPuntosExperiencia(const ProfileRow &row, const CategoryRecords &records, int from,
                           long double &obtained);
// Every competence line that names the row's requirement adds its points; no test on PUN_REQU.
void sumarPuntosCompetencias(const ProfileRow &row, const CategoryRecords &lines, long double &obtained);

// Required points with education without points: each requirement (record type and code)
// counts once, from its first row. The previous code is kept in 16 bits, as the rules keep it.
class RequiredPointsGrouping {
public:
    // True when the row starts a new requirement (and remembers it).
    bool startsRequirement(const ProfileRow &row);

private:
    QString m_previousType;
    qint16 m_previousRequirement = -1;
};

// Obtained over required as a percentage, rounded as the result table stores it (`round`: two
// decimals); 0 when either sum is 0.
double compliancePercentage(long double obtained, long double required, const Rounding &round);

// A number field's value as the rules read it: null is 0.
long double pointsGeneral(const QVariant &value);
inline long double points(const QVariant &value)
{
    // Points arrive as doubles; other forms go the general way.
    if (value.typeId() == QMetaType::Double)
        return static_cast<long double>(*static_cast<const double *>(value.constData()));
    return pointsGeneral(value);
}

// The whole evaluation of one employee: the profile rows in their order (by record type,
// requirement, detail), the employee's records, the ticked categories and the flag; the
// percentage rounded by `round`.
EmployeeScore scoreEmployee(const Profile &profile, const EmployeeRecords &records,
                            const Categories &categories, bool eduSinPuntos, const Rounding &round);
// The same, with what each profile row added to the obtained points in `byRow` (one entry per
// row; all zero when the employee does not exist), as obtainedByRow() gives it, in the same walk.
EmployeeScore scoreEmployee(const Profile &profile, const EmployeeRecords &records, const Categories &categories,
                            bool eduSinPuntos, const Rounding &round, QVector<long double> &byRow);
// What each profile row added to the candidate's obtained points in scoreEmployee(), row by row
// (their sum is the score's obtained points).
QVector<long double> obtainedByRow(const Profile &profile, const EmployeeRecords &records,
                                   const Categories &categories, bool eduSinPuntos);

// A profile and an employee's records read once into plain numbers, for a run that scores each
// employee against several profiles and each profile against many employees: scoring them gives
// exactly what scoreEmployee() gives for the profile and records they were made from (the same
// points added in the same order). Only keys of the usual shape and points that are numbers or
// null have a plain form; a caller scores the others with scoreEmployee().
class PlainRecords {
public:
    PlainRecords() = default;
    explicit PlainRecords(const EmployeeRecords &records);
    bool usable() const { return m_usable; }

private:
    friend class PlainProfile;
    struct Record {
        quint64 codes;
        quint64 shape;
        long double points;
    };
    // The categories' records one after the other: non-formal, formal, experience, competences.
    QVector<Record> m_records;
    int m_ends[4] = {0, 0, 0, 0};
    // Per category, a bit for each key it holds (keyBit()): a row whose bit is clear matches none.
    quint64 m_keys[4] = {0, 0, 0, 0};
    bool m_usable = false;
};

class PlainProfile {
public:
    PlainProfile(const Profile &profile, bool eduSinPuntos);
    bool usable() const { return m_usable; }

    // scoreEmployee(profile, records, categories, eduSinPuntos, round, byRow) for a usable profile
    // and usable records; `exists` as the records' own flag.
    EmployeeScore score(const PlainRecords &records, bool exists, const Categories &categories,
                        const Rounding &round, QVector<long double> &byRow) const;

private:
    struct Row {
        quint64 codes;
        quint64 shape;
        quint64 bit;          // its key's bit (see PlainRecords)
        bool required;        // PUN_REQU is not null
        long double points;   // PUN_REQU as the rules read it
    };
    QVector<Row> m_rows;
    long double m_required = 0;
    quint16 m_count = 0;
    bool m_eduSinPuntos = false;
    bool m_usable = false;
};

} // namespace engine
