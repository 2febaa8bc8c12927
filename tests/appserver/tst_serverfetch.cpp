// Fetches through the server core: values typed by the catalogue, conditions, refusals, SQLite's own
// wall, rows one by one, sessions and the server method for program paths. On SQLite, and PostgreSQL
// with QACSEMAF_PG.

#include "tests/support/DataTable.h"
#include "appserver/ServerCore.h"
#include "appserver/SqlConnection.h"
#include "appserver/SqlDialect.h"
#include "tests/appserver/ServerTestDb.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using namespace appserver;

Q_DECLARE_METATYPE(QList<protocol::ParamValue>)
Q_DECLARE_METATYPE(QList<protocol::Condition>)

namespace {

ParamValue param(const char *name, FieldType type, const QVariant &value)
{
    return ParamValue{QString::fromLatin1(name), type, value};
}

// Keeps what a row-by-row fetch hands over, and whether its typed reads agree with its values.
class CollectingSink : public RowSink {
public:
    FetchResult taken;
    QStringList disagreements;
    void fields(const QList<FieldDesc> &fields) override { taken.fields = fields; }
    void row(const RowCells &cells) override
    {
        taken.rows << cells.values(int(taken.fields.size()));
        for (int i = 0; i < taken.fields.size(); ++i)
            if (cells.typed() && !agrees(cells, i, taken.fields.at(i).type))
                disagreements << taken.fields.at(i).name;
    }

private:
    static bool agrees(const RowCells &cells, int i, FieldType type)
    {
        const QVariant value = cells.value(i);
        if (cells.isNull(i) || value.isNull())
            return cells.isNull(i) == value.isNull();
        switch (type) {
        case FieldType::Float: return value.typeId() == QMetaType::Double && cells.toDouble(i) == value.toDouble();
        case FieldType::Smallint:
        case FieldType::Integer: return value.typeId() == QMetaType::Int && cells.toInt(i) == value.toInt();
        case FieldType::String:
        case FieldType::FixedChar: return value.typeId() == QMetaType::QString && cells.toText(i) == value.toString();
        default: return true;
        }
    }
};

} // namespace

class TstServerFetch : public QObject {
    Q_OBJECT
public:
    explicit TstServerFetch(ServerTestDb::Backend backend) : m_db(backend) {}

private slots:
    void initTestCase()
    {
        CREATE_SERVER_TEST_DB(m_db);
        seed();
        QCOMPARE(m_core.open(m_db.description()), QString());
    }

