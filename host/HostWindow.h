#pragma once
// The host's main window: embeds the module's window and passes its own size changes on. Its
// "Sesión" menu offers "Cambiar contraseña…" while the module is open, and it answers the
// module's request for the password when the server ended the session ("Sesión terminada").

#include <QMainWindow>

#include <memory>

class QAction;
class LoginWindow;
class ModuleLibrary;
struct SessionArguments;

class HostWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HostWindow(ModuleLibrary &module, QWidget *parent = nullptr);
    ~HostWindow() override;

    // Loads the module with `session` and embeds its window: empty on success, else the
    // module's message.
    QString open(const SessionArguments &session);
    // The login window that opens the module here with the session it gets (`base`: the place,
    // options and client version) and shows this window once the module is open.
    std::unique_ptr<LoginWindow> loginWindow(const SessionArguments &base);
    // Puts the module's window (by native handle) into the host's central area.
    void embed(uintptr_t handle);
    // "Cambiar contraseña…": the dialog, then the module changes the password.
    void changePassword();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    ModuleLibrary &m_module;
    QWidget *m_area = nullptr;
    QAction *m_changePassword = nullptr;
    QString m_user;
};
