// The batched arrangement against the literal one over random companies: the same result rows. The
// companies mix in what tripped such rewrites: nulls, empty record types, duplicates, keys under
// other types, second contracts, inexact and wide codes, positions without holders, tied dates.

#include "engine/CandidateEmployee.h"
#include "tests/data/support/CompanyBuilder.h"
#include "tests/data/support/GenerationHarness.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

const QStringList kTypes{"FO", "PG", "CU", "SE", "EX", "CO", "CF", "CE", "", "ZZ"};
const QList<int> kRequirements{1, 2, 3, 40001, 70000, 65537, -65535};
const QStringList kSurnames{"Ávila", "Ávila", "Bernal", "Castro", "Díaz", "Díaz", "Estrada"};
const QStringList kRecordTables{"BI_DTPEF", "BI_DTPNF", "BI_DTPHV"};

struct Key {
    QString type;
    QVariant requirement;
    QVariant detail;
};

class RandomCompany {
public:
    RandomCompany(CompanyBuilder &db, quint32 seed) : m_db(db), m_random(seed) {}

    engine::GenerationInputs build()
    {
        for (int company : {1, 2}) {
            m_db.company(company);
            if (chance(0.5))
                m_db.category(company, QStringLiteral("EN"), QString(""));
        }
        const int targetCompany = chance(0.8) ? 1 : 2;
        const int profileRows = int(m_random.bounded(15));
        for (int i = 0; i < profileRows; ++i) {
            const Key key = randomKey();
            m_profile << key;
            m_db.profileRow(targetCompany, QStringLiteral("T1"), key.type, key.requirement, key.detail,
                            points(false));
        }
        engine::GenerationInputs inputs;
        inputs.target = {QStringLiteral("T1"), targetCompany};
        const int candidates = 2 + int(m_random.bounded(3));
        for (int i = 0; i < candidates; ++i) {
            const int company = chance(0.7) ? 1 : 2;
            const QString position = QStringLiteral("C%1").arg(1 + m_random.bounded(4));
            inputs.candidates.append({position, company});
            if (!m_filled.contains(QStringLiteral("%1/%2").arg(company).arg(position)))
                fillPosition(company, position);
        }
        return inputs;
    }

private:
    bool chance(double p) { return m_random.generateDouble() < p; }
    template <class T> const T &pick(const QList<T> &list) { return list.at(int(m_random.bounded(list.size()))); }

    Key randomKey()
    {
        return {pick(kTypes), pick(kRequirements), chance(0.3) ? QVariant() : QVariant(1 + int(m_random.bounded(2)))};
    }

    // Mostly a profile row's key, sometimes under another record type, sometimes anything.
    Key recordKey()
    {
        if (m_profile.isEmpty() || chance(0.25))
            return randomKey();
        Key key = pick(m_profile);
        if (chance(0.15))
            key.type = pick(kTypes);
        return key;
    }

    // Binary-exact points for competence lines, whose reading order the rules leave open.
    QVariant points(bool exact)
    {
        const double draw = m_random.generateDouble();
        if (draw < 0.1)
            return {};
        if (draw < 0.2)
            return 0.0;
        return exact ? int(m_random.bounded(80)) * 0.25 : int(m_random.bounded(5000)) / 100.0;
    }

    double employeeCode()
    {
        const double draw = m_random.generateDouble();
        if (draw < 0.05)
            return 0.1 + 0.2 + m_nextCode++;            // no exact decimal text
        if (draw < 0.1)
            return 1234567890123456.0 + 2 * m_nextCode++; // sixteen digits
        return 1000 + m_nextCode++;
    }

    void fillPosition(int company, const QString &position)
    {
        m_filled << QStringLiteral("%1/%2").arg(company).arg(position);
        const int holders = chance(0.15) ? 0 : int(m_random.bounded(6));
        for (int i = 0; i < holders; ++i)
            addEmployee(company, position);
    }

