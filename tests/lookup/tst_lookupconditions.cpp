// The conditions of the look-up dialog and query by example in the statements they are given:
// each lands in the statement's own WHERE clause, ahead of what follows it, and the database
// then returns exactly the rows the condition chooses. Every statement runs as composed on
// SQLite, and on PostgreSQL when QACSEMAF_PG is set; the module's registered employee look-up
// also runs through the server core, which must take the composed text as that statement.

#include "tests/support/DataTable.h"
#include "framework/Exceptions.h"
#include "appserver/ServerCore.h"
#include "tests/appserver/ServerTestDb.h"
#include "framework/StatementCondition.h"

#include <QtTest>

namespace {

// The replacement window's employee look-up, as its button hands it to the dialog.
const QString employeeLookUp = QStringLiteral(
    "select  a.cod_empl,a.nom_empl,a.ape_empl,b.cod_carg,b.nro_cont\r\n"
    "from     bi_emple a,nm_contr b\r\n"
    "where  a.cod_empr = b.cod_empr\r\n"
    "and      a.cod_empl = b.cod_empl\r\n"
    "and      a.cod_empr = 1\r\n"
    "and      b.ind_acti = 'A'%1\r\n"
    "order by a.ape_empl,a.nom_empl\r\n");

} // namespace

class TstLookupConditions : public QObject {
    Q_OBJECT
public:
    explicit TstLookupConditions(ServerTestDb::Backend backend) : m_db(backend) {}

private slots:
    void initTestCase()
    {
        if (!m_db.skipReason().isEmpty())
            QSKIP(qPrintable(m_db.skipReason()));
        qInfo("Backend: %s", qPrintable(m_db.backendName()));
        QCOMPARE(m_db.create(), QString());
        const QStringList rows{
            "INSERT INTO GN_EMPRE (COD_EMPR, NOM_EMPR, COD_PAIS, GRU_EMPR) VALUES (1, 'Uno S.A.', 57, 'N'), "
            "(2, 'Dos Ltda', 57, 'N')",
            "INSERT INTO BI_EMPLE (COD_EMPR, COD_EMPL, NOM_EMPL, APE_EMPL) VALUES (1, 101, 'Ana', 'Martinez'), "
            "(1, 102, 'Andres', 'Marin'), (1, 103, 'Beatriz', 'Rojas'), (1, 104, 'Carlos', 'Martos'), "
            "(1, 105, 'Anibal', 'Suarez'), (2, 201, 'Diana', 'Martinez')",
            "INSERT INTO NM_CONTR (COD_EMPR, COD_EMPL, NRO_CONT, COD_CARG, IND_ACTI) VALUES (1, 101, 1, 'GER01', 'A'), "
            "(1, 102, 1, 'AUX01', 'A'), (1, 103, 1, 'AUX01', 'A'), (1, 103, 2, 'GER01', 'R'), "
            "(1, 104, 1, 'AUX01', 'R'), (1, 104, 2, 'JEF01', 'A'), (1, 105, 2, 'JEF01', 'A'), (2, 201, 1, 'GER01', 'A')",
            "INSERT INTO BI_CARGO (COD_EMPR, COD_CARG, NOM_CARG, IND_ACTI) VALUES (1, 'GER01', 'Gerente', 'A'), "
            "(1, 'AUX01', 'Auxiliar', 'A'), (1, 'JEF01', 'Jefe de area', 'A')",
        };
        for (const QString &row : rows)
            QCOMPARE(m_db.exec(row), QString());
        QCOMPARE(m_core.open(m_db.description()), QString());
    }

