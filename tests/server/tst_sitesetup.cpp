// A site set up from nothing with the command line, on SQLite and on PostgreSQL owned by no
// superuser: init, users, logins through the server, sessions, audit, migrations, backups.

#include "appserver/DatabaseDescription.h"
#include "appserver/SchemaVersion.h"
#include "tests/server/ServerClient.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/TestTools.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Takes the current schema back to the first version: each later migration's tables and columns gone.
QStringList firstVersion()
{
    return {QStringLiteral("DROP TABLE AC_VERSI"), QStringLiteral("ALTER TABLE GN_USUAR DROP COLUMN IND_ACTI"),
            QStringLiteral("ALTER TABLE GN_USUAR DROP COLUMN VER_USUA"), QStringLiteral("DROP TABLE GN_AUDIT"),
            QStringLiteral("DROP TABLE GN_SESIO"), QStringLiteral("DROP TABLE AC_CORTD"), QStringLiteral("DROP TABLE AC_CORTE")};
}

using Run = ProgramRun;

// qacsemaf with `input` on its standard input (a pipe, not a terminal).
Run qacsemaf(const QStringList &arguments, const QByteArray &input = {})
{
    return runProgram(QStringLiteral(QACSEMAF_TOOL), arguments, QProcessEnvironment::systemEnvironment(), input);
}

// A new SQLite file, or a new PostgreSQL database owned by no superuser on QACSEMAF_PG's server.
class Site {
public:
    enum class Kind { Sqlite, OwnerWithCreateRole, RolesMadeByAdministrator };

    Site(Kind kind, const QString &name) : m_kind(kind), m_name(name)
    {
        if (kind == Kind::Sqlite) {
            m_place = {QStringLiteral("--db"), m_dir.filePath(name + QStringLiteral(".db"))};
            return;
        }
        appserver::DatabaseDescription admin;
        if (!appserver::DatabaseDescription::fromKeywords(qEnvironmentVariable("QACSEMAF_PG"), &admin, &m_error))
            return;
        // What the database administrator runs (the README's SQL for a site).
        QStringList statements{
            QStringLiteral("CREATE ROLE %1_dueno LOGIN PASSWORD 'dueno' %2")
                .arg(m_name, kind == Kind::OwnerWithCreateRole ? QStringLiteral("CREATEROLE") : QString()),
            QStringLiteral("CREATE DATABASE %1 OWNER %1_dueno LOCALE 'C' TEMPLATE template0").arg(m_name)};
        if (kind == Kind::RolesMadeByAdministrator)
            statements << QStringLiteral("CREATE ROLE %1_lector LOGIN NOINHERIT PASSWORD 'lector'").arg(m_name)
                       << QStringLiteral("CREATE ROLE %1_escritor NOLOGIN NOINHERIT").arg(m_name)
                       << QStringLiteral("GRANT %1_escritor TO %1_dueno").arg(m_name);
        m_error = queryPostgres(drops() + statements).join(QLatin1Char('\n'));
        const QString server = QStringLiteral("host=%1 port=%2 dbname=%3 ").arg(admin.host).arg(admin.port).arg(m_name);
        m_owner = server + QStringLiteral("user=%1_dueno password=dueno").arg(m_name);
        m_place = {QStringLiteral("--pg"), server + QStringLiteral("user=%1_dueno password=dueno readuser=%1_lector "
                                                                   "readpassword=lector writerole=%1_escritor").arg(m_name)};
    }

    ~Site()
    {
        if (!m_owner.isEmpty())
            queryPostgres(drops());
    }

    bool isSqlite() const { return m_kind == Kind::Sqlite; }
    const QString &error() const { return m_error; }
    // --db FILE or --pg CONNINFO.
    const QStringList &place() const { return m_place; }
    QString file() const { return m_place.value(1); }
    QString folder() const { return m_dir.path(); }
    // The name a workstation gives the database at login.
    QString alias() const { return m_name; }

