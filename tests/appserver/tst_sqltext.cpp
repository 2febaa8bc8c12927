// Reading statement text without a database: named parameters, the statement registry, comma
// text, and the final ORDER BY that makes SQLite and PostgreSQL give rows in one order (which
// clauses are understood, where PostgreSQL's nulls go, how ties settle).

#include "protocol/CommaText.h"
#include "tests/support/DataTable.h"
#include "protocol/NamedParams.h"
#include "appserver/OrderByClause.h"
#include "appserver/StatementRegistry.h"

#include <QtTest>

using namespace appserver;

Q_DECLARE_METATYPE(protocol::SqlSyntax)

class TstSqlText : public QObject {
    Q_OBJECT
private slots:
    void namedParams_data()
    {
        // distinct: one per name whatever its case, first spelling
        addColumns<QString, QString, QStringList, QStringList>({"statement", "positional", "markers", "distinct"});

        QTest::newRow("repeated and mixed case")
            << "where a = :codempr and b = (select max(x) from t where c = :CodEmpr)"
            << "where a = ? and b = (select max(x) from t where c = ?)" << QStringList{"codempr", "CodEmpr"}
            << QStringList{"codempr"};
        QTest::newRow("cast is not a parameter") << "select a::text, :p::integer from t where b = :p"
                                                 << "select a::text, ?::integer from t where b = ?"
                                                 << QStringList{"p", "p"} << QStringList{"p"};
        QTest::newRow("quoted text and identifiers") << "select ':x', \"a:b\" from t where c = ':y' || :z"
                                                     << "select ':x', \"a:b\" from t where c = ':y' || ?"
                                                     << QStringList{"z"} << QStringList{"z"};
        QTest::newRow("doubled quote stays inside") << "select 'it''s :no' from t where d = :si"
                                                    << "select 'it''s :no' from t where d = ?" << QStringList{"si"}
                                                    << QStringList{"si"};
        QTest::newRow("comments") << "select 1 -- :uno\n/* :dos */ from t where e = :tres"
                                  << "select 1 -- :uno\n/* :dos */ from t where e = ?" << QStringList{"tres"}
                                  << QStringList{"tres"};
        QTest::newRow("digits after the colon are no name") << "x = :1 or y = :b2" << "x = :1 or y = ?"
                                                              << QStringList{"b2"} << QStringList{"b2"};
        QTest::newRow("lone colon, assignment and time") << "a[1:2] = :b, x := 1, '10:30'" << "a[1:2] = ?, x := 1, '10:30'"
                                                         << QStringList{"b"} << QStringList{"b"};
    }

    void namedParams()
    {
        QFETCH(QString, statement);
        QFETCH(QString, positional);
        QFETCH(QStringList, markers);
        QFETCH(QStringList, distinct);

        const NamedParams params(statement);
        QCOMPARE(params.positionalStatement(), positional);
        QCOMPARE(params.markers(), markers);
        QCOMPARE(params.distinctNames(), distinct);
    }

    // PostgreSQL gets its own numbered markers, and its escape strings hide no parameter.
    void namedParamsPostgres()
    {
        const NamedParams params(QStringLiteral("where a = :x and b = E'\\':y' and c = :X"), SqlSyntax::Postgres);
        QCOMPARE(params.positionalStatement(), QStringLiteral("where a = $1 and b = E'\\':y' and c = $2"));
        QCOMPARE(params.markers(), (QStringList{"x", "X"}));
    }

