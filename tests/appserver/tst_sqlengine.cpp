// What each engine says without a database: how its errors are told apart and how it stores a
// date. A new engine adds its rows here.
#include "appserver/SqlDialect.h"
#include "tests/support/DataTable.h"

#include <QDateTime>
#include <QSqlError>
#include <QTest>

using appserver::DatabaseDescription;
using Engine = DatabaseDescription::Engine;

Q_DECLARE_METATYPE(Engine)

class TestSqlEngine : public QObject {
    Q_OBJECT
private slots:
    void errors_data()
    {
        addColumns<Engine, QString, QString, bool, bool, bool>({"engine", "text", "code", "duplicate", "lockTimeout", "refusal"});
        // (A duplicate key and a lock timeout on each engine: tst_serverapply, against the database.)
        QTest::newRow("pg privilege") << Engine::Postgres << "permission denied for table X" << "42501"
                                      << false << false << true;
        // PostgreSQL goes by the code, never by a message a translation changes.
        QTest::newRow("pg text alone") << Engine::Postgres << "UNIQUE constraint failed" << "XX000"
                                       << false << false << false;
    }
    void errors()
    {
        QFETCH(Engine, engine);
        QFETCH(QString, text);
        QFETCH(QString, code);
        const appserver::SqlDialect dialect(engine);
        const QSqlError error(QString(), text, QSqlError::StatementError, code);
        QTEST(dialect.isDuplicateKey(error), "duplicate");
        QTEST(dialect.isLockTimeout(error), "lockTimeout");
        QTEST(dialect.isAccessRefusal(error), "refusal");
    }

    void storedDates_data()
    {
        addColumns<Engine, QVariant, bool, QVariant>({"engine", "value", "dateOnly", "stored"});
        const QDateTime noon(QDate(2024, 6, 1), QTime(12, 30, 5));
        const QDateTime withMs(QDate(2024, 6, 1), QTime(12, 30, 5, 250));
        QTest::newRow("sqlite date") << Engine::Sqlite << QVariant(QDate(2024, 6, 1)) << false
                                     << QVariant(QStringLiteral("2024-06-01"));
        QTest::newRow("sqlite stamp") << Engine::Sqlite << QVariant(noon) << false
                                      << QVariant(QStringLiteral("2024-06-01 12:30:05"));
        QTest::newRow("sqlite ms") << Engine::Sqlite << QVariant(withMs) << false
                                   << QVariant(QStringLiteral("2024-06-01 12:30:05.250"));
        QTest::newRow("sqlite date column") << Engine::Sqlite << QVariant(noon) << true
                                            << QVariant(QStringLiteral("2024-06-01"));
        QTest::newRow("pg stamp") << Engine::Postgres << QVariant(noon) << false << QVariant(noon);
    }
    void storedDates()
    {
        QFETCH(Engine, engine);
        QFETCH(QVariant, value);
        QFETCH(bool, dateOnly);
        QVariant out;
        QVERIFY(appserver::SqlDialect(engine).toDatabase(value, protocol::FieldType::DateTime, dateOnly, &out));
        QTEST(out, "stored");
    }
};

QTEST_GUILESS_MAIN(TestSqlEngine)
#include "tst_sqlengine.moc"
