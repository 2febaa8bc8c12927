#pragma once
// The host's main window: embeds the module's window and passes its own size changes on.

#include <QMainWindow>

class ModuleLibrary;
struct SessionArguments;

class HostWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HostWindow(ModuleLibrary &module, QWidget *parent = nullptr);

    // Loads the module with `session` and embeds its window: empty on success, else the
    // module's message.
    QString open(const SessionArguments &session);
    // Puts the module's window (by native handle) into the host's central area.
    void embed(uintptr_t handle);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    ModuleLibrary &m_module;
    QWidget *m_area = nullptr;
};
