// Whole journeys of an analyst in the real window, loaded as the host loads the module, over
// "http" against a real qacsemaf-server on the demo database, on SQLite (tst_journey) or on
// PostgreSQL (tst_journey_postgres). Every click and key goes through the X server (xdotool) of
// the program's own Xvfb. A proxy counts each step's requests: a step may take at most
// kMaxRequests. Screenshots go to the build's artefacts folder. A journey that cannot run (no
// Xvfb or xdotool, no PostgreSQL) fails with the reason.

#include "host/ClientConfig.h"
#include "host/HostWindow.h"
#include "host/LoginWindow.h"
#include "host/ModuleLibrary.h"
#include "tests/journeys/Backend.h"
#include "tests/server/ServerProcess.h"
#include "tests/support/LatencyProxy.h"
#include "tests/support/PdfTools.h"
#include "tests/support/TestTools.h"
#include "tests/support/XSession.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace xinput;

namespace {

// A user action takes a handful of round trips: what it reads goes to the server together.
const int kMaxRequests = 8;
QString gNoXSession;   // why there is no X session; empty when there is one
Backend::Kind gKind = Backend::Sqlite;

// The display texts of a view's rows, the given columns of each joined by '|'.
QStringList rowsOf(const QAbstractItemView *view, const QList<int> &columns)
{
    QStringList rows;
    const QAbstractItemModel *model = view->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList values;
        for (int c : columns)
            values << model->index(r, c).data().toString().trimmed();
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

int columnTitled(const QAbstractItemView *view, const QString &title)
{
    const QAbstractItemModel *model = view->model();
    for (int c = 0; c < model->columnCount(); ++c)
        if (model->headerData(c, Qt::Horizontal).toString().trimmed() == title)
            return c;
    return -1;
}

QTreeWidgetItem *treeNode(QTreeWidget *tree, const QString &code)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->text(0).section(QLatin1Char(' '), 0, 0) == code)
            return *it;
    return nullptr;
}

// Clicks into the field and types over its text with the keys; false when it does not come to show `shown`.
bool typeOver(QLineEdit *field, const QString &text, const QString &shown)
{
    clickWidget(field);
    if (!QTest::qWaitFor([&] { return field->hasFocus(); }, 5000))
        return false;
    key(QStringLiteral("ctrl+a"));
    type(text);
    return QTest::qWaitFor([&] { return field->text() == shown; }, 5000);
}

// A percentage as the result grid shows it ("38,18 %") read as the number.
QString percentage(QString shown)
{
    shown.remove(QLatin1Char('%'));
    return QString::number(shown.trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(), 'f', 2);
}

} // namespace

class TestJourneys : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void companyChangeAndBack();
    void planNavigation();
    void queryByExample_data();
    void queryByExample();
    void planLookUps();
    void treeClicksAndDrillDown();
    void generationSortingAndReports();
    void replacementTable();
    void successionMap();
    // Last: it closes the fixture's module and logs in through a site's login window.
    void sessionEndsAndPasswordChanges();

private:
    // ---- the window ----
    QWidget *widget(const QString &name) { return visibleWidget<QWidget>(name); }
    QLineEdit *edit(const QString &name) { return visibleWidget<QLineEdit>(name); }
    QAbstractItemView *view(const QString &name) { return visibleWidget<QAbstractItemView>(name); }
    QTreeWidget *tree() { return visibleWidget<QTreeWidget>(QStringLiteral("TreeViewCarrera")); }
    QWidget *navigatorButton(const QString &navigator, const QString &button)
    {
        QWidget *bar = widget(navigator);
        return bar ? visibleWidget<QWidget>(button, bar) : nullptr;
    }
    void chooseCompany(int company);
    void goToPage(const QString &tabName);
    void clickTreeNode(const QString &code, int clicks = 1);
    void tick(const QStringList &boxes);
    QStringList planRows(const QString &condition);
    QMainWindow *waitForPreview();
    void exportPreview(QMainWindow *preview, const QString &format, const QString &path);
    // Logs in through the login window with keys as a user does: the companies listed, company 1
    // chosen, "Entrar"; the login window's message when it stays (empty once the module opened).
    QString logInThrough(LoginWindow &login, const QString &password);

    // ---- requests ----
    // Prints the requests since the last step and checks the bound.
    void step(const QString &what);
    void shot(const QString &name) { saveScreenshot(m_shots.path(), QString::fromLatin1(QTest::currentTestFunction()) + '-' + name); }

    std::unique_ptr<Backend> m_backend;
    ServerProcess m_server;
    std::unique_ptr<LatencyProxy> m_proxy;
    qint64 m_requests = 0;
    QDir m_shots;
    std::unique_ptr<StuckWindowGuard> m_guard;
    std::unique_ptr<ModuleLibrary> m_module;
    std::unique_ptr<HostWindow> m_host;
    QTemporaryDir m_programs;   // the suite's programs of the drill-down, as recorders
    QStringList m_lastDialogTexts;   // the buttons and labels of the last file dialog
    QString m_lastProposedName;      // the name it proposed
};

void TestJourneys::initTestCase()
{
    if (!gNoXSession.isEmpty())
        QFAIL(qPrintable(gNoXSession));
    m_backend = std::make_unique<Backend>(gKind);
    const QString missing = m_backend->prepare(QStringLiteral(QACSEMAF_TOOL));
    if (!missing.isEmpty())
        QFAIL(qPrintable(missing));
    QCOMPARE(m_server.start(m_backend->serverArguments()), QString());
    m_proxy = std::make_unique<LatencyProxy>(m_server.port(), 0);
    QCOMPARE(m_proxy->start(), QString());
    m_shots = QDir(QStringLiteral(QACSEMAF_ARTEFACTS "/") + m_backend->name().toLower());
    QVERIFY(m_shots.mkpath(QStringLiteral(".")));
    m_guard = std::make_unique<StuckWindowGuard>(40000, m_shots.path());

    // The drill-down starts the suite's programs by their codes, found on the PATH: each of ours
    // writes the arguments it was started with.
    for (const char *code : {"QBiHvext", "QBiEdfor", "QBiEdnfo", "QBiCargo"}) {
        QFile program(m_programs.filePath(QString::fromLatin1(code)));
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\necho \"$0 $*\" >> \"$(dirname \"$0\")/started.txt\"\n");
        program.close();
        program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
    }
    qputenv("PATH", m_programs.path().toLocal8Bit() + ':' + qgetenv("PATH"));

    m_module = std::make_unique<ModuleLibrary>(QStringLiteral(QACSEMAF_LIBRARY));
    QVERIFY2(m_module->load(), qPrintable(m_module->errorString()));
    m_host = std::make_unique<HostWindow>(*m_module);
    m_requests = m_proxy->requests();
    const uintptr_t handle = m_module->loadModule({QStringLiteral("http"), QString(), m_proxy->address(), QStringLiteral("ADMIN"),
                                                   QStringLiteral("ADMIN"), QStringLiteral("1"), QString(),
                                                   QStringLiteral("1.0.0;2026-01-01")});
    QVERIFY2(handle != 0, qPrintable(m_module->lastModuleError() + m_server.log().right(2000)));
    m_host->embed(handle);
    m_host->move(0, 0);
    m_host->resize(1270, 860);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
    step(QStringLiteral("carga del módulo"));
    QLabel *engine = visibleWidget<QLabel>(QStringLiteral("StsMotor"));
    QVERIFY(engine);
    QCOMPARE(engine->text(), QStringLiteral("Motor: ") + m_backend->engineName());
    shot(QStringLiteral("01-host"));
}

