// A whole session as a user has it, under a real X server: the host embeds the module, the mouse
// double-clicks a position of the career tree, ticks the categories, generates the traffic light,
// opens the list report's preview and exports it, each export through its file dialog. Every
// click and key goes through the X server (xdotool), so what Qt does on its own after an event
// (a tree toggling the node it just expanded, a dialog taking the focus) is part of what is
// checked. Screenshots of the screen are kept in the build's artefacts folder.
//
// The test starts its own Xvfb; without Xvfb or xdotool it is skipped with a message.

#include "tests/support/DemoDatabase.h"
#include "host/HostWindow.h"
#include "host/ModuleLibrary.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <functional>
#include <utility>

namespace {

QString gSkipReason;   // why there is no X session; empty when there is one

// Starts Xvfb on a display it picks itself and points the process at it.
class XServer {
public:
    bool start()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            gSkipReason = QStringLiteral("Xvfb o xdotool no están instalados (scripts/install-deps.sh los instala)");
            return false;
        }
        // Xvfb writes the display's number once it takes connections.
        m_process.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                               QStringLiteral("1280x900x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        const bool ready = m_process.waitForStarted(5000) && m_process.waitForReadyRead(15000);
        const QByteArray display = m_process.readAllStandardOutput().trimmed();
        if (!ready || display.isEmpty()) {
            gSkipReason = QStringLiteral("Xvfb no arrancó: %1").arg(m_process.errorString());
            return false;
        }
        qputenv("DISPLAY", ":" + display);
        qputenv("QT_QPA_PLATFORM", "xcb");
        return true;
    }

    ~XServer()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
    }

private:
    QProcess m_process;
};

// Runs xdotool with `arguments`; the events it sends are handled when the caller next lets Qt run.
void xdotool(const QStringList &arguments)
{
    QProcess::execute(QStringLiteral("xdotool"), arguments);
}

void clickAt(const QPoint &global, int clicks = 1)
{
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(global.x()), QString::number(global.y()),
             QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(clicks), QStringLiteral("--delay"),
             QStringLiteral("60"), QStringLiteral("1")});
}

void clickWidget(const QWidget *widget, int clicks = 1)
{
    clickAt(widget->mapToGlobal(widget->rect().center()), clicks);
}

template <class W = QWidget>
W *visibleWidget(const QString &name)
{
    for (QWidget *widget : QApplication::allWidgets())
        if (widget->objectName() == name && widget->isVisible())
            if (auto *typed = qobject_cast<W *>(widget))
                return typed;
    return nullptr;
}

// Runs `action` once, as soon as `ready` holds. Menus and dialogs run loops of their own, inside
// the click that opened them, so what a user does in them is done from a timer.
class WhenReady : public QObject {
public:
    WhenReady(std::function<bool()> ready, std::function<void()> action)
        : m_ready(std::move(ready)), m_action(std::move(action))
    {
        m_timer.setInterval(100);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (!m_ready())
                return;
            m_timer.stop();
            m_action();
            m_done = true;
        });
        m_timer.start();
    }

    bool done() const { return m_done; }

private:
    std::function<bool()> m_ready;
    std::function<void()> m_action;
    QTimer m_timer;
    bool m_done = false;
};

// The visible name field of the file dialog that is open, or null.
QLineEdit *fileDialogNameField()
{
    auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
    auto *name = dialog ? dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")) : nullptr;
    return name && name->isVisible() ? name : nullptr;
}

// Answers the file dialog as a user does: clicks its name field, waits until the field has the
// keyboard (a busy machine gives the focus late), types the path over the proposed name and
// presses Enter once the field shows it; a click or keys that got lost are tried again.
class FileDialogTyping : public QObject {
public:
    explicit FileDialogTyping(QString path) : m_path(std::move(path))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { step(); });
        m_timer.start(100);
    }

    bool done() const { return m_stage == Stage::Done; }
    QString proposedName() const { return m_proposed; }

