// The host program as a user starts it: without a client configuration it loads the module on the
// user's demo, embeds the window and closes cleanly; with one it starts with the login window; a
// load that fails ends with the loader's message and a non-zero exit.

#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/TestTools.h"

#include <QTemporaryDir>
#include <QtTest>

class TestHost : public QObject {
    Q_OBJECT
private slots:
    void failedStart_data()
    {
        addColumns<QStringList, QString>({"arguments", "message"});
        QTest::newRow("library missing") << QStringList{"--library", "/nonexistent/libQAcSemaf.so"}
                                         << "No se pudo cargar el módulo: ";
        QTest::newRow("library without the entry points")
            << QStringList{"--library", QStringLiteral(QACSEMAF_NOT_A_MODULE)} << "QOpLoadDllW";
        QTest::newRow("wrong password: the module's message")
            << QStringList{"--library", QStringLiteral(QACSEMAF_LIBRARY), "--alias", m_db.path(), "--password", "otra"}
            << "Error al iniciar el módulo: Usuario o contraseña incorrectos";
        QTest::newRow("client configuration with an unknown key")
            << QStringList{"CONFIG=servidor=rrhh-app:8080"}
            << "La configuración de la estación CONFIG no sirve: la clave \"servidor\" no es una de server, ca-file, database.";
    }

    void init() { QFile::remove(configPath()); }

    void failedStart()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        // CONFIG=TEXT: a client configuration holding TEXT, and nothing else on the command line.
        if (arguments.value(0).startsWith(QLatin1String("CONFIG="))) {
            writeConfig(arguments.takeFirst().mid(7));
            arguments << QStringList{"--library", QStringLiteral(QACSEMAF_LIBRARY)};
            message.replace(QStringLiteral("CONFIG"), configPath());
        }
        const ProgramRun host = run(arguments);
        QCOMPARE(host.exitCode, 1);
        QVERIFY2(host.errors.contains(message), qPrintable(host.errors));
    }

    // No client configuration: the demo, named in the status bar; with one, the login window on
    // the configured server and no demo made.
    void startsByTheSite_data()
    {
        addColumns<QString, QString, bool>({"config", "log", "demo"});
        QTest::newRow("no site: the demo") << QString() << "Base de demostración creada y abierta: DEMO" << true;
        QTest::newRow("site: the login window")
            << "[client]\nserver=https://rrhh-app:8443\n" << "inicio de sesión en https://rrhh-app:8443 (CONFIG)" << false;
    }

    void startsByTheSite()
    {
        QFETCH(QString, config);
        QFETCH(QString, log);
        QFETCH(bool, demo);
        QTemporaryDir home;
        QFile::remove(configPath());
        if (!config.isEmpty())
            writeConfig(config);
        const QString demoFile = home.filePath(QStringLiteral("data/qacsemaf/demo.db"));
        log.replace(QStringLiteral("DEMO"), demoFile).replace(QStringLiteral("CONFIG"), configPath());
        QProcessEnvironment environment = hostEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        const ProgramRun host = runProgram(QStringLiteral(QACSEMAF_HOST),
                                           {"--library", QStringLiteral(QACSEMAF_LIBRARY), "--quit-after", "300"}, environment);
        QCOMPARE(host.exitCode, 0);
        QVERIFY2(host.errors.contains(QStringLiteral("qacsemaf-host: ") + log), qPrintable(host.errors));
        if (demo)   // the module loaded
            QVERIFY2(host.errors.contains(QStringLiteral("QAcSemafBD.QAcSemaf")), qPrintable(host.errors));
        QCOMPARE(QFile::exists(demoFile), demo);
    }

private:
    QString configPath() const { return m_dir.filePath(QStringLiteral("client.ini")); }
    void writeConfig(const QString &text) const
    {
        QFile file(configPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    }
    // The host reads the test's own client configuration, never the machine's.
    QProcessEnvironment hostEnvironment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QACSEMAF_CLIENT_CONFIG"), configPath());
        environment.remove(QStringLiteral("QACSEMAF_PASSWORD"));
        return environment;
    }
    ProgramRun run(const QStringList &arguments) const
    {
        return runProgram(QStringLiteral(QACSEMAF_HOST), arguments, hostEnvironment());
    }

    QTemporaryDir m_dir;

    DemoDatabase m_db;
};

QTEST_GUILESS_MAIN(TestHost)
#include "tst_host.moc"
