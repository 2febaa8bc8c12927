// The preview window driven through its toolbar and menus, and the chart's labels.

#include "tests/reportengine/ReportFixtures.h"

#include "reportengine/widgets/ChartsPainter.h"
#include "framework/widgets/DialogService.h"
#include "reportengine/PageRenderer.h"
#include "reportengine/PdfExport.h"
#include "reportengine/ReportFile.h"
#include "reportengine/widgets/ReportOutline.h"
#include "reportengine/widgets/ReportPreview.h"
#include "tests/support/DataTable.h"
#include "tests/support/PdfTools.h"

#include <QApplication>
#include <QChart>
#include <QDockWidget>
#include <QFileDialog>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QToolBar>
#include <QToolButton>
#include <QPrintDialog>
#include <QtTest>

using namespace report;
using reporttest::BoundReport;

namespace {

const QString kTitle = QStringLiteral("Semáforo de Carrera - Supervisor de Bodega");

// The preview as the tests hold it: on the stack, so not deleted when it closes.
struct Preview : ReportPreview {
    explicit Preview(PreparedReport pages) : ReportPreview(std::move(pages)) { setAttribute(Qt::WA_DeleteOnClose, false); }
};

// The pages of a report of `layout` over `rows` rows, with the document's title, author and subject.
PreparedReport pagesOf(const QString &layout, int rows, const QString &title = kTitle)
{
    BoundReport bound(layout, rows);
    bound.report.Info.title = title;
    bound.report.Info.author = QStringLiteral("ADMIN");
    bound.report.Info.subject = QStringLiteral("Compañía Análisis S.A.");
    return bound.report.prepare();
}

QAction *actionNamed(QMainWindow &window, const char *name)
{
    auto *action = window.findChild<QAction *>(QLatin1String(name));
    if (!action)
        qFatal("no action %s", name);
    return action;
}

QToolButton *buttonOf(QMainWindow &window, QAction *action)
{
    for (QToolBar *bar : window.findChildren<QToolBar *>())
        if (auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(action)))
            return button;
    qFatal("no button for %s", qPrintable(action->objectName()));
}

void clickToolBar(QMainWindow &window, const char *actionName)
{
    QTest::mouseClick(buttonOf(window, actionNamed(window, actionName)), Qt::LeftButton);
}

// Presses `button` at `at`, which pops its menu up, and clicks the entry `text` of that menu.
void chooseFromMenu(QToolButton *button, const QString &text, QPoint at = {})
{
    QTimer::singleShot(0, button, [text] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction *action : menu->actions())
            if (action->text() == text) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
                return;
            }
        menu->close();
        QFAIL(qPrintable(QStringLiteral("no menu entry ") + text));
    });
    QTest::mouseClick(button, Qt::LeftButton, {}, at.isNull() ? button->rect().center() : at);
}

QToolButton *toolButtonNamed(QMainWindow &window, const QString &text)
{
    for (QToolBar *bar : window.findChildren<QToolBar *>())
        for (QToolButton *button : bar->findChildren<QToolButton *>())
            if (button->text().startsWith(text))
                return button;
    qFatal("no tool button %s", qPrintable(text));
}

// Answers a file dialog with `path` (cancels when empty), keeping the name it proposed.
DialogService::Handler answerFile(const QString &path, QString *proposed = nullptr)
{
    return [path, proposed](const DialogService::Request &request) -> int {
        if (request.kind != DialogService::Modal)
            return request.kind == DialogService::Question ? DialogService::Yes : DialogService::Ok;
        auto *dialog = qobject_cast<QFileDialog *>(request.dialog);
        auto *name = dialog ? dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!name)
            return QDialog::Rejected;
        if (proposed)
            *proposed = name->text();
        if (path.isEmpty())
            return QDialog::Rejected;
        dialog->selectFile(path);
        return QDialog::Accepted;
    };
}

