// Where the server takes its PostgreSQL passwords from when --pg does not hold them, and which
// place wins when several do.

#include "DataTable.h"
#include "DatabasePasswords.h"

#include <QTemporaryDir>
#include <QtTest>

class TestDatabasePasswords : public QObject {
    Q_OBJECT
private slots:
    // file, readFile: the files' contents ("-": no file given, "?": a file that does not exist);
    // environment: NAME=value pairs.
    void sources_data()
    {
        addColumns<QString, QString, QString, QStringList, QString, QString, QString>(
            {"conninfo", "file", "readFile", "environment", "password", "readerPassword", "error"});
        const QString pg = QStringLiteral("host=db dbname=rrhh user=app");
        const QStringList both{"QACSEMAF_PG_PASSWORD=variable", "PGPASSWORD=libpq", "QACSEMAF_PG_READ_PASSWORD=lectura"};
        QTest::newRow("conninfo first") << pg + " password=dada readpassword=leida" << "archivo\n" << "-" << both
                                        << "dada" << "leida" << "";
        QTest::newRow("file, line end dropped, blanks kept") << pg << " con blancos \r\nsegunda" << "lector\n" << both
                                                             << " con blancos " << "lector" << "";
        QTest::newRow("own variable before libpq's") << pg << "-" << "-" << both << "variable" << "lectura" << "";
        QTest::newRow("libpq's variable last; reader falls back on the writer's") << pg << "-" << "-"
                                                                                 << QStringList{"PGPASSWORD=libpq"}
                                                                                 << "libpq" << "" << "";
        QTest::newRow("missing file") << pg << "?" << "-" << both << "" << "" << "No such file or directory";
        QTest::newRow("empty file") << pg << "" << "-" << both << "" << ""
                                    << "the first line is empty; it must hold the password";
    }

    void sources()
    {
        QFETCH(QString, conninfo);
        QFETCH(QString, file);
        QFETCH(QString, readFile);
        QFETCH(QStringList, environment);
        QFETCH(QString, password);
        QFETCH(QString, readerPassword);
        QFETCH(QString, error);
        QTemporaryDir dir;
        DatabasePasswords::Sources sources;
        sources.passwordFile = fileHolding(dir, QStringLiteral("escritor"), file);
        sources.readPasswordFile = fileHolding(dir, QStringLiteral("lector"), readFile);
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
        // A password on the command line is pointed out, as are files others may read (the
        // temporary ones are the user's own).
        QCOMPARE(notes.size(), conninfo.count(QStringLiteral("password=")));
    }

private:
    static QString fileHolding(const QTemporaryDir &dir, const QString &name, const QString &contents)
    {
        if (contents == QLatin1String("-"))
            return {};
        const QString path = dir.filePath(name);
        if (contents == QLatin1String("?"))
            return path;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(contents.toUtf8()) != contents.toUtf8().size())
            qFatal("cannot write %s", qPrintable(path));
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return path;
    }
};

QTEST_GUILESS_MAIN(TestDatabasePasswords)
#include "tst_databasepasswords.moc"
