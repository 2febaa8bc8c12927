// The "Mapa de Sucesión" page of the main form on the demo database, driven with real clicks:
// the tree's marks agree with the map; the map goes when its inputs change; the
// refusals; the reports; snapshots through their windows; and a candidate's gaps ticked as closed.
// (A double click on a map row: tst_journey; the map's rows are the generation's: tst_successionmap.)

#include "data/DAcSemaf.h"
#include "data/SuccessionMap.h"
#include "engine/ResultSchema.h"
#include "engine/SuccessionSchema.h"
#include "framework/TApplication.h"
#include "framework/dataset/TField.h"
#include "framework/widgets/DialogService.h"
#include "framework/widgets/TVelkarDBgrid.h"
#include "reportengine/widgets/ReportPreview.h"
#include "reports/SuccessionTables.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "ui/MainFormDriver.h"
#include "ui/QuePasariaBrechas.h"
#include "ui/UAcSemaf.h"
#include "ui/UAcSemafCortes.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <memory>

namespace f = engine::successionfield;

namespace {

// The rows of a dataset, each as the values of `fields` joined by "|".
QStringList rowsOf(TDataSet &dataSet, const QStringList &fields)
{
    QStringList rows;
    for (dataSet.First(); !dataSet.Eof(); dataSet.Next()) {
        QStringList values;
        for (const QString &field : fields)
            values << dataSet.FieldByName(field)->AsString().trimmed();
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

int pixelsOf(const QImage &image, const QRect &area, const QColor &colour)
{
    int count = 0;
    for (int y = qMax(0, area.top()); y <= qMin(image.height() - 1, area.bottom()); ++y)
        for (int x = qMax(0, area.left()); x <= qMin(image.width() - 1, area.right()); ++x)
            count += QColor(image.pixel(x, y)) == colour;
    return count;
}

QColor colourOf(engine::Band band)
{
    const engine::Rgb rgb = engine::bandColour(band);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

} // namespace

class TestSuccessionPage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        m_driver = std::make_unique<MainFormDriver>(m_db.session(1));
        m_form = m_driver->form();
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
    }

    void cleanupTestCase() { m_driver.reset(); }

    // Every node of the map carries a mark of its best candidate's band and its counts in the
    // tooltip; captions stay. (The map's totals: tst_successionrules.)
    void treeMarksFollowTheMap()
    {
        computeMap(1, 1, 0);
        QTreeWidget *tree = m_form->TreeViewCarrera;
        m_form->PagCtrPrincipal->setCurrentIndex(0);
        tree->expandAll();
        QApplication::processEvents();
        TDataSet &map = m_form->MapaSucesion().CdsMapaSucesion;
        const QStringList rows = rowsOf(map, {f::CodNodo, f::NumVerd, f::NumAmar, f::NumRojo, f::NumCand, f::PorMejo});
        QVERIFY(rows.size() > 3);
        const QImage painted = tree->viewport()->grab().toImage();
        for (const QString &row : rows) {
            const QStringList v = row.split(QLatin1Char('|'));
            QTreeWidgetItem *item = m_form->NodoArbol(v.at(0).toInt());
            QVERIFY2(item, qPrintable(row));
            const bool measured = !v.at(4).isEmpty();  // the plan's own row: nothing measured, nothing marked
            if (!measured)
                QCOMPARE(item->toolTip(0), QString());
            else
                QVERIFY2(item->toolTip(0).startsWith(QStringLiteral("Verde %1, Amarillo %2, Rojo %3").arg(v.at(1), v.at(2), v.at(3))),
                         qPrintable(row + QStringLiteral(" / ") + item->toolTip(0)));
            const QRect line = tree->visualItemRect(item);
            for (engine::Band band : {engine::Band::Green, engine::Band::Yellow, engine::Band::Red}) {
                const bool marked = measured && v.at(4).toInt() > 0 && engine::band(v.at(5).toDouble()) == band;
                QCOMPARE((pixelsOf(painted, line, colourOf(band)) > 10), marked);
            }
        }
        QCOMPARE(m_form->NodoArbol(0)->text(0), QStringLiteral("Carrera Financiera y Logística"));
    }

    void mapClearedWhenItsInputsChange_data()
    {
        addColumns<QString>({"change"});
        QTest::newRow("another category ticked") << "category";
        QTest::newRow("another company") << "company";
        QTest::newRow("another plan") << "plan";
    }

    // A map belongs to its company, plan and categories: any change takes its rows, gaps and the
    // tree's marks away, and the reports refuse until it is computed again.
    void mapClearedWhenItsInputsChange()
    {
        QFETCH(QString, change);
        computeMap(1, 1, 0);
        SuccessionTables &tables = m_form->MapaSucesion();
        QTreeWidgetItem *marked = m_form->NodoArbol(11);
        QVERIFY(!marked->toolTip(0).isEmpty());
        QVERIFY(tables.CdsMapaSucesion.Locate(f::CodNodo, 11));
        QVERIFY(!tables.CdsBrechas.IsEmpty());
        if (change == QLatin1String("category")) {
            QTabBar *tabs = m_form->PagCtrPrincipal->tabBar();
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
            QTest::mouseClick(m_form->ChkExpe, Qt::LeftButton, {}, QPoint(5, m_form->ChkExpe->height() / 2));
            QVERIFY(m_form->ChkExpe->isChecked());
            QCOMPARE(marked->toolTip(0), QString());
        } else if (change == QLatin1String("company")) {
            m_driver->chooseCompany(2);
        } else {
            m_driver->goToNode(2, 0);
        }
        QVERIFY(!tables.hasMap());
        QVERIFY(tables.CdsMapaSucesion.IsEmpty());
        QVERIFY(tables.CdsBrechas.IsEmpty());
        for (QTreeWidgetItemIterator it(m_form->TreeViewCarrera); *it; ++it)
            QCOMPARE((*it)->toolTip(0), QString());
        showMapPage();
        DialogRecorder dialogs;
        QTest::mouseClick(m_form->BtnRptMapa, Qt::LeftButton);
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("Primero debe Calcular el Mapa de Sucesión!!")});
    }

    void refusals_data()
    {
        addColumns<QString, bool, QString>({"button", "ticked", "message"});
        QTest::newRow("map without a category") << "BtnCalcularMapa" << false << "Debe Seleccionar Competencias...";
        QTest::newRow("snapshot before a map") << "BtnGuardarCorte" << true << TCortesSucesion::sinMapaMessage();
        QTest::newRow("comparison without snapshots") << "BtnCompararCortes" << true << TCortesSucesion::pocosCortesMessage(1, 0);
    }

    // The message is shown, nothing is computed or opened, and the page stays usable.
    void refusals()
    {
        QFETCH(QString, button);
        QFETCH(bool, ticked);
        QFETCH(QString, message);
        m_driver->chooseCompany(1);
        m_driver->goToNode(1, 0);
        m_driver->tickCategories(ticked ? engine::Categories{true, true, true, true} : engine::Categories{});
        showMapPage();
        DialogRecorder dialogs;
        QTest::mouseClick(m_form->findChild<QPushButton *>(button), Qt::LeftButton);
        QCOMPARE(dialogs.texts(), QStringList{message});
        QVERIFY(!m_form->MapaSucesion().hasMap());
        QCOMPARE(openPreviews().size(), 0);
    }

    void reportsPrintTheRows_data()
    {
        addColumns<QString, QString, QString>({"button", "scope", "title"});
        QTest::newRow("map") << "BtnRptMapa" << "" << "Mapa de Sucesión";
        QTest::newRow("gaps of a node") << "BtnRptBrechas" << "RbtBrechasNodo" << "Brechas";
        QTest::newRow("gaps of the plan") << "BtnRptBrechas" << "RbtBrechasPlan" << "Brechas";
    }

    // The PDF of the report the page's button opens holds the company header, the title and a
    // line for every row the page shows.
    void reportsPrintTheRows()
    {
        QFETCH(QString, button);
        QFETCH(QString, scope);
        QFETCH(QString, title);
        computeMap(1, 1, 0);
        SuccessionTables &tables = m_form->MapaSucesion();
        QVERIFY(tables.CdsMapaSucesion.Locate(f::CodNodo, 11));
        if (!scope.isEmpty())
            QTest::mouseClick(m_form->findChild<QRadioButton *>(scope), Qt::LeftButton, {}, QPoint(5, 5));
        const bool gaps = button == QLatin1String("BtnRptBrechas");
        const bool plan = scope == QLatin1String("RbtBrechasPlan");
        TDataSet &shown = gaps ? static_cast<TDataSet &>(tables.CdsBrechas) : tables.CdsMapaSucesion;
        QStringList gapFields{f::NomRegi, f::NomRequ, f::NomEspe, f::NumFalt};
        if (plan)
            gapFields.prepend(f::LisNodo);
        QStringList lines = gaps ? rowsOf(shown, gapFields)
                                 : rowsOf(shown, {f::CodCarg, f::NomCarg, f::NumPerf, f::NumCand, f::NumVerd, f::NumAmar, f::NumRojo});
        if (gaps)  // the grid shows the nodes whose candidates fall short only for the whole plan
            QCOMPARE(m_form->DbGBrechas->model()->headerData(0, Qt::Horizontal).toString(),
                     plan ? QStringLiteral("Nodos") : QStringLiteral("Categoría"));
        else  // the map prints position code and name in one cell
            for (QString &line : lines)
                line = line.section(QLatin1Char('|'), 0, 1).replace(QLatin1Char('|'), QLatin1Char(' ')).trimmed()
                       + QLatin1Char('|') + line.section(QLatin1Char('|'), 2);
        QVERIFY2(!lines.isEmpty(), "nothing to print");
        DialogRecorder dialogs;
        QTest::mouseClick(m_form->findChild<QPushButton *>(button), Qt::LeftButton);
        QCOMPARE(dialogs.texts(), QStringList());
        const QList<report::ReportPreview *> previews = openPreviews();
        QCOMPARE(previews.size(), 1);
        const std::unique_ptr<report::ReportPreview> preview(previews.first());
        // Every row, its cells side by side, as laid out, under the company header and the title.
        const QString laidOut = laidOutText(*preview);
        QStringList expected{title, QStringLiteral("Plan 1 - Carrera Financiera y Logística"),
                             QStringLiteral("Nro. Registros:|%1|").arg(lines.size())};
        if (gaps)  // the scope
            expected << (plan ? QStringLiteral("Todo el plan") : QStringLiteral("Nodo 11 SUP003"));
        for (const QString &piece : expected)
            QVERIFY2(laidOut.contains(piece), qPrintable(piece + QStringLiteral(" not in: ") + laidOut));
        for (const QString &line : lines)
            QVERIFY2(laidOut.contains(QLatin1Char('|') + line + QLatin1Char('|')), qPrintable(line + QStringLiteral(" not in: ") + laidOut));
        QCOMPARE(laidOut.contains(QStringLiteral("|Nodos|")), gaps && plan);
        QCOMPARE(tables.currentNode(), std::optional<int>(11));  // printing leaves the page on its node
    }


    // Two snapshots kept through the window, the first with a label: the comparison window offers
    // the first as the earlier one, lists the people compared and prints the label. (What a
    // comparison finds: tst_snapshots.)
    void snapshotsSavedAndCompared()
    {
        computeMap(1, 1, 0);
        QPushButton *save = m_form->findChild<QPushButton *>(QStringLiteral("BtnGuardarCorte"));
        for (const QString &label : {QStringLiteral("Antes del curso"), QString()}) {
            DialogRecorder dialogs([&label](const DialogService::Request &request) -> int {
                if (request.kind != DialogService::Modal)
                    return DialogService::Ok;
                auto *edit = request.dialog->findChild<QLineEdit *>(QStringLiteral("EdtEtiquetaCorte"));
                QTest::keyClicks(edit, label);
                auto *buttons = request.dialog->findChild<QDialogButtonBox *>();
                QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
                return request.dialog->result();
            });
            QTest::mouseClick(save, Qt::LeftButton);
            const QString saved = QStringLiteral("Corte %1 guardado: plan 1, ").arg(label.isEmpty() ? 2 : 1);
            QVERIFY2(dialogs.texts().size() == 1 && dialogs.texts().first().startsWith(saved),
                     qPrintable(dialogs.texts().join('\n')));
        }
        int chosenBefore = 0, people = 0;
        QString summary;
        {
            DialogRecorder dialogs([&](const DialogService::Request &request) -> int {
                if (request.kind != DialogService::Modal)
                    return DialogService::Ok;
                QDialog *window = request.dialog;
                chosenBefore = window->findChild<QComboBox *>(QStringLiteral("CmbCorteAnterior"))->currentData().toInt();
                QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("BtnComparar")), Qt::LeftButton);
                auto *compared = window->findChild<TVelkarDBgrid *>(QStringLiteral("DbGEvolucionPersonas"));
                people = compared->model()->rowCount();
                summary = window->findChild<QLabel *>(QStringLiteral("LblResumenCortes"))->text();
                QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("BtnRptEvolucion")), Qt::LeftButton);
                window->reject();
                return window->result();
            });
            QTest::mouseClick(m_form->findChild<QPushButton *>(QStringLiteral("BtnCompararCortes")), Qt::LeftButton);
            QCOMPARE(dialogs.texts(), QStringList());
        }
        QCOMPARE(chosenBefore, 1);
        QVERIFY(people > 0);
        QVERIFY2(summary.endsWith(QStringLiteral("nodos, cambio de verdes 0, 0 personas con cambio de banda.")), qPrintable(summary));
        const QList<report::ReportPreview *> previews = openPreviews();
        QCOMPARE(previews.size(), 1);
        const std::unique_ptr<report::ReportPreview> preview(previews.first());
        const QString laidOut = laidOutText(*preview);
        for (const char *piece : {"Evolución del Plan - Personas", "Antes del curso"})
            QVERIFY2(laidOut.contains(QString::fromUtf8(piece)), piece);
    }

    // A click on a map row offers its candidates; picking one lists his gaps; a click on a gap's
    // box (Space on it) gives the what-if of that gap closed at once, a second the generated score
    // again.
    void whatIfTicksAGap()
    {
        computeMap(1, 1, 0);
        const QModelIndex cell = mapCellOf(3);
        m_form->DbGMapa->scrollTo(cell);
        QTest::mouseClick(m_form->DbGMapa->viewport(), Qt::LeftButton, {}, m_form->DbGMapa->visualRect(cell).center());
        QCOMPARE(m_form->MapaSucesion().currentNode(), std::optional<int>(3));
        const engine::NodeSuccession &node = *m_form->MapaSucesion().result().node(3);
        const auto yellow = std::find_if(node.rows.cbegin(), node.rows.cend(), [](const engine::SuccessionCandidate &row) {
            return row.band() == engine::Band::Yellow;
        });
        QVERIFY2(yellow != node.rows.cend(), "no yellow candidate at node 3");
        QComboBox *candidates = m_form->QuePasaria->CmbCandidato;
        QCOMPARE(candidates->count(), int(node.rows.size()) + 1);
        candidates->setFocus();
        for (int step = 0; step <= int(yellow - node.rows.cbegin()); ++step)
            QTest::keyClick(candidates, Qt::Key_Down);

        // What the engine answers for him, read on its own.
        engine::SuccessionRequest request;
        request.categories = {true, true, false, true};
        SuccessionMap map(*DtmAcSemaf);
        const engine::CandidateWhatIf whatIf =
            map.whatIf(map.readPlan(1, 1), 3, request, yellow->employee.codEmplValue, yellow->employee.codEmpr).whatIf;
        const auto shown = [](const engine::EmployeeScore &score) {
            const QString band = engine::bandName(engine::band(score.percentage));
            return QStringLiteral("Con las brechas marcadas: ") + QLocale().toString(score.percentage, 'f', 2)
                + QStringLiteral(" % ") + band.left(1).toUpper() + band.mid(1);
        };
        QListWidget *gaps = m_form->QuePasaria->LstBrechasCandidato;
        QCOMPARE(gaps->count(), int(whatIf.gaps().size()));
        QVERIFY(gaps->count() > 0);
        QLabel *line = m_form->QuePasaria->LblQuePasaria;
        QCOMPARE(line->text(), shown(whatIf.score()));
        const QString first = gaps->item(0)->text();
        QVERIFY2(first.startsWith(whatIf.gaps().first().requirementName + QStringLiteral(" - ")), qPrintable(first));

        gaps->setFocus();
        gaps->setCurrentRow(0);
        DialogRecorder dialogs;
        QTest::keyClick(gaps, Qt::Key_Space);
        QCOMPARE(gaps->item(0)->checkState(), Qt::Checked);
        QCOMPARE(line->text(), shown(whatIf.score({0})));
        QVERIFY(whatIf.score({0}).percentage > yellow->score.percentage);
        QTest::keyClick(gaps, Qt::Key_Space);
        QCOMPARE(line->text(), shown(yellow->score));
        QCOMPARE(dialogs.texts(), QStringList());
    }

