// A server core whose PostgreSQL connections were ended under it opens them again on the next
// request and says so in the log. PostgreSQL only (QACSEMAF_PG).

#include "appserver/ServerCore.h"
#include "tests/appserver/ServerTestDb.h"

#include <QtTest>

using namespace appserver;

class TstPgReconnect : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        CREATE_SERVER_TEST_DB(m_db);
        QCOMPARE(m_db.exec(QStringLiteral("INSERT INTO AC_PPROM (COD_EMPR, COD_MENU, COD_NODO, NOM_MENU) VALUES "
                                          "(1, 1, 0, 'Plan uno'), (4, 1, 0, 'Plan ajeno')")),
                 QString());
        m_core.setLog([this](const QString &line) { m_log << line; });
        QCOMPARE(m_core.open(m_db.description()), QString());
    }

    // The reader ended: the next fetch opens it again.
    void endedReader()
    {
        QCOMPARE(plans(), QStringList{"Plan uno"});
        QCOMPARE(m_db.value(QStringLiteral("SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity "
                                           "WHERE application_name = 'qacsemaf-lectura' "
                                           "AND datname = current_database()")),
                 QStringLiteral("1"));
        m_log.clear();
        QCOMPARE(plans(), QStringList{"Plan uno"});
        QCOMPARE(m_log.size(), 1);
        const QString reopened = QStringLiteral("conexión a la base de datos restablecida (lectura, ");
        QVERIFY2(m_log.first().startsWith(reopened), qPrintable(m_log.first()));
    }

    // The writer ended: nothing is written on the dead connection; the apply runs on a new one.
    void applyAfterTheWriterWasEnded()
    {
        QVERIFY(apply(2).ok());
        QCOMPARE(m_db.value(QStringLiteral("SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity "
                                           "WHERE application_name = 'qacsemaf-escritura'")),
                 QStringLiteral("1"));
        m_log.clear();
        const ApplyResult applied = apply(3);
        QVERIFY2(applied.ok(), qPrintable(applied.error));
        QCOMPARE(m_db.value(QStringLiteral("SELECT string_agg(COD_NODO::text, ',' ORDER BY COD_NODO) FROM AC_PPROM "
                                           "WHERE COD_EMPR = 1")),
                 QStringLiteral("0,2,3"));
        const QString reopened = QStringLiteral("conexión a la base de datos restablecida (escritura, ");
        QCOMPARE(m_log.filter(reopened).size(), 1);
    }

private:
    QStringList plans()
    {
        const FetchResult result = m_core.fetch(FetchRequest{ServerTestDb::session(), QStringLiteral("DtsPTemporal"),
                                                             QStringLiteral("ListaPlanesTodas"), {}, {}});
        if (!result.ok())
            return {result.error};
        QStringList names;
        for (const QVariantList &row : result.rows)
            names << row.value(indexOfField(result.fields, QStringLiteral("NOM_MENU"))).toString();
        return names;
    }

    ApplyResult apply(int node)
    {
        const RowDelta insert{RowDelta::Kind::Insert, {},
                              {{"COD_EMPR", 1}, {"COD_MENU", 1}, {"COD_NODO", node}, {"NOM_MENU", "Nodo"}}};
        return m_core.apply(ApplyRequest{ServerTestDb::session(), QStringLiteral("DtsPAcPprom"), {insert}});
    }

    ServerTestDb m_db{ServerTestDb::Backend::Postgres};
    ServerCore m_core;
    QStringList m_log;
};

QTEST_GUILESS_MAIN(TstPgReconnect)
#include "tst_pgreconnect.moc"
