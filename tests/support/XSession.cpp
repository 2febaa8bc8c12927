#include "tests/support/XSession.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTableView>
#include <QtTest>

QString XServer::start()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        return QStringLiteral("Xvfb o xdotool no están instalados (scripts/install-deps.sh los instala)");
    // Xvfb writes the display's number once it takes connections.
    m_process.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                           QStringLiteral("1280x900x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    const bool ready = m_process.waitForStarted(5000) && m_process.waitForReadyRead(15000);
    const QByteArray display = m_process.readAllStandardOutput().trimmed();
    if (!ready || display.isEmpty())
        return QStringLiteral("Xvfb no arrancó: %1").arg(m_process.errorString());
    qputenv("DISPLAY", ":" + display);
    qputenv("QT_QPA_PLATFORM", "xcb");
    return {};
}

XServer::~XServer()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000))
        m_process.kill();
}

namespace xinput {

void xdotool(const QStringList &arguments)
{
    QProcess::execute(QStringLiteral("xdotool"), arguments);
}

void clickAt(const QPoint &global, int clicks, int button)
{
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(global.x()), QString::number(global.y()),
             QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(clicks), QStringLiteral("--delay"),
             QStringLiteral("60"), QString::number(button)});
}

void clickWidget(const QWidget *widget, int clicks, int button)
{
    clickAt(widget->mapToGlobal(widget->rect().center()), clicks, button);
}

void clickCell(QAbstractItemView *view, int row, int column, int clicks, int button)
{
    const QModelIndex index = view->model()->index(row, column);
    view->scrollTo(index);
    QApplication::processEvents();
    clickAt(view->viewport()->mapToGlobal(view->visualRect(index).center()), clicks, button);
}

void clickHeader(QAbstractItemView *view, int column)
{
    auto *table = qobject_cast<QTableView *>(view);
    if (!table)
        return;
    QHeaderView *header = table->horizontalHeader();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    clickAt(header->viewport()->mapToGlobal(QPoint(x, header->height() / 2)));
}

void key(const QString &keys)
{
    xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("30"), keys});
}

void type(const QString &text)
{
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
}

} // namespace xinput

QWidget *findVisibleWidget(const QString &name, const char *className, const QWidget *inside)
{
    for (QWidget *widget : QApplication::allWidgets())
        if (widget->objectName() == name && widget->isVisible() && widget->inherits(className)
            && (!inside || inside == widget || inside->isAncestorOf(widget)))
            return widget;
    return nullptr;
}

QWidget *visibleWindowOf(const char *className)
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->inherits(className) && window->isVisible())
            return window;
    return nullptr;
}

Script::Script(int timeoutMs) : m_timeout(timeoutMs)
{
    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
}

Script &Script::then(const QString &name, std::function<bool()> ready, std::function<void()> action)
{
    m_steps.append({name, std::move(ready), std::move(action)});
    return *this;
}

Script &Script::after(int ms, const QString &name, std::function<void()> action)
{
    auto since = std::make_shared<QElapsedTimer>();
    return then(
        name,
        [since, ms] {
            if (!since->isValid())
                since->start();
            return since->elapsed() >= ms;
        },
        std::move(action));
}

void Script::start()
{
    m_since.start();
    m_timer.start();
}

void Script::poll()
{
    // An action that waits lets the timer fire inside it: the next step waits for it to end.
    if (m_busy)
        return;
    if (finished()) {
        m_timer.stop();
        return;
    }
    const Step &step = m_steps.at(m_next);
    if (!step.ready()) {
        if (m_since.elapsed() > m_timeout) {
            m_failure = QStringLiteral("no llegó a: ") + step.name;
            m_timer.stop();
        }
        return;
    }
    ++m_next;
    m_since.start();
    // Actions send input and may wait for its effect; a window it opens runs its loop after the
    // action, and the timer keeps firing inside it.
    const std::function<void()> action = step.action;
    m_busy = true;
    action();
    m_busy = false;
}

bool chooseInCombo(QComboBox *combo, int index, int timeoutMs)
{
    if (!combo || index < 0 || index >= combo->count())
        return false;
    xinput::clickWidget(combo);
    QAbstractItemView *list = combo->view();
    // The list is clicked once it has stayed open for a moment (it may still be placed).
    if (!QTest::qWaitFor([list] { return list->isVisible(); }, timeoutMs))
        return false;
    QTest::qWait(250);
    const QModelIndex item = list->model()->index(index, combo->modelColumn(), combo->rootModelIndex());
    list->scrollTo(item);
    QApplication::processEvents();
    xinput::clickAt(list->viewport()->mapToGlobal(list->visualRect(item).center()));
    return QTest::qWaitFor([list] { return !list->isVisible(); }, timeoutMs);
}

// The visible name field of the file dialog that is open, or null.
static QLineEdit *fileDialogNameField()
{
    auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
    auto *name = dialog ? dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")) : nullptr;
    return name && name->isVisible() ? name : nullptr;
}

FileDialogTyping::FileDialogTyping(QString path) : m_path(std::move(path))
{
    connect(&m_timer, &QTimer::timeout, this, [this] { step(); });
    m_timer.start(100);
}

void FileDialogTyping::step()
{
    QLineEdit *name = fileDialogNameField();
    if (!name || m_stage == Stage::Done)
        return;
    switch (m_stage) {
    case Stage::Waiting: {
        m_proposed = name->text();
        QWidget *dialog = name->window();
        for (QPushButton *button : dialog->findChildren<QPushButton *>())
            if (button->isVisible() && !button->text().isEmpty())
                m_texts << button->text();
        for (QLabel *label : dialog->findChildren<QLabel *>())
            if (label->isVisible() && !label->text().isEmpty())
                m_texts << label->text();
        clickAgain(name);
        break;
    }
    case Stage::Clicked:
        if (name->hasFocus() && name->window()->isActiveWindow()) {
            xinput::key(QStringLiteral("ctrl+a"));
            xinput::xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("5"), m_path});
            m_stage = Stage::Typed;
            m_since.start();
        } else if (m_since.elapsed() > 3000) {
            clickAgain(name);
        }
        break;
    case Stage::Typed:
        if (name->text() == m_path) {
            xinput::key(QStringLiteral("Return"));
            m_stage = Stage::Done;
        } else if (m_since.elapsed() > 5000) {
            clickAgain(name);
        }
        break;
    case Stage::Done:
        break;
    }
}

void FileDialogTyping::clickAgain(QLineEdit *name)
{
    xinput::clickWidget(name);
    m_stage = Stage::Clicked;
    m_since.start();
}

StuckWindowGuard::StuckWindowGuard(int ms, QString shotFolder) : m_shotFolder(std::move(shotFolder)), m_limit(ms)
{
    connect(&m_timer, &QTimer::timeout, this, [this] { check(); });
    m_timer.start(500);
}

QStringList StuckWindowGuard::takeClosed()
{
    return std::exchange(m_closed, {});
}

void StuckWindowGuard::check()
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
    saveScreenshot(m_shotFolder, QStringLiteral("stuck-%1-%2").arg(QString::fromLatin1(QTest::currentTestFunction()),
                                                                    QString::fromLatin1(QTest::currentDataTag())));
    if (auto *dialog = qobject_cast<QDialog *>(open))
        dialog->reject();
    else
        open->close();
    m_open = nullptr;
}

bool saveScreenshot(const QString &folder, const QString &name)
{
    QApplication::processEvents();
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen && screen->grabWindow(0).save(QDir(folder).filePath(name + QStringLiteral(".png")));
}
