// Reading statement text without a database: named parameters, the statement registry's reading
// of a request, and the final ORDER BY that makes SQLite and PostgreSQL give rows in one order
// (which clauses are understood, where PostgreSQL's nulls go, how ties settle).

#include "tests/support/DataTable.h"
#include "protocol/NamedParams.h"
#include "appserver/OrderByClause.h"
#include "appserver/SqlDialect.h"
#include "appserver/StatementRegistry.h"

#include <QtTest>

using namespace appserver;

Q_DECLARE_METATYPE(protocol::SqlSyntax)
Q_DECLARE_METATYPE(protocol::Condition)

class TstSqlText : public QObject {
    Q_OBJECT
private slots:
    void namedParams_data()
    {
        // distinct: one per name whatever its case, first spelling
        addColumns<QString, SqlSyntax, QString, QStringList, QStringList>(
            {"statement", "syntax", "positional", "markers", "distinct"});
        const SqlSyntax sqlite = SqlSyntax::Sqlite;

        QTest::newRow("repeated and mixed case")
            << "where a = :codempr and b = (select max(x) from t where c = :CodEmpr)"
            << sqlite << "where a = ? and b = (select max(x) from t where c = ?)" << QStringList{"codempr", "CodEmpr"}
            << QStringList{"codempr"};
        QTest::newRow("cast is not a parameter") << "select a::text, :p::integer from t where b = :p"
                                                 << sqlite << "select a::text, ?::integer from t where b = ?"
                                                 << QStringList{"p", "p"} << QStringList{"p"};
        QTest::newRow("quoted text and identifiers") << "select ':x', \"a:b\" from t where c = ':y' || :z"
                                                     << sqlite << "select ':x', \"a:b\" from t where c = ':y' || ?"
                                                     << QStringList{"z"} << QStringList{"z"};
        QTest::newRow("doubled quote stays inside") << "select 'it''s :no' from t where d = :si"
                                                    << sqlite << "select 'it''s :no' from t where d = ?" << QStringList{"si"}
                                                    << QStringList{"si"};
        QTest::newRow("comments") << "select 1 -- :uno\n/* :dos */ from t where e = :tres"
                                  << sqlite << "select 1 -- :uno\n/* :dos */ from t where e = ?" << QStringList{"tres"}
                                  << QStringList{"tres"};
        QTest::newRow("digits after the colon are no name") << "x = :1 or y = :b2" << sqlite << "x = :1 or y = ?"
                                                              << QStringList{"b2"} << QStringList{"b2"};
        // PostgreSQL gets its own numbered markers, and its escape strings hide no parameter.
        QTest::newRow("postgres") << "where a = :x and b = E'\\':y' and c = :X" << SqlSyntax::Postgres
                                  << "where a = $1 and b = E'\\':y' and c = $2" << QStringList{"x", "X"} << QStringList{"x"};
        QTest::newRow("lone colon, assignment and time") << "a[1:2] = :b, x := 1, '10:30'" << sqlite << "a[1:2] = ?, x := 1, '10:30'"
                                                         << QStringList{"b"} << QStringList{"b"};
    }

    void namedParams()
    {
        QFETCH(QString, statement);
        QFETCH(SqlSyntax, syntax);
        QFETCH(QString, positional);
        QFETCH(QStringList, markers);
        QFETCH(QStringList, distinct);

        const NamedParams params(statement, syntax);
        QCOMPARE(params.positionalStatement(), positional);
        QCOMPARE(params.markers(), markers);
        QCOMPARE(params.distinctNames(), distinct);
    }

