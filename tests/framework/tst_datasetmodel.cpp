// The table model over a dataset, checked by QAbstractItemModelTester through the dataset's moves.
#include "tests/framework/DataSetFixtures.h"
#include "framework/dataset/TDataSetModel.h"

#include <QAbstractItemModelTester>
#include <QtTest>

class TestDataSetModel : public QObject {
    Q_OBJECT

private:
    static QStringList codes(const TDataSetModel &model)
    {
        QStringList values;
        const int column = model.columnOf("COD_CARG");
        for (int row = 0; row < model.rowCount(); ++row)
            values << model.index(row, column).data().toString();
        return values;
    }

private slots:
    void followsTheDataSet()
    {
        auto ds = fixtures::positions();
        ds->FieldByName("PUN_REQU")->Visible = false;
        TDataSetModel model(ds.get());
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

        QCOMPARE(model.columnCount(), 3);
        QCOMPARE(codes(model), QStringList({"C1", "C2", "C3", "c4"}));

        ds->setIndexFieldNames("COD_CARG");
        QCOMPARE(codes(model), QStringList({"C1", "C2", "C3", "c4"}));
        ds->Append();
        QCOMPARE(model.rowCount(), 5);                    // the row being inserted shows
        ds->FieldByName("COD_CARG")->setAsString("B0");
        QCOMPARE(model.index(4, 1).data().toString(), QString("B0"));
        ds->Post();                                        // and moves to its place
        QCOMPARE(codes(model), QStringList({"B0", "C1", "C2", "C3", "c4"}));

        ds->Last();
        ds->Edit();
        ds->FieldByName("COD_CARG")->setAsString("A0");
        ds->Post();
        QCOMPARE(codes(model), QStringList({"A0", "B0", "C1", "C2", "C3"}));

        ds->Append();
        ds->Cancel();
        ds->Delete();
        QCOMPARE(codes(model), QStringList({"B0", "C1", "C2", "C3"}));

        ds->setFilter("cod_empr > 0");
        ds->setFiltered(true);
        QCOMPARE(codes(model), QStringList({"C1", "C2"}));
        ds->DisableControls();
        ds->setFiltered(false);
        ds->EmptyDataSet();
        ds->EnableControls();
        QCOMPARE(model.rowCount(), 0);
        ds->Close();
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDataSetModel)
#include "tst_datasetmodel.moc"
