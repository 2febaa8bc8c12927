// Where the server takes its PostgreSQL passwords from when --pg does not hold them, and which
// place wins when several do.

#include "tests/support/DataTable.h"
#include "server/DatabasePasswords.h"

#include <QTemporaryDir>
#include <QtTest>

class TestDatabasePasswords : public QObject {
    Q_OBJECT
private slots:
    // file: what --pg-password-file holds ("-": not given, "?": a file that does not exist);
    // environment: NAME=value pairs.
    void sources_data()
    {
        addColumns<QString, QString, QStringList, QString, QString, QString>(
            {"conninfo", "file", "environment", "password", "readerPassword", "error"});
        const QString pg = QStringLiteral("host=db dbname=rrhh user=app");
        const QStringList all{"QACSEMAF_PG_PASSWORD=variable", "PGPASSWORD=libpq", "QACSEMAF_PG_READ_PASSWORD=lectura"};
        QTest::newRow("conninfo first") << pg + " password=dada readpassword=leida" << "archivo\n" << all << "dada" << "leida" << "";
        QTest::newRow("file, line end dropped, blanks kept") << pg << " con blancos \r\nsegunda" << all << " con blancos "
                                                             << "lectura" << "";
        QTest::newRow("own variable before libpq's") << pg << "-" << all << "variable" << "lectura" << "";
        QTest::newRow("libpq's variable last; reader falls back on the writer's")
            << pg << "-" << QStringList{"PGPASSWORD=libpq"} << "libpq" << "" << "";
        QTest::newRow("missing file") << pg << "?" << all << "" << "" << "No such file or directory";
    }

    void sources()
    {
        QFETCH(QString, conninfo);
        QFETCH(QString, file);
        QFETCH(QStringList, environment);
        QFETCH(QString, password);
        QFETCH(QString, readerPassword);
        QFETCH(QString, error);
        QTemporaryDir dir;
        DatabasePasswords::Sources sources;
        if (file != QLatin1String("-"))
            sources.passwordFile = dir.filePath(QStringLiteral("clave"));
        QFile written(sources.passwordFile);
        if (file != QLatin1String("-") && file != QLatin1String("?")) {
            QVERIFY(written.open(QIODevice::WriteOnly) && written.write(file.toUtf8()) == file.toUtf8().size());
            written.close();
            written.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
        for (const QString &pair : environment)
            sources.environment.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        appserver::DatabaseDescription description;
        QString parseError;
        QVERIFY2(appserver::DatabaseDescription::fromKeywords(conninfo, &description, &parseError), qPrintable(parseError));
        QStringList notes;
        const QString got = DatabasePasswords::fill(&description, sources, &notes);
        QVERIFY2(error.isEmpty() ? got.isEmpty() : got.endsWith(error), qPrintable(got));
        if (!error.isEmpty())
            return;
        QCOMPARE(description.password, password);
        QCOMPARE(description.readerPassword, readerPassword);
        // Each password on the command line is pointed out; the file is its owner's alone.
        QCOMPARE(notes.size(), conninfo.count(QStringLiteral("password=")));
    }
};

QTEST_GUILESS_MAIN(TestDatabasePasswords)
#include "tst_databasepasswords.moc"