// Every journey starts where the host leaves the analyst: company 1, the first row of its first
// plan, the "Ruta de Carrera" page.
void TestJourneys::init()
{
    QVERIFY(m_host && m_host->isVisible());
    QLabel *company = visibleWidget<QLabel>(QStringLiteral("StsEmpresa"));
    QVERIFY(company);
    if (!company->text().startsWith(QStringLiteral("Empresa: 1 - ")))
        chooseCompany(1);
    goToPage(QStringLiteral("TabShtPlantilla"));
    if (edit(QStringLiteral("DBEcod_nodo"))->text() != QLatin1String("0") || edit(QStringLiteral("DBEcod_menu"))->text() != QLatin1String("1")) {
        clickWidget(navigatorButton(QStringLiteral("QNvgdrFrm"), QStringLiteral("nbFirst")));
        QTRY_COMPARE(edit(QStringLiteral("DBEcod_nodo"))->text(), QStringLiteral("0"));
    }
    m_requests = m_proxy->requests();
}

void TestJourneys::cleanup()
{
    shot(QStringLiteral("end"));
    const QStringList closed = m_guard->takeClosed();
    // A window the journey left open is closed so that the next one starts clean.
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window != m_host.get() && window->isVisible() && !window->inherits("QMenu"))
            window->close();
    QVERIFY2(closed.isEmpty(), qPrintable(QStringLiteral("left open and closed by the test: ") + closed.join(QStringLiteral("; "))));
}

void TestJourneys::cleanupTestCase()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window != m_host.get() && window->isVisible())
            window->close();
    if (m_host)
        m_host->close();
    if (m_module && m_module->moduleLoaded())
        m_module->unloadModule();
}

void TestJourneys::step(const QString &what)
{
    QApplication::processEvents();
    const qint64 now = m_proxy->requests();
    const qint64 taken = now - m_requests;
    m_requests = now;
    qInfo().noquote() << QStringLiteral("journey %1 [%2]: %3 requests").arg(QString::fromLatin1(QTest::currentTestFunction()), what).arg(taken);
    QVERIFY2(taken <= kMaxRequests, qPrintable(QStringLiteral("%1 took %2 requests").arg(what).arg(taken)));
}

void TestJourneys::chooseCompany(int company)
{
    auto *combo = visibleWidget<QComboBox>(QStringLiteral("cmbEmpresa"));
    QVERIFY(combo);
    const int index = combo->findData(QString::number(company));
    QVERIFY2(index >= 0, qPrintable(QString::number(company)));
    QVERIFY(chooseInCombo(combo, index));
    QTRY_VERIFY_WITH_TIMEOUT(visibleWidget<QLabel>(QStringLiteral("StsEmpresa"))->text().startsWith(
                                 QStringLiteral("Empresa: %1 - ").arg(company)), 10000);
    QTest::qWait(200);
}

void TestJourneys::goToPage(const QString &tabName)
{
    auto *pages = visibleWidget<QTabWidget>(QStringLiteral("PagCtrPrincipal"));
    QVERIFY(pages);
    QWidget *page = pages->findChild<QWidget *>(tabName);
    QVERIFY2(page, qPrintable(tabName));
    const int index = pages->indexOf(page);
    if (pages->currentIndex() == index)
        return;
    clickAt(pages->tabBar()->mapToGlobal(pages->tabBar()->tabRect(index).center()));
    QTRY_COMPARE_WITH_TIMEOUT(pages->currentIndex(), index, 3000);
}

void TestJourneys::clickTreeNode(const QString &code, int clicks)
{
    QTreeWidget *career = tree();
    QVERIFY(career);
    QTreeWidgetItem *node = treeNode(career, code);
    QVERIFY2(node, qPrintable(code));
    career->scrollToItem(node);
    QApplication::processEvents();
    clickAt(career->viewport()->mapToGlobal(career->visualItemRect(node).center()), clicks);
    QTRY_COMPARE_WITH_TIMEOUT(career->currentItem(), node, 3000);
    QTest::qWait(300);   // whatever the view does after the click has been done
}

void TestJourneys::tick(const QStringList &boxes)
{
    for (const char *name : {"ChkCompe", "ChkEduFor", "ChkEduNo", "ChkExpe"}) {
        auto *box = visibleWidget<QCheckBox>(QString::fromLatin1(name));
        QVERIFY2(box, name);
        const bool wanted = boxes.contains(QString::fromLatin1(name));
        if (box->isChecked() != wanted) {
            clickWidget(box);
            QTRY_VERIFY2_WITH_TIMEOUT(box->isChecked() == wanted, name, 3000);
        }
    }
}

// The plan rows of company 1 that meet `condition`, as "plan|node".
QStringList TestJourneys::planRows(const QString &condition)
{
    return m_backend->query(QStringLiteral("SELECT COD_MENU, COD_NODO FROM AC_PPROM WHERE COD_EMPR = 1%1 ORDER BY COD_MENU, COD_NODO")
                                .arg(condition.isEmpty() ? QString() : QStringLiteral(" AND ") + condition));
}

// ---- journeys ----

// Company 2 and back to 1, then company 3, which has no plan: the record grid, the career tree
// and the status bar follow each company.
void TestJourneys::companyChangeAndBack()
{
    QAbstractItemView *grid = view(QStringLiteral("DBGFrm"));
    QVERIFY(grid);
    goToPage(QStringLiteral("TbSSemaforo"));   // a company change goes back to the first page
    const QList<std::pair<int, QString>> companies{{2, QStringLiteral("Carrera Técnica de Planta")},
                                                   {1, QStringLiteral("Carrera Financiera y Logística")},
                                                   {3, QString()}};
    for (const auto &[company, firstPlan] : companies) {
        chooseCompany(company);
        step(QStringLiteral("empresa %1").arg(company));
        const QStringList expected = m_backend->query(
            QStringLiteral("SELECT COD_MENU, COD_NODO FROM AC_PPROM WHERE COD_EMPR = %1 ORDER BY COD_MENU, COD_NODO").arg(company));
        QTRY_COMPARE_WITH_TIMEOUT(rowsOf(grid, {0, 1}), expected, 5000);
        const QString name = m_backend->query(QStringLiteral("SELECT NOM_EMPR FROM GN_EMPRE WHERE COD_EMPR = %1").arg(company)).value(0);
        QCOMPARE(visibleWidget<QLabel>(QStringLiteral("StsEmpresa"))->text(), QStringLiteral("Empresa: %1 - %2").arg(company).arg(name));
        QCOMPARE(visibleWidget<QTabWidget>(QStringLiteral("PagCtrPrincipal"))->currentWidget()->objectName(), QStringLiteral("TabShtPlantilla"));
        QTreeWidget *career = tree();
        if (firstPlan.isEmpty()) {
            QCOMPARE(edit(QStringLiteral("DBEcod_menu"))->text(), QString());
            // The plan of the company before must not stay.
            const QString shown = career->topLevelItemCount() > 0 ? career->topLevelItem(0)->text(0) : QString();
            QVERIFY2(shown.isEmpty(), qPrintable(QStringLiteral("company %1 has no plan, the tree shows \"%2\"").arg(company).arg(shown)));
        } else {
            QCOMPARE(career->topLevelItemCount(), 1);
            QCOMPARE(career->topLevelItem(0)->text(0), firstPlan);
            QCOMPARE(edit(QStringLiteral("DBEcod_menu"))->text(), expected.value(0).section(QLatin1Char('|'), 0, 0));
        }
        goToPage(QStringLiteral("TbSSemaforo"));
    }
}

