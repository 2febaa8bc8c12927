// A host without a Qt application: the library brings its own for as long as it is loaded.

#include "tests/support/DemoDatabase.h"
#include "entry/QAcSemafApi.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QtTest>

class TestOwnApplication : public QObject {
    Q_OBJECT
private slots:
    void createsAndDestroysItsApplication()
    {
        QLibrary library(QStringLiteral(QACSEMAF_LIBRARY));
        QVERIFY2(library.load(), qPrintable(library.errorString()));
        auto loadW = reinterpret_cast<decltype(&QOpLoadDllW)>(library.resolve("QOpLoadDllW"));
        auto unload = reinterpret_cast<decltype(&QOpUnLoadDll)>(library.resolve("QOpUnLoadDll"));
        QVERIFY(loadW && unload);

        const DemoDatabase db;
        QVERIFY2(db.isValid(), qPrintable(db.error()));
        QVERIFY(!QCoreApplication::instance());
        const QString alias = db.path();
        const QAcWindowHandle handle = loadW(0, u"local", reinterpret_cast<const char16_t *>(alias.utf16()), u"",
                                             u"ADMIN", u"ADMIN", u"2", u"", u"1;2");
        QVERIFY(handle != 0);
        QVERIFY(QCoreApplication::instance());
        unload();
        QVERIFY(!QCoreApplication::instance());
    }
};

QTEST_APPLESS_MAIN(TestOwnApplication)
#include "tst_ownapplication.moc"
