// The result schema: the percentage as the result tables store it and the band it then falls in,
// and the window's grid columns of every result table. (The bands' edges: tst_successionrules.)

#include "engine/ResultSchema.h"
#include "engine/SuccessionSchema.h"
#include "framework/dataset/TDtmGnLibre.h"
#include "tests/support/DataTable.h"

#include <QtTest>

using engine::Band;

Q_DECLARE_METATYPE(engine::Band)

class TestResultSchema : public QObject {
    Q_OBJECT
private slots:
    // A quotient is stored as its field rounds it, and the stored value decides the band.
    void storedPercentage_data()
    {
        addColumns<QString, QString, double, double, Band>({"table", "field", "computed", "stored", "band"});
        QTest::newRow("rounds down onto 91.1: yellow") << "CdsAcSemaf" << "POR_EMPL" << 91.0951 << 91.1 << Band::Yellow;
        QTest::newRow("rounds up past 91.1: green") << "CdsAcSemaf" << "POR_EMPL" << 91.1051 << 91.11 << Band::Green;
        QTest::newRow("rounds up onto 70: yellow") << "CdsAcSemaf" << "POR_EMPL" << 69.9951 << 70.0 << Band::Yellow;
        QTest::newRow("rounds down below 70: red") << "CdsAcSemaf" << "POR_EMPL" << 69.994 << 69.99 << Band::Red;
        QTest::newRow("the positions page's copy") << "CdsCargUsuario" << "DtfProcent" << 91.1051 << 91.11 << Band::Green;
        QTest::newRow("a field without a mask keeps the value")
            << "CdsAcSemaf" << "COD_EMPL" << 79123456.125 << 79123456.125 << Band::Green;
    }

    void storedPercentage()
    {
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(double, computed);
        QFETCH(double, stored);
        QFETCH(Band, band);
        const engine::ResultTable *schema = engine::resultTable(table);
        QVERIFY(schema);
        const engine::ResultField *definition = schema->field(field);
        QVERIFY(definition);
        // The suite's formatter, as the data module hands it to the engine.
        const engine::MaskFormatter suite = [](const QString &mask, double value) {
            return DtmGnLibre->FormatearFloat(mask, value);
        };
        const double value = engine::storedRounding(*definition, suite)(computed);
        QCOMPARE(value, stored);
        QCOMPARE(engine::band(value), band);
    }

    // A grid shows fields of its own table, each once, and the band's field is one of them.
    void gridColumns()
    {
        for (const engine::ResultTable *schema : {&engine::trafficLightTable(), &engine::careerPositionsTable(),
                                                  &engine::successionSummaryTable(), &engine::successionGapsTable(),
                                                  &engine::nodeGapsTable()}) {
            QStringList fields;
            for (const engine::GridColumn &column : schema->grid()) {
                QVERIFY2(schema->field(column.field), qPrintable(column.field));
                QVERIFY2(!fields.contains(column.field), qPrintable(column.field));
                fields << column.field;
            }
            QVERIFY2(fields.contains(schema->bandField), qPrintable(schema->bandField));
        }
    }
};

QTEST_GUILESS_MAIN(TestResultSchema)
#include "tst_resultschema.moc"
