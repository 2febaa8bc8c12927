#pragma once
// Shows how far a succession map has come once it has run for half a second, as the traffic
// light's generation does, and lets the user cancel it: a window-modal progress dialog with a
// "Cancelar" button, fed by the run's progress calls and by each of its reads, which sets the
// run's cancel flag.

#include <QElapsedTimer>
#include <QPointer>

#include <atomic>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

class ProgresoMapa {
public:
    explicit ProgresoMapa(QWidget *ventana);
    ~ProgresoMapa();
    ProgresoMapa(const ProgresoMapa &) = delete;
    ProgresoMapa &operator=(const ProgresoMapa &) = delete;

    // What the run calls with the nodes done and the nodes to do.
    std::function<void(int done, int total)> avance();
    // What the run calls after each read, before the first node is done.
    std::function<void()> lectura();
    // The flag the run checks between nodes.
    const std::atomic_bool *cancelado() const { return &m_cancelado; }
    // Whether the dialog was ever shown (runs under half a second show nothing).
    bool mostrado() const { return m_dialogo != nullptr; }

private:
    void informar(int hechos, int total);

    QPointer<QWidget> m_ventana;
    QElapsedTimer m_reloj;
    std::atomic_bool m_cancelado{false};
    int m_total = 0;
    std::unique_ptr<QProgressDialog> m_dialogo;
};
