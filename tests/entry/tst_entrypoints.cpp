// Drives the built library through QLibrary, exactly as a host does.

#include "DataTable.h"
#include "DemoDatabase.h"
#include "QAcSemafApi.h"

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

struct Api {
    decltype(&QOpLoadDllW) loadW = nullptr;
    decltype(&QOpUnLoadDll) unload = nullptr;
    decltype(&getServerGuidNet) guid = nullptr;
    decltype(&getServerNameNet) name = nullptr;
    decltype(&getServerPublicT) token = nullptr;
    decltype(&getServerGuidNetW) guidW = nullptr;
    decltype(&getServerNameNetW) nameW = nullptr;
    decltype(&getServerPublicTW) tokenW = nullptr;
    decltype(&CambiarAltura) height = nullptr;
    decltype(&CambiarTamano) size = nullptr;
    decltype(&CambiarTamanoW) sizeW = nullptr;
    decltype(&QAcFreeString) freeString = nullptr;
    decltype(&QOpUltimoError) lastError = nullptr;
    decltype(&QOpUltimoErrorW) lastErrorW = nullptr;
};

} // namespace

template <class F>
static void resolve(QLibrary &library, F &function, const char *name)
{
    function = reinterpret_cast<F>(library.resolve(name));
    QVERIFY2(function, name);
}

