// The host program as a user starts it: it loads the module, embeds the window and closes cleanly,
// and a load that fails ends with the loader's message and a non-zero exit.

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
    }

    void failedStart()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const ProgramRun host = run(arguments);
        QCOMPARE(host.exitCode, 1);
        QVERIFY2(host.errors.contains(message), qPrintable(host.errors));
    }

    void opensAndCloses()
    {
        QTemporaryDir dir;
        const QString picture = dir.filePath(QStringLiteral("host.png"));
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        const ProgramRun host = run({"--library", QStringLiteral(QACSEMAF_LIBRARY), "--alias", m_db.path(),
                                     "--quit-after", "200", "--screenshot", picture});
        QCOMPARE(host.exitCode, 0);
        QVERIFY2(host.errors.contains(QStringLiteral("QAcSemafBD.QAcSemaf")), qPrintable(host.errors));
        QImage window(picture);
        QVERIFY(!window.isNull());
        QVERIFY(window.width() > 600);
    }

private:
    static ProgramRun run(const QStringList &arguments) { return runProgram(QStringLiteral(QACSEMAF_HOST), arguments); }

    DemoDatabase m_db;
};

QTEST_GUILESS_MAIN(TestHost)
#include "tst_host.moc"
