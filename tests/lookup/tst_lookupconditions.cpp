// The look-up's conditions, from the criteria dialog's values and Kquery's condition texts to the
// rows the server's employee look-up returns for them; on SQLite, and on PostgreSQL when
// QACSEMAF_PG is set.

#include "tests/support/DataTable.h"
#include "framework/ConditionText.h"
#include "framework/Exceptions.h"
#include "framework/widgets/QbeConditionBuilder.h"
#include "appserver/ServerCore.h"
#include "tests/appserver/ServerTestDb.h"

#include <QtTest>

using protocol::Condition;
using protocol::ConditionOperator;

Q_DECLARE_METATYPE(Condition)
Q_DECLARE_METATYPE(QbeCriterion)

namespace {

QString described(const QList<Condition> &conditions)
{
    QStringList parts;
    for (const Condition &c : conditions)
        parts << QStringLiteral("%1 %2 %3%4").arg(c.column, protocol::conditionOperatorName(c.op), c.value.toString(),
                                                  c.ignoreCase ? QStringLiteral(" (mayúsculas)") : QString());
    return parts.join(QStringLiteral("; "));
}

} // namespace

class TstLookupConditions : public QObject {
    Q_OBJECT
public:
    explicit TstLookupConditions(ServerTestDb::Backend backend) : m_db(backend) {}

private slots:
    void initTestCase()
    {
        CREATE_SERVER_TEST_DB(m_db);
        const QStringList rows{
            "INSERT INTO GN_EMPRE (COD_EMPR, NOM_EMPR, COD_PAIS, GRU_EMPR) VALUES (1, 'Uno S.A.', 57, 'N'), "
            "(2, 'Dos Ltda', 57, 'N')",
            "INSERT INTO BI_EMPLE (COD_EMPR, COD_EMPL, NOM_EMPL, APE_EMPL) VALUES (1, 101, 'Ana', 'Martinez'), "
            "(1, 102, 'Andres', 'Marin'), (1, 103, 'Beatriz', 'Rojas'), (1, 104, 'Carlos', 'Martos'), "
            "(1, 105, 'Anibal', 'Suarez'), (1, 106, 'Oscar', 'O''Neil'), (2, 201, 'Diana', 'Martinez')",
            "INSERT INTO NM_CONTR (COD_EMPR, COD_EMPL, NRO_CONT, COD_CARG, IND_ACTI) VALUES (1, 101, 1, 'GER01', 'A'), "
            "(1, 102, 1, 'AUX01', 'A'), (1, 103, 1, 'AUX01', 'A'), (1, 103, 2, 'GER01', 'R'), "
            "(1, 104, 1, 'AUX01', 'R'), (1, 104, 2, 'JEF01', 'A'), (1, 105, 2, 'JEF01', 'A'), (1, 106, 1, 'AUX01', 'A'), "
            "(2, 201, 1, 'GER01', 'A')",
            "INSERT INTO BI_CARGO (COD_EMPR, COD_CARG, NOM_CARG, IND_ACTI) VALUES (1, 'GER01', 'Gerente', 'A'), "
            "(1, 'AUX01', 'Auxiliar', 'A'), (1, 'JEF01', 'Jefe de area', 'A')",
        };
        for (const QString &row : rows)
            QCOMPARE(m_db.exec(row), QString());
        QCOMPARE(m_core.open(m_db.description()), QString());
    }

    // The replacement window's employee look-up of company 1 with the conditions the user's
    // criteria become: the rows are exactly those the criteria mean. (The operators: tst_journey;
    // wildcards in a value: tst_serverfetch.)
    void criteria_data()
    {
        addColumns<QList<QbeCriterion>, bool, QStringList>({"criteria", "upper", "employees"});
        const auto one = [](const char *field, QbeOperator op, const char *value) {
            return QList<QbeCriterion>{{QLatin1String(field), op, QString::fromUtf8(value)}};
        };
        QTest::newRow("surname starts with, any case") << one("APE_EMPL", QbeOperator::ComienzaCon, "mar") << true
                                                        << QStringList{"102", "101", "104"};
        QTest::newRow("as typed, no row") << one("APE_EMPL", QbeOperator::ComienzaCon, "mar") << false << QStringList();
        QTest::newRow("two criteria, both hold")
            << QList<QbeCriterion>{{"COD_CARG", QbeOperator::Igual, "JEF01"}, {"NRO_CONT", QbeOperator::Igual, "2"}}
            << false << QStringList{"104", "105"};
        QTest::newRow("a quote in the value") << one("APE_EMPL", QbeOperator::Igual, "O'Neil") << false
                                              << QStringList{"106"};
    }

