#pragma once
// A real X session for tests that drive the module's windows as a user does: its own Xvfb, and
// the mouse and keys sent through the X server by xdotool, so that what Qt does on its own after
// an event (a tree toggling the node it just expanded, a dialog taking the focus) is part of
// what a test sees. Menus and dialogs run event loops of their own inside the click that opened
// them; what a user does in them is done from timers (Script), and a window that stays open too
// long is closed by StuckWindowGuard so that a lost click fails a step instead of the whole run.

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

class QAbstractItemView;
class QComboBox;
class QLineEdit;

// Starts Xvfb on a display it picks itself and points the process (and the Qt it starts) at it.
class XServer {
public:
    // Empty on success, else why there is no X session.
    QString start();
    ~XServer();

private:
    QProcess m_process;
};

namespace xinput {

// Runs xdotool with `arguments`; the events it sends are handled when the caller next lets Qt run.
void xdotool(const QStringList &arguments);
void clickAt(const QPoint &global, int clicks = 1, int button = 1);
void clickWidget(const QWidget *widget, int clicks = 1, int button = 1);
// Clicks the centre of a row's cell of an item view (scrolled into sight first).
void clickCell(QAbstractItemView *view, int row, int column, int clicks = 1, int button = 1);
// Clicks the centre of a header section of an item view.
void clickHeader(QAbstractItemView *view, int column);
// Keys by their X names ("ctrl+a", "Return"), and text typed a character at a time.
void key(const QString &keys);
void type(const QString &text);

} // namespace xinput

QWidget *findVisibleWidget(const QString &name, const char *className, const QWidget *inside);

// The visible widget of that object name (and type), or null.
template <class W = QWidget>
W *visibleWidget(const QString &name, const QWidget *inside = nullptr)
{
    return static_cast<W *>(findVisibleWidget(name, W::staticMetaObject.className(), inside));
}

// The visible top-level window that inherits `className` (by name: the module's classes live in
// its library), or null.
QWidget *visibleWindowOf(const char *className);

// What a user does inside windows that run their own loops: steps run one after the other from a
// timer, each as soon as its condition holds. A step that does not become ready within `timeout`
// ends the script with the step's name as its failure.
class Script : public QObject {
public:
    explicit Script(int timeoutMs = 20000);
    // `ready` is polled every 100 ms; `action` runs once when it holds.
    Script &then(const QString &name, std::function<bool()> ready, std::function<void()> action);
    // Waits `ms` and runs `action` (for a window that must first settle).
    Script &after(int ms, const QString &name, std::function<void()> action);
    void start();

    bool finished() const { return m_next >= m_steps.size() || !m_failure.isEmpty(); }
    bool succeeded() const { return m_next >= m_steps.size() && m_failure.isEmpty(); }
    QString failure() const { return m_failure; }

private:
    struct Step {
        QString name;
        std::function<bool()> ready;
        std::function<void()> action;
    };
    void poll();

    QList<Step> m_steps;
    int m_next = 0;
    int m_timeout;
    bool m_busy = false;
    QString m_failure;
    QTimer m_timer;
    QElapsedTimer m_since;
};

// Chooses item `index` of a combo box with the mouse: a click opens its list, a click on the item
// chooses it. Returns once the click on the item was sent; the caller waits for its effect.
bool chooseInCombo(QComboBox *combo, int index, int timeoutMs = 5000);

// Answers the file dialog as a user does: clicks its name field, waits until the field has the
// keyboard (a busy machine gives the focus late), types the path over the proposed name and
// presses Enter once the field shows it; a click or keys that got lost are tried again. It keeps
// the name the dialog proposed and the texts of the dialog's buttons and labels.
class FileDialogTyping : public QObject {
public:
    explicit FileDialogTyping(QString path);

    bool done() const { return m_stage == Stage::Done; }
    QString proposedName() const { return m_proposed; }
    QStringList dialogTexts() const { return m_texts; }

private:
    enum class Stage { Waiting, Clicked, Typed, Done };
    void step();
    void clickAgain(QLineEdit *name);

    QString m_path;
    QString m_proposed;
    QStringList m_texts;
    QTimer m_timer;
    QElapsedTimer m_since;
    Stage m_stage = Stage::Waiting;
};

// Closes any message, dialog or menu that stays open for `ms` while the test waits, keeping a
// screenshot of the screen in `shotFolder` and what was closed (title and text).
class StuckWindowGuard : public QObject {
public:
    StuckWindowGuard(int ms, QString shotFolder);

    QStringList takeClosed();
    bool closedAny() const { return !m_closed.isEmpty(); }

private:
    void check();

    QTimer m_timer;
    QElapsedTimer m_since;
    QPointer<QWidget> m_open;
    QStringList m_closed;
    QString m_shotFolder;
    int m_limit;
};

// Saves the whole screen as `<folder>/<name>.png`; false when it could not.
bool saveScreenshot(const QString &folder, const QString &name);