private:
    void showMapPage()
    {
        QTabBar *tabs = m_form->PagCtrPrincipal->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(3).center());
        QCOMPARE(m_form->PagCtrPrincipal->currentIndex(), 3);
        QApplication::processEvents();  // the page lays its grids out
    }

    void computeMap(int company, int plan, int node)
    {
        m_driver->chooseCompany(company);
        m_driver->goToNode(plan, node);
        m_driver->tickCategories({true, true, false, true});
        showMapPage();
        DialogRecorder dialogs;
        QTest::mouseClick(m_form->BtnCalcularMapa, Qt::LeftButton);
        QCOMPARE(dialogs.texts(), QStringList());
        QVERIFY(m_form->MapaSucesion().hasMap());
    }

    QModelIndex mapCellOf(int node) const
    {
        TVelkarDBgrid *grid = m_form->DbGMapa;
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            const QModelIndex cell = grid->model()->index(row, 1);
            if (grid->CellValue(grid->sourceRow(cell), f::CodNodo).toInt() == node)
                return cell;
        }
        return {};
    }

    // The cells of every page, trimmed, each between bars.
    static QString laidOutText(report::ReportPreview &preview)
    {
        QStringList cells;
        for (const report::PreparedPage &page : preview.pages().pages)
            for (const QString &cell : page.texts())
                cells << cell.trimmed();
        return QLatin1Char('|') + cells.join(QLatin1Char('|')) + QLatin1Char('|');
    }

    QList<report::ReportPreview *> openPreviews() const
    {
        QList<report::ReportPreview *> previews;
        for (QWidget *window : QApplication::topLevelWidgets())
            if (auto *preview = qobject_cast<report::ReportPreview *>(window); preview && preview->isVisible())
                previews << preview;
        return previews;
    }

    DemoDatabase m_db;
    std::unique_ptr<MainFormDriver> m_driver;
    TFrmAcSemaf *m_form = nullptr;
};

QTEST_MAIN(TestSuccessionPage)
#include "tst_successionpage.moc"