    // Values are read as the catalogue types them, whatever the request calls them, or refused with
    // the reason before the database. (Which statements the catalogue refuses: tst_sqltext.)
    void parameters_data()
    {
        // column: whose values, in the answer's order, are `expected` (the refusal when no column)
        addColumns<QString, QString, QList<ParamValue>, QList<Condition>, QString, QString>(
            {"provider", "statement", "params", "conditions", "column", "expected"});
        // (Texts and numbers bound by name are every provider's, read by the data module's tests; text
        // conditions, by the look-up's.)
        const QList<ParamValue> company1{param("empresa", FieldType::Smallint, 1)};
        const auto on = [](const char *column, ConditionOperator op, const QVariant &value, bool ignoreCase = false) {
            return QList<Condition>{Condition{QLatin1String(column), op, value, ignoreCase}};
        };
        QTest::newRow("names match without regard to case")
            << "DtsPSecuencial" << "UltimoNodo"
            << QList<ParamValue>{param("pcodempr", FieldType::Smallint, 1), param("PcodMenu", FieldType::Smallint, 1)}
            << QList<Condition>() << "MAXIMO" << "1";
        QTest::newRow("set value wins over an unset duplicate")
            << "DtsPTemporal" << "GrupoEmpresarial"
            << QList<ParamValue>{param("CODEMPR", FieldType::Smallint, 2), param("codempr", FieldType::Smallint, QVariant())}
            << QList<Condition>() << "GRU_EMPR" << "S";
        // Node 1's parent is 0: a NULL bound as 0 would find it.
        QTest::newRow("null binds NULL")
            << "DtsPValNodo" << "HijosNodo"
            << QList<ParamValue>{param("PSM_CODEMPR", FieldType::Smallint, 1), param("PSM_CODMENU", FieldType::Smallint, 1),
                                 param("PSM_CODNODP", FieldType::Smallint, QVariant())}
            << QList<Condition>() << "NOM_MENU" << "";
        QTest::newRow("text and a whole float for whole numbers")
            << "DtsPGrafico" << "NodosPlan"
            << QList<ParamValue>{param("P_COD_EMPR", FieldType::String, " 1"), param("P_COD_MENU", FieldType::Float, 1.0)}
            << QList<Condition>() << "COD_CARG" << "GER01";
        // Rows carry a time of day: a date condition compares whole days.
        QTest::newRow("a date equals its whole day") << "DtsPAcPprom" << "PlanesEmpresa" << company1
                                                     << on("ACT_HORA", ConditionOperator::Equal, QDate(2024, 3, 1))
                                                     << "NOM_MENU" << "Plan uno";
        QTest::newRow("after a date is from the next day") << "DtsPAcPprom" << "PlanesEmpresa" << company1
                                                           << on("act_hora", ConditionOperator::Greater, QDate(2024, 3, 1))
                                                           << "NOM_MENU" << "Plan a:b";
        QTest::newRow("unbound parameter")
            << "DtsPTemporal" << "GrupoEmpresarial" << QList<ParamValue>() << QList<Condition>() << ""
            << "Falta el valor del parámetro CODEMPR";
        QTest::newRow("a value not of the parameter's kind")
            << "DtsPSecuencial" << "UltimoNodo"
            << QList<ParamValue>{param("PCODEMPR", FieldType::Smallint, 1),
                                 param("PCODMENU", FieldType::String, "uno")}
            << QList<Condition>() << ""
            << "El parámetro pCodMenu de la sentencia UltimoNodo no sirve: \"uno\" no es un número entero.";
    }

    void parameters()
    {
        QFETCH(QString, provider);
        QFETCH(QString, statement);
        QFETCH(QList<ParamValue>, params);
        QFETCH(QList<Condition>, conditions);
        QFETCH(QString, column);
        QFETCH(QString, expected);

        const FetchResult result = fetch(provider, statement, params, conditions);
        if (column.isEmpty()) {
            QCOMPARE(result.error, expected);
            return;
        }
        QVERIFY2(result.ok(), qPrintable(result.error));
        const int at = indexOfField(result.fields, column);
        QVERIFY2(at >= 0, qPrintable(column));
        QStringList values;
        for (const QVariantList &row : result.rows)
            values << row.at(at).toString();
        QCOMPARE(values.join(QLatin1Char(',')), expected);
    }

    // SQLite's own wall behind the catalogue: the reading connection's authorizer refuses what
    // no statement of the module does. (PostgreSQL's reading role: tst_pgwall.)
    void sqliteReaderWall_data()
    {
        addColumns<QString, QString>({"sql", "message"});
        QTest::newRow("stored passwords") << "select COD_USUA, PAS_USUA from GN_USUAR" << "access to GN_USUAR.PAS_USUA is prohibited";
        QTest::newRow("a function the module does not use") << "select randomblob(8) from GN_EMPRE" << "not authorized";
        QTest::newRow("a write") << "DELETE FROM AC_PPROM" << "not authorized";
        QTest::newRow("another file") << "ATTACH DATABASE ':memory:' AS otra" << "not authorized";
        QTest::newRow("a pragma") << "PRAGMA writable_schema = 1" << "not authorized";
    }

    void sqliteReaderWall()
    {
        QFETCH(QString, sql);
        QFETCH(QString, message);
        if (m_db.description().engine != DatabaseDescription::Engine::Sqlite)
            QSKIP("PostgreSQL's wall is its reading role (tst_pgwall)");
        SqlConnection reader;
        QCOMPARE(reader.open(m_db.description(), SqlDialect(DatabaseDescription::Engine::Sqlite), true), QString());
        QCOMPARE(reader.beginRequest({1}), QString());
        QSqlQuery query(reader.database());
        QVERIFY(!query.exec(sql));
        QVERIFY2(query.lastError().text().contains(message), qPrintable(query.lastError().text()));
        query.finish();
        reader.endRequest(false);
        QCOMPARE(m_db.value(QStringLiteral("SELECT count(*) FROM AC_PPROM")), QStringLiteral("4"));
    }

