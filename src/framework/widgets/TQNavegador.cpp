#include "framework/widgets/TQNavegador.h"
#include "ui_TQNavegador.h"

#include "framework/widgets/DialogService.h"
#include "framework/widgets/ErrorGuard.h"
#include "framework/dataset/TDataSource.h"

#include <QToolButton>

namespace {
const TQNavegador::TNavigateBtn kOrder[] = {
    TQNavegador::nbFirst, TQNavegador::nbPrior, TQNavegador::nbNext, TQNavegador::nbLast,
    TQNavegador::nbInsert, TQNavegador::nbDelete, TQNavegador::nbEdit, TQNavegador::nbPost,
    TQNavegador::nbCancel, TQNavegador::nbRefresh};
}

TQNavegador::TQNavegador(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::TQNavegador>())
{
    ui->setupUi(this);
    m_visible = TButtonSet(0x3ff);
    for (TNavigateBtn which : kOrder)
        connect(button(which), &QToolButton::clicked, this, [this, which] { BtnClick(which); });
    setHints(defaultHints());
    updateButtons();
}

TQNavegador::~TQNavegador()
{
    if (m_dataSet)
        m_dataSet->detachLink(this);
}

QStringList TQNavegador::defaultHints()
{
    return {QStringLiteral("Primero"), QStringLiteral("Anterior"), QStringLiteral("Siguiente"),
            QStringLiteral("Ultimo"), QStringLiteral("Nuevo"), QStringLiteral("Borrar"),
            QStringLiteral("Editar"), QStringLiteral("Aplicar"), QStringLiteral("Descartar"),
            QStringLiteral("Refrescar")};
}

QToolButton *TQNavegador::button(TNavigateBtn which) const
{
    switch (which) {
    case nbFirst: return ui->nbFirst;
    case nbPrior: return ui->nbPrior;
    case nbNext: return ui->nbNext;
    case nbLast: return ui->nbLast;
    case nbInsert: return ui->nbInsert;
    case nbDelete: return ui->nbDelete;
    case nbEdit: return ui->nbEdit;
    case nbPost: return ui->nbPost;
    case nbCancel: return ui->nbCancel;
    case nbRefresh: return ui->nbRefresh;
    }
    return nullptr;
}

void TQNavegador::setDataSource(TDataSource *source)
{
    m_source = source;
    bindDataSet(source ? source->DataSet() : nullptr);
}

void TQNavegador::bindDataSet(TDataSet *dataSet)
{
    if (m_dataSet)
        m_dataSet->detachLink(this);
    m_dataSet = dataSet;
    if (m_dataSet)
        m_dataSet->attachLink(this);
    updateButtons();
}

void TQNavegador::setVisibleButtons(TButtonSet buttons)
{
    m_visible = buttons;
    for (TNavigateBtn which : kOrder)
        button(which)->setVisible(m_visible.testFlag(which));
}

void TQNavegador::setHints(const QStringList &hints)
{
    m_hints = hints;
    int i = 0;
    for (TNavigateBtn which : kOrder) {
        button(which)->setToolTip(hints.value(i));
        button(which)->setAccessibleName(hints.value(i));
        ++i;
    }
}

void TQNavegador::BtnClick(TNavigateBtn which)
{
    if (!m_dataSet || !button(which)->isEnabled())
        return;
    TDataSet *d = m_dataSet;
    ErrorGuard::run([&] {
        switch (which) {
        case nbFirst: d->First(); break;
        case nbPrior: d->Prior(); break;
        case nbNext: d->Next(); break;
        case nbLast: d->Last(); break;
        case nbInsert: d->Insert(); break;
        case nbDelete:
            if (DialogService::instance().confirm(QStringLiteral("¿Borrar el registro?")))
                d->Delete();
            break;
        case nbEdit: d->Edit(); break;
        case nbPost: d->Post(); break;
        case nbCancel: d->Cancel(); break;
        case nbRefresh:
            d->Close();
            d->Open();
            break;
        }
    });
    updateButtons();
}

void TQNavegador::dataEvent(TDataEvent, TField *)
{
    updateButtons();
}

void TQNavegador::dataSetDestroyed()
{
    m_dataSet = nullptr;
    updateButtons();
}

void TQNavegador::updateButtons()
{
    const bool browse = m_dataSet && m_dataSet->State() == dsBrowse;
    const bool editing = m_dataSet && (m_dataSet->State() == dsEdit || m_dataSet->State() == dsInsert);
    const bool rows = browse && !m_dataSet->IsEmpty();
    const bool up = rows && !m_dataSet->Bof();
    const bool down = rows && !m_dataSet->Eof();
    ui->nbFirst->setEnabled(up);
    ui->nbPrior->setEnabled(up);
    ui->nbNext->setEnabled(down);
    ui->nbLast->setEnabled(down);
    ui->nbInsert->setEnabled(browse);
    ui->nbDelete->setEnabled(rows);
    ui->nbEdit->setEnabled(rows);
    ui->nbPost->setEnabled(editing);
    ui->nbCancel->setEnabled(editing);
    ui->nbRefresh->setEnabled(browse);
}