    // A workstation's text runs only as one of the module's registered statements: the same
    // tokens (case and blanks aside) with its slots filled by values of their kind, plus, where
    // the statement allows it, a condition of the look-up dialog on its own columns.
    void registry_data()
    {
        // statement: the registered one it reads as, empty when refused; refusal: part of the message
        addColumns<QString, QString, QString, QString, QString>({"provider", "text", "statement", "refusal", "rendered"});
        const QString temporal = QStringLiteral("DtsPTemporal");
        const QString employees = QStringLiteral(
            " select a.COD_EMPR,a.COD_EMPL,a.COD_CARG, b.APE_EMPL,b.NOM_EMPL from NM_CONTR a, BI_EMPLE b"
            " where a.COD_EMPR = b.COD_EMPR and a.COD_EMPL = b.COD_EMPL and a.COD_EMPR = %1 and a.COD_CARG = %2"
            " and a.IND_ACTI = 'A' order by b.APE_EMPL");
        const QString plans = QStringLiteral("select cod_menu,nom_menu from ac_pprom \r\n where cod_empr = 3\r\nand cod_nodo = 0 \r\n");
        QTest::newRow("own statement for an empty text") << "DtsPGnNexof" << "" << "BanderaEmpresa" << "" << "";
        QTest::newRow("dataset text, other case and blanks")
            << "DtsPGrafico"
            << "SELECT cod_empr,cod_carg,cod_menu,cod_nodo,cod_nodp,cod_emca FROM AC_PPROM WHERE cod_empr=:p_cod_empr "
               "AND cod_menu=:p_cod_menu AND cod_nodo>0 ORDER BY cod_nodo"
            << "NodosPlan" << "" << "";
        QTest::newRow("slots filled") << temporal << employees.arg("3", "'GER001'") << "EmpleadosCargo" << ""
                                      << "a.COD_EMPR = :__S1   and a.COD_CARG = :__S2";
        QTest::newRow("category list") << "DtsPBiDtpca"
            << "select * from BI_DTPCA a where a.COD_EMPR = :P_COD_EMPR and a.COD_CARG = :P_COD_CARG AND TIP_REGI IN "
               "( select TIP_REGI from ac_dpama WHERE COD_EMPR = a.COD_EMPR AND COD_DETA IN ('EF','CO')) "
               "ORDER BY a.TIP_REGI, a.COD_REQU, a.COD_ESPE"
            << "PerfilCargoCategorias" << "" << "COD_DETA IN (:__S1, :__S2)";
        QTest::newRow("rows kept to the user's companies") << "DtsPAcPprom" << "select * from ac_pprom" << "Planes" << ""
                                                           << "from ac_pprom WHERE cod_empr IN (0, :__E1, :__E2)";
        QTest::newRow("probe condition decided here") << temporal << plans + " AND 1=0" << "ListaPlanes" << ""
                                                      << "where (cod_empr = :__S1\nand cod_nodo = 0 ) AND (1 = 0)";
        const QString lookUpEmployees = QStringLiteral(
            "select  a.cod_empl,a.nom_empl,a.ape_empl,b.cod_carg,b.nro_cont from bi_emple a,nm_contr b "
            "where a.cod_empr = b.cod_empr and a.cod_empl = b.cod_empl and a.cod_empr = 3 and b.ind_acti = 'A'%1 "
            "order by a.ape_empl,a.nom_empl%2");
        const QString surnameOrContract = QStringLiteral(
            " AND (UPPER(A.APE_EMPL) LIKE 'RO%' ESCAPE '\\' OR (cod_carg = 'X' AND nro_cont >= -2))");
        QTest::newRow("condition at the end of the WHERE clause, before ORDER BY")
            << temporal << lookUpEmployees.arg(surnameOrContract, QString()) << "ListaEmpleados" << ""
            << ") AND ((UPPER(a.ape_empl) LIKE :__C1 ESCAPE :__C2 OR (b.cod_carg = :__C3 AND b.nro_cont >= :__C4))) order by";
        QTest::newRow("condition after ORDER BY") << temporal << lookUpEmployees.arg(QString(), surnameOrContract)
                                                  << "" << "no es una de ellas" << "";
        QTest::newRow("WHERE again after the WHERE clause") << temporal << plans + " WHERE 1=0" << ""
                                                            << "no es una de ellas" << "";
        // Refused: the registry's texts with anything else in them.
        QTest::newRow("company as an expression") << temporal << employees.arg("3 + 0", "'GER001'") << "" << "no es una de ellas" << "";
        QTest::newRow("company as text") << temporal << employees.arg("'3'", "'GER001'") << "" << "no es una de ellas" << "";
        QTest::newRow("union appended") << temporal << employees.arg("3", "'X' union select 1,2,3,4,5") << "" << "no es una de ellas" << "";
        QTest::newRow("credentials") << temporal << "select PAS_USUA from GN_USUAR where COD_USUA = 'ADMIN'" << "" << "no es una de ellas" << "";
        QTest::newRow("two statements") << temporal << plans + "; delete from ac_pprom" << "" << "no es una de ellas" << "";
        QTest::newRow("condition on another column") << temporal << plans + " AND COD_EMPR = 1" << ""
                                                     << "no tiene la columna COD_EMPR" << "";
        QTest::newRow("subquery in a condition") << temporal << plans + " AND nom_menu = (select max(pas_usua) from gn_usuar)"
                                                 << "" << "no admite \"(\"" << "";
        QTest::newRow("function in a condition") << temporal << plans + " AND lower(nom_menu) = 'x'" << "" << "no tiene la columna LOWER" << "";
        QTest::newRow("condition where none is allowed") << "DtsPAcPprom" << "select * from ac_pprom where 1=1" << ""
                                                         << "no es una de ellas" << "";
        QTest::newRow("another provider's statement") << "DtsPAcCuare" << "select * from ac_pprom" << "" << "no es una de ellas" << "";
        QTest::newRow("escape string") << temporal << employees.arg("3", "E'GER\\'001'") << "" << "con prefijo" << "";
        QTest::newRow("dollar quoting") << temporal << employees.arg("3", "$$GER$$") << "" << "\"$\"" << "";
        QTest::newRow("quoted name") << temporal << plans + " AND \"nom_menu\" = 'x'" << "" << "entre comillas" << "";
        QTest::newRow("hexadecimal company") << temporal << employees.arg("0x3", "'GER001'") << "" << "mal escrito" << "";
        QTest::newRow("unclosed comment") << temporal << plans + " /* AND 1=0" << "" << "no se cierra" << "";
        QTest::newRow("positional marker") << temporal << employees.arg("?", "'GER001'") << "" << "\"?\"" << "";
    }

