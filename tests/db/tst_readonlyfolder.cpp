// `qacsemaf generate` as a user who may not write the folder of a WAL-mode database: the rows of a
// writable copy, and nothing left in the folder (run as an unprivileged user through setpriv).

#include "tests/support/DemoDatabase.h"
#include "tests/support/TestTools.h"

#include <QDir>
#include <QStandardPaths>
#include <QtTest>

#include <unistd.h>

namespace {

const QStringList kAsNobody{"--reuid=65534", "--regid=65534", "--clear-groups"};
const QFile::Permissions kReadAndSearch = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                          | QFile::ReadOther | QFile::ExeOther;

QStringList generateOn(const QString &database)
{
    return {QStringLiteral(QACSEMAF_TOOL), "generate", "--db", database, "--company", "1", "--target", "SUP003@2",
            "--candidates", "AUX001@2,OPE003@2", "--categories", "EF,EN,EP,CO", "--format", "csv"};
}

} // namespace

class TestReadOnlyFolder : public QObject {
    Q_OBJECT
private slots:
    void generateReadsWithoutWriting()
    {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (geteuid() != 0 || setpriv.isEmpty())
            QSKIP("needs root and setpriv (util-linux) to run the command as a user who may not write the folder");
        const DemoDatabase demo;
        QVERIFY2(demo.isValid(), qPrintable(demo.error()));

        QTemporaryDir base;   // searchable by the other user, as every folder above it
        QVERIFY(QFile::setPermissions(base.path(), kReadAndSearch | QFile::WriteOwner));
        const QString folder = base.filePath(QStringLiteral("solo-lectura"));
        const QString copy = folder + QStringLiteral("/semaforo.db");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::copy(demo.path(), copy));
        QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(QFile::setPermissions(folder, kReadAndSearch));
        const QByteArray before = fileDigest(copy);
        // The folder really stops that user.
        QVERIFY(runProgram(setpriv, kAsNobody + QStringList{"touch", folder + QStringLiteral("/probe")}).exitCode != 0);

        QStringList writable = generateOn(demo.path());
        const ProgramRun expected = runProgram(writable.takeFirst(), writable);
        QVERIFY2(expected.exitCode == 0, qPrintable(expected.errors));
        QVERIFY2(expected.output.count(QLatin1Char('\n')) > 1, qPrintable(expected.output));   // heading and rows
        const ProgramRun readOnly = runProgram(setpriv, kAsNobody + generateOn(copy));
        QVERIFY2(readOnly.exitCode == 0, qPrintable(readOnly.errors));
        QCOMPARE(readOnly.output, expected.output);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"semaforo.db"});
        QCOMPARE(fileDigest(copy), before);
        QVERIFY(QFile::setPermissions(folder, kReadAndSearch | QFile::WriteOwner));
    }
};

QTEST_GUILESS_MAIN(TestReadOnlyFolder)
#include "tst_readonlyfolder.moc"
