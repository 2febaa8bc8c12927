// Drives the built library through QLibrary, exactly as a host does. (Null pointers from a host:
// tst_chost.)

#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "entry/QAcSemafApi.h"

#include <QLibrary>
#include <QApplication>
#include <QWidget>
#include <QtTest>

#include <cstring>

namespace {

const char16_t *text16(const QString &text)
{
    return reinterpret_cast<const char16_t *>(text.utf16());
}

} // namespace

// An entry point of the built library, looked up by its exported name as a host does.
#define ENTRY(name) reinterpret_cast<decltype(&name)>(m_library.resolve(#name))

class TestEntryPoints : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_library.load(), qPrintable(m_library.errorString()));
        for (const char *name : {"QOpLoadDllW", "QOpUnLoadDll", "getServerGuidNet", "getServerNameNet", "getServerPublicT",
                                 "getServerGuidNetW", "getServerNameNetW", "getServerPublicTW", "CambiarAltura", "CambiarTamano",
                                 "CambiarTamanoW", "QAcFreeString", "QOpUltimoError", "QOpUltimoErrorW", "QOpRenovarSesionW",
                                 "QOpCambiarClaveW"})
            QVERIFY2(m_library.resolve(name), name);
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        QVERIFY(m_library.resolve("writeLoadContext") == nullptr);
    }

    void identityBeforeLoad_data()
    {
        addColumns<int, QString>({"which", "expected"});
        QTest::newRow("guid") << 0 << "{7EA2E7BB-0ABF-4314-B7B5-3AD8F0654EA1}";
        QTest::newRow("name") << 1 << "QAcSemafBD.QAcSemaf";
        QTest::newRow("public key token") << 2 << "3f5a7c21b0e4d896";
    }

    void identityBeforeLoad()
    {
        QFETCH(int, which);
        QFETCH(QString, expected);
        const auto plain = std::array{ENTRY(getServerGuidNet), ENTRY(getServerNameNet), ENTRY(getServerPublicT)}[which];
        const auto wide = std::array{ENTRY(getServerGuidNetW), ENTRY(getServerNameNetW), ENTRY(getServerPublicTW)}[which];

        const char16_t *constant = nullptr;
        wide(&constant);
        QCOMPARE(QString::fromUtf16(constant), expected);
        const char16_t *again = nullptr;
        wide(&again);
        QCOMPARE(again, constant); // the library's constant, not a copy

        char16_t *owned = plain();
        quint32 bytes = 0;
        std::memcpy(&bytes, reinterpret_cast<char *>(owned) - 4, 4);
        QCOMPARE(bytes, quint32(expected.size() * 2));
        QCOMPARE(QString::fromUtf16(owned, expected.size()), expected);
        QCOMPARE(owned[expected.size()], u'\0');
        ENTRY(QAcFreeString)(owned);
    }

    void loadResizeUnload()
    {
        QWidget *form = load();
        QVERIFY(form);
        QCOMPARE(form->objectName(), QStringLiteral("FrmAcSemaf"));
        QPointer<QWidget> watch(form);

        ENTRY(CambiarTamano)(640, 480);
        QCOMPARE(form->size(), QSize(640, 480));
        ENTRY(CambiarAltura)(300);
        QCOMPARE(form->size(), QSize(640, 300));
        ENTRY(CambiarTamanoW)(text16("800"), text16("-12"));
        QCOMPARE(form->size().width(), 800);
        // A bad number keeps the size and leaves a message (nothing is thrown at the host); a call
        // that succeeds clears it.
        for (const char *bad : {"6x0", "99999999999"}) {
            ENTRY(CambiarTamano)(500, 400);
            ENTRY(CambiarTamanoW)(text16("800"), text16(QString::fromLatin1(bad)));
            QCOMPARE(lastError(), QStringLiteral("'%1' no es un valor entero válido").arg(QLatin1String(bad)));
            QCOMPARE(form->size(), QSize(500, 400));
        }
        ENTRY(CambiarTamanoW)(text16("640"), text16("480"));
        QCOMPARE(lastError(), QString());

        ENTRY(QOpUnLoadDll)();
        QVERIFY(watch.isNull());
        ENTRY(QOpUnLoadDll)(); // a second unload finds nothing to release
    }

    void wrongSessionFailsAtLoad_data()
    {
        addColumns<QString, QString, QString>({"protocol", "company", "message"});
        QTest::newRow("unknown protocol") << "ftp" << "1" << "Protocolo de conexión desconocido: \"ftp\"";
        QTest::newRow("company that does not exist") << "local" << "77" << "La empresa 77 no existe";
    }

    // (A refused password: tst_commonoptions and tst_loginwindow.)
    void wrongSessionFailsAtLoad()
    {
        QFETCH(QString, protocol);
        QFETCH(QString, company);
        QFETCH(QString, message);
        const QAcWindowHandle handle = ENTRY(QOpLoadDllW)(0, text16(protocol), text16(m_db.path()), u"",
                                                          u"ADMIN", u"ADMIN", text16(company), u"", u"1;2");
        QCOMPARE(handle, QAcWindowHandle(0));
        QVERIFY2(lastError().contains(message), qPrintable(lastError()));
        // Nothing of the failed load stays; a good load works at once.
        for (QWidget *widget : QApplication::topLevelWidgets())
            QVERIFY(widget->objectName() != QLatin1String("FrmAcSemaf"));
        QVERIFY(load());
        ENTRY(QOpUnLoadDll)();
    }

    void cleanupTestCase()
    {
        ENTRY(QOpUnLoadDll)();
        m_library.unload();
    }

private:
    QWidget *load()
    {
        const QStringList a{"local", m_db.path(), "", "ADMIN", "ADMIN", "1", "/A \"AND x = 'ñ'\"",
                            "1.0;2026-12-06"};
        const QAcWindowHandle handle = ENTRY(QOpLoadDllW)(0, text16(a[0]), text16(a[1]), text16(a[2]), text16(a[3]),
                                                   text16(a[4]), text16(a[5]), text16(a[6]), text16(a[7]));
        return QWidget::find(WId(handle));
    }

    // Both variants of the message call agree; the plain one's string is the caller's to free.
    QString lastError()
    {
        QAcUtf16Text kept = nullptr;
        ENTRY(QOpUltimoErrorW)(&kept);
        char16_t *owned = ENTRY(QOpUltimoError)();
        const QString plain = QString::fromUtf16(owned);
        ENTRY(QAcFreeString)(owned);
        const QString wide = QString::fromUtf16(kept);
        return plain == wide ? wide : QStringLiteral("W: %1 / plain: %2").arg(wide, plain);
    }

    DemoDatabase m_db;
    QLibrary m_library{QStringLiteral(QACSEMAF_LIBRARY)};
};

QTEST_MAIN(TestEntryPoints)
#include "tst_entrypoints.moc"
