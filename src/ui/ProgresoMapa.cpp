#include "ui/ProgresoMapa.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace {

const int kEsperaDialogoMs = 500;

} // namespace

ProgresoMapa::ProgresoMapa(QWidget *ventana) : m_ventana(ventana)
{
    m_reloj.start();
}

ProgresoMapa::~ProgresoMapa() = default;

std::function<void(int, int)> ProgresoMapa::avance()
{
    return [this](int hechos, int total) { informar(hechos, total); };
}

std::function<void()> ProgresoMapa::lectura()
{
    return [this] { informar(0, m_total); };
}

void ProgresoMapa::informar(int hechos, int total)
{
    m_total = total;
    if (!m_dialogo && m_reloj.elapsed() < kEsperaDialogoMs)
        return;
    if (!m_dialogo) {
        m_dialogo = std::make_unique<QProgressDialog>(m_ventana);
        m_dialogo->setObjectName(QStringLiteral("PrgMapaSucesion"));
        m_dialogo->setWindowTitle(QStringLiteral("Mapa de Sucesión"));
        m_dialogo->setCancelButtonText(QStringLiteral("Cancelar"));
        m_dialogo->setWindowModality(Qt::WindowModal);
        m_dialogo->setMinimumDuration(0);
        m_dialogo->setAutoReset(false);
        m_dialogo->setAutoClose(false);
        m_dialogo->show();
    }
    m_dialogo->setMaximum(qMax(total, 1));
    m_dialogo->setValue(qBound(0, hechos, qMax(total, 1)));
    m_dialogo->setLabelText(hechos == 0 ? QStringLiteral("Leyendo los datos de los %1 nodos del plan...").arg(total)
                                        : QStringLiteral("Calculando el mapa de sucesión: %1 de %2 nodos...")
                                              .arg(hechos).arg(total));
    // The dialog is window-modal: the user can reach its button and nothing of the form.
    QCoreApplication::processEvents();
    if (m_dialogo->wasCanceled())
        m_cancelado = true;
}