    // Run in turn by the owner: the rows of the last, or "ERROR: <text>" of the first that fails.
    QStringList run(const QStringList &statements) const
    {
        if (!isSqlite())
            return queryPostgres(statements, m_owner);
        QStringList rows;
        for (const QString &statement : statements)
            if ((rows = querySqlite(file(), statement)).value(0).startsWith(QLatin1String("ERROR: ")))
                break;
        return rows;
    }
    QString value(const QString &statement) const { return run({statement}).value(0); }

private:
    QStringList drops() const
    {
        return {QStringLiteral("SET client_min_messages TO warning"),
                QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_name),
                QStringLiteral("DROP ROLE IF EXISTS %1_lector").arg(m_name),
                QStringLiteral("DROP ROLE IF EXISTS %1_escritor").arg(m_name),
                QStringLiteral("DROP ROLE IF EXISTS %1_dueno").arg(m_name)};
    }

    Kind m_kind;
    QString m_name;
    QTemporaryDir m_dir;
    QStringList m_place;
    QString m_owner;   // the owner's connection text on PostgreSQL
    QString m_error;
};

// The session a token names (its payload's "s").
QString sessionOf(const QByteArray &token)
{
    const QByteArray payload = QByteArray::fromBase64(token.left(token.indexOf('.')), QByteArray::Base64UrlEncoding);
    return QJsonDocument::fromJson(payload).object().value("s").toString();
}

QString plansAndJournal(const QString &file)
{
    return querySqlite(file, QStringLiteral("SELECT (SELECT COUNT(*) FROM AC_PPROM), (SELECT journal_mode FROM pragma_journal_mode)"))
        .value(0);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QStringList kGenerate{"generate", "--company", "2", "--target", "SUP001@2", "--candidates", "OPE002@2,OPE001@2",
                            "--categories", "EF"};

} // namespace

