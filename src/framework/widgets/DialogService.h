#pragma once
// The one way the module shows message boxes, error dialogs and modal windows. In normal use each
// request becomes a real box or a modal loop; a test installs a handler that sees every request
// (its kind, title and text, or the window itself) and answers it, so nothing blocks.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QWidget;

class DialogService {
public:
    enum Kind { Information, Warning, Error, Question, Modal, SaveFile };
    // The answers a box can give; a modal window answers with its QDialog result.
    enum Answer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

    struct Request {
        Kind kind = Information;
        QString title;
        QString text;
        QDialog *dialog = nullptr;  // the window, for Modal requests
    };
    using Handler = std::function<int(const Request &)>;

    static DialogService &instance();

    // A plain notice with an OK button, titled with the application's title.
    void showMessage(const QString &text);
    void showWarning(const QString &text);
    // An error dialog with an OK button.
    void showError(const QString &text);
    // A yes/no question; true for yes.
    bool confirm(const QString &text);
    // Shows `dialog` modally and returns its result. Under a handler the window is shown,
    // handed to the handler (which drives it and closes it) and its result is returned.
    int execModal(QDialog *dialog);
    // Asks for the name of a file to write; empty when the user cancels. A test's handler
    // answers through chosenFile.
    QString chooseSaveFile(const QString &title, const QString &filter);
    QString chosenFile;

    // Replaces the real boxes; an empty handler restores them. Returns the previous one.
    Handler setHandler(Handler handler);
    bool hasHandler() const { return bool(m_handler); }

    QString applicationTitle = QStringLiteral("Semáforo de Carrera");
    QWidget *parentWindow = nullptr;  // parent of the boxes; the active window when unset

private:
    DialogService() = default;
    int ask(Kind kind, const QString &text);

    Handler m_handler;
};

// Installs a handler for the lifetime of the object and keeps what was asked, for tests.
class DialogRecorder {
public:
    // `answer` decides each reply; by default boxes get their OK or Yes and modal windows are
    // closed with their current result.
    explicit DialogRecorder(DialogService::Handler answer = {});
    ~DialogRecorder();
    DialogRecorder(const DialogRecorder &) = delete;
    DialogRecorder &operator=(const DialogRecorder &) = delete;

    QList<DialogService::Request> requests;
    QStringList texts() const;  // the texts of the boxes shown, in order

private:
    DialogService::Handler m_previous;
};
