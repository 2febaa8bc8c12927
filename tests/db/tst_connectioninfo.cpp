// Reading the PostgreSQL connection text given to qacsemaf seed --pg and to the tests.

#include "DatabaseOpener.h"

#include <QtTest>

using Pairs = QMap<QString, QString>;

class TestConnectionInfo : public QObject {
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<Pairs>("expected");
        QTest::newRow("usual") << "host=db1 port=5433 dbname=rrhh user=admin password=s3cret" << true
                               << Pairs{{"host", "db1"}, {"port", "5433"}, {"dbname", "rrhh"},
                                        {"user", "admin"}, {"password", "s3cret"}};
        QTest::newRow("blanks around =") << "  host = db1   dbname=rrhh " << true
                                         << Pairs{{"host", "db1"}, {"dbname", "rrhh"}};
        QTest::newRow("quoted with blank") << "password='dos palabras' user=a" << true
                                           << Pairs{{"password", "dos palabras"}, {"user", "a"}};
        QTest::newRow("escaped quote") << "password='it\\'s' " << true << Pairs{{"password", "it's"}};
        QTest::newRow("empty quoted value") << "password=''" << true << Pairs{{"password", ""}};
        QTest::newRow("other options kept") << "sslmode=require host=x" << true
                                            << Pairs{{"sslmode", "require"}, {"host", "x"}};
        QTest::newRow("empty text") << "" << true << Pairs{};
        QTest::newRow("key without value") << "host" << false << Pairs{};
        QTest::newRow("missing key") << "=db1" << false << Pairs{};
        QTest::newRow("unterminated quote") << "password='abc" << false << Pairs{};
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(Pairs, expected);
        Pairs pairs;
        QString error;
        QCOMPARE(dbtools::DatabaseOpener::parseConnInfo(text, &pairs, &error), ok);
        QCOMPARE(error.isEmpty(), ok);
        if (ok)
            QCOMPARE(pairs, expected);
    }
};

QTEST_GUILESS_MAIN(TestConnectionInfo)
#include "tst_connectioninfo.moc"