// The navigator walks the plan rows and the tree follows (another plan: another tree). (A value
// typed into a plan field and saved with ✓ while the field has the cursor: the session's journey.)
void TestJourneys::planNavigation()
{
    QAbstractItemView *grid = view(QStringLiteral("DBGFrm"));
    QTreeWidget *career = tree();
    QVERIFY(grid && career);
    const QStringList all = planRows(QString());
    const auto at = [&](const QString &button, int row) {
        clickWidget(navigatorButton(QStringLiteral("QNvgdrFrm"), button));
        QTRY_COMPARE_WITH_TIMEOUT(edit(QStringLiteral("DBEcod_menu"))->text() + '|' + edit(QStringLiteral("DBEcod_nodo"))->text(),
                                  all.value(row), 5000);
        QCOMPARE(grid->currentIndex().row(), row);
        step(button);
    };
    at(QStringLiteral("nbNext"), 1);
    QCOMPARE(career->currentItem()->text(0), QStringLiteral("GER002 Gerente Administrativo y Financiero"));
    QCOMPARE(edit(QStringLiteral("edtEdtNmbCarg"))->text(), QStringLiteral("1-GER002*Gerente Administrativo y Financiero"));
    at(QStringLiteral("nbLast"), all.size() - 1);
    // Another plan: the tree is drawn again, its root named by the row that drew it.
    QCOMPARE(career->topLevelItem(0)->text(0), edit(QStringLiteral("DBEnom_menu"))->text());
    QCOMPARE(career->currentItem()->text(0).section(' ', 0, 0), QStringLiteral("GER003"));
    at(QStringLiteral("nbPrior"), all.size() - 2);
    at(QStringLiteral("nbFirst"), 0);
    QCOMPARE(career->topLevelItem(0)->text(0), QStringLiteral("Carrera Financiera y Logística"));
    QCOMPARE(career->currentItem(), career->topLevelItem(0));
}

void TestJourneys::queryByExample_data()
{
    QTest::addColumn<QString>("field");      // its caption in the criteria dialog
    QTest::addColumn<int>("op");             // the operator's place in the dialog's list
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("condition");  // the same rows asked of the database
    QTest::newRow("=") << "Arbol" << 0 << "2" << "COD_MENU = 2";
    QTest::newRow("<>") << "Arbol" << 1 << "2" << "COD_MENU <> 2";
    QTest::newRow("<") << "Arbol" << 2 << "2" << "COD_MENU < 2";
    QTest::newRow("<=") << "Arbol" << 3 << "1" << "COD_MENU <= 1";
    QTest::newRow(">") << "Empresa Cargo" << 4 << "1" << "COD_EMCA > 1";
    QTest::newRow(">=") << "Arbol" << 5 << "2" << "COD_MENU >= 2";
    QTest::newRow("Comienza con") << "Cargo" << 6 << "DIR" << "COD_CARG LIKE 'DIR%'";
    QTest::newRow("Contiene") << "Nombre" << 7 << "de " << "NOM_MENU LIKE '%de %'";
    QTest::newRow("Fecha <=") << "Fecha" << 3 << "04/03/2024" << "ACT_HORA < '2024-03-05'";
}

// The "Query" button's criteria: the record grid shows the rows of the current company that meet
// them (never those of another company), the tree follows the first of them, and empty criteria
// bring every row back.
void TestJourneys::queryByExample()
{
    QFETCH(QString, field);
    QFETCH(int, op);
    QFETCH(QString, value);
    QFETCH(QString, condition);
    QAbstractItemView *grid = view(QStringLiteral("DBGFrm"));
    QWidget *query = widget(QStringLiteral("DBQbe1"));
    QVERIFY(grid && query);
    QStringList offered;
    const auto dialog = [] { return visibleWidget<QWidget>(QStringLiteral("QbeCriteriaDialog")); };
    const auto fill = [&](Script &script) {
        script.then(QStringLiteral("diálogo de criterios"), [&] { return dialog() && visibleWidget<QComboBox>(QStringLiteral("cmbCampo0")); },
                    [&] {
                        QTest::qWait(300);
                        auto *fields = visibleWidget<QComboBox>(QStringLiteral("cmbCampo0"));
                        for (int i = 0; i < fields->count(); ++i)
                            offered << fields->itemText(i);
                        chooseInCombo(fields, fields->findText(field));
                    })
            .then(QStringLiteral("operador"), [] { return true; },
                  [&] { chooseInCombo(visibleWidget<QComboBox>(QStringLiteral("cmbOperador0")), op); })
            .then(QStringLiteral("valor"), [] { return true; }, [] { clickWidget(visibleWidget<QLineEdit>(QStringLiteral("edtValor0"))); })
            .then(QStringLiteral("valor con el cursor"), [] { return visibleWidget<QLineEdit>(QStringLiteral("edtValor0"))->hasFocus(); },
                  [&] { type(value); })
            .then(QStringLiteral("valor escrito"), [&] { return visibleWidget<QLineEdit>(QStringLiteral("edtValor0"))->text() == value; },
                  [] { clickWidget(visibleWidget<QWidget>(QStringLiteral("btnAceptar"))); });
    };
    Script ask;
    fill(ask);
    ask.start();
    clickWidget(query);
    QTRY_VERIFY_WITH_TIMEOUT(ask.finished() && !dialog(), 30000);
    QVERIFY2(ask.succeeded(), qPrintable(ask.failure()));
    step(QStringLiteral("consulta %1 %2").arg(field, value));
    QVERIFY2(!offered.contains(QStringLiteral("Nodo")) && !offered.contains(QStringLiteral("Nodo Padre")), qPrintable(offered.join(',')));
    const QStringList expected = planRows(condition);
    QVERIFY2(!expected.isEmpty() && !expected.first().startsWith(QStringLiteral("ERROR")), qPrintable(expected.join('\n')));
    QTRY_COMPARE_WITH_TIMEOUT(rowsOf(grid, {0, 1}), expected, 5000);
    QCOMPARE(edit(QStringLiteral("DBEcod_menu"))->text() + '|' + edit(QStringLiteral("DBEcod_nodo"))->text(), expected.first());
    QCOMPARE(tree()->topLevelItem(0)->text(0),
             m_backend->query(QStringLiteral("SELECT NOM_MENU FROM AC_PPROM WHERE COD_EMPR = 1 AND COD_NODO = 0 AND COD_MENU = %1")
                                  .arg(expected.first().section('|', 0, 0))).value(0));

    // "Limpiar" and accept: every row of the company again.
    Script clear;
    clear.then(QStringLiteral("diálogo de criterios"), [&] { return dialog() && visibleWidget<QWidget>(QStringLiteral("btnLimpiar")); },
               [] {
                   QTest::qWait(300);
                   clickWidget(visibleWidget<QWidget>(QStringLiteral("btnLimpiar")));
               })
        .then(QStringLiteral("criterios vacíos"), [] { return visibleWidget<QLineEdit>(QStringLiteral("edtValor0")) && visibleWidget<QLineEdit>(QStringLiteral("edtValor0"))->text().isEmpty(); },
              [] { clickWidget(visibleWidget<QWidget>(QStringLiteral("btnAceptar"))); });
    clear.start();
    clickWidget(query);
    QTRY_VERIFY_WITH_TIMEOUT(clear.finished() && !dialog(), 30000);
    QVERIFY2(clear.succeeded(), qPrintable(clear.failure()));
    step(QStringLiteral("consulta sin criterios"));
    QTRY_COMPARE_WITH_TIMEOUT(rowsOf(grid, {0, 1}), planRows(QString()), 5000);
}

