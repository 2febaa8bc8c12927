// The demo database: the companies, group, flag, logo, plans, people and records it promises,
// stored unpadded and with accents intact, the same on every run, and a traffic light on its
// plans that comes out green, yellow and red.

#include "DbTestSupport.h"
#include "DemoSeeder.h"
#include "SchemaLoader.h"
#include "TrafficLightProbe.h"

#include <QImage>
#include <QRegularExpression>
#include <QtTest>

using dbtools::DemoSeeder;
using dbtools::SchemaLoader;

class TestDemoSeeder : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QSqlDatabase m_db;
    QMap<QString, int> m_reported;

    static dbtools::DbOutcome seedInto(const QString &connection)
    {
        QSqlDatabase db = QSqlDatabase::database(connection);
        if (const dbtools::DbOutcome created = SchemaLoader(db).create(); !created.ok())
            return created;
        return DemoSeeder(db).seedDemo();
    }

    QVariant value(const QString &sql, const QVariantList &binds = {}) const
    {
        return dbtest::scalar(m_db, sql, binds);
    }

    QList<QVariantList> rows(const QString &sql, const QVariantList &binds = {}) const
    {
        QSqlQuery query(m_db);
        query.prepare(sql);
        for (int i = 0; i < binds.size(); ++i)
            query.bindValue(i, binds.at(i));
        QList<QVariantList> result;
        if (!query.exec()) {
            qWarning("%s", qPrintable(query.lastError().text()));
            return result;
        }
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < query.record().count(); ++i)
                row << query.value(i);
            result << row;
        }
        return result;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QCOMPARE(dbtest::openBackend(QStringLiteral("sqlite"), QStringLiteral("demo"), m_dir), QString());
        m_db = QSqlDatabase::database(QStringLiteral("demo"));
        QVERIFY(SchemaLoader(m_db).create().ok());
        DemoSeeder seeder(m_db);
        const dbtools::DbOutcome seeded = seeder.seedDemo();
        QVERIFY2(seeded.ok(), qPrintable(seeded.error));
        m_reported = seeder.rowCounts();
    }

    void cleanupTestCase()
    {
        m_db = QSqlDatabase();
        dbtest::closeBackend(QStringLiteral("demo"));
    }

    void counts_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::newRow("three companies") << "GN_EMPRE" << "1=1" << 3 << 3;
        QTest::newRow("payroll rows of the companies") << "NM_PARSS" << "COD_EMPR IN (1,2,3)" << 3 << 3;
        QTest::newRow("300 or more people") << "BI_EMPLE" << "1=1" << 300 << 100000;
        QTest::newRow("active contracts") << "NM_CONTR" << "IND_ACTI = 'A'" << 300 << 100000;
        QTest::newRow("inactive contracts") << "NM_CONTR" << "IND_ACTI <> 'A'" << 20 << 100000;
        QTest::newRow("40 or more active positions") << "BI_CARGO" << "IND_ACTI = 'A' AND COD_EMPR > 0" << 40 << 1000;
        QTest::newRow("inactive positions") << "BI_CARGO" << "IND_ACTI <> 'A'" << 3 << 1000;
        QTest::newRow("three plans") << "AC_PPROM" << "COD_EMPR > 0 AND COD_NODO = 0" << 3 << 3;
        QTest::newRow("company-0 plan rows") << "AC_PPROM" << "COD_EMPR = 0" << 1 << 100;
        QTest::newRow("company-0 positions") << "BI_CARGO" << "COD_EMPR = 0 AND IND_ACTI = 'A'" << 1 << 100;
        QTest::newRow("company-0 replacements") << "AC_CUARE" << "COD_EMPR = 0" << 1 << 100;
        QTest::newRow("replacements") << "AC_CUARE" << "COD_EMPR > 0" << 3 << 1000;
        QTest::newRow("levels") << "AC_NIVEL" << "COD_EMPR = 1" << 3 << 100;
        QTest::newRow("evaluations") << "ED_3CCOM" << "1=1" << 300 << 100000;
        QTest::newRow("evaluation lines") << "ED_D3CCO" << "1=1" << 1000 << 1000000;
        QTest::newRow("evaluation cycles") << "ED_3LICC" << "1=1" << 300 << 100000;
        QTest::newRow("formal education") << "BI_DTPEF" << "1=1" << 300 << 100000;
        QTest::newRow("non-formal education") << "BI_DTPNF" << "1=1" << 300 << 100000;
        QTest::newRow("work experience") << "BI_DTPHV" << "1=1" << 300 << 100000;
    }
    void counts()
    {
        QFETCH(QString, table);
        QFETCH(QString, where);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        const int count = value(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(table, where)).toInt();
        QVERIFY2(count >= minimum && count <= maximum,
                 qPrintable(QStringLiteral("%1 rows, expected %2..%3").arg(count).arg(minimum).arg(maximum)));
    }

    void reportedCountsMatchTables_data()
    {
        QTest::addColumn<QString>("table");
        for (const QString &table : SchemaLoader::tableNames())
            QTest::newRow(qPrintable(table)) << table;
    }
    void reportedCountsMatchTables()
    {
        QFETCH(QString, table);
        const int stored = value(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt();
        QVERIFY2(stored > 0, "every table of the schema has demo rows");
        QCOMPARE(m_reported.value(table), stored);
    }

    void users_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("type");
        QTest::newRow("administrator") << "ADMIN" << "ADMIN" << "A";
        QTest::newRow("analyst") << "ANALISTA" << "ANALISTA" << "U";
    }
    void users()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, type);
        const QList<QVariantList> found =
            rows(QStringLiteral("SELECT PAS_USUA, TIP_USUA FROM GN_USUAR WHERE COD_USUA = ?"), {user});
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().at(0).toString(), password);
        QCOMPARE(found.first().at(1).toString(), type);
    }

    void programPaths_data()
    {
        QTest::addColumn<QString>("program");
        for (const char *program : {"QBiHvext", "QBiEdfor", "QBiEdnfo", "QBiCargo"})
            QTest::newRow(program) << QString::fromLatin1(program);
    }
    void programPaths()
    {
        QFETCH(QString, program);
        const QString path = value(QStringLiteral("SELECT PAT_PROG FROM GN_PROGR WHERE COD_PROG = ?"), {program}).toString();
        QVERIFY2(path.endsWith(program), qPrintable(path));
    }

    void companyGroupFlag_data()
    {
        QTest::addColumn<int>("company");
        QTest::addColumn<QVariant>("group");
        QTest::newRow("1 is a group") << 1 << QVariant(QStringLiteral("S"));
        QTest::newRow("2 works alone") << 2 << QVariant(QStringLiteral("N"));
        QTest::newRow("3 has no mark") << 3 << QVariant();
    }
    void companyGroupFlag()
    {
        QFETCH(int, company);
        QFETCH(QVariant, group);
        const QVariant stored = value(QStringLiteral("SELECT GRU_EMPR FROM GN_EMPRE WHERE COD_EMPR = ?"), {company});
        QCOMPARE(stored.isNull(), group.isNull());
        QCOMPARE(stored.toString(), group.toString());
    }

    void groupSpansEveryCompany()
    {
        // The group's position list: active positions of every company, company 0 filtered out.
        const QList<QVariantList> companies = rows(QStringLiteral(
            "SELECT DISTINCT cod_empr FROM bi_cargo WHERE IND_ACTI = 'A' AND cod_empr > 0 ORDER BY cod_empr"));
        QCOMPARE(companies.size(), 3);
        QCOMPARE(companies.at(0).at(0).toInt(), 1);
        QCOMPARE(companies.at(2).at(0).toInt(), 3);
        // The group's plan 1 uses positions of two companies.
        QCOMPARE(value(QStringLiteral("SELECT COUNT(DISTINCT COD_EMCA) FROM AC_PPROM"
                                      " WHERE COD_EMPR = 1 AND COD_MENU = 1 AND COD_NODO > 0")).toInt(), 2);
    }

    void educationWithoutPointsFlag_data()
    {
        QTest::addColumn<int>("company");
        QTest::addColumn<QString>("expected");   // what a reader that defaults to "N" gets
        QTest::newRow("company 1 off") << 1 << "N";
        QTest::newRow("company 2 on") << 2 << "S";
        QTest::newRow("company 3 has no row") << 3 << "N";
    }
    void educationWithoutPointsFlag()
    {
        QFETCH(int, company);
        QFETCH(QString, expected);
        const QList<QVariantList> found = rows(QStringLiteral(
            "SELECT n.VAL_VARI FROM GN_NEXOF n, GN_EMPRE e WHERE e.COD_EMPR = ? AND n.COD_VARI = 'Q0000190'"
            " AND n.COD_PAIS = e.COD_PAIS AND n.COD_EMPR = e.COD_EMPR"), {company});
        QVERIFY(found.size() <= 1);
        QCOMPARE(found.isEmpty() ? QStringLiteral("N") : found.first().first().toString().trimmed(), expected);
    }

    void logo_data()
    {
        QTest::addColumn<int>("company");
        QTest::addColumn<bool>("hasLogo");
        QTest::newRow("company 1") << 1 << true;
        QTest::newRow("company 2") << 2 << false;
        QTest::newRow("company 3") << 3 << false;
    }
    void logo()
    {
        QFETCH(int, company);
        QFETCH(bool, hasLogo);
        const QVariant bytes = value(QStringLiteral("SELECT BMP_REPO FROM GN_EMPRE WHERE COD_EMPR = ?"), {company});
        QCOMPARE(!bytes.isNull(), hasLogo);
        if (hasLogo) {
            const QImage image = QImage::fromData(bytes.toByteArray(), "PNG");
            QVERIFY(!image.isNull());
            QVERIFY(image.width() > image.height());
        }
    }

    void reportHeader_data()
    {
        QTest::addColumn<int>("company");
        for (int company : {1, 2, 3})
            QTest::newRow(qPrintable(QString::number(company))) << company;
    }
    void reportHeader()
    {
        QFETCH(int, company);
        const QList<QVariantList> header = rows(QStringLiteral(
            "SELECT E.COD_EMPR, NOM_EMPR, NIT_EMPR, BMP_REPO, DIR_EMPR, TEL_EMPR, DIG_VERI"
            " FROM GN_EMPRE E, NM_PARSS P WHERE (E.COD_EMPR = P.COD_EMPR) AND (E.COD_EMPR = ?)"), {company});
        QCOMPARE(header.size(), 1);
        QVERIFY(!header.first().at(1).toString().isEmpty());
        QVERIFY(header.first().at(2).toDouble() > 0);
    }

    void planShape_data()
    {
        QTest::addColumn<int>("company");
        QTest::addColumn<int>("plan");
        QTest::addColumn<bool>("higherParent");
        QTest::newRow("1/1 across the group") << 1 << 1 << false;
        QTest::newRow("1/2 top node added last") << 1 << 2 << true;
        QTest::newRow("2/3 plant") << 2 << 3 << false;
    }
    void planShape()
    {
        QFETCH(int, company);
        QFETCH(int, plan);
        QFETCH(bool, higherParent);
        const QList<QVariantList> nodes = rows(QStringLiteral(
            "SELECT COD_NODO, COD_NODP, COD_CARG, COD_EMCA, ACT_USUA, ACT_HORA, ACT_ESTA FROM AC_PPROM"
            " WHERE COD_EMPR = ? AND COD_MENU = ? ORDER BY COD_NODO"), {company, plan});
        QVERIFY(!nodes.isEmpty());
        const QVariantList header = nodes.first();
        QCOMPARE(header.at(0).toInt(), 0);
        QVERIFY2(header.at(1).isNull() || header.at(1).toInt() == 0, "the header has no parent");
        QVERIFY2(header.at(2).isNull(), "the header has no position");
        const int count = int(nodes.size()) - 1;
        QVERIFY2(count >= 8 && count <= 25, qPrintable(QString::number(count)));

        QHash<int, int> parentOf;
        bool sawHigherParent = false;
        for (const QVariantList &node : nodes.mid(1)) {
            parentOf.insert(node.at(0).toInt(), node.at(1).toInt());
            sawHigherParent |= node.at(1).toInt() > node.at(0).toInt();
            for (int column = 4; column <= 6; ++column)
                QVERIFY2(!node.at(column).toString().isEmpty(), "audit columns are filled");
            const int active = value(QStringLiteral("SELECT COUNT(*) FROM BI_CARGO WHERE COD_EMPR = ?"
                                                    " AND COD_CARG = ? AND IND_ACTI = 'A'"),
                                     {node.at(3), node.at(2)}).toInt();
            QVERIFY2(active == 1, qPrintable(node.at(2).toString() + QStringLiteral(" is not an active position")));
        }
        QCOMPARE(sawHigherParent, higherParent);
        // Every node reaches the header through its parents, without a cycle.
        for (auto it = parentOf.cbegin(); it != parentOf.cend(); ++it) {
            int node = it.key();
            for (int steps = 0; node != 0; ++steps) {
                QVERIFY2(steps <= count && parentOf.contains(node),
                         qPrintable(QStringLiteral("node %1 does not reach the header").arg(it.key())));
                node = parentOf.value(node);
            }
        }
    }

    void planProfilesCoverAllCategories()
    {
        const QList<QVariantList> positions = rows(QStringLiteral(
            "SELECT DISTINCT COD_EMCA, COD_CARG FROM AC_PPROM WHERE COD_EMPR > 0 AND COD_NODO > 0"));
        QVERIFY(positions.size() >= 25);
        for (const QVariantList &position : positions) {
            const int categories = value(QStringLiteral(
                "SELECT COUNT(DISTINCT d.COD_DETA) FROM BI_DTPCA a, AC_DPAMA d WHERE a.COD_EMPR = ?"
                " AND a.COD_CARG = ? AND d.COD_EMPR = a.COD_EMPR AND d.TIP_REGI = a.TIP_REGI"),
                position).toInt();
            QVERIFY2(categories == 6, qPrintable(position.at(1).toString()));
        }
    }

    void categoryMapping_data()
    {
        QTest::addColumn<int>("company");
        for (int company : {1, 2, 3})
            QTest::newRow(qPrintable(QString::number(company))) << company;
    }
    void categoryMapping()
    {
        QFETCH(int, company);
        const QList<QVariantList> codes = rows(QStringLiteral(
            "SELECT DISTINCT COD_DETA FROM AC_DPAMA WHERE COD_EMPR = ? ORDER BY COD_DETA"), {company});
        QStringList found;
        for (const QVariantList &code : codes)
            found << code.first().toString();
        QCOMPARE(found, (QStringList{"CE", "CF", "CO", "EF", "EN", "EP"}));
    }

    void profileNamesExist_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("record type names")
            << "SELECT COUNT(*) FROM BI_DTPCA a LEFT JOIN AC_TIPRG t ON t.COD_EMPR = a.COD_EMPR"
               " AND t.TIP_APLI = 'AC' AND t.COD_REGI = a.TIP_REGI WHERE a.COD_EMPR > 0 AND t.NOM_REGI IS NULL";
        QTest::newRow("requirement names")
            << "SELECT COUNT(*) FROM BI_DTPCA a LEFT JOIN AC_REQUI r ON r.COD_EMPR = a.COD_EMPR AND r.TIP_APLI = 'AC'"
               " AND r.TIP_REGI = a.TIP_REGI AND r.COD_REQU = a.COD_REQU WHERE a.COD_EMPR > 0 AND r.NOM_REQU IS NULL";
        QTest::newRow("detail names")
            << "SELECT COUNT(*) FROM BI_DTPCA a LEFT JOIN AC_ESPEC e ON e.COD_EMPR = a.COD_EMPR AND e.TIP_APLI = 'AC'"
               " AND e.TIP_REGI = a.TIP_REGI AND e.COD_REQU = a.COD_REQU AND e.COD_ESPE = a.COD_ESPE"
               " WHERE a.COD_EMPR > 0 AND a.COD_ESPE IS NOT NULL AND e.NOM_ESPE IS NULL";
        QTest::newRow("level names")
            << "SELECT COUNT(*) FROM BI_CARGO c LEFT JOIN AC_NIVEL n ON n.COD_EMPR = c.COD_EMPR"
               " AND n.COD_NIVE = c.COD_NIVE WHERE n.NOM_NIVE IS NULL";
        QTest::newRow("contract positions")
            << "SELECT COUNT(*) FROM NM_CONTR k LEFT JOIN BI_CARGO c ON c.COD_EMPR = k.COD_EMPR"
               " AND c.COD_CARG = k.COD_CARG WHERE c.NOM_CARG IS NULL";
        QTest::newRow("contract people")
            << "SELECT COUNT(*) FROM NM_CONTR k LEFT JOIN BI_EMPLE e ON e.COD_EMPR = k.COD_EMPR"
               " AND e.COD_EMPL = k.COD_EMPL WHERE e.NOM_EMPL IS NULL";
        QTest::newRow("evaluation lines have a header")
            << "SELECT COUNT(*) FROM ED_D3CCO d LEFT JOIN ED_3CCOM c ON c.COD_EMPR = d.COD_EMPR"
               " AND c.RMT_3CCO = d.RMT_3CCO WHERE c.COD_EMPL IS NULL";
        QTest::newRow("replacements name people")
            << "SELECT COUNT(*) FROM AC_CUARE r LEFT JOIN BI_EMPLE e ON e.COD_EMPL = r.COD_EMPL"
               " WHERE e.NOM_EMPL IS NULL";
    }
    void profileNamesExist()
    {
        QFETCH(QString, sql);
        QCOMPARE(value(sql).toInt(), 0);
    }

    void profileEdgeRows_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("expected");
        QTest::newRow("a required score left null")
            << "SELECT COUNT(*) FROM BI_DTPCA WHERE COD_EMPR = 1 AND COD_CARG = 'DIR001' AND PUN_REQU IS NULL" << 1;
        QTest::newRow("one requirement in three details")
            << "SELECT COUNT(*) FROM BI_DTPCA WHERE COD_EMPR = 2 AND COD_CARG = 'JPR001' AND TIP_REGI = 'CU'"
               " AND COD_REQU = 305" << 3;
        QTest::newRow("a requirement code beyond 16 bits")
            << "SELECT COUNT(*) FROM AC_REQUI WHERE COD_EMPR = 1 AND COD_REQU > 32767" << 1;
    }
    void profileEdgeRows()
    {
        QFETCH(QString, sql);
        QFETCH(int, expected);
        QCOMPARE(value(sql).toInt(), expected);
    }

    void twoActiveContracts()
    {
        const QList<QVariantList> people = rows(QStringLiteral(
            "SELECT COD_EMPR, COD_EMPL FROM NM_CONTR WHERE IND_ACTI = 'A' GROUP BY COD_EMPR, COD_EMPL"
            " HAVING COUNT(*) = 2"));
        QCOMPARE(people.size(), 1);
        QCOMPARE(people.first().at(0).toInt(), 1);
        QCOMPARE(people.first().at(1).toDouble(), 52345678.0);
        // Both positions sit below the same node, so one run lists her twice.
        QCOMPARE(value(QStringLiteral(
                     "SELECT COUNT(*) FROM AC_PPROM p, NM_CONTR k WHERE p.COD_EMPR = 1 AND p.COD_MENU = 1"
                     " AND p.COD_NODP = 3 AND k.COD_EMPR = 1 AND k.COD_EMPL = 52345678 AND k.IND_ACTI = 'A'"
                     " AND k.COD_CARG = p.COD_CARG")).toInt(), 2);
    }

    void personInTwoCompanies()
    {
        const QList<QVariantList> registered = rows(QStringLiteral(
            "SELECT e.COD_EMPR, (SELECT COUNT(*) FROM NM_CONTR k WHERE k.COD_EMPR = e.COD_EMPR"
            " AND k.COD_EMPL = e.COD_EMPL AND k.IND_ACTI = 'A') FROM BI_EMPLE e WHERE e.COD_EMPL = 1020304050"
            " ORDER BY e.COD_EMPR"));
        QCOMPARE(registered.size(), 2);
        QCOMPARE(registered.at(0).at(1).toInt(), 0);   // left company 1
        QCOMPARE(registered.at(1).at(1).toInt(), 1);   // works for company 2
    }

    void accentsRoundTrip_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("given names") << "SELECT NOM_EMPL FROM BI_EMPLE WHERE COD_EMPR = 1 AND COD_EMPL = 52345678"
                                     << QStringLiteral("Ángela María");
        QTest::newRow("surnames") << "SELECT APE_EMPL FROM BI_EMPLE WHERE COD_EMPR = 1 AND COD_EMPL = 52345678"
                                  << QStringLiteral("Peña Muñoz");
        QTest::newRow("position") << "SELECT NOM_CARG FROM BI_CARGO WHERE COD_EMPR = 1 AND COD_CARG = 'DIR002'"
                                  << QStringLiteral("Director de Tesorería");
        QTest::newRow("category") << "SELECT NOM_REGI FROM AC_TIPRG WHERE COD_EMPR = 2 AND COD_REGI = 'CE'"
                                  << QStringLiteral("COMPETENCIAS ESPECÍFICAS");
        QTest::newRow("company") << "SELECT NOM_EMPR FROM GN_EMPRE WHERE COD_EMPR = 2"
                                 << QStringLiteral("Industrias Peñalisa S.A.S.");
    }
    void accentsRoundTrip()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QCOMPARE(value(sql).toString(), expected);
    }

    void manyNamesWithEnye()
    {
        const int count = value(QStringLiteral("SELECT COUNT(*) FROM BI_EMPLE WHERE APE_EMPL LIKE ?"),
                                {QStringLiteral("%ñ%")}).toInt();
        QVERIFY2(count >= 30, qPrintable(QString::number(count)));
    }

    void codesUnpadded_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        const QList<QPair<const char *, const char *>> codes = {
            {"BI_CARGO", "COD_CARG"}, {"BI_CARGO", "COD_NIVE"}, {"BI_CARGO", "IND_ACTI"},
            {"NM_CONTR", "COD_CARG"}, {"NM_CONTR", "IND_ACTI"}, {"AC_PPROM", "COD_CARG"},
            {"AC_PPROM", "TIP_MENU"}, {"AC_PPROM", "ACT_USUA"}, {"AC_PPROM", "NUM_ANOS"},
            {"AC_PPROM", "NUM_DIAS"}, {"AC_CUARE", "COD_CARG"}, {"AC_CUARE", "JEF_DEPE"},
            {"AC_NIVEL", "COD_NIVE"}, {"AC_DPAMA", "COD_DETA"}, {"AC_DPAMA", "TIP_REGI"},
            {"BI_DTPCA", "TIP_REGI"}, {"BI_DTPEF", "TIP_REGI"}, {"BI_DTPNF", "TIP_REGI"},
            {"BI_DTPHV", "TIP_REGI"}, {"ED_D3CCO", "COD_REGI"}, {"AC_TIPRG", "COD_REGI"},
            {"GN_NEXOF", "COD_VARI"}, {"GN_NEXOF", "VAL_VARI"}, {"GN_USUAR", "COD_USUA"},
            {"GN_PROGR", "COD_PROG"}, {"GN_EMPRE", "DIG_VERI"}, {"GN_EMPRE", "NOM_EMPR"},
            {"BI_EMPLE", "NOM_EMPL"}, {"BI_EMPLE", "APE_EMPL"},
        };
        for (const auto &code : codes)
            QTest::newRow(qPrintable(QStringLiteral("%1.%2").arg(code.first, code.second)))
                << QString::fromLatin1(code.first) << QString::fromLatin1(code.second);
    }
    void codesUnpadded()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QVERIFY(value(QStringLiteral("SELECT COUNT(%2) FROM %1").arg(table, column)).toInt() > 0);
        QCOMPARE(value(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE LENGTH(TRIM(%2)) <> LENGTH(%2)"
                                      " OR %2 = ''").arg(table, column)).toInt(), 0);
    }

    void timesStoredAsTheServerWritesThem()
    {
        static const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"));
        static const QRegularExpression day(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d$"));
        for (const QVariantList &row : rows(QStringLiteral("SELECT ACT_HORA FROM AC_PPROM UNION SELECT ACT_HORA FROM AC_CUARE")))
            QVERIFY2(stamp.match(row.first().toString()).hasMatch(), qPrintable(row.first().toString()));
        for (const QVariantList &row : rows(QStringLiteral("SELECT FEC_NACI FROM BI_EMPLE UNION SELECT FEC_DESD FROM ED_3CCOM")))
            QVERIFY2(day.match(row.first().toString()).hasMatch(), qPrintable(row.first().toString()));
    }

    void evaluationHistory()
    {
        // Several dates per person, some people never evaluated.
        QVERIFY(value(QStringLiteral("SELECT COUNT(DISTINCT FEC_DESD) FROM ED_3CCOM")).toInt() >= 3);
        QVERIFY(value(QStringLiteral("SELECT COUNT(*) FROM (SELECT COD_EMPL FROM ED_3CCOM GROUP BY COD_EMPR,"
                                     " COD_EMPL HAVING COUNT(*) >= 3) t")).toInt() > 10);
        QVERIFY(value(QStringLiteral("SELECT COUNT(*) FROM NM_CONTR k WHERE IND_ACTI = 'A' AND NOT EXISTS"
                                     " (SELECT 1 FROM ED_3CCOM c WHERE c.COD_EMPR = k.COD_EMPR"
                                     " AND c.COD_EMPL = k.COD_EMPL)")).toInt() > 5);
    }

    void trafficLightSpread_data()
    {
        QTest::addColumn<int>("company");
        QTest::addColumn<int>("plan");
        QTest::addColumn<int>("node");
        QTest::newRow("1/1 Profesional Contable") << 1 << 1 << 6;
        QTest::newRow("1/2 Coordinador de Ventas") << 1 << 2 << 2;
        QTest::newRow("1/2 Ejecutivo de Cuenta") << 1 << 2 << 3;
        QTest::newRow("2/3 Supervisor de Producción") << 2 << 3 << 5;
    }
    void trafficLightSpread()
    {
        QFETCH(int, company);
        QFETCH(int, plan);
        QFETCH(int, node);
        const QList<double> percentages = TrafficLightProbe(m_db).run(company, plan, node);
        QVERIFY2(percentages.size() >= 10, qPrintable(QString::number(percentages.size())));
        int green = 0, yellow = 0, red = 0;
        for (double p : percentages)
            (p >= 91.1 ? green : p >= 70 ? yellow : red)++;
        QVERIFY2(green > 0 && yellow > 0 && red > 0,
                 qPrintable(QStringLiteral("green %1, yellow %2, red %3").arg(green).arg(yellow).arg(red)));
    }

    void deterministic()
    {
        QCOMPARE(dbtest::openBackend(QStringLiteral("sqlite"), QStringLiteral("again"), m_dir), QString());
        const auto closer = qScopeGuard([] { dbtest::closeBackend(QStringLiteral("again")); });
        {
            const dbtools::DbOutcome seeded = seedInto(QStringLiteral("again"));
            QVERIFY2(seeded.ok(), qPrintable(seeded.error));
            const QSqlDatabase again = QSqlDatabase::database(QStringLiteral("again"));
            for (const QString &table : SchemaLoader::tableNames())
                QVERIFY2(dbtest::tableDigest(m_db, table) == dbtest::tableDigest(again, table), qPrintable(table));
        }
    }

    void seedsOnPostgres()
    {
        if (dbtest::postgresConnInfo().isEmpty())
            QSKIP("PostgreSQL not available: set QACSEMAF_PG to a connection text");
        QCOMPARE(dbtest::openBackend(QStringLiteral("postgres"), QStringLiteral("pgdemo"), m_dir), QString());
        const auto closer = qScopeGuard([] { dbtest::closeBackend(QStringLiteral("pgdemo")); });
        {
            const dbtools::DbOutcome seeded = seedInto(QStringLiteral("pgdemo"));
            QVERIFY2(seeded.ok(), qPrintable(seeded.error));
            const QSqlDatabase pg = QSqlDatabase::database(QStringLiteral("pgdemo"));
            for (const QString &table : SchemaLoader::tableNames())
                QCOMPARE(dbtest::scalar(pg, QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt(),
                         m_reported.value(table));
            QCOMPARE(dbtest::scalar(pg, QStringLiteral("SELECT APE_EMPL FROM BI_EMPLE WHERE COD_EMPL = 52345678")).toString(),
                     QStringLiteral("Peña Muñoz"));
        }
    }
};

QTEST_GUILESS_MAIN(TestDemoSeeder)
#include "tst_demoseeder.moc"
