// The session context the load call writes: option parser, version split, string conventions; the
// one session the load hands the main form, the data module and the connection.

#include "data/DAcSemaf.h"
#include "entry/CAcSemaf.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "entry/QAcSemafApi.h"
#include "framework/Session.h"
#include "framework/TApplication.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/widgets/TQsCmbCodigo.h"
#include "tests/support/SessionText.h"
#include "ui/UAcSemaf.h"
#include "framework/Ugnnorma.h"
#include "framework/WideString.h"

#include <QtTest>

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void init() { ResetSessionGlobals(); }
    void cleanup() { QOpUnLoadDll(); }

    void optionText_data()
    {
        addColumns<QString, bool, QStringList, QString>({"options", "parsed", "items", "condition"});

        QTest::newRow("empty") << QString() << false << QStringList() << QString();
        QTest::newRow("quoted condition") << QStringLiteral("/A \"AND cod_empl = 5\" x") << true
                                          << QStringList{"/A", "AND cod_empl = 5", "x"}
                                          << QStringLiteral("AND cod_empl = 5");
        QTest::newRow("last condition wins") << QStringLiteral("ANDa \"And b\" c") << true
                                             << QStringList{"ANDa", "And b", "c"} << QStringLiteral("And b");
        QTest::newRow("unclosed quote") << QStringLiteral("\"abc def") << true
                                        << QStringList{"", "abc", "def"} << QString();
    }

    void optionText()
    {
        QFETCH(QString, options);
        QFETCH(bool, parsed);
        QFETCH(QStringList, items);
        QFETCH(QString, condition);

        LoadArguments args;
        args.opciones = options;
        args.versionFecha = QStringLiteral("1;2");
        writeLoadContext(args);

        QCOMPARE(gSlParams.has_value(), parsed);
        if (parsed)
            QCOMPARE(*gSlParams, items);
        QCOMPARE(gStParHpv, condition);
    }

    void plainLoadCarriesNonAsciiTexts()
    {
        // A copy of the demo database under a non-ASCII name, with a user whose name and password
        // are not ASCII either: the load only succeeds when every text arrives intact.
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        const QString alias = m_dir.filePath(QStringLiteral("añoñí.db"));
        QVERIFY(QFile::copy(m_db.path(), alias));
        QCOMPARE(querySqlite(alias, QStringLiteral("INSERT INTO GN_USUAR (COD_USUA, PAS_USUA, TIP_USUA, NOM_USUA) "
                                                   "VALUES ('JOSÉ', 'contraseña€', 'C', 'José')")),
                 QStringList());
        QCOMPARE(querySqlite(alias, QStringLiteral("INSERT INTO GN_USEMP (COD_USUA, COD_EMPR) VALUES ('JOSÉ', 1)")),
                 QStringList());
        const QStringList texts{"local", alias, "servidor-ß", "JOSÉ", "contraseña€", "1",
                                "/A \"AND ciudad = 'Bogotá'\"", "3.1;2026-12-06"};
        QList<char16_t *> strings;
        for (const QString &text : texts)
            strings << WideStringAlloc(text);
        const QAcWindowHandle handle = QOpLoadDll(7, strings[0], strings[1], strings[2], strings[3],
                                                  strings[4], strings[5], strings[6], strings[7]);
        for (char16_t *text : strings)
            WideStringFree(text);

        QVERIFY2(handle != 0, qPrintable(UltimoError()));
        QCOMPARE((QStringList{gStProtocolo, gStAliasCnx, gStParSrv, gStParUsu, gStParPas, gStParEmp}), texts.mid(0, 6));
        QCOMPARE((QStringList{gStParHpv, gStVersionCliente, gStFechaCliente}),
                 (QStringList{"AND ciudad = 'Bogotá'", "3.1", "2026-12-06"}));
        // The framework's form creation makes the company current.
        QCOMPARE(TApplication::instance().Tag, 1);
        QCOMPARE(gStCodiEmpr, QStringLiteral("1"));
        // The load asked the server who the user is and what database it runs on.
        QCOMPARE(gStTipoUsuario, QStringLiteral("C"));
        QCOMPARE(gStDriver, QStringLiteral("SQLITE"));
    }

    // After the load the main form, its connection and the data module work in the session the
    // load call's arguments describe, and the company selector shows its company; a password
    // changed through the module is that session's from then on, and the suite's password globals
    // say it, until the unload forgets them. (What a session puts in the globals is the session
    // value's.)
    void loadMakesOneSession()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        const QString alias = m_dir.filePath(QStringLiteral("clave.db"));
        QVERIFY(QFile::copy(m_db.path(), alias));
        const auto *path = reinterpret_cast<const char16_t *>(alias.utf16());
        const QAcWindowHandle handle =
            QOpLoadDllW(0, u"local", path, u"", u"ADMIN", u"ADMIN", u" 2 ", u"/A x", u"5.0;2027-01-02");
        QVERIFY2(handle != 0, qPrintable(UltimoError()));
        Session loaded =
            Session::fromLoadCall("local", alias, "", "ADMIN", "ADMIN", " 2 ", "/A x", "5.0;2027-01-02");
        QCOMPARE(FrmAcSemaf->session(), loaded);
        QCOMPARE(FrmAcSemaf->cmbEmpresa->Codigo(), QStringLiteral("2"));
        loaded.password = QStringLiteral("otra clave larga");
        CambiarClave(QStringLiteral("ADMIN"), loaded.password);
        QCOMPARE(FrmAcSemaf->session(), loaded);
        QCOMPARE(FrmAcSemaf->DCOMCnction->session(), loaded);
        QCOMPARE(DtmAcSemaf->session(), loaded);
        QCOMPARE((QStringList{gStPassUsua, gStParPas}), QStringList(2, loaded.password));
        // The unload forgets it.
        QOpUnLoadDll();
        for (const QString *text : {&gStParPas, &gStPassUsua, &gStParUsu, &gStCodiUsua, &gStCodiEmpr,
                                    &gStAliasCnx, &gStTipoUsuario, &gStDriver})
            QVERIFY2(text->isEmpty(), qPrintable(*text));
        QCOMPARE(TApplication::instance().Tag, 0);
    }

private:
    DemoDatabase m_db;
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"