    // Rows handed over one by one are the rows of the whole answer, in its order (ties settled
    // the same way), and typed reads give the values themselves.
    void rowByRow_data()
    {
        addColumns<QString, QString, QList<ParamValue>>({"provider", "statement", "params"});
        const ParamValue company = param("COD_EMPR", FieldType::Smallint, 1);
        QTest::newRow("ties on the ordering column")
            << "DtsPNmContr" << "TitularesCargo" << QList<ParamValue>{company, param("COD_CARG", FieldType::String, "GER01")};
        QTest::newRow("ordered by a column not shown")
            << "DtsPBidtphvCargo" << "RegistrosExperienciaCargo"
            << QList<ParamValue>{param("EMPRESA", FieldType::Smallint, 1), param("CARGO", FieldType::String, "GER01")};
        QTest::newRow("an expression column")
            << "DtsPTemporal" << "HojaEducacionFormal"
            << QList<ParamValue>{param("empresa", FieldType::Smallint, 1), param("empleado", FieldType::Float, 1001)};
        QTest::newRow("no rows") << "DtsPAcNivel" << "NombreNivel"
                                 << QList<ParamValue>{param("PCODEMPR", FieldType::Smallint, 1), param("PCODNIVE", FieldType::String, "01")};
        QTest::newRow("short texts in turn, long texts")
            << "DtsPBidtphv" << "RegistrosExperiencia" << QList<ParamValue>{company, param("COD_EMPL", FieldType::Float, 1004)};
    }

    void rowByRow()
    {
        QFETCH(QString, provider);
        QFETCH(QString, statement);
        QFETCH(QList<ParamValue>, params);
        const FetchRequest request{ServerTestDb::session(), provider, statement, params, {}};
        const FetchResult whole = m_core.fetch(request);
        QVERIFY2(whole.ok(), qPrintable(whole.error));
        QCOMPARE(whole.rows.isEmpty(), statement == QLatin1String("NombreNivel"));
        CollectingSink sink;
        QCOMPARE(m_core.fetchEach(request, sink), QString());
        QCOMPARE(sink.taken.rows, whole.rows);
        QCOMPARE(sink.taken.fields.size(), whole.fields.size());
        QCOMPARE(sink.disagreements, QStringList());
    }

    // Every call checks the session's password, a save as a read. (An unknown provider: over HTTP.)
    void wrongSession()
    {
        const Credentials session{"PRUEBA", "otra", 1};
        const FetchResult result = fetch(QStringLiteral("DtsPAcPprom"), QStringLiteral("Planes"), {}, {}, session);
        QVERIFY2(result.error.contains(QStringLiteral("contraseña")), qPrintable(result.error));
        QCOMPARE(result.rows.size(), 0);
        const RowDelta node{RowDelta::Kind::Delete, {{"COD_EMPR", 1}, {"COD_MENU", 1}, {"COD_NODO", 1}}, {}};
        const QString refused = m_core.apply(ApplyRequest{session, QStringLiteral("DtsPAcPprom"), {node}}).error;
        QVERIFY2(refused.contains(QStringLiteral("contraseña")), qPrintable(refused));
    }

    void programPaths_data()
    {
        addColumns<QVariantList, QString, QString>({"args", "method", "answer"});

        const QString codes = QStringLiteral("\"QBiHvext\",\"QBiEdfor\",\"QBiEdnfo\",\"QBiCargo\"");
        QTest::newRow("as the main form sends them")
            << QVariantList{QVariantList{codes}, "PRUEBA clave1 1AD", "AD", "PRUEBA", QVariant()}
            << "BuscarPathProgramaArreglo"
            << "C:\\Programas\\QBiHvext.exe,/opt/rrhh/qbiedfor,\"\",\"C:\\Program Files\\Suite\\QBiCargo.exe\"";
        QTest::newRow("unknown method") << QVariantList{} << "NoExiste" << QString();
    }

    void programPaths()
    {
        QFETCH(QVariantList, args);
        QFETCH(QString, method);
        QFETCH(QString, answer);

        const MethodResult result = m_core.call(MethodCall{ServerTestDb::session(), method, args});
        if (answer.isEmpty()) {
            QVERIFY2(result.error.contains(method), qPrintable(result.error));
            return;
        }
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.value.toList().value(0).toString(), answer);
    }