// The "..." buttons of the plan fields on a row being edited: the look-up dialog lists what its
// query finds in the current company, a search moves its cursor, and the row picked (with
// "Aceptar" or a double click) is copied into the plan row.
void TestJourneys::planLookUps()
{
    const auto captura = [] { return visibleWidget<QWidget>(QStringLiteral("Captura")); };
    const auto lookUp = [&](const QString &button, const QString &search, bool doubleClick, int *listed, QString *current) {
        clickWidget(navigatorButton(QStringLiteral("QNvgdrFrm"), QStringLiteral("nbEdit")));
        QTRY_VERIFY(navigatorButton(QStringLiteral("QNvgdrFrm"), QStringLiteral("nbPost"))->isEnabled());
        Script pick;
        pick.then(QStringLiteral("lista de valores"), [&] { return captura() && view(QStringLiteral("DBGrid1")) && view(QStringLiteral("DBGrid1"))->model()->rowCount() > 0; },
                  [&] {
                      QTest::qWait(300);
                      *listed = view(QStringLiteral("DBGrid1"))->model()->rowCount();
                      if (!search.isEmpty())
                          clickWidget(edit(QStringLiteral("edtBusqueda")));
                  });
        if (!search.isEmpty())
            pick.then(QStringLiteral("búsqueda con el cursor"), [&] { return edit(QStringLiteral("edtBusqueda"))->hasFocus(); }, [&] { type(search); })
                .then(QStringLiteral("fila encontrada"), [&] {
                    QAbstractItemView *rows = view(QStringLiteral("DBGrid1"));
                    return rows->currentIndex().isValid() && rows->currentIndex().siblingAtColumn(0).data().toString().trimmed() == search;
                }, [] {});
        pick.then(QStringLiteral("elegir"), [] { return true; }, [&, doubleClick] {
            QAbstractItemView *rows = view(QStringLiteral("DBGrid1"));
            *current = rows->model()->index(qMax(0, rows->currentIndex().row()), 0).data().toString().trimmed();
            if (doubleClick)
                clickCell(rows, qMax(0, rows->currentIndex().row()), 1, 2);
            else
                clickWidget(widget(QStringLiteral("BitBtnAceptar")));
        });
        pick.start();
        clickWidget(widget(button));
        QTRY_VERIFY_WITH_TIMEOUT(pick.finished() && !captura(), 30000);
        QVERIFY2(pick.succeeded(), qPrintable(pick.failure()));
        step(button);
    };

    int listed = 0;
    QString picked;
    lookUp(QStringLiteral("QPField1"), QStringLiteral("2"), false, &listed, &picked);
    QCOMPARE(QString::number(listed), m_backend->query(QStringLiteral("SELECT COUNT(*) FROM AC_PPROM WHERE COD_EMPR = 1 AND COD_NODO = 0")).value(0));
    QCOMPARE(edit(QStringLiteral("DBEcod_menu"))->text(), QStringLiteral("2"));
    QCOMPARE(edit(QStringLiteral("DBEnom_menu"))->text(), QStringLiteral("Carrera Comercial"));
    clickWidget(navigatorButton(QStringLiteral("QNvgdrFrm"), QStringLiteral("nbCancel")));
    QTRY_COMPARE(edit(QStringLiteral("DBEcod_menu"))->text(), QStringLiteral("1"));
    QCOMPARE(edit(QStringLiteral("DBEnom_menu"))->text(), QStringLiteral("Carrera Financiera y Logística"));
    step(QStringLiteral("cancelar"));

    clickTreeNode(QStringLiteral("DIR002"));
    lookUp(QStringLiteral("QPField2"), QString(), true, &listed, &picked);
    QCOMPARE(QString::number(listed), m_backend->query(QStringLiteral(
        "SELECT COUNT(*) FROM AC_PPROM a, BI_CARGO b WHERE a.COD_EMPR = 1 AND a.COD_NODO > 0 AND a.COD_MENU = 1 "
        "AND b.COD_EMPR = a.COD_EMPR AND b.COD_CARG = a.COD_CARG")).value(0));
    const QString node = m_backend->query(QStringLiteral(
        "SELECT a.COD_NODO FROM AC_PPROM a WHERE a.COD_EMPR = 1 AND a.COD_MENU = 1 AND a.COD_CARG = '%1'").arg(picked)).value(0);
    QCOMPARE(edit(QStringLiteral("DBEcod_nodp"))->text(), node);
    clickWidget(navigatorButton(QStringLiteral("QNvgdrFrm"), QStringLiteral("nbCancel")));
    QTRY_COMPARE(edit(QStringLiteral("DBEcod_nodp"))->text(), QStringLiteral("1"));
}

// Clicks move the plan to a node; a double click lists the position's holders below it and
// keeps them in sight; another double click replaces them (or, on an employee, lists none); the
// tree's menu opens the suite's program for the employee under the mouse.
void TestJourneys::treeClicksAndDrillDown()
{
    QTreeWidget *career = tree();
    clickTreeNode(QStringLiteral("DIR002"));
    step(QStringLiteral("clic DIR002"));
    QCOMPARE(edit(QStringLiteral("DBEcod_nodo"))->text(), QStringLiteral("3"));
    QCOMPARE(edit(QStringLiteral("edtEdtNmbCarg"))->text(), QStringLiteral("1-DIR002*Director de Tesorería"));
    QCOMPARE(view(QStringLiteral("DBGFrm"))->currentIndex().row(), 3);

    const auto holders = [&](const QString &position, int company) {
        return m_backend->query(QStringLiteral(
            "SELECT TRIM(e.APE_EMPL), TRIM(e.NOM_EMPL) FROM NM_CONTR c, BI_EMPLE e WHERE c.COD_EMPR = %1 AND c.COD_CARG = '%2' "
            "AND c.IND_ACTI = 'A' AND e.COD_EMPR = c.COD_EMPR AND e.COD_EMPL = c.COD_EMPL ORDER BY e.APE_EMPL")
                                    .arg(company).arg(position)).replaceInStrings(QStringLiteral("|"), QStringLiteral(" "));
    };
    const auto employeesBelow = [&](QTreeWidgetItem *node) {
        QStringList names;
        for (int i = 0; i < node->childCount(); ++i)
            if (!QRegularExpression(QStringLiteral("^[A-Z]{3}\\d{3} ")).match(node->child(i)->text(0)).hasMatch())
                names << node->child(i)->text(0);
        return names;
    };
    QTreeWidgetItem *director = treeNode(career, QStringLiteral("DIR002"));
    QTest::qWait(600);   // the double click must not pair with the click before
    clickTreeNode(QStringLiteral("DIR002"), 2);
    QTRY_COMPARE_WITH_TIMEOUT(employeesBelow(director), holders(QStringLiteral("DIR002"), 1), 5000);
    step(QStringLiteral("doble clic DIR002"));
    QTest::qWait(300);
    QVERIFY2(director->isExpanded(), "the double-clicked position must stay expanded");
    for (int i = 0; i < director->childCount(); ++i)
        QVERIFY2(!career->visualItemRect(director->child(i)).isEmpty(), qPrintable(director->child(i)->text(0)));

    QTest::qWait(600);
    clickTreeNode(QStringLiteral("SUP003"), 2);
    QTreeWidgetItem *supervisor = treeNode(career, QStringLiteral("SUP003"));
    QTRY_COMPARE_WITH_TIMEOUT(employeesBelow(supervisor), holders(QStringLiteral("SUP003"), 2), 5000);
    QCOMPARE(employeesBelow(director), QStringList());
    step(QStringLiteral("doble clic SUP003"));
    QVERIFY(supervisor->childCount() > 2);

    // The tree's menu: none on a position; on the last employee, right-clicked while the position
    // is current, it opens for that employee, and "Educación Formal" starts that program for them.
    clickAt(career->viewport()->mapToGlobal(career->visualItemRect(supervisor).center()), 1, 3);
    QTest::qWait(500);
    QVERIFY2(!visibleWidget<QMenu>(QStringLiteral("PppMnEmpleados")), "the employees' menu opened on a position");
    QTreeWidgetItem *employee = supervisor->child(supervisor->childCount() - 1);
    const QString who = employee->text(0);
    career->scrollToItem(employee);
    QApplication::processEvents();
    QCOMPARE(career->currentItem(), supervisor);
    QFile::remove(m_programs.filePath(QStringLiteral("started.txt")));
    QMenu *menu = nullptr;
    clickAt(career->viewport()->mapToGlobal(career->visualItemRect(employee).center()), 1, 3);
    QTRY_VERIFY_WITH_TIMEOUT((menu = visibleWidget<QMenu>(QStringLiteral("PppMnEmpleados"))), 5000);
    QCOMPARE(career->currentItem(), employee);
    QAction *formal = nullptr;
    for (QAction *entry : menu->actions())
        if (entry->text() == QStringLiteral("Educación Formal"))
            formal = entry;
    QVERIFY(formal);
    QTest::qWait(300);
    clickAt(menu->mapToGlobal(menu->actionGeometry(formal).center()));
    QFile started(m_programs.filePath(QStringLiteral("started.txt")));
    QTRY_VERIFY_WITH_TIMEOUT(started.exists() && started.size() > 0, 10000);
    QVERIFY(started.open(QIODevice::ReadOnly));
    const QString line = QString::fromUtf8(started.readAll()).trimmed();
    const QString code = m_backend->query(QStringLiteral(
        "SELECT c.COD_EMPL FROM NM_CONTR c, BI_EMPLE e WHERE c.COD_EMPR = 2 AND c.COD_CARG = 'SUP003' AND c.IND_ACTI = 'A' "
        "AND e.COD_EMPR = c.COD_EMPR AND e.COD_EMPL = c.COD_EMPL AND TRIM(e.APE_EMPL) || ' ' || TRIM(e.NOM_EMPL) = '%1'").arg(who)).value(0);
    QVERIFY2(line.section(' ', 0, 0).endsWith(QStringLiteral("/QBiEdfor")), qPrintable(line));
    QVERIFY2(line.contains(QStringLiteral("--value ") + QString::number(code.toDouble(), 'f', 0)), qPrintable(line + " / " + code));
    step(QStringLiteral("Educación Formal"));

    // A double click on an employee takes every employee away and lists none.
    QTest::qWait(600);
    clickAt(career->viewport()->mapToGlobal(career->visualItemRect(employee).center()), 2);
    QTRY_COMPARE_WITH_TIMEOUT(employeesBelow(supervisor), QStringList(), 5000);
    step(QStringLiteral("doble clic empleado"));
}

