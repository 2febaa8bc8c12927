#include "host/HostWindow.h"

#include "framework/widgets/DialogService.h"
#include "host/ChangePasswordDialog.h"
#include "host/LoginWindow.h"
#include "host/ModuleLibrary.h"
#include "host/SessionRenewalDialog.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWindow>

HostWindow::HostWindow(ModuleLibrary &module, QWidget *parent) : QMainWindow(parent), m_module(module)
{
    setWindowTitle(QStringLiteral("Recursos Humanos"));
    m_area = new QWidget(this);
    auto *layout = new QVBoxLayout(m_area);
    layout->setContentsMargins(0, 0, 0, 0);
    setCentralWidget(m_area);
    QMenu *session = menuBar()->addMenu(QStringLiteral("&Sesión"));
    m_changePassword = session->addAction(QStringLiteral("Cambiar contraseña…"), this, &HostWindow::changePassword);
    m_changePassword->setObjectName(QStringLiteral("actCambiarContrasena"));
    m_changePassword->setEnabled(false);
    resize(1100, 760);
    m_module.setPasswordRequest([this](const QString &reason, const QString &user) {
        return SessionRenewalDialog::ask(reason, user, isVisible() ? this : nullptr);
    });
}

HostWindow::~HostWindow()
{
    m_module.setPasswordRequest({});
}

void HostWindow::changePassword()
{
    ChangePasswordDialog dialog(m_user, [this](const QString &current, const QString &next) {
        return m_module.changePassword(current, next);
    }, this);
    if (DialogService::instance().execModal(&dialog) == QDialog::Accepted)
        statusBar()->showMessage(QStringLiteral("Contraseña cambiada."), 10000);
}

QString HostWindow::open(const SessionArguments &session)
{
    const uintptr_t handle = m_module.loadModule(session);
    if (handle == 0)
        return QStringLiteral("Error al iniciar el módulo: %1").arg(m_module.lastModuleError());
    m_user = session.user;
    embed(handle);
    m_changePassword->setEnabled(true);
    return {};
}

std::unique_ptr<LoginWindow> HostWindow::loginWindow(const SessionArguments &base)
{
    auto login = std::make_unique<LoginWindow>(base, [this](const SessionArguments &chosen) { return open(chosen); });
    connect(login.get(), &LoginWindow::opened, this, &QWidget::show);
    return login;
}

void HostWindow::embed(uintptr_t handle)
{
    // A window of this process is taken as it is; a foreign one goes into a container.
    QWidget *moduleWindow = QWidget::find(WId(handle));
    if (moduleWindow) {
        moduleWindow->setParent(m_area, Qt::Widget);
    } else if (QWindow *foreign = QWindow::fromWinId(WId(handle))) {
        moduleWindow = QWidget::createWindowContainer(foreign, m_area);
    }
    if (!moduleWindow)
        return;
    m_area->layout()->addWidget(moduleWindow);
    setWindowTitle(moduleWindow->windowTitle().isEmpty() ? windowTitle() : moduleWindow->windowTitle());
    moduleWindow->show();
}

void HostWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    m_module.resize(m_area->width(), m_area->height());
}

void HostWindow::closeEvent(QCloseEvent *event)
{
    m_changePassword->setEnabled(false);
    m_module.unloadModule();
    event->accept();
}
