// The command line through the built programs: every bad argument ends with exit code 2 and one
// message before any work, the password's sources, messages follow the locale.

#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/TestTools.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// The locale variables (and the password's) set to `settings` (NAME=VALUE), none of the caller's left.
QProcessEnvironment localeEnvironment(const QStringList &settings)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE", "QACSEMAF_PASSWORD"})
        environment.remove(QLatin1String(name));
    for (const QString &setting : settings)
        environment.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
    return environment;
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        QVERIFY(m_dir.isValid());
    }

    void refusesBeforeWork_data()
    {
        // DB: the demo database; OUT: a file the command would write; message: the first line after
        // the prefix.
        addColumns<QStringList, QString>({"arguments", "message"});
        const QStringList positions{"--db", "DB", "--company", "2", "--target", "SUP001@2", "--candidates", "OPE001@2",
                                    "--categories", "EF"};
        const QStringList node{"--db", "DB", "--company", "1", "--plan", "1", "--node", "11", "--categories", "EF"};
        QTest::newRow("no command") << QStringList{} << "falta el comando";
        QTest::newRow("unknown command") << QStringList{"generar"} << "comando desconocido \"generar\"";
        QTest::newRow("generate: unknown option") << QStringList{"generate", "--salida", "OUT"} + positions
                                                  << "opción desconocida --salida";
        QTest::newRow("generate: value missing") << QStringList{"generate", "--db"} << "falta el valor de --db";
        QTest::newRow("generate: plan without node")
            << QStringList{"generate", "--db", "DB", "--company", "1", "--plan", "1", "--categories", "EF"} << "falta --node";
        QTest::newRow("generate: node not a number") << QStringList{"generate", "--node", "once"} + node.mid(0, 6)
                                                     << "--node: \"once\" no es un número entero";
        QTest::newRow("generate: unknown format") << QStringList{"generate", "--format", "xml", "--out", "OUT"} + positions
                                                  << "--format: \"xml\" no es uno de table, json, csv, xlsx";
        QTest::newRow("generate: folder missing") << QStringList{"generate", "--out", "MISSING/r.csv"} + positions
                                                  << "--out: la carpeta MISSING no existe";
        QTest::newRow("generate: server not an address")
            << QStringList{"generate", "--out", "OUT", "--server", "rrhh app", "--company", "2", "--target", "SUP001@2",
                           "--candidates", "OPE001@2", "--categories", "EF"}
            << "--server: El servidor \"rrhh app\" no es de la forma equipo:puerto, http://equipo:puerto o "
               "https://equipo[:puerto].";
        QTest::newRow("seed: no place") << QStringList{"seed"} << "dé --db ARCHIVO o --pg CONNINFO";
        QTest::newRow("seed: no employees") << QStringList{"seed", "--db", "OUT", "--employees", "0"}
                                            << "--employees: dé un número de 1 en adelante";
        QTest::newRow("seed: malformed connection") << QStringList{"seed", "--pg", "host"}
                                                    << "--pg: se esperaba clave=valor en \"host\"";
        QTest::newRow("seed: database there") << QStringList{"seed", "--db", "DB"} << "DB ya existe; use --force para reemplazarlo";
        QTest::newRow("init: administrator's name") << QStringList{"init", "--db", "OUT", "--admin", "JEFE DE RRHH"}
                                                    << "--admin: el nombre de usuario \"JEFE DE RRHH\" no sirve: debe tener "
                                                       "de 1 a 8 caracteres, sin espacios";
        QTest::newRow("user: no action") << QStringList{"user"}
                                         << "indique la acción: add, disable, enable, grant, list, passwd, revoke, sessions";
        QTest::newRow("user: unknown action") << QStringList{"user", "borrar", "ANA", "--db", "DB"}
                                              << "acción desconocida \"borrar\" (use add, disable, enable, grant, list, "
                                                 "passwd, revoke, sessions)";
        QTest::newRow("user revoke: two companies") << QStringList{"user", "revoke", "ANA", "--company", "1", "--company",
                                                                   "2", "--db", "DB"}
                                                    << "--company: dé una sola empresa";
        QTest::newRow("user revoke: no session id") << QStringList{"user", "revoke", "ANA", "--session", "1 OR 1=1", "--db", "DB"}
                                                    << "--session: \"1 OR 1=1\" no es el identificador de una sesión "
                                                       "(32 cifras hexadecimales, como lo lista \"user sessions\")";
        QTest::newRow("user passwd: no name") << QStringList{"user", "passwd", "--db", "DB"} << "falta el NOMBRE del usuario";
        QTest::newRow("user list: a name") << QStringList{"user", "list", "ANA", "--db", "DB"} << "argumento inesperado \"ANA\"";
        QTest::newRow("user enable: no database") << QStringList{"user", "enable", "ANA", "--db", "MISSING/x.db"}
                                                  << "--db: el archivo MISSING/x.db no existe";
        QTest::newRow("migrate: no database named") << QStringList{"migrate", "--pg", "host=x"} << "--pg debe indicar dbname=";
        QTest::newRow("backup: copy over a file") << QStringList{"backup", "--db", "DB", "--out", "DB"}
                                                  << "--out: DB ya existe; no se reemplaza";
        QTest::newRow("backup: PostgreSQL") << QStringList{"backup", "--pg", "dbname=x", "--out", "OUT"}
                                            << "las bases PostgreSQL se copian con pg_dump (vea el README), no con backup";
        QTest::newRow("restore: onto itself") << QStringList{"restore", "--db", "DB", "--from", "DB"}
                                              << "--from: es el mismo archivo que --db";
        const QStringList plan{"--db", "DB", "--company", "1", "--categories", "EF"};
        QTest::newRow("succession: xlsx to the terminal") << QStringList{"succession", "--plan", "1", "--format", "xlsx"} + plan
                                                           << "--format xlsx necesita --out ARCHIVO";
    }

    void refusesBeforeWork()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const QString out = m_dir.filePath(QStringLiteral("out"));
        const QString missing = m_dir.filePath(QStringLiteral("missing"));
        for (QString &text : arguments) {
            if (text == QLatin1String("DB"))
                text = m_db.path();
            text.replace(QStringLiteral("MISSING"), missing).replace(QStringLiteral("OUT"), out);
        }
        message.replace(QStringLiteral("MISSING"), missing).replace(QStringLiteral("DB"), m_db.path());
        const QByteArray before = fileDigest(m_db.path());

        const ProgramRun run = runProgram(QStringLiteral(QACSEMAF_TOOL), arguments,
                                          localeEnvironment({"LANG=C.UTF-8", "QACSEMAF_PASSWORD=ADMIN"}));
        QCOMPARE(run.exitCode, 2);
        QStringList lines = run.errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(!lines.isEmpty(), "nothing on standard error");
        QCOMPARE(lines.first(), QStringLiteral("qacsemaf: ") + message);
        for (const QString &line : lines)
            QVERIFY2(line.startsWith(QLatin1String("qacsemaf")), qPrintable(run.errors));
        QCOMPARE(run.output, QString());
        QVERIFY2(!QFile::exists(out), "the command wrote its file");
        QCOMPARE(fileDigest(m_db.path()), before);
    }

    void passwordSources_data()
    {
        // FILE: a file holding the line that follows; exit 0 is the generation done, 2 a refusal
        // before any work. (A refused login: tst_commonoptions.)
        addColumns<QStringList, QStringList, int, QString>({"arguments", "environment", "exitCode", "message"});
        QTest::newRow("file") << QStringList{"--password-file", "FILE", "ADMIN"} << QStringList{} << 0 << QString();
        QTest::newRow("file over the environment") << QStringList{"--password-file", "FILE", "ADMIN"}
                                                   << QStringList{"QACSEMAF_PASSWORD=otra"} << 0 << QString();
        QTest::newRow("environment") << QStringList{} << QStringList{"QACSEMAF_PASSWORD=ADMIN"} << 0 << QString();
        QTest::newRow("file empty") << QStringList{"--password-file", "FILE", ""} << QStringList{} << 2
                                    << "qacsemaf: --password-file: FILE no tiene ninguna contraseña en su primera línea";
        QTest::newRow("file missing") << QStringList{"--password-file", "MISSING"} << QStringList{} << 2
                                      << "qacsemaf: --password-file: no se pudo leer MISSING";
        QTest::newRow("argument and file") << QStringList{"--password", "ADMIN", "--password-file", "FILE", "ADMIN"}
                                           << QStringList{} << 2 << "qacsemaf: --password no se puede usar con --password-file";
        QTest::newRow("none, and no terminal to ask on")
            << QStringList{"--user", "ANALISTA"} << QStringList{} << 2
            << "qacsemaf: falta la contraseña de ANALISTA: dé --password-file ARCHIVO o la variable QACSEMAF_PASSWORD "
               "(o ejecute el comando en una terminal, que la pregunta)";
    }

    // The password comes from --password-file or QACSEMAF_PASSWORD, and without any of them and no
    // terminal the command refuses before it opens anything.
    void passwordSources()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, environment);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const QString file = m_dir.filePath(QStringLiteral("password"));
        const QString missing = m_dir.filePath(QStringLiteral("missing/password"));
        if (const qsizetype at = arguments.indexOf(QStringLiteral("FILE")); at >= 0) {
            QFile written(file);
            QVERIFY(written.open(QIODevice::WriteOnly | QIODevice::Truncate));
            written.write(arguments.takeAt(at + 1).toUtf8() + "\n");
            arguments[at] = file;
        }
        arguments.replaceInStrings(QStringLiteral("MISSING"), missing);
        message.replace(QStringLiteral("MISSING"), missing).replace(QStringLiteral("FILE"), file);
        const ProgramRun run = runProgram(QStringLiteral(QACSEMAF_TOOL),
                                          QStringList{"generate", "--db", m_db.path(), "--company", "2", "--target",
                                                      "SUP001@2", "--candidates", "OPE002@2", "--categories", "EF",
                                                      "--format", "csv"} + arguments,
                                          localeEnvironment(QStringList{"LANG=C.UTF-8"} + environment));
        QVERIFY2(run.exitCode == exitCode, qPrintable(run.errors));
        if (exitCode == 0)
            QVERIFY2(run.output.startsWith(QStringLiteral("Identificación")), qPrintable(run.output));
        else
            QVERIFY2(run.errors.startsWith(message), qPrintable(run.errors));
    }

    void followsTheLocale_data()
    {
        addColumns<QStringList, QStringList, QString>({"locale", "arguments", "expected"});
        const QStringList conflict{"generate", "--plan", "1", "--target", "SUP001@1"};
        const QString spanish = QStringLiteral("qacsemaf: --plan no se puede usar con --target\n"
                                               "qacsemaf: vea \"qacsemaf generate --help\"\n");
        const QString english = QStringLiteral("qacsemaf: --plan cannot be used with --target\n"
                                               "qacsemaf: see \"qacsemaf generate --help\"\n");
        QTest::newRow("en_US") << QStringList{"LANG=en_US.UTF-8"} << conflict << english;
        QTest::newRow("nothing set") << QStringList{} << conflict << spanish;
        QTest::newRow("LC_ALL over LANG") << QStringList{"LANG=es_CO.UTF-8", "LC_ALL=en_GB.UTF-8"} << conflict << english;
        QTest::newRow("LC_MESSAGES over LANG") << QStringList{"LANG=en_US.UTF-8", "LC_MESSAGES=C"} << conflict << spanish;
        // The window program answers in the same language.
        QTest::newRow("window program, en_US") << QStringList{"LANG=en_US.UTF-8"}
                                               << QStringList{"screenshot", "--node", "x"}
                                               << "qacsemaf: --node: \"x\" is not a whole number\n"
                                                  "qacsemaf: see \"qacsemaf screenshot --help\"\n";
    }

    void followsTheLocale()
    {
        QFETCH(QStringList, locale);
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        if (arguments.first() == QLatin1String("screenshot"))
            arguments << QStringList{"--db", m_db.path(), "--company", "1", "--plan", "1", "--out", "x.png"};
        const ProgramRun run = runProgram(QStringLiteral(QACSEMAF_TOOL), arguments, localeEnvironment(locale));
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.errors, expected);
    }

private:
    DemoDatabase m_db;
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
