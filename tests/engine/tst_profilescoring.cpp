// Matching and scoring of one employee against a requirement profile, over plain values. The
// cases that generation shows end to end are in the generation tests.

#include "tests/support/DataTable.h"
#include "framework/Exceptions.h"
#include "engine/GenerationInputs.h"
#include "engine/ProfileScoring.h"
#include "framework/dataset/TDtmGnLibre.h"
#include "tests/support/TestTools.h"

#include <QtTest>

using namespace engine;

namespace {

QVariant null() { return QVariant(); }

ProfileRow row(QVariant tip, QVariant requ, QVariant espe, QVariant punRequ)
{
    return {{requ, espe, tip}, punRequ};
}

CategoryRecord record(QVariant tip, QVariant requ, QVariant espe, QVariant punObte)
{
    return {{requ, espe, tip}, punObte};
}

} // namespace

Q_DECLARE_METATYPE(QVector<engine::ProfileRow>)
Q_DECLARE_METATYPE(engine::EmployeeRecords)
Q_DECLARE_METATYPE(engine::Categories)
Q_DECLARE_METATYPE(engine::ProfileRow)
Q_DECLARE_METATYPE(engine::CategoryRecord)

class TestProfileScoring : public QObject {
    Q_OBJECT
private slots:
    void sameValue_data()
    {
        addColumns<QVariant, QVariant, bool>({"a", "b", "equal"});
        QTest::newRow("two nulls") << null() << null() << true;
        QTest::newRow("null and zero") << null() << QVariant(0) << false;
        QTest::newRow("null text and empty text") << QVariant(QString()) << QVariant(QStringLiteral("")) << true;
        QTest::newRow("integer and float") << QVariant(7) << QVariant(7.0) << true;
        QTest::newRow("no trimming") << QVariant("01") << QVariant("01 ") << false;
        QTest::newRow("no case folding") << QVariant("ab") << QVariant("AB") << false;
        QTest::newRow("integers beyond double precision") << QVariant(qint64(1) << 60) << QVariant((qint64(1) << 60) + 1)
                                                         << false;
        QTest::newRow("numeric text against a number") << QVariant("7") << QVariant(7) << true;
        QTest::newRow("other text against a number") << QVariant("7a") << QVariant(7) << false;
    }

    void sameValue()
    {
        QFETCH(QVariant, a);
        QFETCH(QVariant, b);
        QFETCH(bool, equal);
        QCOMPARE(engine::sameValue(a, b), equal);
        QCOMPARE(engine::sameValue(b, a), equal);
    }

    void score_data()
    {
        addColumns<QVector<ProfileRow>, EmployeeRecords, Categories, bool, double, double, double>(
            {"profile", "records", "categories", "flag", "obtained", "required", "percentage"});

        const Categories all{true, true, true, true};
        EmployeeRecords twoFormal;
        twoFormal.formal = {record("01", 10, 1, 30), record("01", 10, 1, 25)};

        EmployeeRecords formal;
        formal.formal = {record("01", 10, 1, 30)};
        QTest::newRow("zero required points with the flag on add zero")
            << QVector<ProfileRow>{row("01", 10, 1, 0), row("01", 11, 1, 20)} << formal << all << true
            << 0.0 << 20.0 << 0.0;
        QTest::newRow("category not ticked")
            << QVector<ProfileRow>{row("01", 10, 1, 40)} << formal << Categories{false, true, true, true} << false
            << 0.0 << 40.0 << 0.0;

        EmployeeRecords educationAndExperience = formal;
        educationAndExperience.experience = {record("04", 7, 2, 5)};
        QTest::newRow("education and experience take nothing for a row without required points")
            << QVector<ProfileRow>{row("01", 10, 1, null()), row("04", 7, 2, null()), row("01", 11, 1, 20)}
            << educationAndExperience << all << false << 0.0 << 20.0 << 0.0;

        EmployeeRecords nullPoints;
        nullPoints.experience = {record("04", 7, 2, null()), record("04", 7, 2, 5)};
        QTest::newRow("null obtained points read as zero")
            << QVector<ProfileRow>{row("04", 7, 2, 10)} << nullPoints << all << false << 5.0 << 10.0 << 50.0;

        EmployeeRecords competences;
        competences.competences = {record("CO", 20, 1, 3), record("CO", 20, 2, 4), record("CF", 20, 1, 9)};
        QTest::newRow("competence lines match through their record type, no test on required points")
            << QVector<ProfileRow>{row("CO", 20, 1, null()), row("CO", 20, 2, 6)} << competences
            << Categories{false, false, false, true} << false << 7.0 << 6.0 << 116.67;

        QTest::newRow("flag on: same code, other record type counts again")
            << QVector<ProfileRow>{row("01", 10, 1, 40), row("02", 10, 1, 30)} << EmployeeRecords{} << all << true
            << 0.0 << 70.0 << 0.0;

        EmployeeRecords absent = twoFormal;
        absent.exists = false;
        QTest::newRow("employee missing in the company earns nothing but is required")
            << QVector<ProfileRow>{row("01", 10, 1, 40)} << absent << all << false << 0.0 << 40.0 << 0.0;
        QTest::newRow("empty profile") << QVector<ProfileRow>{} << twoFormal << all << false << 0.0 << 0.0 << 0.0;
    }