QMainWindow *TestJourneys::waitForPreview()
{
    QMainWindow *preview = nullptr;
    // The window found, or none when the wait runs out: the caller checks it.
    (void)QTest::qWaitFor([&] { return (preview = qobject_cast<QMainWindow *>(visibleWindowOf("report::ReportPreview"))) != nullptr; },
                          15000);
    if (preview && QTest::qWaitForWindowExposed(preview))
        QTest::qWait(300);
    return preview;
}

// Exports the preview's pages with the toolbar's "Exportar" menu and the file dialog.
void TestJourneys::exportPreview(QMainWindow *preview, const QString &format, const QString &path)
{
    auto *action = preview->findChild<QAction *>(QStringLiteral("actionExportar") + format);
    QVERIFY2(action, qPrintable(format));
    QToolButton *button = nullptr;
    for (QToolButton *candidate : preview->findChildren<QToolButton *>())
        if (candidate->isVisible() && candidate->menu() && candidate->menu()->actions().contains(action)
            && candidate->popupMode() == QToolButton::InstantPopup)
            button = candidate;
    QVERIFY2(button, "the export formats drop down from a button of the preview's toolbar");
    QFile::remove(path);
    QMenu *formats = button->menu();
    Script choose;
    choose.after(400, QStringLiteral("menú de formatos"), [] {})
        .then(QStringLiteral("formato"), [formats] { return formats->isVisible(); },
              [formats, action] { clickAt(formats->mapToGlobal(formats->actionGeometry(action).center())); });
    FileDialogTyping answer(path);
    choose.start();
    clickWidget(button);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(path).size() > 0 || m_guard->closedAny() || !choose.failure().isEmpty(), 60000);
    QVERIFY2(choose.succeeded(), qPrintable(choose.failure()));
    QVERIFY2(!m_guard->closedAny(), "the menu or the file dialog did not take the clicks and keys");
    QVERIFY(answer.done());
    m_lastDialogTexts = answer.dialogTexts();
    m_lastProposedName = answer.proposedName();
}

// The traffic light of DIR002 with each category alone and all together, the same rows the
// command line computes through the same server; the result grid sorted by a header click; the
// competence report of the employee under the mouse from the grid's menu (its pages:
// tst_reportcommand); the navigator and the list report follow the order the grid shows.
void TestJourneys::generationSortingAndReports()
{
    clickTreeNode(QStringLiteral("DIR002"));
    goToPage(QStringLiteral("TbSSemaforo"));
    QAbstractItemView *grid = view(QStringLiteral("DBGrdSemaforo"));
    QVERIFY(grid);
    const int surname = columnTitled(grid, QStringLiteral("Apellidos"));
    const int percent = 3;
    QVERIFY(surname >= 0);
    const QList<std::pair<QStringList, QString>> sets{{{"ChkEduFor"}, "EF"}, {{"ChkEduNo"}, "EN"}, {{"ChkExpe"}, "EP"},
                                                      {{"ChkCompe"}, "CO"},
                                                      {{"ChkEduFor", "ChkEduNo", "ChkExpe", "ChkCompe"}, "EF,EN,EP,CO"}};
    QSet<QString> distinct;
    for (const auto &[boxes, categories] : sets) {
        tick(boxes);
        const ProgramRun tool = runProgram(QStringLiteral(QACSEMAF_TOOL),
            {"generate", "--server", m_server.address(), "--company", "1", "--target", "DIR002@1", "--candidates",
             "COO002@1,PRO002@1", "--categories", categories, "--format", "csv", "--csv-separator", ";"});
        QVERIFY2(tool.exitCode == 0, qPrintable(tool.errors));
        QStringList expected;
        for (const QString &line : tool.output.split('\n', Qt::SkipEmptyParts).mid(1))
            expected << line.section(';', 3, 3) + '|' + QString::number(line.section(';', 1, 1).toDouble(), 'f', 2);
        QVERIFY(!expected.isEmpty());
        m_requests = m_proxy->requests();
        clickWidget(widget(QStringLiteral("SpdBttnRefrescar")));
        QTRY_COMPARE_WITH_TIMEOUT(grid->model()->rowCount(), expected.size(), 15000);
        QTest::qWait(300);
        QStringList shown;
        for (const QString &row : rowsOf(grid, {surname, percent}))
            shown << row.section('|', 0, 0) + '|' + percentage(row.section('|', 1, 1));
        QCOMPARE(shown, expected);
        distinct.insert(shown.join(','));
        step(QStringLiteral("generación ") + categories);
    }
    QVERIFY2(distinct.size() > 2, "the categories must change the percentages");

    // The grid's menu: "Ver Competencias" of the employee under the cursor (the second row).
    clickCell(grid, 1, surname);
    QTRY_COMPARE(grid->currentIndex().row(), 1);
    const int names = columnTitled(grid, QStringLiteral("Nombres"));
    const QString employee = grid->model()->index(1, names).data().toString().trimmed() + ' '
                             + grid->model()->index(1, surname).data().toString().trimmed();
    clickCell(grid, 1, surname, 1, 3);
    QMenu *menu = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((menu = visibleWidget<QMenu>(QStringLiteral("PopupMenu1"))), 5000);
    QTest::qWait(300);
    clickAt(menu->mapToGlobal(menu->actionGeometry(menu->actions().value(0)).center()));
    QMainWindow *preview = waitForPreview();
    QVERIFY(preview);
    step(QStringLiteral("Ver Competencias"));
    QVERIFY2(preview->windowTitle().contains(employee), qPrintable(preview->windowTitle()));
    preview->close();

    // A click on "Apellidos" sorts the rows by surname; the navigator follows the order shown.
    clickHeader(grid, surname);
    QStringList sorted = rowsOf(grid, {surname});
    QStringList expectedOrder = sorted;
    std::sort(expectedOrder.begin(), expectedOrder.end(), [](const QString &a, const QString &b) { return QString::localeAwareCompare(a, b) < 0; });
    QTRY_COMPARE_WITH_TIMEOUT((sorted = rowsOf(grid, {surname})), expectedOrder, 5000);
    step(QStringLiteral("ordenar por Apellidos"));
    clickWidget(navigatorButton(QStringLiteral("QNavegador1"), QStringLiteral("nbFirst")));
    QTRY_COMPARE(grid->currentIndex().row(), 0);
    clickWidget(navigatorButton(QStringLiteral("QNavegador1"), QStringLiteral("nbNext")));
    QTest::qWait(300);
    QCOMPARE(grid->currentIndex().row(), 1);
    QCOMPARE(grid->currentIndex().siblingAtColumn(surname).data().toString().trimmed(), sorted.value(1));

    // The list report, previewed on the screen it opened on and exported through a file dialog in
    // the user's language, lists every evaluated employee in the order the grid shows.
    clickWidget(widget(QStringLiteral("spbPreview")));
    preview = waitForPreview();
    QVERIFY(preview);
    step(QStringLiteral("Vista Previa"));
    QVERIFY2(preview->windowTitle().contains(QStringLiteral("Director de Tesorería")), qPrintable(preview->windowTitle()));
    QVERIFY(preview->screen()->availableGeometry().contains(preview->frameGeometry()));
    const QString list = m_shots.filePath(QStringLiteral("lista.pdf"));
    exportPreview(preview, QStringLiteral("Pdf"), list);
    preview->close();
    QVERIFY2(m_lastProposedName.startsWith(QStringLiteral("Semáforo de Carrera - Director de Tesorería")), qPrintable(m_lastProposedName));
    QVERIFY2(m_lastDialogTexts.contains(QStringLiteral("&Guardar")) || m_lastDialogTexts.contains(QStringLiteral("Guardar")),
             qPrintable(m_lastDialogTexts.join(" | ")));
    const QString listText = pdfToText(list);
    QVERIFY2(listText.contains(QStringLiteral("Grupo Empresarial Andino S.A.")), qPrintable(listText.left(600)));
    int last = -1;
    for (const QString &row : sorted) {
        const int at = listText.indexOf(row, last + 1);
        QVERIFY2(at > last, qPrintable(QStringLiteral("the list does not follow the sorted grid at ") + row));
        last = at;
    }
}

