// The direct readers answer a statement exactly as QtSql's reading of it does (fields, types and
// every value), and keep the database's refusals. On SQLite, and PostgreSQL when QACSEMAF_PG is set.

#include "tests/support/DataTable.h"
#include "appserver/SqlConnection.h"
#include "appserver/SqlDialect.h"
#include "appserver/SqlEngine.h"
#include "protocol/NamedParams.h"
#include "tests/appserver/ServerTestDb.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

using namespace appserver;

Q_DECLARE_METATYPE(appserver::SqlConnection::Begin)

namespace {

// The statement's answer as QtSql reads it, converted as the server's QtSql path converts it.
FetchResult readThroughQtSql(const QSqlDatabase &db, const SqlDialect &dialect, const QString &statement,
                             const QVariantList &values)
{
    FetchResult result;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(statement)) {
        result.error = query.lastError().text();
        return result;
    }
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    if (!query.exec()) {
        result.error = query.lastError().text();
        return result;
    }
    result.fields = dialect.describeResult(query);
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < result.fields.size(); ++i)
            row << SqlDialect::fromDatabase(query.value(i), result.fields.at(i).type);
        result.rows << row;
    }
    return result;
}

QString codes(const FetchResult &result)
{
    QStringList codes;
    for (const QVariantList &row : result.rows)
        codes << row.first().toString();
    return codes.join(QLatin1Char(','));
}

