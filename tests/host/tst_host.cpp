// The host program as a user starts it: it loads the module, embeds the window and closes cleanly,
// and a load that fails ends with the loader's message and a non-zero exit.

#include "DemoDatabase.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestHost : public QObject {
    Q_OBJECT
private slots:
    void failedStart_data();
    void failedStart();
    void opensAndCloses();

private:
    QProcess *run(const QStringList &arguments);

    DemoDatabase m_db;
};

QProcess *TestHost::run(const QStringList &arguments)
{
    auto *host = new QProcess(this);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    host->setProcessEnvironment(environment);
    host->start(QStringLiteral(QACSEMAF_HOST), arguments);
    host->waitForFinished(30000);
    return host;
}

void TestHost::failedStart_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("library missing") << QStringList{"--library", "/nonexistent/libQAcSemaf.so"}
                                     << "No se pudo cargar el módulo: ";
    QTest::newRow("library without the entry points")
        << QStringList{"--library", QStringLiteral(QACSEMAF_NOT_A_MODULE)} << "QOpLoadDllW";
    QTest::newRow("wrong password: the module's message")
        << QStringList{"--library", QStringLiteral(QACSEMAF_LIBRARY), "--alias", m_db.path(), "--password", "otra"}
        << "Error al iniciar el módulo: Usuario o contraseña incorrectos";
}

void TestHost::failedStart()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QProcess *host = run(arguments);
    QCOMPARE(host->exitStatus(), QProcess::NormalExit);
    QCOMPARE(host->exitCode(), 1);
    const QString errors = QString::fromUtf8(host->readAllStandardError());
    QVERIFY2(errors.contains(message), qPrintable(errors));
}

void TestHost::opensAndCloses()
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("host.png"));
    QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
    QProcess *host = run({"--library", QStringLiteral(QACSEMAF_LIBRARY), "--alias", m_db.path(),
                          "--quit-after", "200", "--screenshot", picture});
    QCOMPARE(host->exitCode(), 0);
    const QString output = QString::fromUtf8(host->readAllStandardError());
    QVERIFY2(output.contains(QStringLiteral("QAcSemafBD.QAcSemaf")), qPrintable(output));
    QImage window(picture);
    QVERIFY(!window.isNull());
    QVERIFY(window.width() > 600);
}

QTEST_GUILESS_MAIN(TestHost)
#include "tst_host.moc"