private:
    enum class Stage { Waiting, Clicked, Typed, Done };

    void step()
    {
        QLineEdit *name = fileDialogNameField();
        if (!name || m_stage == Stage::Done)
            return;
        switch (m_stage) {
        case Stage::Waiting:
            m_proposed = name->text();
            clickAgain(name);
            break;
        case Stage::Clicked:
            if (name->hasFocus() && name->window()->isActiveWindow()) {
                xdotool({QStringLiteral("key"), QStringLiteral("ctrl+a")});
                xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("5"), m_path});
                m_stage = Stage::Typed;
                m_since.start();
            } else if (m_since.elapsed() > 3000) {
                clickAgain(name);
            }
            break;
        case Stage::Typed:
            if (name->text() == m_path) {
                xdotool({QStringLiteral("key"), QStringLiteral("Return")});
                m_stage = Stage::Done;
            } else if (m_since.elapsed() > 5000) {
                clickAgain(name);
            }
            break;
        case Stage::Done:
            break;
        }
    }

    void clickAgain(QLineEdit *name)
    {
        clickWidget(name);
        m_stage = Stage::Clicked;
        m_since.start();
    }

    QString m_path;
    QString m_proposed;
    QTimer m_timer;
    QElapsedTimer m_since;
    Stage m_stage = Stage::Waiting;
};

// Closes any message, dialog or menu that stays open for `ms` while the test waits: a click that
// went astray on a busy machine then fails the step with what was on screen (also kept as a
// screenshot), instead of holding the whole test inside that window's own loop until the run's
// time limit.
class StuckWindowGuard : public QObject {
public:
    explicit StuckWindowGuard(int ms) : m_limit(ms)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { check(); });
        m_timer.start(500);
    }

    // What was closed since the last call: each window's title and text.
    QStringList takeClosed() { return std::exchange(m_closed, {}); }
    bool closedAny() const { return !m_closed.isEmpty(); }

private:
    void check()
    {
        QWidget *open = QApplication::activeModalWidget();
        if (!open)
            open = QApplication::activePopupWidget();
        if (open != m_open) {
            m_open = open;
            m_since.start();
            return;
        }
        if (!open || m_since.elapsed() < m_limit)
            return;
        QString text = open->windowTitle();
        if (auto *box = qobject_cast<QMessageBox *>(open))
            text += QStringLiteral(": ") + box->text();
        m_closed << text;
        QGuiApplication::primaryScreen()->grabWindow(0).save(
            QDir(QStringLiteral(QACSEMAF_ARTEFACTS)).filePath(QStringLiteral("stuck-%1.png").arg(QTest::currentDataTag())));
        if (auto *dialog = qobject_cast<QDialog *>(open))
            dialog->reject();
        else
            open->close();
        m_open = nullptr;
    }

    QTimer m_timer;
    QElapsedTimer m_since;
    QPointer<QWidget> m_open;
    QStringList m_closed;
    int m_limit;
};

} // namespace

