#include "ui/QuePasariaBrechas.h"

#include "engine/SuccessionSchema.h"
#include "framework/widgets/ErrorGuard.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QString textoResultado(const engine::EmployeeScore &puntaje)
{
    const QString banda = engine::bandName(engine::band(puntaje.percentage));
    return QLocale().toString(puntaje.percentage, 'f', 2) + QStringLiteral(" % ") + banda.left(1).toUpper()
        + banda.mid(1);
}

// The requirement and its detail, then the key the command line takes.
QString textoBrecha(const engine::RequirementGap &brecha)
{
    QStringList partes;
    for (const QString &parte : {brecha.requirementName.trimmed(), brecha.detailName.trimmed()})
        if (!parte.isEmpty())
            partes << parte;
    const QString clave = engine::gapKeyText({brecha.codRequ, brecha.codEspe, brecha.tipRegi});
    return partes.isEmpty() ? clave : partes.join(QStringLiteral(" - ")) + QStringLiteral(" (") + clave + QLatin1Char(')');
}

} // namespace

QuePasariaBrechas::QuePasariaBrechas(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("QuePasariaBrechas"));
    auto *titulo = new QLabel(QStringLiteral("¿Y si cerrara brechas? Candidato:"), this);
    CmbCandidato = new QComboBox(this);
    CmbCandidato->setObjectName(QStringLiteral("CmbCandidato"));
    LstBrechasCandidato = new QListWidget(this);
    LstBrechasCandidato->setObjectName(QStringLiteral("LstBrechasCandidato"));
    LblGenerado = new QLabel(this);
    LblGenerado->setObjectName(QStringLiteral("LblGenerado"));
    LblQuePasaria = new QLabel(this);
    LblQuePasaria->setObjectName(QStringLiteral("LblQuePasaria"));
    LblQuePasaria->setStyleSheet(QStringLiteral("font-weight: bold"));
    for (QLabel *linea : {LblGenerado, LblQuePasaria})
        linea->setWordWrap(true);   // the panel is narrow: the band goes to a second line
    auto *lyt = new QVBoxLayout(this);
    lyt->setContentsMargins(0, 0, 0, 0);
    // The figures above the gaps, so that a short page still shows them.
    LstBrechasCandidato->setMinimumHeight(60);
    lyt->addWidget(titulo);
    lyt->addWidget(CmbCandidato);
    lyt->addWidget(LblGenerado);
    lyt->addWidget(LblQuePasaria);
    lyt->addWidget(LstBrechasCandidato, 1);
    ErrorGuard::connect(CmbCandidato, &QComboBox::currentIndexChanged, this,
                        [this](int indice) { elegirCandidato(indice); });
    ErrorGuard::connect(LstBrechasCandidato, &QListWidget::itemChanged, this,
                        [this](QListWidgetItem *) { recalcular(); });
    mostrarNodo(nullptr);
}

void QuePasariaBrechas::mostrarNodo(const engine::NodeSuccession *nodo)
{
    const QSignalBlocker bloqueo(CmbCandidato);
    CmbCandidato->clear();
    m_nodo.reset();
    if (nodo && !nodo->rows.isEmpty()) {
        m_nodo = *nodo;
        CmbCandidato->addItem(QStringLiteral("(elija un candidato del nodo %1)").arg(nodo->node));
        for (const engine::SuccessionCandidate &fila : nodo->rows)
            CmbCandidato->addItem(QStringLiteral("%1 %2 (%3)")
                                      .arg(fila.employee.codEmplText, fila.fullName(), textoResultado(fila.score)));
    }
    CmbCandidato->setEnabled(m_nodo.has_value());
    olvidarCandidato();
}

void QuePasariaBrechas::olvidarCandidato()
{
    m_candidato.reset();
    const QSignalBlocker bloqueo(LstBrechasCandidato);
    LstBrechasCandidato->clear();
    LblGenerado->clear();
    LblQuePasaria->clear();
}

void QuePasariaBrechas::elegirCandidato(int indice)
{
    olvidarCandidato();
    if (!m_nodo || indice < 1 || indice > m_nodo->rows.size() || !m_lector)
        return;
    m_candidato = m_lector(m_nodo->node, m_nodo->rows.at(indice - 1));
    const QSignalBlocker bloqueo(LstBrechasCandidato);
    const engine::RequirementGaps &brechas = m_candidato->whatIf.gaps();
    for (int i = 0; i < brechas.size(); ++i) {
        auto *item = new QListWidgetItem(textoBrecha(brechas.at(i)), LstBrechasCandidato);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setData(Qt::UserRole, i);
        item->setToolTip(engine::gapCategoryCaption(brechas.at(i).categoryName) + QStringLiteral(": ") + item->text()
                         + QStringLiteral("\nCumplimiento: ") + QLocale().toString(brechas.at(i).averageFulfilment, 'f', 2)
                         + QStringLiteral(" %"));
    }
    if (brechas.isEmpty())
        LstBrechasCandidato->addItem(QStringLiteral("El candidato no tiene brechas en este nodo."));
    LblGenerado->setText(QStringLiteral("Semáforo generado: ") + textoResultado(m_candidato->whatIf.score()));
    recalcular();
}

void QuePasariaBrechas::recalcular()
{
    if (!m_candidato)
        return;
    QVector<int> cerradas;
    for (int fila = 0; fila < LstBrechasCandidato->count(); ++fila) {
        const QListWidgetItem *item = LstBrechasCandidato->item(fila);
        if (item->checkState() == Qt::Checked)
            cerradas << item->data(Qt::UserRole).toInt();
    }
    LblQuePasaria->setText(QStringLiteral("Con las brechas marcadas: ")
                           + textoResultado(m_candidato->whatIf.score(cerradas)));
}