    void placed_data()
    {
        // registered: the module's own look-up, which also runs through the server core
        addColumns<QString, QString, QString, QStringList, bool>({"statement", "condition", "composed", "rows", "registered"});

        QTest::newRow("employee look-up: empty-grid probe before ORDER BY")
            << employeeLookUp.arg(QString()) << " AND 1=0" << employeeLookUp.arg(" AND 1=0") << QStringList() << true;
        const QString surname = QStringLiteral(" AND UPPER(a.APE_EMPL) LIKE 'MART%' ESCAPE '\\'");
        QTest::newRow("employee look-up: surname criterion before ORDER BY")
            << employeeLookUp.arg(QString()) << surname << employeeLookUp.arg(surname)
            << QStringList{"101|Ana|Martinez|GER01|1", "104|Carlos|Martos|JEF01|2"} << true;

        QTest::newRow("GROUP BY without WHERE starts one")
            << "select cod_carg, count(*) from nm_contr group by cod_carg having count(*) > 2 order by cod_carg"
            << " AND cod_empr = 1"
            << "select cod_carg, count(*) from nm_contr WHERE cod_empr = 1 group by cod_carg having count(*) > 2 order by cod_carg"
            << QStringList{"AUX01|3"} << false;
        QTest::newRow("WHERE inside a longer word")
            << "select cod_empl, nom_empl as somewhere from bi_emple order by cod_empl"
            << " AND UPPER(nom_empl) LIKE 'AN%' ESCAPE '\\'"
            << "select cod_empl, nom_empl as somewhere from bi_emple WHERE UPPER(nom_empl) LIKE 'AN%' ESCAPE '\\' order by cod_empl"
            << QStringList{"101|Ana", "102|Andres", "105|Anibal"} << false;
        QTest::newRow("ORDER inside a longer word")
            << "select cod_empl as orderby_x, ape_empl as somewhere from bi_emple order by orderby_x" << " AND 1=0"
            << "select cod_empl as orderby_x, ape_empl as somewhere from bi_emple WHERE 1=0 order by orderby_x"
            << QStringList() << false;
        QTest::newRow("quoted name holding WHERE and ORDER BY")
            << "select cod_empl, nom_empl as \"where order by\" from bi_emple where cod_empr = 1 order by cod_empl"
            << " AND cod_empl < 103"
            << "select cod_empl, nom_empl as \"where order by\" from bi_emple where cod_empr = 1 AND cod_empl < 103 order by cod_empl"
            << QStringList{"101|Ana", "102|Andres"} << false;
        QTest::newRow("subquery with its own WHERE and ORDER BY")
            << "select s.cod_empl, s.ape_empl from (select cod_empl, ape_empl from bi_emple where cod_empr = 1 "
               "order by ape_empl) s order by s.cod_empl"
            << " AND s.ape_empl LIKE 'Mar%'"
            << "select s.cod_empl, s.ape_empl from (select cod_empl, ape_empl from bi_emple where cod_empr = 1 "
               "order by ape_empl) s WHERE s.ape_empl LIKE 'Mar%' order by s.cod_empl"
            << QStringList{"101|Martinez", "102|Marin", "104|Martos"} << false;
        QTest::newRow("subquery inside the WHERE")
            << "select cod_empl from nm_contr where cod_carg in (select cod_carg from bi_cargo where nom_carg <> "
               "'Gerente' order by cod_carg) and ind_acti = 'A' order by cod_empl"
            << " AND cod_empl > 102"
            << "select cod_empl from nm_contr where cod_carg in (select cod_carg from bi_cargo where nom_carg <> "
               "'Gerente' order by cod_carg) and ind_acti = 'A' AND cod_empl > 102 order by cod_empl"
            << QStringList{"103", "104", "105"} << false;
        QTest::newRow("texts holding ' order by ' and ' where '")
            << "select cod_empl, ' order by ' as nota from bi_emple where nom_empl <> ' where ' order by cod_empl"
            << " AND cod_empr = 2"
            << "select cod_empl, ' order by ' as nota from bi_emple where nom_empl <> ' where ' AND cod_empr = 2 order by cod_empl"
            << QStringList{"201| order by "} << false;
        QTest::newRow("OR in the statement's WHERE is kept together")
            << "select cod_empl from nm_contr where cod_carg = 'GER01' or cod_carg = 'JEF01' order by cod_empl"
            << " AND ind_acti = 'A'"
            << "select cod_empl from nm_contr where (cod_carg = 'GER01' or cod_carg = 'JEF01') AND ind_acti = 'A' order by cod_empl"
            << QStringList{"101", "104", "105", "201"} << false;
        QTest::newRow("OR in the criterion is kept together")
            << "select cod_empl from bi_emple where cod_empr = 1 order by cod_empl" << " AND cod_empl = 101 OR cod_empl = 201"
            << "select cod_empl from bi_emple where cod_empr = 1 AND (cod_empl = 101 OR cod_empl = 201) order by cod_empl"
            << QStringList{"101"} << false;
        QTest::newRow("line comment before ORDER BY")
            << "select cod_empl from bi_emple where cod_empr = 1 -- la empresa\norder by cod_empl" << " AND cod_empl > 104"
            << "select cod_empl from bi_emple where cod_empr = 1 AND cod_empl > 104 -- la empresa\norder by cod_empl"
            << QStringList{"105"} << false;
        QTest::newRow("UNION: the first select's WHERE")
            << "select cod_carg from bi_cargo where cod_empr = 1 union select cod_carg from nm_contr where ind_acti = 'R' order by 1"
            << " AND nom_carg = 'Gerente'"
            << "select cod_carg from bi_cargo where cod_empr = 1 AND nom_carg = 'Gerente' union select cod_carg from "
               "nm_contr where ind_acti = 'R' order by 1"
            << QStringList{"AUX01", "GER01"} << false;
        QTest::newRow("condition with an ORDER BY of its own")
            << "select cod_empl from bi_emple" << " where cod_empr = 1 order by cod_empl desc"
            << "select cod_empl from bi_emple WHERE cod_empr = 1 order by cod_empl desc"
            << QStringList{"105", "104", "103", "102", "101"} << false;
        QTest::newRow("before the closing semicolon")
            << "select cod_empl from bi_emple where cod_empr = 2;" << " AND nom_empl = 'Diana'"
            << "select cod_empl from bi_emple where cod_empr = 2 AND nom_empl = 'Diana';" << QStringList{"201"} << false;
    }