QImage rendered(const PreparedPage &page)
{
    const QSizeF pixels = page.size * PageRenderer::kPixelsPerMm;
    QImage image(pixels.toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PageRenderer().paint(painter, page, 1.0);
    return image;
}

ChartDef competenceChart()
{
    ChartDef def;
    def.labelFont = FontDef{QStringLiteral("Verdana"), 8, true, false, Qt::black};
    def.axisFormat = QStringLiteral("#,##0");
    def.background = QColor(225, 225, 225);
    def.wallBottom = QColor(234, 234, 234);
    def.wallTop = Qt::white;
    def.axisColor = QColor(64, 64, 64);
    def.gridColor = QColor(169, 169, 169);
    def.series = {{QStringLiteral("Requisitos"), QStringLiteral("REQ_GRAF"), QColor(31, 78, 161)},
                  {QStringLiteral("Empleados"), QStringLiteral("CUM_GRAF"), QColor(230, 126, 34)}};
    return def;
}

ChartData chartRows(const QStringList &labels)
{
    ChartData data;
    data.labels = labels;
    data.values = {{}, {}};
    for (int i = 0; i < labels.size(); ++i) {
        data.values[0] << 100;
        data.values[1] << (i * 37) % 101;
    }
    return data;
}

const QString kLongLabel = QStringLiteral(
    "Técnico profesional en logística y gestión de inventarios Especialización en cadena de suministro internacional");

} // namespace

