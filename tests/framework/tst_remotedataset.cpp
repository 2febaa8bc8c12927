// Remote datasets over a recording transport: fetches, shared answers, row changes, refusals.
#include "tests/support/DataTable.h"
#include "framework/Exceptions.h"
#include "tests/framework/FakeTransport.h"
#include "framework/dataset/SClientDataSet.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/dataset/TDtmGnLibre.h"
#include "framework/UserAction.h"
#include "tests/support/TestTools.h"

#include <QtTest>

#include <optional>

using protocol::FieldType;
using protocol::RowDelta;

class TestRemoteDataSet : public QObject {
    Q_OBJECT

private:
    SDCOMConnection m_connection;
    FakeTransport *m_server = nullptr;

    void serve(const QList<protocol::FieldDesc> &fields, const QList<QVariantList> &rows)
    {
        auto server = std::make_unique<FakeTransport>();
        server->table.fields = fields;
        server->table.rows = rows;
        m_server = server.get();
        m_connection.setTransport(std::move(server));
    }

    // QryAcCuare-like: declared fields in upper case; the server answers in lower case.
    std::unique_ptr<SClientDataSet> replacements()
    {
        serve({{"cod_empr", FieldType::Smallint, 0}, {"cod_empl", FieldType::Float, 0},
               {"cod_carg", FieldType::FixedChar, 6}, {"act_hora", FieldType::DateTime, 0}},
              {{1, 100.0, "C1", QVariant()}, {1, 200.0, "C2", QVariant()}});
        auto ds = std::make_unique<SClientDataSet>("QryAcCuare");
        ds->RemoteServer = &m_connection;
        ds->ProviderName = "DtsPAcCuare";
        ds->SMainTable = "AC_CUARE";
        ds->AddField("COD_EMPR", FieldType::Smallint)->ProviderFlags |= pfInKey;
        ds->AddField("COD_EMPL", FieldType::Float, 0, "Identificación")->ProviderFlags |= pfInKey;
        ds->AddField("COD_CARG", FieldType::FixedChar, 6, "Cargo");
        ds->AddField("JEF_DEPE", FieldType::FixedChar, 1, "Jefe")->ProviderFlags = pfInUpdate;
        ds->AddField("DtfEdad", FieldType::Smallint, 0, "Edad", fkCalculated);
        ds->setStatement("Reemplazos", "select  * from AC_CUARE\nwhere  COD_EMPR  = :cod_empr", {{"menu", 4}});
        ds->Params().CreateParam(FieldType::Smallint, "cod_empr")->setAsVariant(1);
        return ds;
    }

private slots:
    void openSendsStatementAndMapsColumnsByName()
    {
        auto ds = replacements();
        ds->Open();
        QCOMPARE(m_server->fetches.size(), 1);
        const protocol::FetchRequest &request = m_server->fetches.first();
        QCOMPARE(request.provider, QString("DtsPAcCuare"));
        // The statement's name and values travel, not its text.
        QCOMPARE(request.statement, QString("Reemplazos"));
        QCOMPARE(ds->CommandText(), QString("select  * from AC_CUARE\r\nwhere  COD_EMPR  = :cod_empr\r\n"));
        QCOMPARE(request.params.size(), 2);
        QCOMPARE(request.params.first().type, FieldType::Smallint);
        QCOMPARE(request.params.first().value, QVariant(1));
        QCOMPARE(request.params.last().name, QString("menu"));
        QCOMPARE(request.params.last().value, QVariant(4));
        QCOMPARE(ds->FieldCount(), 5);             // act_hora has no field: left out
        QCOMPARE(ds->RecordCount(), 2);
        QCOMPARE(ds->FieldByName("COD_CARG")->AsString(), QString("C1"));
        QVERIFY(ds->FieldByName("JEF_DEPE")->IsNull()); // declared, not returned
    }

