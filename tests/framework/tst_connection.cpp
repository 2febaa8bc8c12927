// The session value and the client connection that works with it alone: its transport, its
// refusals, and files not ours or only read left alone.

#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "framework/Exceptions.h"
#include "framework/localtransport/LocalTransport.h"
#include "framework/connection/SDCOMConnection.h"
#include "tests/appserver/ServerTestDb.h"
#include "appserver/ServerCore.h"
#include "framework/TApplication.h"
#include "framework/Ugnnorma.h"
#include "tests/support/SessionText.h"
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

    void init()
    {
        qunsetenv("QACSEMAF_DB");
        ResetSessionGlobals();
    }

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

    void companyOfTheLoadCall_data()
    {
        addColumns<QString, int, int>({"argument", "company", "changedTo"});
        QTest::newRow("number") << "2" << 2 << 3;
        QTest::newRow("blanks around") << " 3\t" << 3 << 0;
        QTest::newRow("not a number") << "dos" << 0 << 2;
    }

    // The company is a number; the argument stays as the host gave it, for gStParEmp and messages,
    // when another company is chosen too. (The window's company change: tst_mainform.)
    void companyOfTheLoadCall()
    {
        QFETCH(QString, argument);
        QFETCH(int, company);
        QFETCH(int, changedTo);
        const Session session = Session::fromLoadCall("local", "a.db", "", "ADMIN", "clave", argument, "", "1;2");
        QCOMPARE(session.company, company);
        QCOMPARE(session.companyParameter, argument);
        session.writeSuiteGlobals();
        QCOMPARE(gStCodiEmpr, QString::number(company));
        QCOMPARE(TApplication::instance().Tag, company);
        const Session changed = session.withCompany(changedTo);
        changed.writeSuiteGlobals();
        QCOMPARE((QStringList{gStParEmp, gStCodiEmpr, QString::number(TApplication::instance().Tag)}),
                 (QStringList{argument, QString::number(changedTo), QString::number(changedTo)}));
        QCOMPARE(changed.withCompany(company), session);
    }

    // A session without options leaves no option list behind from the one before.
    void blankOptionsLeaveNoList()
    {
        Session::fromLoadCall("local", "a.db", "", "ANA", "", "1", "x y", "").writeSuiteGlobals();
        QVERIFY(gSlParams.has_value());
        Session::fromLoadCall("local", "a.db", "", "ANA", "", "1", "  ", "").writeSuiteGlobals();
        QVERIFY(!gSlParams.has_value());
        QCOMPARE(gStParHpv, QStringLiteral("  "));
    }

    // Never the globals: a change of place closes the connection, a change of company keeps it.
    void connectionFollowsItsSession()
    {
        const Session loaded = onTheFile();
        loaded.writeSuiteGlobals();
        SDCOMConnection connection;
        QCOMPARE(connection.session(), Session());
        connection.setSession(loaded);
        connection.Open();
        const Session handed = loaded.withCompany(3);
        connection.setSession(handed);
        QVERIFY(connection.Connected());
        QCOMPARE(connection.session(), handed);
        QCOMPARE(TApplication::instance().Tag, 1);

        Session elsewhere = handed;
        elsewhere.alias = m_db.description().filePath + ".otra";
        connection.setSession(elsewhere);
        QVERIFY(!connection.Connected());
        QVERIFY2(messageOf<EDatabaseError>([&] { connection.Open(); }).contains(elsewhere.alias),
                 "the connection did not go to the new place");
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

    // A reader may not write the folder: no journal mode switched, no writer opened before a save.
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
