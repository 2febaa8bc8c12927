#pragma once
// The window a workstation starts with: the application server (from the site's configuration or
// the last login), the user and the password. "Iniciar sesión" logs in and lists the companies the
// user may use (the remembered one chosen, else the first); "Entrar" opens the module in the
// chosen company. A refusal (the server's message) stays in the window and the user tries again;
// the server, user and company that opened the module are remembered for the next start.

#include "host/ModuleLibrary.h"

#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class LoginWindow;
}

class LoginWindow : public QWidget {
    Q_OBJECT
public:
    // Opens the module with a whole session; empty on success, else why not.
    using Opener = std::function<QString(const SessionArguments &)>;

    // `base`: the place (protocol, server, alias), options and client version; its server and
    // user are shown unless the last login remembered others. `open` is called by "Entrar".
    LoginWindow(const SessionArguments &base, Opener open, QWidget *parent = nullptr);
    ~LoginWindow() override;

    // The refusal or failure shown in the window; empty while there is none.
    QString message() const;

signals:
    // The module opened; the window closes right after.
    void opened();

private:
    void proceed();
    void logIn();
    void enter();
    // Editing the server, user or password asks for a new login.
    void forgetLogin();
    void showMessage(const QString &text);
    SessionArguments session() const;

    std::unique_ptr<Ui::LoginWindow> ui;
    SessionArguments m_base;
    Opener m_open;
    int m_rememberedCompany = 0;
    bool m_loggedIn = false;
};