// The replacement table of DIR001 (node 2): a row added through the look-up of its "..." cell,
// saved, seen in the database, deleted again after the confirmation.
void TestJourneys::replacementTable()
{
    clickTreeNode(QStringLiteral("DIR001"));
    QCOMPARE(edit(QStringLiteral("DBEcod_nodo"))->text(), QStringLiteral("2"));
    const QString rowsSql = QStringLiteral("SELECT COD_EMPL, COD_CARG FROM AC_CUARE WHERE COD_EMPR = 1 AND COD_MENU = 1 AND COD_NODO = 2 ORDER BY COD_EMPL");
    const QStringList before = m_backend->query(rowsSql);
    const QString newcomer = m_backend->query(QStringLiteral(
        "SELECT COD_EMPL FROM NM_CONTR WHERE COD_EMPR = 1 AND COD_CARG = 'PRO001' AND IND_ACTI = 'A' ORDER BY COD_EMPL")).value(0);
    const QString code = QString::number(newcomer.toDouble(), 'f', 0);
    QVERIFY(!code.isEmpty() && before.size() == 3);
    const auto window = [] { return visibleWidget<QWidget>(QStringLiteral("FrmAcCuare")); };
    const auto cuadro = [] { return visibleWidget<QAbstractItemView>(QStringLiteral("DBGrdCuadro")); };
    const auto cuadroButton = [&](const char *name) { return navigatorButton(QStringLiteral("QNvgdrCuadro"), QString::fromLatin1(name)); };
    const auto emptyRow = [&] {
        const QStringList ids = rowsOf(cuadro(), {0});
        return int(ids.indexOf(QString()));
    };
    QStringList shownBefore, shownAfterSave, savedInDb, afterDelete;
    QString nameShown, confirmation;
    Script use(30000);
    use.then(QStringLiteral("ventana"), [&] { return window() && cuadro() && cuadro()->model()->rowCount() == 3; },
             [&] {
                 QTest::qWait(300);
                 shownBefore = rowsOf(cuadro(), {0, 2});
                 clickWidget(cuadroButton("nbInsert"));
             })
        .then(QStringLiteral("fila nueva"), [&] { return emptyRow() >= 0; }, [&] { clickCell(cuadro(), emptyRow(), 0, 2); })
        .then(QStringLiteral("botón ..."), [] { return visibleWidget<QWidget>(QStringLiteral("ellipsisButton")); },
              [] { clickWidget(visibleWidget<QWidget>(QStringLiteral("ellipsisButton"))); })
        // The employees' look-up asks for its criteria first: the identification typed.
        .then(QStringLiteral("criterios de la lista"), [] { return visibleWidget<QLineEdit>(QStringLiteral("edtValor0")); },
              [] {
                  QTest::qWait(300);
                  clickWidget(visibleWidget<QLineEdit>(QStringLiteral("edtValor0")));
              })
        .then(QStringLiteral("criterio con el cursor"), [] { return visibleWidget<QLineEdit>(QStringLiteral("edtValor0"))->hasFocus(); },
              [&] { type(code); })
        .then(QStringLiteral("criterio escrito"), [&] { return visibleWidget<QLineEdit>(QStringLiteral("edtValor0"))->text() == code; },
              [] { clickWidget(visibleWidget<QWidget>(QStringLiteral("btnAceptar"))); })
        .then(QStringLiteral("empleado encontrado"), [&] {
            if (!visibleWidget<QWidget>(QStringLiteral("Captura")) || visibleWidget<QWidget>(QStringLiteral("QbeCriteriaDialog")))
                return false;
            QAbstractItemView *rows = view(QStringLiteral("DBGrid1"));
            return rows->model()->rowCount() > 0
                && QString::number(rows->model()->index(0, 0).data().toString().remove(QLatin1Char('.')).toDouble(), 'f', 0) == code;
        }, [&] {
            QTest::qWait(300);
            clickWidget(widget(QStringLiteral("BitBtnAceptar")));
        })
        .then(QStringLiteral("empleado copiado"), [&] { return !visibleWidget<QWidget>(QStringLiteral("Captura")) && emptyRow() < 0; },
              [&] {
                  QTest::qWait(300);
                  clickWidget(cuadroButton("nbPost"));
              })
        .then(QStringLiteral("guardado"), [&] { return !cuadroButton("nbPost")->isEnabled(); },
              [&] {
                  shownAfterSave = rowsOf(cuadro(), {0, 2});
                  const int row = rowsOf(cuadro(), {0}).indexOf(QRegularExpression(QStringLiteral("^") + code + QStringLiteral("(\\D.*)?$")));
                  nameShown = row >= 0 ? cuadro()->model()->index(row, 1).data().toString() : QString();
                  savedInDb = m_backend->query(rowsSql);
                  saveScreenshot(m_shots.path(), QStringLiteral("replacementTable-guardado"));
                  clickCell(cuadro(), qMax(0, row), 1);
              })
        .then(QStringLiteral("fila elegida"), [] { return true; }, [&] { clickWidget(cuadroButton("nbDelete")); })
        .then(QStringLiteral("confirmación"), [] { return qobject_cast<QMessageBox *>(QApplication::activeModalWidget()); },
              [&] {
                  auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                  confirmation = box->text();
                  QTest::qWait(300);
                  clickWidget(box->button(QMessageBox::Yes));
              })
        .then(QStringLiteral("borrada"), [&] { return !QApplication::activeModalWidget()->inherits("QMessageBox") && cuadro()->model()->rowCount() == 3; },
              [&] {
                  afterDelete = m_backend->query(rowsSql);
                  key(QStringLiteral("Escape"));
              });
    use.start();
    clickWidget(widget(QStringLiteral("BtnCuare")));
    QTRY_VERIFY_WITH_TIMEOUT(use.finished() && !window(), 60000);
    QVERIFY2(use.succeeded(), qPrintable(use.failure()));
    step(QStringLiteral("cuadro de reemplazo"));
    QCOMPARE(shownBefore.size(), 3);
    for (const QString &row : shownBefore)
        QCOMPARE(row.section('|', 1), QStringLiteral("COO001"));
    QCOMPARE(shownAfterSave.size(), 4);
    QCOMPARE(savedInDb.size(), 4);
    QVERIFY2(savedInDb.join(',').contains(QStringLiteral("|PRO001")), qPrintable(savedInDb.join(',')));
    const QString person = m_backend->query(QStringLiteral("SELECT TRIM(NOM_EMPL) || ' ' || TRIM(APE_EMPL) FROM BI_EMPLE WHERE COD_EMPR = 1 AND COD_EMPL = %1").arg(code)).value(0);
    QCOMPARE(nameShown.trimmed(), person);
    QVERIFY2(!confirmation.isEmpty(), "a delete asks first");
    QCOMPARE(afterDelete, before);
}