QString describe(const FetchResult &result)
{
    QStringList lines;
    for (const FieldDesc &field : result.fields)
        lines << QStringLiteral("%1 %2(%3)").arg(field.name, fieldTypeName(field.type)).arg(field.size);
    for (const QVariantList &row : result.rows) {
        QStringList cells;
        for (const QVariant &value : row)
            cells << QStringLiteral("%1:%2").arg(QString::fromLatin1(value.typeName()),
                                                 value.typeId() == QMetaType::QByteArray
                                                     ? QString::fromLatin1(value.toByteArray().toHex())
                                                     : value.toString());
        lines << cells.join(QLatin1String(" | "));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

class TstDirectReader : public QObject {
    Q_OBJECT
public:
    explicit TstDirectReader(ServerTestDb::Backend backend)
        : m_db(backend),
          m_dialect(backend == ServerTestDb::Backend::Sqlite ? DatabaseDescription::Engine::Sqlite
                                                             : DatabaseDescription::Engine::Postgres)
    {
    }

private slots:
    void initTestCase()
    {
        CREATE_SERVER_TEST_DB(m_db);
        QCOMPARE(m_db.exec(QStringLiteral("INSERT INTO GN_EMPRE (COD_EMPR, NOM_EMPR, NIT_EMPR, GRU_EMPR, BMP_REPO) "
                                          "VALUES (1, ?, ?, ?, ?)"),
                           {QStringLiteral("Ñandú & Cía 'Ltda'"), 900123456.25, QStringLiteral("N"),
                            QByteArray("\x00\x01\xff\\x'\n", 7)}),
                 QString());
        QCOMPARE(m_db.exec(QStringLiteral(
                     "INSERT INTO GN_EMPRE (COD_EMPR, NOM_EMPR, NIT_EMPR) VALUES (2, 'Dos', -0.1), (3, 'Tres', NULL)")),
                 QString());
        QCOMPARE(m_db.exec(QStringLiteral(
                     "INSERT INTO AC_PPROM (COD_EMPR, COD_MENU, COD_NODO, COD_NODP, NOM_MENU, ACT_HORA) VALUES "
                     "(1, 1, 0, NULL, 'Plan uno', '2024-03-01 10:00:00'), (1, 2, 1, -3, 'Plan dos', '2024-03-05 08:30:15.250'), "
                     "(2, 1, 0, 0, NULL, NULL)")),
                 QString());
        QCOMPARE(m_db.exec(QStringLiteral("INSERT INTO BI_DTPEF VALUES (1, 1001, 2, 'EF', 20, NULL, 15.5, 'Maestría', "
                                          "'2019-06-30'), (1, 1002, 1, 'EF', 11, 3, 1e-7, 'Otro', NULL)")),
                 QString());
        QCOMPARE(m_connection.open(m_db.description(), m_dialect, true), QString());
        QCOMPARE(m_connection.beginRequest({1, 2, 3}), QString());
        m_reader = m_dialect.sqlEngine().directReader(m_connection.database());
        QVERIFY(m_reader);
    }

    void cleanupTestCase()
    {
        m_reader.reset();
        m_connection.endRequest(false);
        m_connection.close();
    }

    void sameAnswer_data()
    {
        addColumns<QString, QVariantList>({"sql", "values"});
        QTest::newRow("texts, a float, a fixed text, bytes")
            << "select COD_EMPR, NOM_EMPR, NIT_EMPR, GRU_EMPR, BMP_REPO from GN_EMPRE order by COD_EMPR" << QVariantList();
        QTest::newRow("small numbers, date-times with and without a fraction, NULLs")
            << "select COD_EMPR, COD_MENU, COD_NODP, NOM_MENU, ACT_HORA from AC_PPROM order by COD_EMPR, COD_MENU"
            << QVariantList();
        QTest::newRow("dates and tiny floats")
            << "select COD_EMPL, TIP_REGI, PUN_OBTE, DES_REGI, FEC_REGI from BI_DTPEF order by COD_EMPL" << QVariantList();
        QTest::newRow("expressions: whole numbers of each size, truth values, texts, fractions")
            << "select COD_EMPR, count(*) as CUANTOS, sum(COD_MENU) as SUMA, max(NOM_MENU) as MAYOR, 2.5 as MEDIO, "
               "COD_EMPR > 1 as DESPUES, -7 as NEGATIVO, 12345678901 as GRANDE from AC_PPROM group by COD_EMPR "
               "order by COD_EMPR"
            << QVariantList();
        QTest::newRow("bound number, text with a quote, date-time, float")
            << "select NOM_MENU from AC_PPROM where COD_EMPR = :emp and NOM_MENU <> :nombre and ACT_HORA > :desde "
               "order by ACT_HORA"
            << QVariantList{1, QStringLiteral("O'Brien"), QDateTime(QDate(2024, 3, 1), QTime(9, 0))};
        QTest::newRow("bound date, float and NULL")
            << "select COD_EMPL from BI_DTPEF where FEC_REGI = :fecha or PUN_OBTE = :puntos "
               "or COALESCE(COD_ESPE, -1) = COALESCE(:espe, -1) order by COD_EMPL"
            << QVariantList{QDate(2019, 6, 30), 1e-7, QVariant()};
        QTest::newRow("bound text beyond ASCII")
            << "select COD_EMPL, DES_REGI from BI_DTPEF where DES_REGI = :des" << QVariantList{QStringLiteral("Maestría")};
    }

    void sameAnswer()
    {
        QFETCH(QString, sql);
        QFETCH(QVariantList, values);
        const QString statement = protocol::NamedParams(sql, m_dialect.syntax()).positionalStatement();
        const FetchResult expected = readThroughQtSql(m_connection.database(), m_dialect, statement, values);
        QVERIFY2(expected.ok(), qPrintable(expected.error));
        // Twice: the second runs the prepared statement (on PostgreSQL, rows in binary form).
        for (int run = 0; run < 2; ++run) {
            const FetchResult direct = m_reader->read(statement, values);
            QVERIFY2(direct.ok(), qPrintable(direct.error));
            QCOMPARE(describe(direct), describe(expected));
            QCOMPARE(direct.rows, expected.rows);
        }
    }

    // Refusals come back in the database's words, and the reader reads on in the next transaction.
    void refusals_data()
    {
        // QtSql's PostgreSQL driver gives no message of the database's for two statements.
        addColumns<QString, QString, bool>({"sql", "message", "asQtSql"});
        QTest::newRow("a column that is not there") << "select NO_EXISTE from GN_EMPRE" << "no_existe" << true;
        QTest::newRow("two statements") << "select 1; select 2"
                                        << "Solo se permite una sentencia por consulta|multiple commands" << false;
    }

    void refusals()
    {
        QFETCH(QString, sql);
        QFETCH(QString, message);
        QFETCH(bool, asQtSql);
        const FetchResult qtSql = readThroughQtSql(m_connection.database(), m_dialect, sql, {});
        newTransaction();
        const FetchResult refused = m_reader->read(sql, {});
        QVERIFY(!refused.ok());
        QVERIFY(refused.rows.isEmpty());
        QVERIFY2(refused.error.contains(QRegularExpression(message, QRegularExpression::CaseInsensitiveOption)),
                 qPrintable(refused.error));
        if (asQtSql && m_dialect.syntax() == protocol::SqlSyntax::Postgres)
            QCOMPARE(refused.error.section(QLatin1Char('\n'), 0, 0), qtSql.error.section(QLatin1Char('\n'), 0, 0));
        newTransaction();
        const FetchResult after = m_reader->read(QStringLiteral("select NOM_EMPR from GN_EMPRE where COD_EMPR = 2"), {});
        QVERIFY2(after.ok(), qPrintable(after.error));
        QCOMPARE(after.rows, QList<QVariantList>{{QStringLiteral("Dos")}});
    }

    // A request's begin (and end) can go with its first read: the read runs in that transaction,
    // under its companies, and a failing statement of them is the read's failure.
    void aroundTheRead_data()
    {
        addColumns<SqlConnection::Begin, QStringList, QString, QString, QString>(
            {"begin", "before", "postgresRows", "postgresRowsAfter", "error"});
        QTest::newRow("the begin") << SqlConnection::Begin::WithFirstRead << QStringList() << "2" << "2" << "";
        QTest::newRow("the begin and the end") << SqlConnection::Begin::OnlyRead << QStringList() << "2" << "" << "";
        QTest::newRow("a setting the database does not know")
            << SqlConnection::Begin::OnlyRead << QStringList{"SET LOCAL sin_parametro = 1"} << "" << ""
            << "sin_parametro|syntax error";
    }

    void aroundTheRead()
    {
        QFETCH(SqlConnection::Begin, begin);
        QFETCH(QStringList, before);
        QFETCH(QString, postgresRows);
        QFETCH(QString, postgresRowsAfter);
        QFETCH(QString, error);
        const bool postgres = m_dialect.syntax() == protocol::SqlSyntax::Postgres;
        const QString statement = QStringLiteral("select COD_EMPR from GN_EMPRE order by COD_EMPR");
        m_connection.endRequest(false);
        QCOMPARE(m_connection.beginRequest({2}, begin), QString());
        AroundRead around = m_connection.takeAroundRead();
        QCOMPARE(around.isEmpty(), !postgres);
        if (!before.isEmpty())
            around.before = before;
        m_reader->sendWith(around);
        const FetchResult read = m_reader->read(statement, {});
        if (error.isEmpty()) {
            QVERIFY2(read.ok(), qPrintable(read.error));
            // Row security lets the request's company through; SQLite has none.
            QCOMPARE(codes(read), postgres ? postgresRows : QStringLiteral("1,2,3"));
            const FetchResult next = readThroughQtSql(m_connection.database(), m_dialect, statement, {});
            QVERIFY2(next.ok(), qPrintable(next.error));
            QCOMPARE(codes(next), postgres ? postgresRowsAfter : QStringLiteral("1,2,3"));
        } else {
            QVERIFY2(read.error.contains(QRegularExpression(error)), qPrintable(read.error));
            QVERIFY(read.rows.isEmpty());
        }
        QCOMPARE(m_connection.endRequest(true), QString());
        newTransaction();
    }

private:
    void newTransaction()
    {
        m_connection.endRequest(false);
        QCOMPARE(m_connection.beginRequest({1, 2, 3}), QString());
    }

    ServerTestDb m_db;
    SqlDialect m_dialect;
    SqlConnection m_connection;
    std::unique_ptr<DirectReader> m_reader;
};

int main(int argc, char **argv)
{
    return runOnEveryBackend<TstDirectReader>(argc, argv);
}

#include "tst_directreader.moc"