    void addEmployee(int company, const QString &position)
    {
        const double code = employeeCode();
        if (chance(0.9))
            m_db.employee(company, code, pick(kSurnames), QStringLiteral("N%1").arg(m_nextCode));
        if (chance(0.1))
            m_db.employee(3 - company, code, pick(kSurnames), QStringLiteral("Otra"));
        m_db.contract(company, code, 1, position);
        if (chance(0.2))
            m_db.contract(company, code, 2, chance(0.5) ? position : QStringLiteral("C%1").arg(1 + m_random.bounded(4)));
        if (chance(0.1))
            m_db.contract(company, code, 3, position, false);
        const int records = int(m_random.bounded(9));
        for (int i = 0; i < records; ++i) {
            const Key key = recordKey();
            const QString table = pick(kRecordTables);
            m_db.record(table, company, code, key.type, key.requirement, key.detail, points(false));
            if (chance(0.15))
                m_db.record(table, company, code, key.type, key.requirement, key.detail, points(false));
        }
        const int evaluations = int(m_random.bounded(4));
        for (int e = 0; e < evaluations; ++e) {
            const int number = ++m_nextEvaluation;
            m_db.evaluation(company, code, number, pick(QStringList{"2022-01-01", "2023-06-01", "2023-06-01"}));
            const int lines = int(m_random.bounded(5));
            for (int l = 0; l < lines; ++l) {
                const Key key = recordKey();
                m_db.evaluationLine(company, number, key.type, key.requirement, key.detail, points(true));
            }
        }
    }

    CompanyBuilder &m_db;
    QRandomGenerator m_random;
    QList<Key> m_profile;
    QSet<QString> m_filled;
    int m_nextCode = 0;
    int m_nextEvaluation = 0;
};

} // namespace

class TestGenerationArrangements : public QObject {
    Q_OBJECT
private slots:
    void sameRows_data();
    void sameRows();
    void companiesCoverTheCases();
};

namespace {

const quint32 kCompanies = 40;

// Hands `run` the session of the company of `seed` and its runs' inputs (flag off, then on).
template <class Run>
void forEachRun(quint32 seed, Run run)
{
    CompanyBuilder db;
    RandomCompany company(db, seed);
    const engine::GenerationInputs built = company.build();
    QVERIFY2(db.commit(), qPrintable(db.error()));
    const Session session = db.session(1);
    QRandomGenerator draws(seed * 7919u);
    for (bool flag : {false, true}) {
        engine::GenerationInputs inputs = built;
        const int mask = 1 + int(draws.bounded(15));
        inputs.categories = {bool(mask & 1), bool(mask & 2), bool(mask & 4), bool(mask & 8)};
        inputs.eduSinPuntos = flag;
        run(session, inputs);
    }
}

} // namespace

void TestGenerationArrangements::sameRows_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= kCompanies; ++seed)
        QTest::addRow("company %u", seed) << seed;
}

void TestGenerationArrangements::sameRows()
{
    QFETCH(quint32, seed);
    forEachRun(seed, [](const Session &session, const engine::GenerationInputs &inputs) {
        GenerationHarness literal(session), batched(session), grouped(session);
        literal.run(inputs, Arrangement::Literal);
        batched.run(inputs, Arrangement::Batched);
        QCOMPARE(batched.resultRows(), literal.resultRows());
        grouped.run(inputs, Arrangement::BatchedInGroups);
        QCOMPARE(grouped.resultRows(), literal.resultRows());
    });
}

// The comparison proves little unless the same companies reach every kind of outcome.
void TestGenerationArrangements::companiesCoverTheCases()
{
    int above100 = 0, between = 0, zero = 0, emptyPositions = 0;
    for (quint32 seed = 1; seed <= kCompanies; ++seed) {
        forEachRun(seed, [&](const Session &session, const engine::GenerationInputs &inputs) {
            GenerationHarness batched(session);
            batched.run(inputs, Arrangement::Batched);
            TDataSet &result = batched.module.CdsAcSemaf;
            for (int row = 0; row < result.rowCount(); ++row) {
                const double p = result.rowValue(row, result.FieldByName(QStringLiteral("POR_EMPL"))).toDouble();
                ++(p > 100 ? above100 : p > 0 ? between : zero);
            }
            for (const engine::CompanyPosition &position : inputs.candidates) {
                if (inputs.eduSinPuntos)
                    break;   // the same positions as the first run
                emptyPositions += batched.dataSets().reads->holders({position}).isEmpty();
            }
        });
    }
    QVERIFY2(above100 > 0, "no employee above 100 %");
    QVERIFY2(between > 0, "no employee between 0 and 100 %");
    QVERIFY2(zero > 0, "no employee at 0 %");
    QVERIFY2(emptyPositions > 0, "no candidate position without holders");
}

QTEST_GUILESS_MAIN(TestGenerationArrangements)
#include "tst_generationarrangements.moc"