    // Values are read as the catalogue types them, conditions name searchable columns only, and what
    // runs is the catalogue's text with every value bound.
    void registry_data()
    {
        // statement: the registered one that runs, empty when refused; refusal: part of the message;
        // rendered: part of the text the server runs; bound: the slot values then the condition's
        addColumns<QString, QString, QVariantMap, QList<Condition>, QString, QString, QString, QVariantList>(
            {"provider", "name", "values", "conditions", "statement", "refusal", "rendered", "bound"});
        const QString temporal = QStringLiteral("DtsPTemporal");
        const QVariantMap company3{{"empresa", 3}};
        const auto condition = [](const char *column, ConditionOperator op, const QVariant &value, bool upper = false) {
            return QList<Condition>{Condition{QLatin1String(column), op, value, upper}};
        };
        QTest::newRow("own statement for no name") << "DtsPGnNexof" << "" << QVariantMap() << QList<Condition>()
                                                   << "BanderaEmpresa" << "" << "" << QVariantList();
        QTest::newRow("slots bound as their kinds")
            << temporal << "EmpleadosCargo" << QVariantMap{{"empresa", "3"}, {"cargo", "GER'001"}} << QList<Condition>()
            << "EmpleadosCargo" << "" << "a.COD_EMPR = :__S1   and a.COD_CARG = :__S2" << QVariantList{3, "GER'001"};
        QTest::newRow("a list of texts") << "DtsPBiDtpca" << "PerfilCargoCategorias"
                                         << QVariantMap{{"categorias", QStringList{"EF", "CO"}}} << QList<Condition>()
                                         << "PerfilCargoCategorias" << "" << "COD_DETA IN (:__S1, :__S2)"
                                         << QVariantList{"EF", "CO"};
        QTest::newRow("rows kept to the user's companies") << "DtsPAcPprom" << "Planes" << QVariantMap()
                                                           << QList<Condition>() << "Planes" << ""
                                                           << "from ac_pprom WHERE cod_empr IN (0, :__E1, :__E2)"
                                                           << QVariantList();
        QTest::newRow("no row, even where nothing is searchable")
            << "DtsPAcPprom" << "Planes" << QVariantMap() << QList<Condition>{Condition{{}, ConditionOperator::NoRow, {}, false}}
            << "Planes" << "" << "WHERE (1 = 0) AND cod_empr IN" << QVariantList();
        QTest::newRow("a date stands for its day")
            << "DtsPAcPprom" << "PlanesEmpresa" << company3 << condition("ACT_HORA", ConditionOperator::Equal, QDate(2026, 3, 1))
            << "PlanesEmpresa" << "" << "((act_hora >= :__C1 AND act_hora < :__C2)) order by"
            << QVariantList{"2026-03-01", "2026-03-02"};   // the company is a bound parameter, no slot
        QTest::newRow("a text in a number column") << "DtsPAcPprom" << "PlanesEmpresa" << company3
                                                   << condition("COD_MENU", ConditionOperator::Equal, "1 OR 1=1") << ""
                                                   << "no es un número entero" << "" << QVariantList();
        // Refused. (SQL text as a name, a fraction as a company, quotes in a condition: tst_httpserver.)
        QTest::newRow("another provider's statement") << "DtsPAcCuare" << "Planes" << QVariantMap() << QList<Condition>()
                                                      << "" << "no tiene la sentencia \"Planes\"" << "" << QVariantList();
        QTest::newRow("no name where the provider has no own")
            << temporal << "" << QVariantMap() << QList<Condition>() << "" << "no tiene sentencia propia" << "" << QVariantList();
        QTest::newRow("a slot without its value") << temporal << "ListaPlanes" << QVariantMap() << QList<Condition>() << ""
                                                  << "falta el valor" << "" << QVariantList();
        QTest::newRow("an empty list") << "DtsPBiDtpca" << "PerfilCargoCategorias" << QVariantMap{{"categorias", QStringList()}}
                                       << QList<Condition>() << "" << "lista de textos está vacía" << "" << QVariantList();
        QTest::newRow("a column that is not searchable")
            << temporal << "ListaPlanes" << company3 << condition("COD_EMPR", ConditionOperator::Equal, 1) << ""
            << "no se puede buscar por la columna \"COD_EMPR\"" << "" << QVariantList();
        QTest::newRow("a function as the column") << temporal << "ListaPlanes" << company3
                                                  << condition("lower(nom_menu)", ConditionOperator::Equal, "x") << ""
                                                  << "no se puede buscar por la columna" << "" << QVariantList();
        QTest::newRow("a condition where none is allowed")
            << "DtsPAcPprom" << "Planes" << QVariantMap() << condition("COD_MENU", ConditionOperator::Equal, 1) << ""
            << "no admite condiciones" << "" << QVariantList();
        QTest::newRow("contains on a number") << "DtsPAcPprom" << "PlanesEmpresa" << company3
                                              << condition("COD_NODO", ConditionOperator::Contains, "1") << ""
                                              << "solo se aplican a columnas de texto" << "" << QVariantList();
    }

