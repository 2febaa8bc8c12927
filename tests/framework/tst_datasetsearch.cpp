// Locate, the client filter and index order of in-memory tables.
#include "tests/framework/DataSetFixtures.h"
#include "tests/support/DataTable.h"
#include "framework/Exceptions.h"
#include "tests/support/TestTools.h"

#include <QtTest>

class TestDataSetSearch : public QObject {
    Q_OBJECT

private slots:
    void locate_data()
    {
        // recNo: 0: not found
        addColumns<QString, QVariant, int, int>({"keys", "values", "options", "recNo"});
        const int ci = loCaseInsensitive, partial = loPartialKey;
        QTest::newRow("exact is case-sensitive") << "COD_CARG" << QVariant("C4") << 0 << 0;
        QTest::newRow("case-insensitive") << "COD_CARG" << QVariant("C4") << ci << 4;
        QTest::newRow("field name in any case") << "cod_carg" << QVariant("C2") << 0 << 2;
        QTest::newRow("prefix needs partial") << "NOM_CARG" << QVariant("Anal") << 0 << 0;
        QTest::newRow("partial, case-insensitive") << "NOM_CARG" << QVariant("ANALISTA S") << (ci | partial) << 4;
        QTest::newRow("number given as text") << "COD_EMPR" << QVariant("2") << 0 << 2;
        QTest::newRow("float key") << "PUN_REQU" << QVariant(70) << 0 << 4;
        QTest::newRow("null key finds null") << "PUN_REQU" << QVariant() << 0 << 3;
    }

    void locate()
    {
        QFETCH(QString, keys);
        QFETCH(QVariant, values);
        QFETCH(int, options);
        QFETCH(int, recNo);
        auto ds = fixtures::positions();
        ds->Next();
        QCOMPARE(ds->Locate(keys, values, TLocateOptions(options)), recNo > 0);
        QCOMPARE(ds->RecNo(), recNo > 0 ? recNo : 2); // a miss leaves the cursor where it was
    }

    void locateWrongValueCountIsAnError()
    {
        auto ds = fixtures::positions();
        QCOMPARE(messageOf<EDatabaseError>([&] { ds->Locate("COD_EMPR;COD_CARG", 1); }),
                 QString("Se esperaban 2 valores de búsqueda y se recibieron 1"));
        QCOMPARE(messageOf<EDatabaseError>([&] { ds->Locate("NO_SUCH", 1); }),
                 QString("CdsCargos: campo 'NO_SUCH' no encontrado"));
    }

    void filter_data()
    {
        addColumns<QString, QStringList>({"filter", "visible"});
        QTest::newRow("lower-case name") << "cod_empr > 0" << QStringList{"C1", "C2", "c4"};
        QTest::newRow("text, case-sensitive") << "cod_carg = 'C2'" << QStringList{"C2"};
        QTest::newRow("double-quoted text") << "cod_carg <> \"C2\"" << QStringList{"C1", "C3", "c4"};
        QTest::newRow("or with parentheses") << "(cod_empr = 0 or cod_empr = 2) and not cod_carg = 'C3'" << QStringList{"C2"};
        QTest::newRow("null compares false") << "pun_requ < 60" << QStringList{"C1"};
        QTest::newRow("is null") << "pun_requ is null" << QStringList{"C3"};
        QTest::newRow("is not null, <=") << "pun_requ is not null and pun_requ <= 70" << QStringList{"C1", "c4"};
        QTest::newRow("decimal literal") << "pun_requ > 69.5" << QStringList{"C2", "c4"};
    }

    void filter()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, visible);
        auto ds = fixtures::positions();
        ds->setFilter(filter);
        ds->setFiltered(true);
        QCOMPARE(ds->RecordCount(), visible.size());
        QCOMPARE(fixtures::column(*ds, "COD_CARG"), visible);
        ds->setFiltered(false);
        QCOMPARE(ds->RecordCount(), 4);
    }

    void filteredRowsAreInvisibleToLocateAndNewRowsFollowTheFilter()
    {
        auto ds = fixtures::positions();
        ds->setFilter("COD_EMPR > 0");
        ds->setFiltered(true);
        QVERIFY(!ds->Locate("COD_CARG", "C3"));
        ds->Append();
        ds->FieldByName("COD_EMPR")->setAsInteger(0);
        ds->FieldByName("COD_CARG")->setAsString("Z0");
        ds->Post();
        QCOMPARE(ds->RecordCount(), 3);
        ds->setFiltered(false);
        QVERIFY(ds->Locate("COD_CARG", "Z0"));
    }

    void badFilterIsRefused_data()
    {
        addColumns<QString, QString>({"filter", "message"});
        QTest::newRow("missing value") << "cod_empr >" << "se esperaba un campo o un valor en la posición 11";
        QTest::newRow("unclosed text") << "cod_carg = 'C1" << "texto sin cerrar en la posición 12";
        QTest::newRow("unclosed parenthesis") << "(cod_empr = 1" << "falta \")\" en la posición 14";
        QTest::newRow("unknown field") << "no_such = 1" << "campo 'no_such' no encontrado";
    }

    void badFilterIsRefused()
    {
        QFETCH(QString, filter);
        QFETCH(QString, message);
        auto ds = fixtures::positions();
        ds->setFiltered(true);
        const QString refusal = messageOf<EDatabaseError>([&] { ds->setFilter(filter); });
        QVERIFY2(refusal.contains(message), qPrintable(refusal));
        QCOMPARE(ds->RecordCount(), 4);
        QCOMPARE(ds->Filter(), QString());
    }

    void indexFieldNamesOrdersRowsAsTheyArePosted()
    {
        auto ds = fixtures::positions();
        ds->setIndexFieldNames("COD_EMPR;NOM_CARG");
        QCOMPARE(fixtures::column(*ds, "COD_CARG"), QStringList({"C3", "C1", "c4", "C2"}));
        ds->Append();
        ds->FieldByName("COD_EMPR")->setAsInteger(1);
        ds->FieldByName("NOM_CARG")->setAsString("Asesor");
        ds->FieldByName("COD_CARG")->setAsString("A1");
        ds->Post();
        QCOMPARE(ds->FieldByName("COD_CARG")->AsString(), QString("A1")); // the cursor follows the row
        QCOMPARE(ds->RecNo(), 3);
        QCOMPARE(fixtures::column(*ds, "COD_CARG"), QStringList({"C3", "C1", "A1", "c4", "C2"}));
    }

    void declaredIndexAppliesOnlyWhenSelected()
    {
        auto ds = fixtures::positions();
        ds->IndexDefs().Add("CdsCargosIndex1", "PUN_REQU", ixDescending);
        QCOMPARE(fixtures::column(*ds, "COD_CARG"), QStringList({"C1", "C2", "C3", "c4"}));
        ds->setIndexName("CdsCargosIndex1");
        QCOMPARE(fixtures::column(*ds, "COD_CARG"), QStringList({"C2", "c4", "C1", "C3"}));
        ds->setIndexName(QString());
        QCOMPARE(fixtures::column(*ds, "COD_CARG"), QStringList({"C1", "C2", "C3", "c4"}));
        QCOMPARE(messageOf<EDatabaseError>([&] { ds->setIndexName("NoSuchIndex"); }),
                 QString("CdsCargos: índice 'NoSuchIndex' no encontrado"));
    }
};

QTEST_GUILESS_MAIN(TestDataSetSearch)
#include "tst_datasetsearch.moc"