    void registry()
    {
        QFETCH(QString, provider);
        QFETCH(QString, text);
        QFETCH(QString, statement);
        QFETCH(QString, refusal);
        QFETCH(QString, rendered);

        const StatementRegistry &registry = StatementRegistry::module();
        QVERIFY2(registry.loadError().isEmpty(), qPrintable(registry.loadError()));
        for (const SqlSyntax syntax : {SqlSyntax::Sqlite, SqlSyntax::Postgres}) {
            StatementValues values;
            QString error;
            const RegisteredStatement *found = registry.match(*registry.provider(provider), text, syntax, &values, &error);
            QCOMPARE(found ? found->name() : QString(), statement);
            QVERIFY2(refusal.isEmpty() ? error.isEmpty() : error.contains(refusal), qPrintable(error));
            if (found && !rendered.isEmpty()) {
                const QString sql = found->render(values, 2);
                QVERIFY2(sql.contains(rendered), qPrintable(sql));
            }
        }
    }

    // A condition joins a registered statement's WHERE clause with AND: a clause joined by an OR
    // outside parentheses would let it choose rows the statement never meant, so such a
    // statement may take no conditions.
    void registryRefusesConditionsAfterOr()
    {
        StatementRegistry registry;
        const QString error = registry.load(R"({"providers": [{"name": "DtsPTemporal"}], "statements": [
            {"name": "PlanesOCargos", "providers": ["DtsPTemporal"], "company": "none", "conditions": ["nom_menu"],
             "text": "select cod_menu, nom_menu from ac_pprom where cod_nodo = 0 or (cod_nodo > 5) order by cod_menu"}]})");
        QCOMPARE(error, QStringLiteral("la sentencia PlanesOCargos del registro admite condiciones, pero su WHERE une con "
                                       "OR fuera de paréntesis"));
    }

    void commaText_data()
    {
        addColumns<QString, QStringList, QString>({"text", "items", "joined"});

        QTest::newRow("quoted codes") << "\"QBiHvext\",\"QBiEdfor\"" << QStringList{"QBiHvext", "QBiEdfor"}
                                      << "QBiHvext,QBiEdfor";
        QTest::newRow("blanks separate") << "a b,c" << QStringList{"a", "b", "c"} << "a,b,c";
        QTest::newRow("empty and blank items") << "\"\",\"C:\\Program Files\\x.exe\""
                                               << QStringList{"", "C:\\Program Files\\x.exe"}
                                               << "\"\",\"C:\\Program Files\\x.exe\"";
        QTest::newRow("quote inside") << "\"di \"\"hola\"\"\"" << QStringList{"di \"hola\""} << "\"di \"\"hola\"\"\"";
        QTest::newRow("trailing comma") << "a," << QStringList{"a", ""} << "a,\"\"";
    }

    void commaText()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, items);
        QFETCH(QString, joined);

        QCOMPARE(CommaText::split(text), items);
        QCOMPARE(CommaText::join(items), joined);
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
        QTest::newRow("no tie: the engine's order stays") << bySurname
            << QStringList{"Soto|1", "Peña|9"} << QStringList{"Soto|1", "Peña|9"};
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
