#include "ui/MainFormDriver.h"

#include "data/DAcSemaf.h"
#include "framework/Exceptions.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/widgets/TQsCmbCodigo.h"
#include "ui/UAcSemaf.h"

#include <QApplication>
#include <QPushButton>
#include <QCheckBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

MainFormDriver::MainFormDriver(const Session &session)
{
    DtmAcSemaf = new TDtmAcSemaf;
    DtmAcSemaf->AfterConstruction();
    m_form = new TFrmAcSemaf(session);
    m_form->resize(1000, 640);
    m_form->AfterConstruction();
    m_form->DCOMCnction->VerificarSesion();
    m_form->showStatus();   // the engine is known once the server has answered
    m_form->show();
    throwShownMessages();
}

MainFormDriver::~MainFormDriver()
{
    delete m_form;
    delete DtmAcSemaf.data();
}

void MainFormDriver::throwShownMessages()
{
    const QStringList shown = m_dialogs.texts();
    m_dialogs.requests.clear();
    if (!shown.isEmpty())
        throw Exception(shown.join(QLatin1Char('\n')));
}

void MainFormDriver::chooseCompany(int company)
{
    TQsCmbCodigo *companies = m_form->cmbEmpresa;
    const int index = companies->findData(QString::number(company));
    if (index < 0)
        throw Exception(QStringLiteral("La empresa %1 no está entre las empresas del usuario.").arg(company));
    if (m_form->session().company == company)
        return;
    companies->setCurrentIndex(index);
    emit companies->activated(index);
    throwShownMessages();
}

void MainFormDriver::goToNode(int plan, int node)
{
    TDataSet &plans = DtmAcSemaf->QryAcPprom;
    if (!plans.Locate(QStringLiteral("COD_MENU;COD_NODO"), QVariantList{plan, node}))
        throw Exception(QStringLiteral("La empresa %1 no tiene el nodo %2 en el plan %3.")
                            .arg(m_form->session().company)
                            .arg(node)
                            .arg(plan));
    throwShownMessages();
    if (!m_form->TreeViewCarrera->currentItem())
        throw Exception(QStringLiteral("El árbol del plan %1 no muestra el nodo %2.").arg(plan).arg(node));
}

void MainFormDriver::tickCategories(const engine::Categories &categories)
{
    m_form->PagCtrPrincipal->setCurrentIndex(1);
    m_form->ChkEduFor->setChecked(categories.eduFor);
    m_form->ChkEduNo->setChecked(categories.eduNo);
    m_form->ChkExpe->setChecked(categories.expe);
    m_form->ChkCompe->setChecked(categories.compe);
}

void MainFormDriver::pressGenerate()
{
    m_form->PagCtrPrincipal->setCurrentIndex(1);
    m_form->SpdBttnRefrescar->click();
    throwShownMessages();
}

void MainFormDriver::savePage(const QString &page, const QString &file)
{
    const QStringList pages{QStringLiteral("ruta"), QStringLiteral("plan"), QStringLiteral("cargos"),
                            QStringLiteral("mapa")};
    const int index = pages.indexOf(page.toLower());
    if (index < 0)
        throw Exception(QStringLiteral("Página desconocida \"%1\" (ruta, plan, cargos o mapa).").arg(page));
    m_form->PagCtrPrincipal->setCurrentIndex(index);
    if (pages.at(index) == QLatin1String("mapa")) {
        // The map of the plan, with the categories ticked, as "Calcular Mapa" draws it.
        m_form->BtnCalcularMapa->click();
        throwShownMessages();
    }
    QApplication::processEvents();
    if (!m_form->grab().save(file))
        throw Exception(QStringLiteral("No se puede escribir la imagen \"%1\".").arg(file));
}

TDataSet &MainFormDriver::result() const
{
    return DtmAcSemaf->CdsAcSemaf;
}