class TestXSession : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (!gSkipReason.isEmpty())
            QSKIP(qPrintable(gSkipReason));
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        m_shots = QDir(QStringLiteral(QACSEMAF_ARTEFACTS));
        QVERIFY(m_shots.mkpath(QStringLiteral(".")));
        m_module = std::make_unique<ModuleLibrary>(QStringLiteral(QACSEMAF_LIBRARY));
        QVERIFY2(m_module->load(), qPrintable(m_module->errorString()));
        m_host = std::make_unique<HostWindow>(*m_module);
        const uintptr_t handle = m_module->loadModule({QStringLiteral("local"), m_db.path(), QString(),
                                                       QStringLiteral("ADMIN"), QStringLiteral("ADMIN"),
                                                       QStringLiteral("1"), QString(), QStringLiteral("1.0.0;2026-01-01")});
        QVERIFY2(handle != 0, qPrintable(m_module->lastModuleError()));
        m_host->embed(handle);
        m_host->move(0, 0);
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
        // The status bar names the database engine the server reported at load.
        auto *engine = visibleWidget<QLabel>(QStringLiteral("StsMotor"));
        QVERIFY(engine);
        QCOMPARE(engine->text(), QStringLiteral("Motor: SQLITE"));
        shot(QStringLiteral("01-host"));
    }

    // The first click moves the plan to the node; the double click lists the position's holders
    // and leaves them in sight.
    void doubleClickListsTheHolders()
    {
        auto *tree = visibleWidget<QTreeWidget>(QStringLiteral("TreeViewCarrera"));
        QVERIFY(tree);
        const auto found = tree->findItems(QStringLiteral("DIR002 Director de Tesorería"), Qt::MatchExactly | Qt::MatchRecursive);
        QVERIFY(!found.isEmpty());
        QTreeWidgetItem *position = found.first();
        tree->scrollToItem(position);
        const QRect rect = tree->visualItemRect(position);
        QVERIFY(!rect.isEmpty());
        clickAt(tree->viewport()->mapToGlobal(rect.center()), 2);
        QTRY_VERIFY_WITH_TIMEOUT(position->childCount() > 0, 5000);
        QTest::qWait(300);   // whatever the view does after the double click has been done
        QVERIFY2(position->isExpanded(), "the double-clicked position must stay expanded");
        QTreeWidgetItem *holder = position->child(0);
        QVERIFY(!tree->visualItemRect(holder).isEmpty());
        QCOMPARE(holder->text(0), holder->text(0).trimmed());
        shot(QStringLiteral("02-tree-holders"));
    }

    void generateOnTheNode()
    {
        auto *pages = visibleWidget<QTabWidget>(QStringLiteral("PagCtrPrincipal"));
        QVERIFY(pages);
        const QRect tab = pages->tabBar()->tabRect(1);
        clickAt(pages->tabBar()->mapToGlobal(tab.center()));
        QTRY_COMPARE_WITH_TIMEOUT(pages->currentIndex(), 1, 3000);
        for (const char *name : {"ChkCompe", "ChkEduFor", "ChkEduNo", "ChkExpe"}) {
            auto *box = visibleWidget<QCheckBox>(QString::fromLatin1(name));
            QVERIFY2(box, name);
            clickWidget(box);
            QTRY_VERIFY2_WITH_TIMEOUT(box->isChecked(), name, 3000);
        }
        auto *grid = visibleWidget<QAbstractItemView>(QStringLiteral("DBGrdSemaforo"));
        QVERIFY(grid);
        clickWidget(visibleWidget(QStringLiteral("SpdBttnRefrescar")));
        QTRY_VERIFY_WITH_TIMEOUT(grid->model()->rowCount() > 0, 10000);
        // The holders of COO002 and PRO002, one level below DIR002, are the candidates.
        QCOMPARE(grid->model()->rowCount(), m_db.query(QStringLiteral(
            "SELECT COUNT(*) FROM NM_CONTR c JOIN BI_EMPLE e ON e.COD_EMPR = c.COD_EMPR AND e.COD_EMPL = c.COD_EMPL "
            "WHERE c.COD_EMPR = 1 AND c.COD_CARG IN ('COO002','PRO002') AND c.IND_ACTI = 'A'")).value(0).toInt());
        QTest::qWait(200);
        shot(QStringLiteral("03-generated"));
    }

    void previewAndExport_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("magic");
        QTest::addColumn<QString>("part");   // a member every such package holds
        QTest::newRow("PDF") << "actionExportarPdf" << "lista.pdf" << QByteArray("%PDF-") << QString();
        QTest::newRow("XLSX") << "actionExportarXlsx" << "lista.xlsx" << QByteArray("PK") << "xl/workbook.xml";
        QTest::newRow("DOCX") << "actionExportarDocx" << "lista.docx" << QByteArray("PK") << "word/document.xml";
    }

    void previewAndExport()
    {
        QFETCH(QString, action);
        QFETCH(QString, file);
        QFETCH(QByteArray, magic);
        QFETCH(QString, part);
        QMainWindow *preview = openPreview();
        QVERIFY(preview);
        QVERIFY2(!preview->windowTitle().contains(QStringLiteral("frxRptEstan")), qPrintable(preview->windowTitle()));
        QVERIFY2(preview->windowTitle().contains(QStringLiteral("Director de Tesorería")), qPrintable(preview->windowTitle()));
        auto *exportAction = preview->findChild<QAction *>(action);
        QVERIFY2(exportAction, qPrintable(action));
        // The toolbar's "Exportar" button drops down a menu of the formats.
        QToolButton *button = nullptr;
        for (QToolButton *candidate : preview->findChildren<QToolButton *>())
            if (candidate->isVisible() && candidate->menu() && candidate->menu()->actions().contains(exportAction)
                && candidate->popupMode() == QToolButton::InstantPopup)
                button = candidate;
        QVERIFY2(button, "the export formats drop down from a button of the preview's toolbar");

        const QString path = m_shots.filePath(file);
        QFile::remove(path);
        QMenu *formats = button->menu();
        // The menu is clicked once it has stayed open for a moment (it may still be placed).
        int shown = 0;
        WhenReady choose([formats, &shown] { return formats->isVisible() && ++shown > 2; },
                         [formats, exportAction] { clickAt(formats->mapToGlobal(formats->actionGeometry(exportAction).center())); });
        FileDialogTyping answer(path);
        clickWidget(button);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(path).size() > 0 || m_guard.closedAny(), 60000);
        QVERIFY2(!m_guard.closedAny(), "the menu or the file dialog did not take the clicks and keys");
        QVERIFY(choose.done() && answer.done());
        const QString proposed = answer.proposedName();
        QVERIFY2(!proposed.contains(QStringLiteral("frxRptEstan")), qPrintable(proposed));
        QVERIFY2(proposed.startsWith(QStringLiteral("Semáforo de Carrera - Director de Tesorería")), qPrintable(proposed));
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.read(magic.size()), magic);
        if (!part.isEmpty()) {
            QProcess unzip;
            unzip.start(QStringLiteral("unzip"), {QStringLiteral("-l"), path});
            QVERIFY(unzip.waitForFinished(10000));
            QVERIFY2(QString::fromUtf8(unzip.readAllStandardOutput()).contains(part), qPrintable(part));
        }
        shot(QStringLiteral("04-preview-") + QString::fromLatin1(QTest::currentDataTag()).toLower());
        preview->close();
    }

    void cleanup()
    {
        const QStringList closed = m_guard.takeClosed();
        QVERIFY2(closed.isEmpty(), qPrintable(QStringLiteral("left open and closed by the test: ") + closed.join(QStringLiteral("; "))));
    }

    void cleanupTestCase()
    {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window != m_host.get() && window->isVisible())
                window->close();
        if (m_host)
            m_host->close();
        if (m_module && m_module->moduleLoaded())
            m_module->unloadModule();
    }

