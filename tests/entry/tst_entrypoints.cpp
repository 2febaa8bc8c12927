// Drives the built library through QLibrary, exactly as a host does.

#include "QAcSemafApi.h"

#include <QLibrary>
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
};

} // namespace

class TestEntryPoints : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void identityBeforeLoad_data();
    void identityBeforeLoad();
    void loadResizeUnload();
    void badNumberKeepsSize_data();
    void badNumberKeepsSize();
    void unloadWithoutLoad();
    void cleanupTestCase();

private:
    QWidget *load();

    QLibrary m_library{QStringLiteral(QACSEMAF_LIBRARY)};
    Api m_api;
};

template <class F>
static void resolve(QLibrary &library, F &function, const char *name)
{
    function = reinterpret_cast<F>(library.resolve(name));
    QVERIFY2(function, name);
}

void TestEntryPoints::initTestCase()
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
    QVERIFY(m_library.resolve("LlenarContextoSesion") == nullptr);
}

void TestEntryPoints::identityBeforeLoad_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("expected");
    QTest::newRow("guid") << 0 << "{7EA2E7BB-0ABF-4314-B7B5-3AD8F0654EA1}";
    QTest::newRow("name") << 1 << "QAcSemafBD.QAcSemaf";
    QTest::newRow("public key token") << 2 << "3f5a7c21b0e4d896";
}

void TestEntryPoints::identityBeforeLoad()
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

QWidget *TestEntryPoints::load()
{
    const QStringList a{"local", "demo-áé", "", "JOSÉ", "contraseña", "1", "/A \"AND x = 'ñ'\"",
                        "1.0;2026-12-06"};
    const QAcWindowHandle handle = m_api.loadW(0, text16(a[0]), text16(a[1]), text16(a[2]), text16(a[3]),
                                               text16(a[4]), text16(a[5]), text16(a[6]), text16(a[7]));
    return QWidget::find(WId(handle));
}

void TestEntryPoints::loadResizeUnload()
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

void TestEntryPoints::badNumberKeepsSize_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::newRow("letters in height") << "800" << "6x0";
    QTest::newRow("letters in width") << "abc" << "600";
    QTest::newRow("empty") << "" << "600";
    QTest::newRow("decimal point") << "800" << "600.5";
    QTest::newRow("out of range") << "99999999999" << "600";
}

void TestEntryPoints::badNumberKeepsSize()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QWidget *form = load();
    QVERIFY(form);
    m_api.size(500, 400);
    bool raised = false;
    try {
        m_api.sizeW(text16(width), text16(height));
    } catch (const std::exception &error) {
        raised = true;
        QVERIFY2(QString::fromUtf8(error.what()).contains(QStringLiteral("no es un valor entero válido")),
                 error.what());
    }
    QVERIFY(raised);
    QCOMPARE(form->size(), QSize(500, 400));
    m_api.unload();
}

void TestEntryPoints::unloadWithoutLoad()
{
    m_api.unload();
    m_api.unload();
    QWidget *form = load();
    QVERIFY(form);
    m_api.unload();
}

void TestEntryPoints::cleanupTestCase()
{
    m_api.unload();
    m_library.unload();
}

QTEST_MAIN(TestEntryPoints)
#include "tst_entrypoints.moc"