private:
    FetchResult fetch(const QString &provider, const QString &statement, const QList<ParamValue> &params = {},
                      const QList<Condition> &conditions = {}, const Credentials &session = ServerTestDb::session())
    {
        return m_core.fetch(FetchRequest{session, provider, statement, params, conditions});
    }

    void seed()
    {
        const QStringList rows{
            "INSERT INTO GN_EMPRE (COD_EMPR, NOM_EMPR, COD_PAIS, GRU_EMPR) VALUES (1, 'Uno S.A.', 57, 'N'), "
            "(2, 'Dos Ltda', 57, 'S')",
            "INSERT INTO AC_PPROM (COD_EMPR, COD_MENU, COD_NODO, COD_NODP, NOM_MENU, ACT_HORA, COD_CARG) VALUES "
            "(1, 1, 0, NULL, 'Plan uno', '2024-03-01 10:00:00', NULL), (1, 1, 1, 0, 'Gerente', '2024-02-01 09:00:00', 'GER01'), "
            "(1, 2, 0, NULL, 'Plan a:b', '2024-03-05 08:00:00', NULL), (2, 1, 0, NULL, 'Plan dos', '2024-01-01 00:00:00', NULL)",
            "INSERT INTO BI_DTPEF VALUES (1, 1001, 2, 'EF', 20, NULL, 15.5, 'Maestria', '2019-06-30'), "
            "(1, 1001, 1, 'EF', 10, 3, 40, 'Pregrado', '2010-12-01'), (1, 1002, 1, 'EF', 11, NULL, NULL, 'Otro empleado', NULL)",
            "INSERT INTO AC_REQUI VALUES (1, 'AC', 'EF', 20, 'Maestría'), (1, 'AC', 'EF', 10, 'Pregrado')",
            "INSERT INTO BI_DTPHV VALUES (1, 1001, 3, 'EP', 41, NULL, 2, 'Empresa B', '2015-01-01'), "
            "(1, 1001, 1, 'EP', 40, NULL, 3, 'Empresa A', '2012-01-01')",
            // Two holders of one surname, and one whose contract ended.
            "INSERT INTO BI_EMPLE (COD_EMPR, COD_EMPL, NOM_EMPL, APE_EMPL) VALUES (1, 1001, 'Ana', 'Rojas'), "
            "(1, 1002, 'Luis', 'Rojas'), (1, 1003, 'Eva', 'Álvarez'), (1, 1004, 'Iván', 'Peña')",
            "INSERT INTO NM_CONTR (COD_EMPR, COD_EMPL, NRO_CONT, COD_CARG, IND_ACTI) VALUES (1, 1001, 1, 'GER01', 'A'), "
            "(1, 1002, 1, 'GER01', 'A'), (1, 1003, 1, 'GER01', 'A'), (1, 1004, 1, 'GER01', 'R')",
            "INSERT INTO GN_PROGR (COD_PROG, PAT_PROG) VALUES ('QBiHvext', 'C:\\Programas\\QBiHvext.exe'), "
            "('QBiEdfor', '/opt/rrhh/qbiedfor'), ('QBiCargo', 'C:\\Program Files\\Suite\\QBiCargo.exe')",
        };
        for (const QString &row : rows)
            QCOMPARE(m_db.exec(row), QString());
        // Forty records of one employee: codes of one letter, eleven in turn, and long texts.
        for (int i = 1; i <= 40; ++i)
            QCOMPARE(m_db.exec(QStringLiteral("INSERT INTO BI_DTPHV VALUES (1, 1004, ?, ?, ?, NULL, ?, ?, NULL)"),
                               {i, QString(QChar(u'a' + i % 11)), i, i / 4.0,
                                QStringLiteral("un texto de más de dieciséis letras %1").arg(i % 3)}),
                     QString());
    }

    ServerTestDb m_db;
    ServerCore m_core;
};

int main(int argc, char **argv)
{
    return runOnEveryBackend<TstServerFetch>(argc, argv);
}

#include "tst_serverfetch.moc"