class TestEntryPoints : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_library.load(), qPrintable(m_library.errorString()));
        resolve(m_library, m_api.loadW, "QOpLoadDllW");
        resolve(m_library, m_api.unload, "QOpUnLoadDll");
        resolve(m_library, m_api.guid, "getServerGuidNet");
        resolve(m_library, m_api.name, "getServerNameNet");
        resolve(m_library, m_api.token, "getServerPublicT");
        resolve(m_library, m_api.guidW, "getServerGuidNetW");
        resolve(m_library, m_api.nameW, "getServerNameNetW");
        resolve(m_library, m_api.tokenW, "getServerPublicTW");
        resolve(m_library, m_api.height, "CambiarAltura");
        resolve(m_library, m_api.size, "CambiarTamano");
        resolve(m_library, m_api.sizeW, "CambiarTamanoW");
        resolve(m_library, m_api.freeString, "QAcFreeString");
        resolve(m_library, m_api.lastError, "QOpUltimoError");
        resolve(m_library, m_api.lastErrorW, "QOpUltimoErrorW");
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        QVERIFY(m_library.resolve("LlenarContextoSesion") == nullptr);
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
        const auto plain = std::array{m_api.guid, m_api.name, m_api.token}[which];
        const auto wide = std::array{m_api.guidW, m_api.nameW, m_api.tokenW}[which];

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
        m_api.freeString(owned);
    }

    void loadResizeUnload()
    {
        QWidget *form = load();
        QVERIFY(form);
        QCOMPARE(form->objectName(), QStringLiteral("FrmAcSemaf"));
        QCOMPARE(form->windowTitle(),
                 QStringLiteral("GESTION ADMON. REC. HUMANOS - Análisis de Cargos -  Semaforo de Carrera"));
        QPointer<QWidget> watch(form);

        m_api.size(640, 480);
        QCOMPARE(form->size(), QSize(640, 480));
        m_api.height(300);
        QCOMPARE(form->size(), QSize(640, 300));
        m_api.sizeW(text16("800"), text16("-12"));
        QCOMPARE(form->size().width(), 800);

        m_api.unload();
        QVERIFY(watch.isNull());
        m_api.unload(); // a second unload finds nothing to release
    }

    void badNumberKeepsSize_data()
    {
        addColumns<QString, QString, QString>({"width", "height", "bad"});
        QTest::newRow("letters in height") << "800" << "6x0" << "6x0";
        QTest::newRow("letters in width") << "abc" << "600" << "abc";
        QTest::newRow("empty") << "" << "600" << "";
        QTest::newRow("decimal point") << "800" << "600.5" << "600.5";
        QTest::newRow("out of range") << "99999999999" << "600" << "99999999999";
    }

    void badNumberKeepsSize()
    {
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(QString, bad);
        QWidget *form = load();
        QVERIFY(form);
        m_api.size(500, 400);
        m_api.sizeW(text16(width), text16(height)); // returns: nothing is thrown at the host
        QCOMPARE(lastError(), QStringLiteral("'%1' no es un valor entero válido").arg(bad));
        QCOMPARE(form->size(), QSize(500, 400));
        m_api.sizeW(text16("640"), text16("480"));
        QCOMPARE(lastError(), QString()); // a call that succeeds clears the message
        m_api.unload();
    }

    void nullPointersRefused()
    {
        QWidget *form = load();
        QVERIFY(form);
        m_api.size(500, 400);
        m_api.sizeW(nullptr, text16("600"));
        QCOMPARE(lastError(), QStringLiteral("El argumento ancho es un puntero nulo."));
        QCOMPARE(form->size(), QSize(500, 400));
        m_api.guidW(nullptr);
        QCOMPARE(lastError(), QStringLiteral("El argumento de salida es un puntero nulo."));
        m_api.unload();
        const QAcWindowHandle handle = m_api.loadW(0, u"local", u"x.db", u"", nullptr, u"", u"1", u"", u"1;2");
        QCOMPARE(handle, QAcWindowHandle(0));
        QCOMPARE(lastError(), QStringLiteral("El argumento usuario es un puntero nulo."));
    }

    void wrongSessionFailsAtLoad_data()
    {
        addColumns<QString, QString, QString, QString, QString>(
            {"protocol", "alias", "password", "company", "message"});
        const QString demo = m_db.path();
        QTest::newRow("wrong password") << "local" << demo << "MALA" << "1" << "Usuario o contraseña incorrectos";
        QTest::newRow("missing database") << "local" << "/no/existe/semaforo.db" << "ADMIN" << "1"
                                          << "No existe la base de datos SQLite /no/existe/semaforo.db";
        QTest::newRow("unknown protocol") << "ftp" << demo << "ADMIN" << "1" << "Protocolo de conexión desconocido: \"ftp\"";
        QTest::newRow("company that does not exist") << "local" << demo << "ADMIN" << "77" << "La empresa 77 no existe";
    }

    void wrongSessionFailsAtLoad()
    {
        QFETCH(QString, protocol);
        QFETCH(QString, alias);
        QFETCH(QString, password);
        QFETCH(QString, company);
        QFETCH(QString, message);
        const QAcWindowHandle handle = m_api.loadW(0, text16(protocol), text16(alias), u"", u"ADMIN", text16(password),
                                                   text16(company), u"", u"1;2");
        QCOMPARE(handle, QAcWindowHandle(0));
        QVERIFY2(lastError().contains(message), qPrintable(lastError()));
        // Nothing of the failed load stays; a good load works at once.
        for (QWidget *widget : QApplication::topLevelWidgets())
            QVERIFY(widget->objectName() != QLatin1String("FrmAcSemaf"));
        QVERIFY(load());
        m_api.unload();
    }

    void cleanupTestCase()
    {
        m_api.unload();
        m_library.unload();
    }

private:
    QWidget *load()
    {
        const QStringList a{"local", m_db.path(), "", "ADMIN", "ADMIN", "1", "/A \"AND x = 'ñ'\"",
                            "1.0;2026-12-06"};
        const QAcWindowHandle handle = m_api.loadW(0, text16(a[0]), text16(a[1]), text16(a[2]), text16(a[3]),
                                                   text16(a[4]), text16(a[5]), text16(a[6]), text16(a[7]));
        return QWidget::find(WId(handle));
    }

    // Both variants of the message call agree; the plain one's string is the caller's to free.
    QString lastError() const
    {
        QAcUtf16Text kept = nullptr;
        m_api.lastErrorW(&kept);
        char16_t *owned = m_api.lastError();
        const QString plain = QString::fromUtf16(owned);
        m_api.freeString(owned);
        const QString wide = QString::fromUtf16(kept);
        return plain == wide ? wide : QStringLiteral("W: %1 / plain: %2").arg(wide, plain);
    }

    DemoDatabase m_db;
    QLibrary m_library{QStringLiteral(QACSEMAF_LIBRARY)};
    Api m_api;
};

QTEST_MAIN(TestEntryPoints)
#include "tst_entrypoints.moc"
