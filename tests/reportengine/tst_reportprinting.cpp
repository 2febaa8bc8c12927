// Exports started from the preview: each format reaches its writer, an existing file is replaced
// only when the user says yes, and a refusal leaves it as it was.

#include "DataTable.h"
#include "ReportFixtures.h"

#include "DialogService.h"
#include "ReportPrinting.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

using namespace report;
using reporttest::BoundReport;

Q_DECLARE_METATYPE(ReportPrinting::Format)

class TestReportPrinting : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void exportAsksBeforeReplacing_data()
    {
        addColumns<ReportPrinting::Format, QString, bool, QByteArray>({"format", "suffix", "replace", "written"});
        QTest::newRow("pdf replaced") << ReportPrinting::Format::Pdf << "pdf" << true << QByteArray("%PDF");
        QTest::newRow("xlsx replaced") << ReportPrinting::Format::Xlsx << "xlsx" << true << QByteArray("PK");
        QTest::newRow("docx replaced") << ReportPrinting::Format::Docx << "docx" << true << QByteArray("PK");
        QTest::newRow("docx kept") << ReportPrinting::Format::Docx << "docx" << false << QByteArray("earlier");
    }

    void exportAsksBeforeReplacing()
    {
        QFETCH(ReportPrinting::Format, format);
        QFETCH(QString, suffix);
        QFETCH(bool, replace);
        QFETCH(QByteArray, written);
        const QString path = m_dir.filePath(QStringLiteral("Semáforo.") + suffix);
        {
            QFile earlier(path);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier");
        }
        BoundReport bound(QStringLiteral("list"), 3);
        DialogRecorder dialogs([&](const DialogService::Request &) {
            return replace ? DialogService::Yes : DialogService::No;
        });
        QCOMPARE(ReportPrinting::exportTo(bound.report.prepare(), path, format), replace);
        QCOMPARE(dialogs.texts(), QStringList{"El archivo Semáforo." + suffix + " ya existe. ¿Desea reemplazarlo?"});
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(written.size()), written);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestReportPrinting)
#include "tst_reportprinting.moc"