    void score()
    {
        QFETCH(QVector<ProfileRow>, profile);
        QFETCH(EmployeeRecords, records);
        QFETCH(Categories, categories);
        QFETCH(bool, flag);
        QFETCH(double, obtained);
        QFETCH(double, required);
        QFETCH(double, percentage);

        const Rounding round = storedRounding(*trafficLightTable().field(resultfield::PorEmpl),
                                              [](const QString &mask, double value) {
                                                  return DtmGnLibre->FormatearFloat(mask, value);
                                              });
        const EmployeeScore score = scoreEmployee(profile, records, categories, flag, round);
        QCOMPARE(double(score.obtained), obtained);
        QCOMPARE(double(score.required), required);
        QCOMPARE(score.percentage, percentage);
        QCOMPARE(int(score.profileCount), profile.size());

        // The same in the plain form a plan's run scores with: keys prepared, points as numbers
        // (as the server sends them), the points by row as scoreEmployee() gives them.
        const auto asNumber = [](QVariant &points) {
            if (!points.isNull())
                points = points.toDouble();
        };
        for (ProfileRow &each : profile) {
            each.key.prepare();
            asNumber(each.punRequ);
        }
        for (auto list : {&EmployeeRecords::formal, &EmployeeRecords::nonFormal, &EmployeeRecords::experience,
                          &EmployeeRecords::competences})
            for (CategoryRecord &each : records.*list) {
                each.key.prepare();
                asNumber(each.punObte);
            }
        const PlainProfile plainProfile(profile, flag);
        const PlainRecords plainRecords(records);
        QVERIFY(plainProfile.usable() && plainRecords.usable());
        QVector<long double> byRow, expectedByRow;
        const EmployeeScore plain = plainProfile.score(plainRecords, records.exists, categories, round, byRow);
        scoreEmployee(profile, records, categories, flag, round, expectedByRow);
        QCOMPARE(double(plain.obtained), obtained);
        QCOMPARE(double(plain.required), required);
        QCOMPARE(plain.percentage, percentage);
        QCOMPARE(int(plain.profileCount), profile.size());
        QCOMPARE(byRow, expectedByRow);
    }

    void educationFlagStopsOnFirstMatch()
    {
        const CategoryRecords records{record("01", 1, 1, 5), record("01", 2, 1, 6), record("01", 2, 1, 7)};
        long double obtained = 0;
        QCOMPARE(sumarPuntosEducacion(row("01", 2, 1, 9), records, 0, true, obtained), 1);
        QCOMPARE(double(obtained), 9.0);
        QCOMPARE(sumarPuntosEducacion(row("01", 2, 1, 9), records, 0, false, obtained), 3);
        QCOMPARE(double(obtained), 22.0);
        QCOMPARE(sumarPuntosExperiencia(row("01", 2, 1, 9), records, 2, obtained), 3);
        QCOMPARE(double(obtained), 29.0);
    }

    // Keys read into plain values once must match exactly as their values do.
    void preparedKeys_data()
    {
        addColumns<ProfileRow, CategoryRecord, bool>({"profile", "record", "equal"});
        QTest::newRow("same key") << row("CO", 20, 1, 5) << record("CO", 20, 1, 3) << true;
        QTest::newRow("other type of the same length") << row("CO", 20, 1, 5) << record("CF", 20, 1, 3) << false;
        QTest::newRow("type one character longer") << row("CO", 20, 1, 5) << record("COX", 20, 1, 3) << false;
        QTest::newRow("long types differing at the end") << row("ABCDE", 20, 1, 5) << record("ABCDF", 20, 1, 3) << false;
        QTest::newRow("short type against a long one") << row("ABC", 20, 1, 5) << record("ABCD", 20, 1, 3) << false;
        QTest::newRow("accented types") << row(QStringLiteral("ÑÁ"), 2, 1, 5) << record(QStringLiteral("ÑÁ"), 2, 1, 3) << true;
        QTest::newRow("requirement and detail swapped") << row("01", 10, 1, 5) << record("01", 1, 10, 3) << false;
        QTest::newRow("null detail against zero") << row("01", 10, null(), 5) << record("01", 10, 0, 3) << false;
        QTest::newRow("two null details") << row("01", 10, null(), 5) << record("01", 10, null(), 3) << true;
        QTest::newRow("null type against an empty one") << row(null(), 10, 1, 5) << record("", 10, 1, 3) << false;
        QTest::newRow("negative against large detail") << row("01", 10, -1, 5) << record("01", 10, 0xFFFF, 3) << false;
    }

    void preparedKeys()
    {
        QFETCH(ProfileRow, profile);
        QFETCH(CategoryRecord, record);
        QFETCH(bool, equal);
        QCOMPARE(mismoRequisito(profile.key, record.key), equal);
        profile.key.prepare();
        record.key.prepare();
        QVERIFY(profile.key.plain.ready && record.key.plain.ready);
        QCOMPARE(mismoRequisito(profile.key, record.key), equal);
        QCOMPARE(mismoRequisito(record.key, profile.key), equal);
    }

    void categoryCodes_data()
    {
        addColumns<Categories, QStringList>({"categories", "codes"});
        QTest::newRow("all four") << Categories{true, true, true, true} << QStringList{"EF", "EN", "EP", "CO", "CF", "CE"};
        QTest::newRow("only competences") << Categories{false, false, false, true} << QStringList{"CO", "CF", "CE"};
        QTest::newRow("none") << Categories{} << QStringList();
    }

    void categoryCodes()
    {
        QFETCH(Categories, categories);
        QFETCH(QStringList, codes);
        QStringList built;
        const QString refusal = messageOf([&] { built = engine::categoryCodes(categories); });
        QCOMPARE(refusal, codes.isEmpty() ? engine::noCategoryMessage() : QString());
        QCOMPARE(built, codes);
    }
};

QTEST_GUILESS_MAIN(TestProfileScoring)
#include "tst_profilescoring.moc"
