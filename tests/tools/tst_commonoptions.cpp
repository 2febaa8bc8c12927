// The command line's session: made from its options and proved with the application server,
// whose answer the connection keeps (and writes to the suite's globals), or whose refusal is the
// command's message.

#include "framework/Session.h"
#include "framework/Ugnnorma.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/localtransport/LocalTransport.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/TestTools.h"
#include "tools/CommandLine.h"
#include "tools/CommonOptions.h"

#include <QtTest>

class TestCommonOptions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        LocalTransport::install();   // as qacsemaf's main does
    }

    void init() { ResetSessionGlobals(); }

    // The command line makes its session from its options and hands it to the connection it
    // proves it with, which keeps the server's answer (written to the suite's globals too).
    void commandLineSession()
    {
        const CommonOptions options = parse({"--db", m_db.path(), "--company", "2"});
        const Session expected("local", QString(), m_db.path(), "ADMIN", "ADMIN", 2);
        QCOMPARE(options.session(), expected);

        SDCOMConnection connection;
        options.proveSession(connection);
        QCOMPARE(connection.session(), expected);
        QCOMPARE((QStringList{connection.driverName(), connection.userType()}), (QStringList{"SQLITE", "A"}));
        QCOMPARE((QStringList{gStDriver, gStTipoUsuario}), (QStringList{"SQLITE", "A"}));
    }

    void commandLineProofKeepsTheServersMessage_data()
    {
        addColumns<QStringList, QString>({"arguments", "message"});
        const QString refused = QStringLiteral("Usuario o contraseña incorrectos. Verifique sus datos de acceso.");
        QTest::newRow("wrong password") << QStringList{"--company", "1", "--password", "MALA"} << refused;
        QTest::newRow("company the user may not use")
            << QStringList{"--company", "2", "--user", "CONSULTA", "--password", "CONSULTA"}
            << "El usuario CONSULTA no tiene acceso a la empresa 2 (Industrias Peñalisa S.A.S.).";
    }

    void commandLineProofKeepsTheServersMessage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const CommonOptions options = parse(QStringList{"--db", m_db.path()} + arguments);
        SDCOMConnection connection;
        QCOMPARE(messageOf<EDatabaseError>([&] { options.proveSession(connection); }), message);
        QCOMPARE(connection.driverName(), QString());
    }

private:
    static CommonOptions parse(const QStringList &arguments)
    {
        CommandLine line(QStringLiteral("qacsemaf"), {});
        CommonOptions::addTo(line);
        line.parse(QStringList{"qacsemaf"} + arguments);
        return CommonOptions::read(line);
    }

    DemoDatabase m_db;
};

QTEST_GUILESS_MAIN(TestCommonOptions)
#include "tst_commonoptions.moc"