// "Mapa de Sucesión": the map of the whole plan with every category, then a double click on a
// row takes the tree to its node and shows the node's traffic light.
void TestJourneys::successionMap()
{
    goToPage(QStringLiteral("TbSSemaforo"));
    tick({"ChkEduFor", "ChkEduNo", "ChkExpe", "ChkCompe"});
    goToPage(QStringLiteral("TabShtSucesion"));
    clickWidget(widget(QStringLiteral("BtnCalcularMapa")));
    QAbstractItemView *map = view(QStringLiteral("DbGMapa"));
    QVERIFY(map);
    QTRY_VERIFY_WITH_TIMEOUT(map->model()->rowCount() > 0, 30000);
    step(QStringLiteral("Calcular Mapa"));
    QVERIFY(!visibleWidget<QLabel>(QStringLiteral("LblEstadoMapa"))->text().isEmpty());
    // Every node of plan 1 that has a position child appears once.
    const QStringList nodes = rowsOf(map, {0});
    const QStringList parents = m_backend->query(QStringLiteral(
        "SELECT DISTINCT COD_NODP FROM AC_PPROM WHERE COD_EMPR = 1 AND COD_MENU = 1 AND COD_NODO > 0 ORDER BY COD_NODP"));
    for (const QString &parent : parents)
        QVERIFY2(nodes.contains(parent), qPrintable(parent + " not in " + nodes.join(',')));
    const int row = int(nodes.indexOf(QStringLiteral("3")));
    QVERIFY2(row >= 0, qPrintable(nodes.join(',')));
    clickCell(map, row, 2, 2);
    auto *pages = visibleWidget<QTabWidget>(QStringLiteral("PagCtrPrincipal"));
    QTRY_COMPARE_WITH_TIMEOUT(pages->currentWidget()->objectName(), QStringLiteral("TbSSemaforo"), 5000);
    QAbstractItemView *grid = view(QStringLiteral("DBGrdSemaforo"));
    const QString holders = m_backend->query(QStringLiteral(
        "SELECT COUNT(*) FROM NM_CONTR WHERE COD_EMPR = 1 AND COD_CARG IN ('COO002','PRO002') AND IND_ACTI = 'A'")).value(0);
    QTRY_COMPARE_WITH_TIMEOUT(QString::number(grid->model()->rowCount()), holders, 15000);
    step(QStringLiteral("doble clic en el mapa"));
    goToPage(QStringLiteral("TabShtPlantilla"));
    QCOMPARE(tree()->currentItem()->text(0).section(' ', 0, 0), QStringLiteral("DIR002"));
    QCOMPARE(edit(QStringLiteral("DBEcod_nodo"))->text(), QStringLiteral("3"));
}

QString TestJourneys::logInThrough(LoginWindow &login, const QString &password)
{
    auto *userEdit = login.findChild<QLineEdit *>(QStringLiteral("userEdit"));
    auto *passwordEdit = login.findChild<QLineEdit *>(QStringLiteral("passwordEdit"));
    auto *companies = login.findChild<QComboBox *>(QStringLiteral("companyCombo"));
    const QString user = QStringLiteral("ANALISTA");
    if (userEdit->text() != user && !typeOver(userEdit, user, user))
        return QStringLiteral("the user field shows %1").arg(userEdit->text());
    if (!typeOver(passwordEdit, password, password))
        return QStringLiteral("the password field shows %1 characters").arg(passwordEdit->text().size());
    key(QStringLiteral("Return"));
    // A refusal selects the password for the next try (the message may be the one shown before).
    if (!QTest::qWaitFor([&] { return companies->count() > 0 || passwordEdit->hasSelectedText(); }, 10000))
        return QStringLiteral("the login gave no answer");
    if (!login.message().isEmpty())
        return login.message();
    const int first = companies->findData(QStringLiteral("1"));
    if (first != companies->currentIndex() && !chooseInCombo(companies, first))
        return QStringLiteral("company 1 could not be chosen");
    if (!QTest::qWaitFor([&] { return companies->currentIndex() == first; }, 5000))
        return QStringLiteral("company 1 was not chosen");
    clickWidget(login.findChild<QPushButton *>(QStringLiteral("loginButton")));
    if (!QTest::qWaitFor([&] { return !login.isVisible() || !login.message().isEmpty(); }, 30000))
        return QStringLiteral("the login window neither closed nor said why");
    return login.isVisible() ? login.message() : QString();
}