private:
    // The list report's preview, opened with the master form's "Vista Previa" button.
    QMainWindow *openPreview()
    {
        QWidget *button = visibleWidget(QStringLiteral("spbPreview"));
        if (!button)
            return nullptr;
        clickWidget(button);
        QMainWindow *preview = nullptr;
        // The window found, or none when the wait runs out: the caller checks it.
        (void)QTest::qWaitFor([&] {
            for (QWidget *window : QApplication::topLevelWidgets())
                if (window->inherits("report::ReportPreview") && window->isVisible())
                    preview = qobject_cast<QMainWindow *>(window);
            return preview != nullptr;
        }, 10000);
        if (preview && QTest::qWaitForWindowExposed(preview))
            QTest::qWait(300);
        return preview;
    }

    void shot(const QString &name)
    {
        QApplication::processEvents();
        const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
        QVERIFY(!screen.isNull());
        QVERIFY(screen.save(m_shots.filePath(name + QStringLiteral(".png"))));
    }

    DemoDatabase m_db;
    StuckWindowGuard m_guard{40000};
    QDir m_shots;
    std::unique_ptr<ModuleLibrary> m_module;
    std::unique_ptr<HostWindow> m_host;
};

int main(int argc, char *argv[])
{
    XServer x;
    if (!x.start())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestXSession test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_xsession.moc"