    void placed()
    {
        QFETCH(QString, statement);
        QFETCH(QString, condition);
        QFETCH(QString, composed);
        QFETCH(QStringList, rows);
        QFETCH(bool, registered);

        const QString text = StatementCondition::place(statement, condition);
        QCOMPARE(text, composed);
        QCOMPARE(m_db.rows(text), rows);
        if (!registered)
            return;
        const protocol::FetchResult fetched =
            m_core.fetch({ServerTestDb::session(), QStringLiteral("DtsPTemporal"), text, {}});
        QVERIFY2(fetched.ok(), qPrintable(fetched.error));
        QStringList served;
        for (const QVariantList &row : fetched.rows) {
            QStringList values;
            for (const QVariant &value : row)
                values << value.toString();
            served << values.join(QLatin1Char('|'));
        }
        QCOMPARE(served, rows);
    }

    // What cannot be placed is refused with the reason.
    void refused_data()
    {
        addColumns<QString, QString, QString>({"statement", "condition", "message"});
        QTest::newRow("both end in a clause")
            << "select cod_empl from bi_emple order by cod_empl" << " where cod_empr = 2 order by nom_empl"
            << "No se puede añadir la condición \"where cod_empr = 2 order by nom_empl\": trae su propio ORDER BY y la "
               "consulta ya tiene ORDER BY.";
        QTest::newRow("unclosed text in the criterion")
            << "select cod_empl from bi_emple" << " AND nom_empl = 'Ana"
            << "No se puede añadir la condición \"AND nom_empl = 'Ana\": La sentencia no se puede leer: un texto entre "
               "comillas no se cierra (posición 17).";
        QTest::newRow("unclosed quoted name in the statement")
            << "select cod_empl as \"codigo from bi_emple" << " AND 1=0"
            << "No se puede añadir la condición \"AND 1=0\" a la consulta: La sentencia no se puede leer: un nombre "
               "entre comillas no se cierra (posición 20).";
        QTest::newRow("nothing after WHERE") << "select cod_empl from bi_emple" << " WHERE "
                                             << "No se puede añadir la condición \"WHERE\": no tiene nada que comparar.";
    }

    void refused()
    {
        QFETCH(QString, statement);
        QFETCH(QString, condition);
        QFETCH(QString, message);
        try {
            StatementCondition::place(statement, condition);
            QFAIL("the condition was placed");
        } catch (const Exception &refusal) {
            QCOMPARE(refusal.Message(), message);
        }
    }

private:
    ServerTestDb m_db;
    appserver::ServerCore m_core;
};

int main(int argc, char **argv)
{
    return runOnEveryBackend<TstLookupConditions>(argc, argv);
}

#include "tst_lookupconditions.moc"