class TestReportPreview : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        QVERIFY(m_dir.isValid());
    }

    void opensAndFinds()
    {
        Preview window(pagesOf(QStringLiteral("list"), 130));  // three sheets
        QCOMPARE(window.windowTitle(), "Vista previa - " + kTitle);
        QCOMPARE(window.currentPage(), 0);

        DialogRecorder dialogs;
        QVERIFY(window.find(reporttest::rowName(100)));
        QCOMPARE(window.currentPage(), 2);  // rows 89 to 130
        QVERIFY(window.find(QStringLiteral("página:")));
        QCOMPARE(window.currentPage(), 0);  // wrapped round to the first page header
        QVERIFY(!window.find(QStringLiteral("zzz")));
        QCOMPARE(dialogs.texts(), QStringList{"No se encontró \"zzz\"."});
    }

    void saveThenOpenGivesTheSamePages_data()
    {
        addColumns<QString, int>({"layout", "rows"});
        QTest::newRow("list over three sheets") << "list" << 130;
        QTest::newRow("table and landscape chart") << "twopages" << 12;
    }

    void saveThenOpenGivesTheSamePages()
    {
        QFETCH(QString, layout);
        QFETCH(int, rows);
        const PreparedReport original = pagesOf(layout, rows);
        Preview saving(original);
        const QString path = m_dir.filePath(layout + QStringLiteral(".scrp"));
        QString proposed;
        {
            DialogRecorder dialogs(answerFile(path, &proposed));
            clickToolBar(saving, "actionGuardar");
            QCOMPARE(dialogs.texts(), QStringList());
        }
        QCOMPARE(proposed, kTitle + QStringLiteral(".scrp"));
        QVERIFY(QFileInfo::exists(path));

        Preview window(pagesOf(QStringLiteral("list"), 3, QStringLiteral("Otro")));
        {
            DialogRecorder dialogs(answerFile(path));
            clickToolBar(window, "actionAbrir");
            QCOMPARE(dialogs.texts(), QStringList());
        }
        const PreparedReport &opened = window.pages();
        QCOMPARE(window.windowTitle(), "Vista previa - " + kTitle);
        const auto info = [](const PreparedReport &report) {
            return QStringList{report.info.title, report.info.author, report.info.subject,
                               report.info.created.toString(Qt::ISODateWithMs)};
        };
        QCOMPARE(info(opened), info(original));
        QCOMPARE(opened.pageCount(), original.pageCount());
        for (int p = 0; p < original.pageCount(); ++p)
            QCOMPARE(rendered(opened.pages.at(p)), rendered(original.pages.at(p)));   // fonts, fills and pictures as they were

        // Exported again, the logo is held once, as before.
        const QString before = m_dir.filePath(layout + QStringLiteral("-original.pdf"));
        const QString after = m_dir.filePath(layout + QStringLiteral("-opened.pdf"));
        QString error;
        QVERIFY2(PdfExport::write(original, before, &error), qPrintable(error));
        QVERIFY(window.exportTo(after, ReportPrinting::Format::Pdf));
        QCOMPARE(QFileInfo(after).size(), QFileInfo(before).size());
    }

    void badFileKeepsThePreview_data()
    {
        const QByteArray saved = ReportFile::toBytes(pagesOf(QStringLiteral("twopages"), 4), nullptr);
        QByteArray newer = saved;
        newer[int(sizeof ReportFile::kMagic) + 1] = char(ReportFile::kVersion + 1);   // big-endian version
        QByteArray flipped = saved;
        flipped[saved.size() / 2] = char(flipped.at(saved.size() / 2) ^ 0x5a);

        addColumns<QByteArray, QString>({"bytes", "message"});
        QTest::newRow("foreign") << QByteArray("%PDF-1.4\nnot a report") << "El archivo bad.scrp no es un reporte guardado.";
        const QString damaged = QStringLiteral("El archivo bad.scrp está dañado o incompleto; no se puede abrir.");
        QTest::newRow("cut short") << saved.left(saved.size() / 2) << damaged;
        QTest::newRow("changed byte") << flipped << damaged;
        QTest::newRow("newer") << newer
                               << QStringLiteral("El archivo bad.scrp fue guardado por una versión más reciente del programa "
                                                 "(formato %1); esta versión abre reportes de formato %2 o anterior.")
                                      .arg(ReportFile::kVersion + 1)
                                      .arg(ReportFile::kVersion);
    }

    void badFileKeepsThePreview()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString path = m_dir.filePath(QStringLiteral("bad.scrp"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();

        Preview window(pagesOf(QStringLiteral("list"), 130));
        clickToolBar(window, "actionSiguiente");
        const QStringList firstPage = window.pages().pages.first().texts();
        DialogRecorder dialogs(answerFile(path));
        clickToolBar(window, "actionAbrir");
        QCOMPARE(dialogs.texts(), QStringList{message});
        QCOMPARE(window.pages().pageCount(), 3);
        QCOMPARE(window.pages().pages.first().texts(), firstPage);
        QCOMPARE(window.currentPage(), 1);
    }

    void exportProposesTheTitle_data()
    {
        addColumns<QString, QString, QString>({"entry", "title", "proposed"});
        QTest::newRow("forbidden characters") << "PDF..." << "Plan: Bodega/Norte <2024>?*" << "Plan BodegaNorte 2024.pdf";
        QTest::newRow("no title") << "XLSX..." << "" << "Reporte.xlsx";
    }

    void exportProposesTheTitle()
    {
        QFETCH(QString, entry);
        QFETCH(QString, title);
        QFETCH(QString, proposed);
        Preview window(pagesOf(QStringLiteral("list"), 3, title));
        QString offered;
        DialogRecorder dialogs(answerFile(QString(), &offered));   // cancelled after reading the name
        chooseFromMenu(toolButtonNamed(window, QStringLiteral("Exportar")), entry);
        QCOMPARE(offered, proposed);
        QCOMPARE(dialogs.texts(), QStringList());
    }

    void quickExportWritesIntoTheFolder_data()
    {
        addColumns<QString, QByteArray>({"entry", "magic"});
        QTest::newRow("pdf") << "PDF" << QByteArray("%PDF");
        QTest::newRow("xlsx") << "XLSX" << QByteArray("PK");
        QTest::newRow("docx") << "DOCX" << QByteArray("PK");
    }

    void quickExportWritesIntoTheFolder()
    {
        QFETCH(QString, entry);
        QFETCH(QByteArray, magic);
        const QString folder = m_dir.filePath(QStringLiteral("quick-") + entry);
        const QString path = QDir(folder).filePath(kTitle + QLatin1Char('.') + entry.toLower());
        Preview window(pagesOf(QStringLiteral("list"), 20));
        window.setQuickExportFolder(folder);
        QToolButton *quick = toolButtonNamed(window, QStringLiteral("Exportación rápida"));
        const QPoint arrow(quick->width() - 4, quick->height() / 2);
        {
            DialogRecorder dialogs;
            chooseFromMenu(quick, entry, arrow);
            QCOMPARE(dialogs.texts(), QStringList{"Reporte exportado a " + QDir::toNativeSeparators(path)});
        }
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.read(magic.size()) == magic);
        written.close();
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QFileInfo(path).fileName()});

        // The button's own click repeats the format; an existing file is replaced only on yes.
        QVERIFY(quick->text().endsWith("(" + entry + ")"));
        QVERIFY(written.open(QIODevice::WriteOnly | QIODevice::Truncate));
        written.write("earlier");
        written.close();
        const QString question = "El archivo " + QFileInfo(path).fileName() + " ya existe. ¿Desea reemplazarlo?";
        {
            DialogRecorder dialogs([](const DialogService::Request &) { return int(DialogService::No); });
            QTest::mouseClick(quick, Qt::LeftButton, {}, QPoint(8, quick->height() / 2));
            QCOMPARE(dialogs.texts(), QStringList{question});
        }
        QCOMPARE(QFileInfo(path).size(), qint64(7));
        {
            DialogRecorder dialogs;
            QTest::mouseClick(quick, Qt::LeftButton, {}, QPoint(8, quick->height() / 2));
            QCOMPARE(dialogs.texts(), (QStringList{question, "Reporte exportado a " + QDir::toNativeSeparators(path)}));
        }
        QVERIFY(QFileInfo(path).size() > 7);
    }

    void outlineGoesToItsPages_data()
    {
        addColumns<QString, int, int, QString>({"layout", "rows", "page", "entry"});
        QTest::newRow("last sheet of a list") << "list" << 130 << 2
                                              << "Página 3: 89 " + reporttest::rowName(89) + " … 130 " + reporttest::rowName(130);
        QTest::newRow("chart page") << "twopages" << 5 << 1 << "Página 2: Gráfico: Requisitos / Empleados";
    }

    void outlineGoesToItsPages()
    {
        QFETCH(QString, layout);
        QFETCH(int, rows);
        QFETCH(int, page);
        QFETCH(QString, entry);
        Preview window(pagesOf(layout, rows));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *dock = window.findChild<QDockWidget *>(QStringLiteral("outlineDock"));
        QVERIFY(dock->isHidden());
        clickToolBar(window, "actionIndice");
        QVERIFY(dock->isVisible());

        ReportOutline *outline = window.outline();
        QCOMPARE(outline->topLevelItemCount(), window.pages().pageCount());
        QTreeWidgetItem *item = outline->topLevelItem(page);
        QVERIFY2(item->text(0).startsWith(entry), qPrintable(item->text(0)));
        clickToolBar(window, "actionPrimera");
        QVERIFY(window.currentPage() != page);
        outline->scrollToItem(item);
        QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, outline->visualItemRect(item).center());
        QCOMPARE(window.currentPage(), page);

        clickToolBar(window, "actionIndice");
        QVERIFY(dock->isHidden());
    }

    void printWithoutADefaultPrinter_data()
    {
        // printers: none the default; road: the preview or the main window's "Imprimir"
        addColumns<QStringList, QString, int, QString, bool>({"printers", "road", "answer", "message", "printed"});
        const QStringList oficina{QStringLiteral("Oficina")};
        QTest::newRow("no printer, preview") << QStringList{} << "preview" << int(QDialog::Accepted)
                                             << ReportPrinting::noPrinterMessage() << false;
        QTest::newRow("dialog cancelled") << oficina << "direct" << int(QDialog::Rejected) << QString() << false;
        QTest::newRow("dialog accepted, preview") << oficina << "preview" << int(QDialog::Accepted) << QString() << true;
        QTest::newRow("dialog accepted, Imprimir") << oficina << "direct" << int(QDialog::Accepted) << QString() << true;
    }

    // Without a default printer the print dialog is offered; without any printer that is said.
    void printWithoutADefaultPrinter()
    {
        QFETCH(QStringList, printers);
        QFETCH(QString, road);
        QFETCH(int, answer);
        QFETCH(QString, message);
        QFETCH(bool, printed);
        ReportPrinting::printerList = [printers] { return ReportPrinting::Printers{QString(), printers}; };
        const QString pdf = m_dir.filePath(QStringLiteral("chosen-%1.pdf").arg(QTest::currentDataTag()).replace(' ', '-'));
        QStringList dialogTitles;
        DialogRecorder dialogs([&](const DialogService::Request &request) -> int {
            auto *dialog = qobject_cast<QPrintDialog *>(request.dialog);
            if (!dialog)
                return DialogService::Ok;
            dialogTitles << dialog->windowTitle();
            dialog->printer()->setOutputFileName(pdf);
            return answer;
        });
        const PreparedReport pages = pagesOf(QStringLiteral("list"), 10);
        if (road == QLatin1String("preview")) {
            Preview window(pages);
            clickToolBar(window, "actionImprimir");
        } else {
            ReportPrinting::printToDefaultPrinter(pages);
        }
        ReportPrinting::printerList = nullptr;
        QCOMPARE(dialogs.texts().join(QLatin1Char('|')), message);
        QCOMPARE(dialogTitles, printers.isEmpty() ? QStringList() : QStringList{QStringLiteral("Imprimir")});
        QCOMPARE(QFileInfo::exists(pdf), printed);
        if (printed)
            QVERIFY(pdfInfo(pdf, 1).contains(QStringLiteral("Title:           ") + kTitle));
    }

    // whole: every label fits at the label font; otherwise smaller, cut, every row still named.
    void chartLabelsKeepApart_data()
    {
        addColumns<QStringList, bool>({"labels", "whole"});
        QTest::newRow("one long label") << QStringList{QStringLiteral("Bachiller"), kLongLabel, QStringLiteral("Inglés")} << true;
        QStringList longOnes;
        for (int i = 0; i < 16; ++i)
            longOnes << kLongLabel + QStringLiteral(" nivel %1").arg(i);
        QTest::newRow("16 long labels") << longOnes << true;
        QTest::newRow("a word wider than the column")
            << QStringList{QStringLiteral("Certificación"), QString(90, QLatin1Char('x'))} << true;
        QTest::newRow("repeated labels") << QStringList{QStringLiteral("Bachiller"), QStringLiteral("Bachiller")} << true;
        for (const auto &[rows, words] : {std::pair{40, 11}, {40, 14}, {120, 5}}) {
            QStringList labels;
            for (int i = 0; i < rows; ++i)
                labels << QStringLiteral("%1 %2").arg(i).arg(kLongLabel.section(' ', 0, words));
            QTest::addRow("%d labels of %d words", rows, words + 1) << labels << false;
        }
    }

    // Each label left of the bars, none over another, as its row begins; whole, every character.
    void chartLabelsKeepApart()
    {
        QFETCH(QStringList, labels);
        QFETCH(bool, whole);
        QGraphicsScene scene;
        QChart *chart = ChartsPainter::layOut(scene, QSizeF(960, 521), competenceChart(), chartRows(labels));
        QCOMPARE(chart->axes(Qt::Vertical).value(0)->property("count").toInt(), labels.size());   // repeats too
        QStringList unnamed = labels;
        unnamed.replaceInStrings(QStringLiteral(" "), QString());
        QList<QRectF> placed;
        for (QGraphicsItem *item : scene.items()) {
            auto *text = dynamic_cast<QGraphicsTextItem *>(item);
            if (!text || !text->isVisible() || text->parentItem())
                continue;
            const QString shown = text->toPlainText();
            const QRectF rect = text->sceneBoundingRect();
            QVERIFY2(rect.right() <= chart->plotArea().left() && rect.left() >= 0, qPrintable(shown));
            for (const QRectF &other : std::as_const(placed))
                QVERIFY2(!rect.intersects(other), qPrintable(shown));
            placed << rect;
            if (whole) {
                QVERIFY2(unnamed.removeOne(QString(shown).remove(QRegularExpression(QStringLiteral("\\s")))), qPrintable(shown));
                QCOMPARE(text->font().pixelSize(), 8);
            } else {
                const QString row = labels.value(shown.section(' ', 0, 0).toInt());
                QVERIFY2(shown.simplified().startsWith(row.section(' ', 0, 1)), qPrintable(shown));
                QVERIFY(text->font().pixelSize() >= 6);
            }
        }
        if (whole)
            QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(" | "))));
        else
            QVERIFY2(labels.size() <= 40 ? placed.size() == labels.size() : placed.size() >= labels.size() / 4,
                     qPrintable(QString::number(placed.size())));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestReportPreview)
#include "tst_reportpreview.moc"
