// The preview window: opens at 100 % on the first page of Letter paper, keeps zoom within its
// bounds, and find goes to the page of the match, wrapping round, or says it found nothing.

#include "ReportFixtures.h"

#include "DialogService.h"
#include "PageView.h"
#include "ReportPreview.h"

#include <QApplication>
#include <QtTest>

using namespace report;
using reporttest::BoundReport;

class TestReportPreview : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void opensZoomsAndFinds()
    {
        BoundReport bound(QStringLiteral("list"), 130);  // three sheets
        ReportPreview window(bound.report.prepare());
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(window.zoom(), 1.0);
        QCOMPARE(window.currentPage(), 0);
        QCOMPARE(window.pageView()->size(), QSize(816, 1056));  // Letter at 96 dpi
        window.setZoom(10);
        QCOMPARE(window.zoom(), 4.0);

        DialogRecorder dialogs;
        QVERIFY(window.find(reporttest::rowName(100)));
        QCOMPARE(window.currentPage(), 2);  // rows 89 to 130
        QVERIFY(window.find(QStringLiteral("página:")));
        QCOMPARE(window.currentPage(), 0);  // wrapped round to the first page header
        QVERIFY(!window.find(QStringLiteral("zzz")));
        QCOMPARE(dialogs.texts(), QStringList{"No se encontró \"zzz\"."});
    }
};

QTEST_MAIN(TestReportPreview)
#include "tst_reportpreview.moc"
