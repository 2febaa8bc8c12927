#include "host/HostWindow.h"

#include "host/LoginWindow.h"
#include "host/ModuleLibrary.h"

#include <QCloseEvent>
#include <QVBoxLayout>
#include <QWindow>

HostWindow::HostWindow(ModuleLibrary &module, QWidget *parent) : QMainWindow(parent), m_module(module)
{
    setWindowTitle(QStringLiteral("Recursos Humanos"));
    m_area = new QWidget(this);
    auto *layout = new QVBoxLayout(m_area);
    layout->setContentsMargins(0, 0, 0, 0);
    setCentralWidget(m_area);
    resize(1100, 760);
}

QString HostWindow::open(const SessionArguments &session)
{
    const uintptr_t handle = m_module.loadModule(session);
    if (handle == 0)
        return QStringLiteral("Error al iniciar el módulo: %1").arg(m_module.lastModuleError());
    embed(handle);
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
    m_module.unloadModule();
    event->accept();
}