    void registry()
    {
        QFETCH(QString, provider);
        QFETCH(QString, name);
        QFETCH(QVariantMap, values);
        QFETCH(QList<Condition>, conditions);
        QFETCH(QString, statement);
        QFETCH(QString, refusal);
        QFETCH(QString, rendered);
        QFETCH(QVariantList, bound);

        const StatementRegistry &registry = StatementRegistry::module();
        QVERIFY2(registry.loadError().isEmpty(), qPrintable(registry.loadError()));
        FetchRequest request;
        request.provider = provider;
        request.statement = name;
        request.conditions = conditions;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            request.params.append({it.key(), FieldType::Unknown, it.value()});
        QString error;
        StatementValues read;
        const RegisteredStatement *found = registry.find(*registry.provider(provider), name, &error);
        if (found)
            error = found->bind(request, SqlDialect(DatabaseDescription::Engine::Sqlite), &read);
        QCOMPARE(found && error.isEmpty() ? found->name() : QString(), statement);
        QVERIFY2(refusal.isEmpty() ? error.isEmpty() : error.contains(refusal), qPrintable(error));
        if (!statement.isEmpty()) {
            QCOMPARE(read.slotValues + read.conditionValues, bound);
            const QString sql = found->render(read, 2);
            QVERIFY2(sql.contains(rendered), qPrintable(sql));
        }
    }

    // A condition is ANDed to the WHERE clause: one with an OR outside parentheses takes none.
    void registryRefusesConditionsAfterOr()
    {
        StatementRegistry registry;
        const QString error = registry.load(R"({"providers": [{"name": "DtsPTemporal"}], "statements": [
            {"name": "PlanesOCargos", "providers": ["DtsPTemporal"], "company": "none", "conditions": {"nom_menu": "text"},
             "text": "select cod_menu, nom_menu from ac_pprom where cod_nodo = 0 or (cod_nodo > 5) order by cod_menu"}]})");
        QCOMPARE(error, QStringLiteral("la sentencia PlanesOCargos del registro admite condiciones, pero su WHERE une con "
                                       "OR fuera de paréntesis"));
    }

    void nullsSmallest_data()
    {
        // rewritten: empty: left as it is
        addColumns<QString, QString>({"statement", "rewritten"});
        QTest::newRow("one column with its table") << "select * from t a order by a.APE_EMPL"
                                                   << "select * from t a order by a.APE_EMPL ASC NULLS FIRST";
        QTest::newRow("descending and by position") << "select x, y from t ORDER  BY y desc, 1;"
                                                    << "select x, y from t ORDER  BY y DESC NULLS LAST, 1 ASC NULLS FIRST";
        QTest::newRow("order inside a subquery only") << "select * from (select x from t order by x) s" << "";
        QTest::newRow("a limit after it") << "select x from t order by x limit 5" << "";
        QTest::newRow("order by inside quotes") << "select 'order by x' from t" << "";
        QTest::newRow("no order") << "select x from t" << "";
    }

    void nullsSmallest()
    {
        QFETCH(QString, statement);
        QFETCH(QString, rewritten);
        const OrderByClause order(statement);
        QCOMPARE(order.isPlain(), !rewritten.isEmpty());
        QCOMPARE(order.withNullsSmallest(statement), rewritten.isEmpty() ? statement : rewritten);
    }

    void ties_data()
    {
        // rows: "surname|code" as the engine returned them
        addColumns<QString, QStringList, QStringList>({"statement", "rows", "expected"});
        const QString bySurname = QStringLiteral("select APE_EMPL, COD_EMPL from t order by b.APE_EMPL");
        QTest::newRow("tied surnames by code") << bySurname
            << QStringList{"Peña|9", "Ríos|20", "Ríos|3", "Ríos|", "Soto|1"}
            << QStringList{"Peña|9", "Ríos|", "Ríos|3", "Ríos|20", "Soto|1"};
    }

    void ties()
    {
        QFETCH(QString, statement);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, expected);
        const QList<FieldDesc> fields{{QStringLiteral("APE_EMPL"), FieldType::String, 25, false},
                                      {QStringLiteral("COD_EMPL"), FieldType::Float, 0, false}};
        QList<QVariantList> table;
        for (const QString &row : rows) {
            const QStringList parts = row.split(QLatin1Char('|'));
            table << QVariantList{parts.at(0), parts.at(1).isEmpty() ? QVariant() : QVariant(parts.at(1).toDouble())};
        }
        OrderByClause(statement).settleTies(fields, &table);
        QStringList got;
        for (const QVariantList &row : table)
            got << row.at(0).toString() + QLatin1Char('|') + (row.at(1).isNull() ? QString() : row.at(1).toString());
        QCOMPARE(got, expected);
    }
};

QTEST_APPLESS_MAIN(TstSqlText)
#include "tst_sqltext.moc"
