// The client connection: the transport chosen from the session, refusals as EDatabaseError with the
// connection usable after them, and files that are not ours or only read left as they were.

#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "framework/Exceptions.h"
#include "framework/localtransport/LocalTransport.h"
#include "framework/connection/SDCOMConnection.h"
#include "tests/appserver/ServerTestDb.h"
#include "appserver/ServerCore.h"
#include "tests/support/TestTools.h"

#include <QTemporaryDir>
#include <QtTest>

class TstConnection : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        LocalTransport::install();
        QCOMPARE(m_db.create(), QString());
        QCOMPARE(m_db.exec(QStringLiteral("INSERT INTO GN_EMPRE (COD_EMPR, NOM_EMPR) VALUES (1, 'Uno'), (2, 'Dos'), (3, 'Tres')")),
                 QString());
    }

    void init() { qunsetenv("QACSEMAF_DB"); }

    void open_data()
    {
        addColumns<QString, QString, QString, QString, QString>(
            {"protocol", "alias", "server", "environment", "errorPart"});

        const QString file = m_db.description().filePath;
        QTest::newRow("local on the alias") << "local" << file << "" << "" << "";
        QTest::newRow("no protocol, file from the environment") << "" << "" << "" << file << "";
        QTest::newRow("no alias and no environment") << "local" << "" << "" << "" << "QACSEMAF_DB";
        QTest::newRow("missing file") << "local" << file + ".no" << "" << "" << "No existe";
        QTest::newRow("http without a port") << "http" << "" << "srv" << "" << "no es de la forma equipo:puerto";
        QTest::newRow("unknown protocol") << "dcom" << file << "" << "" << "desconocido";
        QTest::newRow("pgsql without server") << "pgsql" << "rrhh" << "" << "" << "host[:puerto]";
        QTest::newRow("pgsql with a bad port") << "pgsql" << "rrhh" << "db:puerto" << "" << "host[:puerto]";
    }

    void open()
    {
        QFETCH(QString, protocol);
        QFETCH(QString, alias);
        QFETCH(QString, server);
        QFETCH(QString, environment);
        QFETCH(QString, errorPart);

        if (!environment.isEmpty())
            qputenv("QACSEMAF_DB", environment.toUtf8());
        SDCOMConnection connection;
        connection.setSession(sessionOn(protocol, alias, server));
        const QString error = messageOf<EDatabaseError>([&] { connection.Open(); });
        QVERIFY2(error.contains(errorPart), qPrintable(error));
        QCOMPARE(connection.Connected(), errorPart.isEmpty());
    }

    // A program that installed no server core of its own reaches the server over http alone.
    void inProcessNeedsTheInstalledCore()
    {
        SDCOMConnection::setInProcessTransports({});
        SDCOMConnection connection;
        connection.setSession(onTheFile());
        const QString error = messageOf<EDatabaseError>([&] { connection.Open(); });
        LocalTransport::install();
        QVERIFY2(error.contains(QStringLiteral("en proceso")), qPrintable(error));
        connection.Open();
        QVERIFY(connection.Connected());
    }

    void refusalThrowsAndConnectionStaysUsable()
    {
        Session wrong = onTheFile();
        wrong.password = QStringLiteral("equivocada");
        SDCOMConnection connection;
        connection.setSession(wrong);
        const QString error = messageOf<EDatabaseError>([&] { connection.Fetch(QStringLiteral("DtsPGnEmpreFrm"), QString(), {}); });
        QVERIFY2(error.contains(QStringLiteral("contraseña")), qPrintable(error));

        connection.setSession(onTheFile());
        const auto result = connection.Fetch(QStringLiteral("DtsPGnEmpreFrm"), QString(), {});
        QCOMPARE(result.fields.value(1).name, QStringLiteral("NOM_EMPR"));
        QCOMPARE(connection.roundTrips(), qint64(2));
    }

    // What the caller's row sink throws comes out of the call; the connection stays usable.
    void rowSinkFailureReachesTheCaller()
    {
        struct FailingSink : protocol::RowSink {
            int rows = 0;
            void fields(const QList<protocol::FieldDesc> &) override {}
            void row(const protocol::RowCells &) override
            {
                if (++rows == 2)
                    throw EDatabaseError(QStringLiteral("segunda fila rechazada"));
            }
        } sink;
        SDCOMConnection connection;
        connection.setSession(onTheFile());
        const QString companies = QStringLiteral("DtsPGnEmpreFrm");
        QCOMPARE(messageOf<EDatabaseError>([&] { connection.FetchEach(companies, QString(), {}, sink); }),
                 QStringLiteral("segunda fila rechazada"));
        QCOMPARE(sink.rows, 2);   // nothing after the failure
        QCOMPARE(connection.Fetch(companies, QString(), {}).rows.size(), 3);
    }

    // A file that is not one of ours is refused with a clear message and left exactly as it was.
    void refusesWhatIsNotOurs_data()
    {
        addColumns<QByteArray, QString>({"content", "message"});
        QTest::newRow("empty file") << QByteArray() << "está vacía";
        QTest::newRow("a text file") << QByteArray("nombre;cargo\nAna;GER01\n") << "no es una base de datos de Semáforo de Carrera";
    }

    void refusesWhatIsNotOurs()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("otro.db"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        appserver::ServerCore core;
        const QString error = core.open(appserver::DatabaseDescription::sqlite(path));
        QVERIFY2(error.contains(message), qPrintable(error));
        QCOMPARE(QFileInfo(path).size(), qint64(content.size()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"otro.db"});
    }

    // Opening and reading leave the file byte for byte as it was: no journal mode is switched and
    // no writer is opened until something is saved.
    void readingChangesNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("copia.db"));
        QVERIFY(QFile::copy(m_db.description().filePath, path));
        const QByteArray before = fileDigest(path);
        {
            appserver::ServerCore core;
            QVERIFY(core.open(appserver::DatabaseDescription::sqlite(path)).isEmpty());
            const protocol::FetchResult read = core.fetch({ServerTestDb::session(), QStringLiteral("DtsPAcPprom"),
                                                            QStringLiteral("Planes"), {}, {}});
            QVERIFY2(read.ok(), qPrintable(read.error));
            QVERIFY(core.call({ServerTestDb::session(), QStringLiteral("VerificarSesion"), {"PRUEBA", ""}}).ok());
        }
        QCOMPARE(fileDigest(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"copia.db"});
        QCOMPARE(querySqlite(path, QStringLiteral("PRAGMA journal_mode")), QStringList{"delete"});
    }

private:
    // The test user in company 1, reaching the server the given way.
    static Session sessionOn(const QString &protocol, const QString &alias, const QString &server)
    {
        return Session(protocol, server, alias, ServerTestDb::session().user, ServerTestDb::session().password, 1);
    }
    Session onTheFile() const { return sessionOn(QStringLiteral("local"), m_db.description().filePath, QString()); }

    ServerTestDb m_db{ServerTestDb::Backend::Sqlite};
};

QTEST_GUILESS_MAIN(TstConnection)
#include "tst_connection.moc"