// A site's workstation (client.ini naming the server): the analyst logs in through "Iniciar
// sesión" and the module opens. An administrator changes the analyst's password meanwhile
// (qacsemaf user passwd), which ends the session; the analyst's next save asks for the password
// ("Sesión terminada"), and the new one completes that same save, typed while the field had the
// cursor. Then the analyst changes its own password ("Cambiar contraseña…"). (Which passwords log
// in after a change: tst_httpguards.)
void TestJourneys::sessionEndsAndPasswordChanges()
{
    m_host->close();
    QTRY_VERIFY(!m_module->moduleLoaded());
    QTemporaryDir site;
    QVERIFY(site.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(site.filePath(QStringLiteral("config"))));
    {
        QFile ini(site.filePath(QStringLiteral("client.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[client]\nserver=http://%1\n").arg(m_server.address()).toUtf8());
    }
    qputenv("QACSEMAF_CLIENT_CONFIG", QFile::encodeName(site.filePath(QStringLiteral("client.ini"))));
    ClientConfig config;
    QString error;
    QVERIFY2(config.read(ClientConfig::path(), &error), qPrintable(error));
    const SessionArguments place{QStringLiteral("http"), config.database, config.server, {}, {}, {}, {},
                                 QStringLiteral("1.0.0;2026-01-01")};

    auto host = std::make_unique<HostWindow>(*m_module);
    host->move(0, 0);
    host->resize(1270, 860);
    std::unique_ptr<LoginWindow> login = host->loginWindow(place);
    login->show();
    QVERIFY(QTest::qWaitForWindowExposed(login.get()));
    QCOMPARE(logInThrough(*login, QStringLiteral("ANALISTA")), QString());
    QVERIFY(m_module->moduleLoaded());
    QVERIFY(QTest::qWaitForWindowExposed(host.get()));
    QTRY_VERIFY_WITH_TIMEOUT(edit(QStringLiteral("DBEnom_menu")), 10000);
    // A position's row (node 1): the plan's own row asks for a position before it saves.
    clickWidget(navigatorButton(QStringLiteral("QNvgdrFrm"), QStringLiteral("nbNext")));
    QTRY_COMPARE_WITH_TIMEOUT(edit(QStringLiteral("DBEcod_nodo"))->text(), QStringLiteral("1"), 10000);
    shot(QStringLiteral("01-sesion-iniciada"));

    const ProgramRun passwd = runProgram(QStringLiteral(QACSEMAF_TOOL),
                                         QStringList{QStringLiteral("user"), QStringLiteral("passwd"), QStringLiteral("ANALISTA")}
                                             + m_backend->serverArguments(),
                                         QProcessEnvironment::systemEnvironment(), "clave del admin 1\n");
    QVERIFY2(passwd.exitCode == 0, qPrintable(passwd.errors));

    // The analyst renames the plan of the row shown and saves with ✓.
    const QString nodeSql = QStringLiteral("SELECT NOM_MENU, ACT_ESTA FROM AC_PPROM "
                                           "WHERE COD_EMPR = 1 AND COD_MENU = %1 AND COD_NODO = %2")
                                .arg(edit(QStringLiteral("DBEcod_menu"))->text(), edit(QStringLiteral("DBEcod_nodo"))->text());
    QLineEdit *name = edit(QStringLiteral("DBEnom_menu"));
    QVERIFY2(typeOver(name, QStringLiteral("Plan renovado"), QStringLiteral("PLAN RENOVADO")), qPrintable(name->text()));
    QWidget *post = navigatorButton(QStringLiteral("QNvgdrFrm"), QStringLiteral("nbPost"));
    QVERIFY(post && post->isEnabled());
    QString reason, user;
    bool userFixed = false;
    const auto renewal = [] { return visibleWidget<QWidget>(QStringLiteral("SessionRenewalDialog")); };
    Script renew;
    renew.then(QStringLiteral("Sesión terminada"), [&] { return renewal() && visibleWidget<QLineEdit>(QStringLiteral("passwordEdit"), renewal()); },
               [&] {
                   QWidget *dialog = renewal();
                   reason = visibleWidget<QLabel>(QStringLiteral("reasonLabel"), dialog)->text();
                   auto *userEdit = visibleWidget<QLineEdit>(QStringLiteral("userEdit"), dialog);
                   user = userEdit->text();
                   userFixed = userEdit->isReadOnly();
                   shot(QStringLiteral("02-sesion-terminada"));
                   clickWidget(visibleWidget<QLineEdit>(QStringLiteral("passwordEdit"), dialog));
               })
        .then(QStringLiteral("contraseña con el foco"), [&] { return renewal() && visibleWidget<QLineEdit>(QStringLiteral("passwordEdit"), renewal())->hasFocus(); },
              [] { type(QStringLiteral("clave del admin 1")); })
        .then(QStringLiteral("contraseña escrita"),
              [&] { return renewal() && visibleWidget<QLineEdit>(QStringLiteral("passwordEdit"), renewal())->text() == QLatin1String("clave del admin 1"); },
              [&] { clickWidget(renewal()->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)); });
    renew.start();
    clickWidget(post);
    QTRY_VERIFY_WITH_TIMEOUT(renew.finished() && !renewal(), 60000);
    QVERIFY2(renew.succeeded(), qPrintable(renew.failure()));
    QTRY_VERIFY_WITH_TIMEOUT(!post->isEnabled(), 10000);
    shot(QStringLiteral("03-guardado"));
    QCOMPARE(reason, QStringLiteral("La contraseña, el estado o las empresas del usuario ANALISTA cambiaron, o el usuario ya no "
                                    "existe; inicie sesión de nuevo."));
    QCOMPARE(user, QStringLiteral("ANALISTA"));
    QVERIFY(userFixed);
    QCOMPARE(name->text(), QStringLiteral("PLAN RENOVADO"));
    QCOMPARE(m_backend->query(nodeSql), QStringList{QStringLiteral("PLAN RENOVADO|M")});
    QAbstractItemView *grid = view(QStringLiteral("DBGFrm"));
    const int planName = columnTitled(grid, QStringLiteral("Nombre"));
    QCOMPARE(grid->model()->index(1, planName).data().toString().trimmed(), QStringLiteral("PLAN RENOVADO"));

    // "Cambiar contraseña…" from the host's "Sesión" menu.
    const auto changeDialog = [] { return visibleWidget<QWidget>(QStringLiteral("ChangePasswordDialog")); };
    const auto field = [&](const char *fieldName) { return visibleWidget<QLineEdit>(QString::fromLatin1(fieldName), changeDialog()); };
    Script change;
    for (const auto &[fieldName, text] : {std::pair{"currentEdit", "clave del admin 1"}, std::pair{"nextEdit", "mi clave propia"},
                                          std::pair{"repeatEdit", "mi clave propia"}}) {
        const char *typedInto = fieldName;
        const QString typed = QString::fromLatin1(text);
        change.then(QStringLiteral("clic en %1").arg(QLatin1String(typedInto)), [&, typedInto] { return changeDialog() && field(typedInto); },
                    [&, typedInto] { clickWidget(field(typedInto)); })
            .then(QStringLiteral("foco en %1").arg(QLatin1String(typedInto)), [&, typedInto] { return field(typedInto)->hasFocus(); },
                  [typed] { type(typed); })
            .then(QStringLiteral("escrito en %1").arg(QLatin1String(typedInto)),
                  [&, typedInto, typed] { return field(typedInto)->text() == typed; }, [] {});
    }
    change.then(QStringLiteral("Aceptar"), [&] { return changeDialog() != nullptr; },
                [&] { clickWidget(changeDialog()->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)); });
    QMenuBar *bar = host->menuBar();
    QAction *sessionMenu = bar->actions().value(0);
    QVERIFY(sessionMenu && sessionMenu->menu());
    clickAt(bar->mapToGlobal(bar->actionGeometry(sessionMenu).center()));
    QMenu *menu = sessionMenu->menu();
    QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), 5000);
    QAction *changeAction = menu->actions().value(0);
    change.start();
    clickAt(menu->mapToGlobal(menu->actionGeometry(changeAction).center()));
    QTRY_VERIFY_WITH_TIMEOUT(change.finished() && !changeDialog(), 60000);
    QVERIFY2(change.succeeded(), qPrintable(change.failure()));
    QCOMPARE(host->statusBar()->currentMessage(), QStringLiteral("Contraseña cambiada."));
    shot(QStringLiteral("04-contrasena-cambiada"));
    host->close();
    qunsetenv("QACSEMAF_CLIENT_CONFIG");
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariable("QACSEMAF_JOURNEY_DB") == QLatin1String("postgres"))
        gKind = Backend::Postgres;
    XServer x;
    gNoXSession = x.start();
    if (!gNoXSession.isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestJourneys test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_journeys.moc"