    void criteria()
    {
        QFETCH(QList<QbeCriterion>, criteria);
        QFETCH(bool, upper);
        QFETCH(QStringList, employees);

        QbeConditionBuilder builder({{"COD_EMPL", protocol::FieldType::Float}, {"NOM_EMPL", protocol::FieldType::String},
                                     {"APE_EMPL", protocol::FieldType::String}, {"COD_CARG", protocol::FieldType::String},
                                     {"NRO_CONT", protocol::FieldType::Integer}});
        builder.upperCase = upper;
        QCOMPARE(employeeCodes(builder.conditions(criteria)), employees);
    }

    // What the criteria dialog cannot turn into a condition is refused with the reason. (A date that
    // does not exist: tst_querybyexample.)
    void criteriaRefused_data()
    {
        addColumns<QbeCriterion, QString>({"criterion", "message"});
        QTest::newRow("not a number") << QbeCriterion{"COD_EMPL", QbeOperator::Igual, "12a"}
                                      << "El valor \"12a\" no es un número válido para el campo COD_EMPL";
        QTest::newRow("contains on a number") << QbeCriterion{"COD_EMPL", QbeOperator::Contiene, "1"}
                                              << "El operador \"Contiene\" solo se aplica a campos de texto (campo COD_EMPL)";
        QTest::newRow("no value for a comparison") << QbeCriterion{"COD_EMPL", QbeOperator::Mayor, ""}
                                                   << "Falta el valor para el campo COD_EMPL";
    }

    void criteriaRefused()
    {
        QFETCH(QbeCriterion, criterion);
        QFETCH(QString, message);
        const QbeConditionBuilder builder({{"COD_EMPL", protocol::FieldType::Float}});
        try {
            builder.conditions({criterion});
            QFAIL("the criterion was taken");
        } catch (const Exception &refusal) {
            QCOMPARE(refusal.Message(), message);
        }
    }

    // The condition texts the forms hand to Kquery, read into conditions (or refused: no SQL
    // text goes to the server).
    void conditionText_data()
    {
        addColumns<QString, QString, QString>({"text", "conditions", "refusal"});
        QTest::newRow("blank") << "  " << "" << "";
        QTest::newRow("the empty-grid probe after AND") << " AND 1=0" << " noRow " << "";
        QTest::newRow("the empty-grid probe after WHERE") << " WHERE 1 = 0" << " noRow " << "";
        QTest::newRow("comparisons joined by AND")
            << " where a.cod_empr = 1 and NOM_MENU <> 'O''Neil' AND cod_nodo >= -2 AND act_hora IS NOT NULL"
            << "COD_EMPR = 1; NOM_MENU <> O'Neil; COD_NODO >= -2; ACT_HORA isNotNull " << "";
        QTest::newRow("OR") << " AND cod_menu = 1 OR 1 = 1" << "" << "se admiten comparaciones";
        QTest::newRow("a subquery") << " AND nom_menu = (select max(pas_usua) from gn_usuar)" << ""
                                    << "se admiten comparaciones";
        QTest::newRow("a function") << " AND lower(nom_menu) = 'x'" << "" << "se admiten comparaciones";
        QTest::newRow("an ORDER BY") << " where cod_empr = 1 order by cod_menu" << "" << "se admiten comparaciones";
        QTest::newRow("a second statement") << " AND 1=0; delete from ac_pprom" << "" << "se admiten comparaciones";
        QTest::newRow("an unclosed text") << " AND nom_menu = 'x" << "" << "no se puede leer";
    }

    void conditionText()
    {
        QFETCH(QString, text);
        QFETCH(QString, conditions);
        QFETCH(QString, refusal);
        try {
            const QString read = described(ConditionText::parse(text));
            QVERIFY2(refusal.isEmpty(), qPrintable(read));
            QCOMPARE(read, conditions);
        } catch (const Exception &refused) {
            QVERIFY2(!refusal.isEmpty() && refused.Message().contains(refusal), qPrintable(refused.Message()));
        }
    }

    // The employee codes the module's employee look-up of company 1 returns with `conditions`.
    QStringList employeeCodes(const QList<Condition> &conditions)
    {
        protocol::FetchRequest request{ServerTestDb::session(), QStringLiteral("DtsPTemporal"),
                                       QStringLiteral("ListaEmpleados"),
                                       {{QStringLiteral("empresa"), protocol::FieldType::Integer, 1}}, conditions};
        const protocol::FetchResult fetched = m_core.fetch(request);
        if (!fetched.ok())
            return {QStringLiteral("ERROR: ") + fetched.error};
        QStringList codes;
        for (const QVariantList &row : fetched.rows)
            codes << QString::number(row.first().toDouble(), 'f', 0);
        return codes;
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