class TestSiteSetup : public QObject {
    Q_OBJECT

private slots:
    void sites_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("sqlite") << int(Site::Kind::Sqlite);
        QTest::newRow("postgres, owner with CREATEROLE") << int(Site::Kind::OwnerWithCreateRole);
        QTest::newRow("postgres, roles made by the administrator") << int(Site::Kind::RolesMadeByAdministrator);
    }

    void siteFromNothing_data() { sites_data(); }
    void siteFromNothing()
    {
        QFETCH(int, kind);
        Site site(Site::Kind(kind), QStringLiteral("qacsemaf_sitio"));
        if (!site.isSqlite() && qEnvironmentVariableIsEmpty("QACSEMAF_PG"))
            QSKIP("PostgreSQL not available: set QACSEMAF_PG");
        QVERIFY2(site.error().isEmpty(), qPrintable(site.error()));
        const QStringList place = site.place();

        QCOMPARE(qacsemaf(QStringList{"init"} + place, "\n").errors,
                 QStringLiteral("qacsemaf: la contraseña de ADMIN no puede estar vacía\n"));
        const Run init = qacsemaf(QStringList{"init"} + place, "clave del admin\n");
        QVERIFY2(init.exitCode == 0, qPrintable(init.errors));
        // Its owner is no superuser: what stays within the reader's reach is said.
        const QString noSuperuser = QStringLiteral("el usuario de la conexión no es superusuario");
        QVERIFY2(site.isSqlite() || init.errors.contains(noSuperuser), qPrintable(init.errors));
        const Run again = qacsemaf(QStringList{"init"} + place, "otra\n");
        QCOMPARE(again.exitCode, 1);
        QVERIFY2(again.errors.contains(QLatin1String("init solo")), qPrintable(again.errors));
        if (site.isSqlite()) {   // another program's file is left alone
            const QString other = QDir(site.folder()).filePath(QStringLiteral("notas.txt"));
            QVERIFY(writeFile(other, QByteArray(4096, 'x')));
            QCOMPARE(qacsemaf({"init", "--db", other}, "otra\n").errors,
                     QStringLiteral("qacsemaf: %1 ya existe y no es una base de datos SQLite; init no lo reemplaza\n").arg(other));
            QCOMPARE(QFileInfo(other).size(), 4096);
            QVERIFY(QFile::remove(other));
        }

        const Run added = qacsemaf(QStringList{"user", "add", "ANA", "--company", "2"} + place, "clave de ana\n");
        QVERIFY2(added.exitCode == 0, qPrintable(added.errors));
        QCOMPARE(qacsemaf(QStringList{"user", "grant", "ANA", "--company", "3"} + place).exitCode, 0);
        const Run revoked = qacsemaf(QStringList{"user", "revoke", "ANA", "--company", "7"} + place);
        QCOMPARE(revoked.errors, QStringLiteral("qacsemaf: el usuario ANA no tiene la empresa 7\n"));
        const Run listed = qacsemaf(QStringList{"user", "list"} + place);
        QVERIFY2(listed.output.contains(QRegularExpression(QStringLiteral("\nANA +U +activo +2,3\n"))), qPrintable(listed.output));
        // A hash, never the password.
        QVERIFY(site.value(QStringLiteral("SELECT PAS_USUA FROM GN_USUAR WHERE COD_USUA = 'ANA'")).startsWith(QLatin1String("scrypt$")));

        ServerProcess server;
        const QString started = server.start(place);
        QVERIFY2(started.isEmpty(), qPrintable(started));
        ServerClient client(server);
        const QJsonObject database{{"database", site.alias()}};
        const auto login = [&] {
            return client.login(QStringLiteral("ANA"), QStringLiteral("clave de ana"), database);
        };
        const QByteArray token = login();
        QVERIFY(!token.isEmpty());
        // A save: the writer's grants on the module's tables.
        const QJsonObject save{{"provider", "DtsPAcCuare"}, {"company", 2},
                               {"deltas", QJsonArray{QJsonObject{{"kind", "insert"},
                                                                 {"new", QJsonObject{{"COD_EMPR", 2}, {"COD_MENU", 1}, {"COD_NODO", 1},
                                                                                     {"COD_EMPL", 4242}, {"COD_CARG", "SUP001"}}}}}}};
        const ServerClient::Reply saved = client.post(QStringLiteral("/apply"), save, token);
        QVERIFY2(saved.status == 200, qPrintable(saved.error()));
        QCOMPARE(saved.body.value("rowsAffected").toInt(), 1);

        // Every change of the user ends the tokens issued before it for good, an undone one too.
        // (A password changed: the journeys.)
        const QString ended = QStringLiteral("La contraseña, el estado o las empresas del usuario ANA cambiaron, o el "
                                             "usuario ya no existe; inicie sesión de nuevo.");
        QCOMPARE(qacsemaf(QStringList{"user", "disable", "ANA"} + place).exitCode, 0);
        const ServerClient::Reply refused = client.post(QStringLiteral("/apply"), save, token);
        QCOMPARE(refused.error(), ended);
        QCOMPARE(refused.status, 401);
        const QJsonObject ana{{"user", "ANA"}, {"password", "clave de ana"}};
        QCOMPARE(client.post(QStringLiteral("/login"), ana).error(),
                 QStringLiteral("El usuario ANA está deshabilitado; pida a un administrador que lo habilite."));
        // The in-process road (the load call's session check) refuses it as well.
        const Run inProcess = qacsemaf(kGenerate + place + QStringList{"--user", "ANA", "--password", "clave de ana"});
        QCOMPARE(inProcess.exitCode, 1);
        QVERIFY2(inProcess.errors.contains(QStringLiteral("El usuario ANA está deshabilitado")), qPrintable(inProcess.errors));
        QCOMPARE(qacsemaf(QStringList{"user", "enable", "ANA"} + place).exitCode, 0);
        QCOMPARE(client.post(QStringLiteral("/apply"), save, token).error(), ended);
        QVERIFY(!login().isEmpty());
        // Set up by an owner that is no superuser, the reader may change its session settings.
        const QString resets = QStringLiteral("el usuario de lectura %1_lector puede cambiar los ajustes de "
                                              "su sesión (la base se preparó sin superusuario): cada "
                                              "solicitud termina restableciéndolos").arg(site.alias());
        QVERIFY2(site.isSqlite() || server.log().contains(resets), qPrintable(server.log()));
        // A new file keeps the rollback journal: the server's reads left nothing beside it.
        QCOMPARE(server.terminate(), 0);
        if (site.isSqlite())
            QCOMPARE(QDir(site.folder()).entryList(QDir::Files), QStringList{"qacsemaf_sitio.db"});
    }

    // A user's sessions listed and ended, one or all (the next request says so; a new login works),
    // and the audit record of logins and the command line's changes, filtered. (A save's audit row:
    // tst_serverapply.)
    void auditAndSessions()
    {
        Site site(Site::Kind::Sqlite, QStringLiteral("qacsemaf_audita"));
        const QStringList place = site.place();
        QCOMPARE(qacsemaf(QStringList{"init"} + place, "clave del admin\n").exitCode, 0);
        QCOMPARE(qacsemaf(QStringList{"user", "add", "ANA", "--company", "2"} + place, "clave de ana\n").exitCode, 0);
        ServerProcess server;
        const QString started = server.start(place);
        QVERIFY2(started.isEmpty(), qPrintable(started));
        ServerClient client(server);
        const auto login = [&] {
            return client.login(QStringLiteral("ANA"), QStringLiteral("clave de ana"));
        };
        const QJsonObject wrong{{"user", " ana"}, {"password", "no es"}};
        QCOMPARE(client.post(QStringLiteral("/login"), wrong).status, 401);
        const QByteArray first = login();
        const QByteArray second = login();
        QVERIFY(!sessionOf(first).isEmpty() && sessionOf(first) != sessionOf(second));

        const Run listed = qacsemaf(QStringList{"user", "sessions", "ANA"} + place);
        QCOMPARE(listed.exitCode, 0);
        for (const QByteArray &token : {first, second})
            QVERIFY2(listed.output.contains(QRegularExpression(sessionOf(token) + QStringLiteral(" +\\S+Z +\\S+Z +127\\.0\\.0\\.1 +activa\n"))),
                     qPrintable(listed.output));

        // One session ended: only its token stops, with its own message.
        const QJsonObject read{{"provider", "DtsPAcPprom"}, {"company", 2}, {"statement", "Planes"}};
        const QString ended = QStringLiteral("La sesión fue terminada por un administrador; inicie sesión de nuevo.");
        const Run one = qacsemaf(QStringList{"user", "revoke", "ANA", "--session", sessionOf(second)} + place);
        QVERIFY2(one.exitCode == 0, qPrintable(one.errors));
        const ServerClient::Reply refused = client.post(QStringLiteral("/fetch"), read, second);
        QCOMPARE(refused.error(), ended);
        QCOMPARE(refused.status, 401);
        QCOMPARE(client.post(QStringLiteral("/fetch"), read, first).status, 200);
        QCOMPARE(qacsemaf(QStringList{"user", "revoke", "ANA", "--session", sessionOf(second)} + place).errors,
                 QStringLiteral("qacsemaf: el usuario ANA no tiene una sesión %1 sin terminar\n").arg(sessionOf(second)));
        // All of them: the next login works.
        const Run all = qacsemaf(QStringList{"user", "revoke", "ANA"} + place);
        QCOMPARE(all.output, QStringLiteral("qacsemaf: ANA: 1 sesiones terminadas.\n"));
        QCOMPARE(client.post(QStringLiteral("/fetch"), read, first).error(), ended);
        const QByteArray third = login();
        QCOMPARE(client.post(QStringLiteral("/fetch"), read, third).status, 200);

        // The record: what and from where, oldest first (the command line's under the system's user).
        const Run record = qacsemaf(QStringList{"audit", "--format", "json"} + place);
        QVERIFY2(record.exitCode == 0, qPrintable(record.errors));
        const QJsonArray rows = QJsonDocument::fromJson(record.outputBytes).array();
        QStringList lines;
        for (const QJsonValue &row : rows)
            lines << row["accion"].toString() + QLatin1Char('|') + row["direccion"].toString();
        const QString web = QStringLiteral("|127.0.0.1");
        QCOMPARE(lines, (QStringList{"usuario creado|local", "usuario creado|local",
                                     "inicio de sesión rechazado" + web, "inicio de sesión" + web,
                                     "inicio de sesión" + web, "sesiones terminadas|local",
                                     "sesiones terminadas|local", "inicio de sesión" + web}));
        if (const QString me = qEnvironmentVariable("USER"); !me.isEmpty())
            QCOMPARE(rows.first()["usuario"].toString(), me);
        // The heading, the refused login (the name as typed, in any case) and three logins.
        const Run ofAna = qacsemaf(QStringList{"audit", "--user", "ana"} + place);
        QCOMPARE(ofAna.output.count(QLatin1Char('\n')), 1 + 4);
        const QString tomorrow = QDate::currentDate().addDays(2).toString(Qt::ISODate);
        QCOMPARE(qacsemaf(QStringList{"audit", "--since", tomorrow} + place).output.count(QLatin1Char('\n')), 1);
        const QString lastHour =
            QDateTime::currentDateTimeUtc().addSecs(-3600).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        QCOMPARE(qacsemaf(QStringList{"audit", "--since", lastHour, "--format", "json"} + place).output,
                 record.output);
        const Run wrongDate = qacsemaf(QStringList{"audit", "--since", "2026-13-01"} + place);
        QCOMPARE(wrongDate.exitCode, 2);
        const QString notADate =
            QStringLiteral("qacsemaf: --since: \"2026-13-01\" no es una fecha (AAAA-MM-DD)");
        QVERIFY2(wrongDate.errors.startsWith(notADate), qPrintable(wrongDate.errors));
    }

    // A second site on the cluster naming the first one's reading role with another password: the
    // role keeps its password, init says so, and both servers log in with it.
    void secondSiteOnTheCluster()
    {
        if (qEnvironmentVariableIsEmpty("QACSEMAF_PG"))
            QSKIP("PostgreSQL not available: set QACSEMAF_PG");
        Site first(Site::Kind::OwnerWithCreateRole, QStringLiteral("qacsemaf_uno"));
        Site second(Site::Kind::OwnerWithCreateRole, QStringLiteral("qacsemaf_dos"));
        QVERIFY2(first.error().isEmpty() && second.error().isEmpty(), qPrintable(first.error() + second.error()));
        QStringList shared = second.place();
        shared[1].replace(QStringLiteral("readuser=qacsemaf_dos_lector readpassword=lector"),
                          QStringLiteral("readuser=qacsemaf_uno_lector readpassword=%1"));
        const Run one = qacsemaf(QStringList{"init"} + first.place(), "clave\n");
        QVERIFY2(one.exitCode == 0, qPrintable(one.errors));
        // Read as the superuser: the test cluster trusts every login, whatever its password.
        const auto password = [] {
            return queryPostgres({QStringLiteral("SELECT rolpassword FROM pg_authid WHERE rolname = 'qacsemaf_uno_lector'")}).value(0);
        };
        const QString before = password();
        QVERIFY2(before.startsWith(QLatin1String("SCRAM-SHA-256$")), qPrintable(before));
        const Run two = qacsemaf(QStringList{"init"} + QStringList{shared.at(0), shared.at(1).arg("otra")}, "clave\n");
        QVERIFY2(two.exitCode == 0, qPrintable(two.errors));
        QVERIFY2(two.errors.contains(QStringLiteral("el usuario de lectura qacsemaf_uno_lector ya existe y lo usan también "
                                                    "las bases qacsemaf_uno de este servidor PostgreSQL: su contraseña no "
                                                    "se cambió")),
                 qPrintable(two.errors));
        QCOMPARE(password(), before);
        for (const QStringList &place : {first.place(), QStringList{shared.at(0), shared.at(1).arg("lector")}}) {
            ServerProcess server;
            const QString started = server.start(place);
            QVERIFY2(started.isEmpty(), qPrintable(started));
            QVERIFY(!ServerClient(server).login(QStringLiteral("ADMIN"), QStringLiteral("clave")).isEmpty());
        }
    }

    void migrateKeepsData_data() { sites_data(); }
    void migrateKeepsData()
    {
        QFETCH(int, kind);
        Site site(Site::Kind(kind), QStringLiteral("qacsemaf_migra"));
        if (!site.isSqlite() && qEnvironmentVariableIsEmpty("QACSEMAF_PG"))
            QSKIP("PostgreSQL not available: set QACSEMAF_PG");
        QVERIFY2(site.error().isEmpty(), qPrintable(site.error()));
        const QStringList place = site.place();
        const Run seeded = qacsemaf(QStringList{"seed"} + place);
        QVERIFY2(seeded.exitCode == 0, qPrintable(seeded.errors));
        // The owner vacuums and analyses the module's tables, not the system's it may not touch.
        QVERIFY2(!seeded.errors.contains(QLatin1String("WARNING")), qPrintable(seeded.errors));
        const QString counts = QStringLiteral("SELECT (SELECT COUNT(*) FROM AC_PPROM) || '/' || (SELECT COUNT(*) FROM BI_EMPLE)"
                                              " || '/' || (SELECT COUNT(*) FROM GN_USEMP) || '/' || (SELECT COUNT(*) FROM GN_USUAR)");
        const QString before = site.value(counts);
        // The first version, its SQLite file in WAL mode.
        QCOMPARE(site.run(firstVersion() + (site.isSqlite() ? QStringList{"PRAGMA journal_mode=WAL"} : QStringList())),
                 site.isSqlite() ? QStringList{"wal"} : QStringList());
        const QString current = QString::number(appserver::SchemaVersion::current());
        const Run older = qacsemaf(kGenerate + place);
        QCOMPARE(older.exitCode, 1);
        QVERIFY2(older.errors.contains(QStringLiteral("tiene la versión 1 del esquema y este programa necesita la versión %1; "
                                                      "actualícela con qacsemaf migrate.").arg(current)),
                 qPrintable(older.errors));

        const Run migrated = qacsemaf(QStringList{"migrate"} + place);
        QVERIFY2(migrated.exitCode == 0, qPrintable(migrated.errors));
        QVERIFY2(migrated.output.contains(QStringLiteral("pasó de la versión 1 a la %1 del esquema").arg(current)),
                 qPrintable(migrated.output));
        const Run generated = qacsemaf(kGenerate + place);
        QVERIFY2(generated.exitCode == 0, qPrintable(generated.errors));
        QVERIFY2(generated.output.contains(QLatin1String("verde")), qPrintable(generated.output));
        if (site.isSqlite())   // the file left WAL for the rollback journal; the read left nothing
            QCOMPARE(QDir(site.folder()).entryList(QDir::Files), QStringList{"qacsemaf_migra.db"});
        QVERIFY(qacsemaf(QStringList{"migrate"} + place).output.contains(QStringLiteral("no había nada que aplicar")));
        QCOMPARE(site.value(counts), before);
        QCOMPARE(site.value(QStringLiteral("SELECT NUM_VERS FROM AC_VERSI")), current);
        QCOMPARE(site.value(QStringLiteral("SELECT COUNT(*) FROM GN_USUAR WHERE IND_ACTI = 'A'")), before.section('/', 3));
        if (site.isSqlite())
            QCOMPARE(site.value(QStringLiteral("PRAGMA journal_mode")), QStringLiteral("delete"));
        QCOMPARE(site.run({QStringLiteral("UPDATE AC_VERSI SET NUM_VERS = NUM_VERS + 1")}), QStringList());
        const QString newer = QStringLiteral("tiene la versión %1 del esquema, más nueva que la versión %2 que conoce este "
                                             "programa; actualice Semáforo de Carrera antes de usarla.")
                                  .arg(appserver::SchemaVersion::current() + 1).arg(current);
        // (The server opens the database as generate's core does.)
        for (const QStringList &command : {kGenerate, QStringList{"migrate"}}) {
            const Run refused = qacsemaf(command + place);
            QVERIFY2(refused.errors.contains(newer), qPrintable(command.first() + ' ' + refused.errors));
            QVERIFY(refused.exitCode != 0);
        }
    }

    // A password too short, or the user's name in any case, is refused before anything is written;
    // the minimum can be changed, not to zero. (The server's road: tst_httpguards.)
    void passwordPolicy_data()
    {
        addColumns<QStringList, QByteArray, int, QString>({"arguments", "password", "exitCode", "refusal"});
        const QString shortOne = QStringLiteral("la contraseña debe tener al menos %1 caracteres; no se guardó nada");
        const QString ownName = QStringLiteral("la contraseña no puede ser el nombre del usuario; no se guardó nada");
        QTest::newRow("add, seven characters") << QStringList{"add", "EVA"} << QByteArray("siete77\n") << 1
                                               << shortOne.arg(8);
        QTest::newRow("add, eight characters") << QStringList{"add", "EVA"} << QByteArray("ocho8888\n") << 0 << "";
        QTest::newRow("passwd, the name in another case") << QStringList{"passwd", "ADMIN", "--min-password-length", "5"}
                                                          << QByteArray("Admin\n") << 1 << ownName;
        QTest::newRow("passwd, a raised minimum") << QStringList{"passwd", "ADMIN", "--min-password-length", "12"}
                                                  << QByteArray("once letras\n") << 1 << shortOne.arg(12);
        QTest::newRow("no minimum of zero") << QStringList{"add", "EVA", "--min-password-length", "0"}
                                            << QByteArray("x\n") << 2 << "--min-password-length";
    }

    void passwordPolicy()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, password);
        QFETCH(int, exitCode);
        QFETCH(QString, refusal);
        Site site(Site::Kind::Sqlite, QStringLiteral("claves"));
        QCOMPARE(qacsemaf(QStringList{"init"} + site.place(), "clave del admin\n").exitCode, 0);
        const QString users = QStringLiteral("SELECT GROUP_CONCAT(COD_USUA || PAS_USUA) FROM GN_USUAR");
        const QString before = site.value(users);
        const Run run = qacsemaf(QStringList{"user"} + arguments + site.place(), password);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.errors.contains(refusal), qPrintable(run.errors));
        QCOMPARE(site.value(users) == before, exitCode != 0);
    }

    // A file in WAL mode: another program's is refused, ours sent to migrate; its bytes stay and
    // nothing is left beside it. (The server opens it as the command line's core does.)
    void walFilesAreLeftAsTheyWere_data()
    {
        addColumns<bool, QString>({"ours", "message"});
        QTest::newRow("another program's file") << false << QStringLiteral("no es una base de datos de Semáforo de Carrera");
        QTest::newRow("one of ours") << true << QStringLiteral("usa el diario WAL, con el que leerla dejaría archivos a su "
                                                               "lado; pásela al diario de reversión con qacsemaf migrate");
    }

    void walFilesAreLeftAsTheyWere()
    {
        QFETCH(bool, ours);
        QFETCH(QString, message);
        Site site(Site::Kind::Sqlite, QStringLiteral("otra"));
        if (ours)
            QCOMPARE(qacsemaf(QStringList{"seed"} + site.place()).exitCode, 0);
        QCOMPARE(site.run((ours ? QStringList() : QStringList{"CREATE TABLE notas (texto TEXT)"}) << "PRAGMA journal_mode=WAL"),
                 QStringList{"wal"});
        QFile file(site.file());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        file.close();
        QCOMPARE(QDir(site.folder()).entryList(QDir::Files), QStringList{"otra.db"});
        const Run generated = qacsemaf(kGenerate + site.place());
        QVERIFY2(generated.exitCode == 1 && generated.errors.contains(message), qPrintable(generated.errors));
        QCOMPARE(QDir(site.folder()).entryList(QDir::Files), QStringList{"otra.db"});
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == bytes);
    }

    // A copy of the moment it starts, while a writer holds a transaction; reads leave nothing beside.
    void backup()
    {
        Site site(Site::Kind::Sqlite, QStringLiteral("demo"));
        QVERIFY(qacsemaf(QStringList{"seed"} + site.place()).exitCode == 0);
        const QString copy = QDir(site.folder()).filePath(QStringLiteral("copia.db"));
        const QString plans = site.value(QStringLiteral("SELECT COUNT(*) FROM AC_PPROM"));
        {
            QSqlDatabase writer = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("writer"));
            writer.setDatabaseName(site.file());
            QVERIFY(writer.open() && writer.transaction() && QSqlQuery(writer).exec(QStringLiteral("DELETE FROM AC_PPROM")));
            const Run made = qacsemaf({"backup", "--db", site.file(), "--out", copy});
            QVERIFY2(made.exitCode == 0, qPrintable(made.errors));
            QVERIFY(writer.commit());
            writer.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("writer"));
        QCOMPARE(plansAndJournal(site.file()), QStringLiteral("0|delete"));
        QCOMPARE(plansAndJournal(copy), plans + QStringLiteral("|delete"));

        // Put back: the plans return, the file's old content stays beside it; a new file is made too.
        const Run restored = qacsemaf({"restore", "--db", site.file(), "--from", copy});
        QVERIFY2(restored.exitCode == 0 && restored.errors.isEmpty(), qPrintable(restored.errors));
        const QString keptAt = QStringLiteral("restaurada desde %1 (versión %2 del esquema). Lo que tenía antes quedó en ")
                                   .arg(copy).arg(appserver::SchemaVersion::current());
        QVERIFY2(restored.output.contains(keptAt) && restored.output.endsWith(QLatin1String(".\n")), qPrintable(restored.output));
        const QString kept = restored.output.section(keptAt, 1).chopped(2);
        QVERIFY2(QRegularExpression(QStringLiteral("^%1\\.antes-de-restaurar-\\d{8}-\\d{6}$")
                                        .arg(QRegularExpression::escape(site.file())))
                     .match(kept).hasMatch(),
                 qPrintable(kept));
        const QString fresh = QDir(site.folder()).filePath(QStringLiteral("nueva.db"));
        const Run created = qacsemaf({"restore", "--db", fresh, "--from", copy});
        QVERIFY2(created.output.contains(QStringLiteral("%1 creada desde %2").arg(fresh, copy)), qPrintable(created.errors));
        for (const auto &[file, count] : {std::pair{site.file(), plans}, {kept, QStringLiteral("0")}, {fresh, plans}})
            QCOMPARE(plansAndJournal(file), count + QStringLiteral("|delete"));
        QCOMPARE(QDir(site.folder()).entryList(QDir::Files),
                 (QStringList{"copia.db", "demo.db", QFileInfo(kept).fileName(), "nueva.db"}));
    }

    // A refused restore changes nothing, beside either file; a copy of an older schema is restored
    // and sent to migrate.
    void restoreRefusals_data()
    {
        addColumns<QString, int, QString>({"copyKind", "exitCode", "message"});
        const int current = appserver::SchemaVersion::current();
        QTest::newRow("not a database") << "text" << 1 << "copia.db no es una base de datos SQLite; no se restauró nada";
        QTest::newRow("another program's database")
            << "other" << 1 << "copia.db no es una base de datos de Semáforo de Carrera; no se restauró nada";
        QTest::newRow("a newer schema") << "newer" << 1
                                        << QStringLiteral("copia.db tiene la versión %1 del esquema, más nueva que la versión "
                                                          "%2 que conoce este programa; actualice Semáforo de Carrera antes "
                                                          "de usarla. No se restauró nada.")
                                               .arg(current + 1).arg(current);
        QTest::newRow("a journal beside the copy") << "journal" << 1 << "copia.db-wal: un programa la usa o no la cerró bien";
        QTest::newRow("the database held by another")
            << "busy" << 1 << "rrhh.db está ocupada: un servidor o un puesto la usó durante los 10 segundos de espera; "
                              "no se cambió nada";
        QTest::newRow("an older schema") << "older" << 0
                                         << QStringLiteral("rrhh.db tiene la versión 1 del esquema y este programa necesita "
                                                           "la versión %1; actualícela con qacsemaf migrate.")
                                                .arg(current);
    }

    void restoreRefusals()
    {
        QFETCH(QString, copyKind);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        Site site(Site::Kind::Sqlite, QStringLiteral("rrhh"));
        QCOMPARE(qacsemaf(QStringList{"init"} + site.place(), "clave del admin\n").exitCode, 0);
        const QString copy = QDir(site.folder()).filePath(QStringLiteral("copia.db"));
        if (copyKind == QLatin1String("text")) {
            QVERIFY(writeFile(copy, "no soy una base de datos\n"));
        } else {
            if (copyKind != QLatin1String("other"))
                QCOMPARE(qacsemaf({"backup", "--db", site.file(), "--out", copy}).exitCode, 0);
            const QStringList changes = copyKind == QLatin1String("other") ? QStringList{"CREATE TABLE notas (texto TEXT)"}
                                        : copyKind == QLatin1String("newer") ? QStringList{"UPDATE AC_VERSI SET NUM_VERS = NUM_VERS + 1"}
                                        : copyKind == QLatin1String("older") ? firstVersion()   // as the first version was made
                                                                             : QStringList();
            for (const QString &change : changes)
                QCOMPARE(querySqlite(copy, change), QStringList());
            if (copyKind == QLatin1String("journal"))
                QVERIFY(QFile(copy + QStringLiteral("-wal")).open(QIODevice::WriteOnly));
        }
        const QByteArray database = fileDigest(site.file());
        const QByteArray copied = fileDigest(copy);
        const QStringList files = QDir(site.folder()).entryList(QDir::Files);
        Run restored;
        {
            QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
            holder.setDatabaseName(site.file());
            QVERIFY(holder.open() && (copyKind != QLatin1String("busy") || QSqlQuery(holder).exec(QStringLiteral("BEGIN IMMEDIATE"))));
            restored = qacsemaf({"restore", "--db", site.file(), "--from", copy});
            QSqlQuery(holder).exec(QStringLiteral("ROLLBACK"));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
        QCOMPARE(restored.exitCode, exitCode);
        QVERIFY2(restored.errors.contains(message), qPrintable(restored.errors));
        QVERIFY(fileDigest(copy) == copied);
        if (exitCode != 0) {
            QVERIFY(fileDigest(site.file()) == database);
            QCOMPARE(QDir(site.folder()).entryList(QDir::Files), files);
            return;
        }
        QCOMPARE(QDir(site.folder()).entryList(QDir::Files).size(), files.size() + 1);
        const Run migrated = qacsemaf({"migrate", "--db", site.file()});
        QVERIFY2(migrated.output.contains(QStringLiteral("pasó de la versión 1 a la %1 del esquema")
                                              .arg(appserver::SchemaVersion::current())),
                 qPrintable(migrated.output + migrated.errors));
    }
};

QTEST_GUILESS_MAIN(TestSiteSetup)
#include "tst_sitesetup.moc"