    void postAndDeleteSendOneRowChange_data()
    {
        addColumns<QString, int, QStringList, QStringList>({"operation", "kind", "oldColumns", "newColumns"});
        QTest::newRow("insert") << "insert" << int(RowDelta::Kind::Insert) << QStringList{}
                                << QStringList{"COD_CARG", "COD_EMPL", "COD_EMPR", "JEF_DEPE"};
        QTest::newRow("update") << "update" << int(RowDelta::Kind::Update)
                                << QStringList{"COD_CARG", "COD_EMPL", "COD_EMPR"} << QStringList{"JEF_DEPE"};
        QTest::newRow("delete") << "delete" << int(RowDelta::Kind::Delete)
                                << QStringList{"COD_CARG", "COD_EMPL", "COD_EMPR"} << QStringList{};
        QTest::newRow("an edit that changes nothing sends nothing")
            << "same" << -1 << QStringList{} << QStringList{};
    }

    void postAndDeleteSendOneRowChange()
    {
        QFETCH(QString, operation);
        QFETCH(int, kind);
        QFETCH(QStringList, oldColumns);
        QFETCH(QStringList, newColumns);
        auto ds = replacements();
        ds->Open();
        if (operation == "delete") {
            ds->Delete();
        } else {
            operation == "insert" ? ds->Append() : ds->Edit();
            if (operation == "same")
                ds->FieldByName("COD_CARG")->setAsString("C1");
            else
                ds->FieldByName("JEF_DEPE")->setAsString("S");
            ds->Post();
        }
        QCOMPARE(m_server->applies.size(), kind < 0 ? 0 : 1);
        if (kind < 0)
            return;
        const protocol::ApplyRequest &request = m_server->applies.first();
        QCOMPARE(request.provider, QString("DtsPAcCuare"));
        QCOMPARE(request.deltas.size(), 1);
        const RowDelta &delta = request.deltas.first();
        QCOMPARE(int(delta.kind), kind);
        QCOMPARE(delta.oldValues.keys(), oldColumns);
        QCOMPARE(delta.newValues.keys(), newColumns);
        if (!oldColumns.isEmpty())
            QCOMPARE(delta.oldValues.value("COD_EMPL"), QVariant(100.0));
    }

    // Refused by the server, or by a dataset without a table to update: the row stays as typed.
    void refusedChangeKeepsTheRowAsTyped_data()
    {
        addColumns<QString, bool>({"operation", "readOnly"});
        QTest::newRow("insert") << "insert" << false;
        QTest::newRow("edit") << "edit" << false;
        QTest::newRow("delete") << "delete" << false;
        QTest::newRow("edit, no table to update") << "edit" << true;
        QTest::newRow("delete, no table to update") << "delete" << true;
    }

    void refusedChangeKeepsTheRowAsTyped()
    {
        QFETCH(QString, operation);
        QFETCH(bool, readOnly);
        auto ds = replacements();
        if (readOnly)
            ds->SMainTable.clear();
        ds->Open();
        m_server->refuseApply = "UNIQUE constraint failed: AC_CUARE";
        const QString refusal = messageOf<EDatabaseError>([&] {
            if (operation == "delete") {
                ds->Delete();
            } else {
                operation == "insert" ? ds->Append() : ds->Edit();
                ds->FieldByName("COD_CARG")->setAsString("X9");
                ds->Post();
            }
        });
        const QString readOnlyRefusal = QStringLiteral("QryAcCuare: el conjunto de datos es de solo lectura "
                                                       "(no tiene tabla de actualización)");
        QCOMPARE(refusal, readOnly ? readOnlyRefusal : QStringLiteral("UNIQUE constraint failed: AC_CUARE"));
        const TDataSetState expected = operation == "insert" ? dsInsert : operation == "edit" ? dsEdit : dsBrowse;
        QCOMPARE(int(ds->State()), int(expected));
        QCOMPARE(ds->FieldByName("COD_CARG")->AsString(), QString(operation == "delete" ? "C1" : "X9"));
        QCOMPARE(ds->RecordCount(), 2);
        QCOMPARE(m_server->applies.size(), readOnly ? 0 : 1);
    }

    // (Values go to the parameters in order: the plan rules' delete guard.)
    void reConsultarRefusesAWrongCount()
    {
        serve({{"cod_empr", FieldType::Smallint, 0}}, {{1}, {2}});
        SClientDataSet ds("QryValNodo");
        ds.RemoteServer = &m_connection;
        ds.ProviderName = "DtsPValNodo";
        ds.setSQL({"select *", "from ac_pprom", "where cod_empr = :psm_codempr",
                   "and cod_menu = :psm_codmenu", "and cod_nodp  = :psm_codnodp"});
        QCOMPARE(messageOf<EDatabaseError>([&] { DtmGnLibre->ReConsultar(&ds, {1, 2, 3, 4}); }),
                 QString("QryValNodo: se recibieron 4 valores para 3 parámetros"));
        QCOMPARE(m_server->fetches.size(), 0);
    }

    // Answers kept by the connection: reads ahead taken once within their action, reads again within
    // one action, none after a write nor large. steps: "action" starts an action, "none" ends it,
    // "ahead" reads A and B ahead, "A", "B", "A1.0", "Atext", "Alist" (A's value as float, text, list)
    // fetch, "apply" writes. asked: reads that reached the server.
    void sharedAnswers_data()
    {
        addColumns<QStringList, int, int>({"steps", "rows", "asked"});
        QTest::newRow("read ahead, taken once each") << QStringList{"ahead", "A", "B", "A"} << 1 << 3;
        QTest::newRow("numbers compare by value") << QStringList{"ahead", "A1.0"} << 1 << 2;
        QTest::newRow("a text is not its number") << QStringList{"ahead", "Atext", "Alist"} << 1 << 4;
        QTest::newRow("a list asked again") << QStringList{"action", "Alist", "Alist", "Atext"} << 1 << 2;
        QTest::newRow("asked again in one action") << QStringList{"action", "A", "A", "B"} << 1 << 2;
        QTest::newRow("each action asks anew") << QStringList{"action", "A", "action", "A", "none", "A"} << 1 << 3;
        QTest::newRow("an action's reads ahead are its own") << QStringList{"action", "ahead", "action", "A"} << 1 << 3;
        QTest::newRow("a write forgets") << QStringList{"action", "ahead", "A", "apply", "A", "B"} << 1 << 4;
        QTest::newRow("a large answer is not kept") << QStringList{"action", "A", "A"} << 5001 << 2;
    }

    void sharedAnswers()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, rows);
        QFETCH(int, asked);
        QList<QVariantList> table;
        for (int i = 0; i < rows; ++i)
            table.append(QVariantList{i});
        serve({{"n", FieldType::Integer, 0}}, table);
        const auto request = [](const char *name, const QVariant &value) {
            return protocol::FetchRequest{{}, "DtsPTemporal", QLatin1String(name), {{"P", FieldType::Unknown, value}}, {}};
        };
        std::optional<UserAction::Scope> action;
        for (const QString &step : steps) {
            if (step == "action") {
                action.reset();
                action.emplace();
            } else if (step == "none") {
                action.reset();
            } else if (step == "ahead") {
                m_connection.ReadAhead({request("A", 1), request("B", 2)});
            } else if (step == "apply") {
                m_connection.Apply("DtsPAcCuare", {});
            } else {
                const QVariant value = step == "A1.0" ? QVariant(1.0)
                    : step == "Atext"                  ? QVariant(QStringLiteral("1"))
                    : step == "Alist"                  ? QVariant(QStringList{QStringLiteral("1")})
                                                       : QVariant(1);
                const protocol::FetchResult answer =
                    m_connection.Fetch(step == "B" ? request("B", 2) : request("A", value));
                QCOMPARE(answer.rows.size(), rows);
            }
        }
        QCOMPARE(m_server->fetches.size(), asked);
    }
};

QTEST_GUILESS_MAIN(TestRemoteDataSet)
#include "tst_remotedataset.moc"
