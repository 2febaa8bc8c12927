// The main form's career tree and plan fields: building the tree from the plan, the clicks that
// move the plan and list employees, the target position and candidate lists it yields, the
// look-up buttons and the position chooser.

#include "ui/UAcSemaf.h"

#include "data/DAcSemaf.h"
#include "framework/Exceptions.h"
#include "framework/widgets/TQPField.h"
#include "ui/LookupStatement.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStyle>
#include <QTreeWidget>

namespace {

const int kImagenEmpleado = 2;

// Appends a quoted code to a list of the form 'A01','B07'.
void agregarCodigo(QString &lista, const QString &codigo)
{
    lista += (lista.isEmpty() ? QString() : QStringLiteral(",")) + QLatin1Char('\'') + codigo + QLatin1Char('\'');
}

} // namespace

QTreeWidgetItem *TFrmAcSemaf::agregarNodo(QTreeWidgetItem *padre, const QString &titulo, const QString &codCarg,
                                          const QString &codEmca, const QVariant &codEmpl, int imagen)
{
    auto *nodo = padre ? new QTreeWidgetItem(padre) : new QTreeWidgetItem(TreeViewCarrera);
    nodo->setText(0, titulo);
    nodo->setData(0, RolCodCarg, codCarg);
    nodo->setData(0, RolTipNodo, codEmpl.isNull() ? QStringLiteral("C") : QStringLiteral("E"));
    nodo->setData(0, RolCodEmpl, codEmpl);
    nodo->setData(0, RolCodEmca, codEmca);
    nodo->setData(0, RolImagen, imagen);
    const QStyle::StandardPixmap iconos[] = {QStyle::SP_DirHomeIcon, QStyle::SP_FileIcon, QStyle::SP_DialogYesButton};
    nodo->setIcon(0, style()->standardIcon(iconos[imagen]));
    return nodo;
}

void TFrmAcSemaf::GenerarArbolCarrera()
{
    if (!DtmAcSemaf || !DtmAcSemaf->QryAcPprom.Active())
        return;
    TDataSet &plan = DtmAcSemaf->QryAcPprom;
    TField *menu = plan.FieldByName(QStringLiteral("cod_menu"));
    if (menu->IsNull())
        return;
    const QVariant dibujado = DtmAcSemaf->gVrCodMenu;
    if (dibujado.isNull() || dibujado.toInt() != menu->AsInteger()) {
        DtmAcSemaf->gVrCodMenu = menu->AsInteger();
        limpiarMapa();  // the map and its marks belong to the tree being replaced
        TreeViewCarrera->clear();
        ListaNivNodos.clear();
        ListaNodos.clear();
        ListaNivNodos << agregarNodo(nullptr, plan.FieldByName(QStringLiteral("nom_menu"))->AsString(),
                                     plan.FieldByName(QStringLiteral("cod_carg"))->AsString(),
                                     plan.FieldByName(QStringLiteral("cod_emca"))->AsString(), QVariant(), 0);
        ListaNodos << QStringLiteral("0");

        DtmAcSemaf->AbrirQueryGrafico();
        TDataSet &nodos = DtmAcSemaf->QryGrafico;
        TField *empresa = nodos.FieldByName(QStringLiteral("cod_emca"));
        TField *cargo = nodos.FieldByName(QStringLiteral("cod_carg"));
        TField *padreCodigo = nodos.FieldByName(QStringLiteral("cod_nodp"));
        TField *nodo = nodos.FieldByName(QStringLiteral("cod_nodo"));
        QTreeWidgetItem *padre = ListaNivNodos.first();
        int padreAnterior = 0;
        for (nodos.First(); !nodos.Eof(); nodos.Next()) {
            if (padreCodigo->AsInteger() != padreAnterior) {
                padreAnterior = padreCodigo->AsInteger();
                const int indice = ListaNodos.indexOf(QString::number(padreAnterior));
                if (indice >= 0)
                    padre = ListaNivNodos.at(indice);
            }
            const QVariant nombre = DtmAcSemaf->QryBiCargo.Lookup(
                QStringLiteral("cod_empr;cod_carg"), QVariantList{empresa->AsVariant(), cargo->AsVariant()},
                QStringLiteral("nom_carg"));
            const QString texto = nombre.isNull() ? QStringLiteral("NO EXISTE EN BASE DE DATOS") : nombre.toString();
            ListaNivNodos << agregarNodo(padre, cargo->AsString() + QLatin1Char(' ') + texto, cargo->AsString(),
                                         empresa->AsString(), QVariant(), 1);
            ListaNodos << QString::number(nodo->AsInteger());
        }
    }

    const int indice = ListaNodos.indexOf(QString::number(plan.FieldByName(QStringLiteral("cod_nodo"))->AsInteger()));
    if (indice < 0)
        return;
    // Not while the row is edited: the notice of an edit that typing began would take the focus
    // from the edit being typed into.
    if (TreeViewCarrera->isVisible() && TreeViewCarrera->isEnabled() && plan.State() == dsBrowse)
        TreeViewCarrera->setFocus();
    // The rules empty the tree without touching the lists: an empty tree selects nothing.
    if (TreeViewCarrera->topLevelItemCount() > 0 && indice < ListaNivNodos.size()) {
        TreeViewCarrera->setCurrentItem(ListaNivNodos.at(indice));
        TreeViewCarrera->scrollToItem(ListaNivNodos.at(indice));  // opens the branches above it
    }
}

// No tree, no target and no candidates: the next drawing request builds the tree anew.
void TFrmAcSemaf::olvidarArbol()
{
    TreeViewCarrera->clear();
    ListaNivNodos.clear();
    ListaNodos.clear();
    CargoAspira.clear();
    EmpreAspira.clear();
    CargoActual.clear();
    EmpCaActual.clear();
    if (DtmAcSemaf)
        DtmAcSemaf->gVrCodMenu = QVariant();
}

void TFrmAcSemaf::TreeViewCarreraClick()
{
    if (!DtmAcSemaf || dtsFrm.State() != dsBrowse)
        return;
    gBoClickArbol = true;
    TDataSet &plan = DtmAcSemaf->QryAcPprom;
    const int indice = ListaNivNodos.indexOf(TreeViewCarrera->currentItem());
    if (indice >= 0)
        plan.Locate(QStringLiteral("cod_menu;cod_nodo"),
                    QVariantList{plan.FieldByName(QStringLiteral("cod_menu"))->AsVariant(), ListaNodos.at(indice).toInt()});
    edtEdtNmbCarg->setText(plan.FieldByName(QStringLiteral("COD_EMPR"))->AsString() + QLatin1Char('-')
                           + plan.FieldByName(QStringLiteral("COD_CARG"))->AsString() + QLatin1Char('*')
                           + plan.FieldByName(QStringLiteral("DtfNmbCargo"))->AsString());
}

// Deletes the employee children of `nodo`, one at a time from the first, until none is left.
void TFrmAcSemaf::eliminarEmpleados(QTreeWidgetItem *nodo)
{
    if (!nodo)
        return;
    bool borrado = true;
    while (borrado) {
        borrado = false;
        for (int i = 0; i < nodo->childCount(); ++i) {
            QTreeWidgetItem *hijo = nodo->child(i);
            if (hijo->childCount() > 0)
                eliminarEmpleados(hijo);
            if (hijo->data(0, RolImagen).toInt() == kImagenEmpleado) {
                delete hijo;
                borrado = true;
                break;
            }
        }
    }
}

void TFrmAcSemaf::TreeViewCarreraDblClick()
{
    if (!DtmAcSemaf || dtsFrm.State() != dsBrowse)
        return;
    QTreeWidgetItem *seleccionado = TreeViewCarrera->currentItem();
    const int indice = ListaNivNodos.indexOf(seleccionado);
    QTreeWidgetItem *arriba = TreeViewCarrera->itemAt(0, 0);
    eliminarEmpleados(arriba ? arriba : TreeViewCarrera->topLevelItem(0));
    if (indice < 0)
        return;
    eliminarEmpleados(seleccionado->parent());
    if (seleccionado->childCount() > 0)
        eliminarEmpleados(seleccionado->child(0));
    eliminarEmpleados(seleccionado);

    TDataSet &plan = DtmAcSemaf->QryAcPprom;
    SClientDataSet &contratos = DtmAcSemaf->QryNmContr;
    contratos.Close();
    contratos.ParamByName(QStringLiteral("COD_EMPR"))->setAsSmallInt(plan.FieldByName(QStringLiteral("COD_EMCA"))->AsInteger());
    contratos.ParamByName(QStringLiteral("COD_CARG"))->setAsString(plan.FieldByName(QStringLiteral("COD_CARG"))->AsString());
    contratos.Open();
    for (contratos.First(); !contratos.Eof(); contratos.Next()) {
        const auto texto = [&](const char *campo) { return contratos.FieldByName(QLatin1String(campo))->AsString().trimmed(); };
        agregarNodo(seleccionado, texto("APE_EMPL") + QLatin1Char(' ') + texto("NOM_EMPL"), texto("cod_carg"),
                    texto("cod_empr"), contratos.FieldByName(QStringLiteral("cod_empl"))->AsVariant(), kImagenEmpleado);
    }
    // The tree does not toggle a node on a double click itself (UAcSemaf.ui): the node stays open.
    seleccionado->setExpanded(true);
    TreeViewCarrera->expandRecursively(TreeViewCarrera->indexFromItem(seleccionado));
    contratos.First();
}

void TFrmAcSemaf::GetCargo(QTreeWidgetItem *ANode)
{
    CargoAspira = DtmAcSemaf->QryAcPprom.FieldByName(QStringLiteral("COD_CARG"))->AsString();
    EmpreAspira = ANode ? ANode->data(0, RolCodEmca).toString() : QString();
}

void TFrmAcSemaf::GetNextChild(QTreeWidgetItem *ANode)
{
    if (!ANode)
        return;
    const bool raiz = !TreeViewCarrera->currentItem() || !TreeViewCarrera->currentItem()->parent();
    for (int i = 0; i < ANode->childCount(); ++i) {
        QTreeWidgetItem *hijo = ANode->child(i);
        if (!hijo->data(0, RolCodEmpl).toString().isEmpty())
            continue;
        const QString codCarg = hijo->data(0, RolCodCarg).toString();
        if (!raiz && (codCarg == CargoAspira || hijo->data(0, RolTipNodo).toString() != QLatin1String("C")))
            continue;
        agregarCodigo(CargoActual, codCarg);
        agregarCodigo(EmpCaActual, hijo->data(0, RolCodEmca).toString());
    }
}

void TFrmAcSemaf::QPField1Click()
{
    if (dtsFrm.State() != dsEdit && dtsFrm.State() != dsInsert)
        return;
    const int empresa = session().company;
    if (empresa != 0)
        useStatement(*QPField1, QStringLiteral("ListaPlanes"), {{QStringLiteral("empresa"), empresa}});
    else
        useStatement(*QPField1, QStringLiteral("ListaPlanesTodas"));
    QPField1->Variables = {QStringLiteral("cod_menu"), QStringLiteral("nom_menu")};
    QPField1->Destino = {QStringLiteral("cod_menu"), QStringLiteral("nom_menu")};
    QPField1->Titulos = {QStringLiteral("Menu"), QStringLiteral("Descripción Menu")};
    QPField1->Titulo = QStringLiteral(" Lista de Valores");
    QPField1->Ejecutar();
}

void TFrmAcSemaf::QPField2Click()
{
    if (dtsFrm.State() != dsEdit && dtsFrm.State() != dsInsert)
        return;
    TField *menu = DtmAcSemaf->QryAcPprom.FieldByName(QStringLiteral("COD_MENU"));
    if (menu->IsNull())
        throw Exception(QStringLiteral("Primero Debe Seleccionar ") + menu->DisplayName());
    const int empresa = session().company;
    if (empresa != 0)
        useStatement(*QPField2, QStringLiteral("ListaNodos"),
                      {{QStringLiteral("empresa"), empresa}, {QStringLiteral("menu"), menu->AsInteger()}});
    else
        useStatement(*QPField2, QStringLiteral("ListaNodosTodas"), {{QStringLiteral("menu"), menu->AsInteger()}});
    QPField2->Variables = {QStringLiteral("cod_nodo")};
    QPField2->Destino = {QStringLiteral("cod_nodp")};
    QPField2->Titulos = {QStringLiteral("Cargo"), QStringLiteral("Descripción"), QStringLiteral("Nodo"),
                         QStringLiteral("Nodo Padre")};
    QPField2->Titulo = QStringLiteral(" Lista de Valores");
    QPField2->Ejecutar();
}

// The chosen list item gives the node's position and the company that owns it.
void TFrmAcSemaf::cmbEmpCargChange()
{
    edtEdtNmbCarg->clear();
    const QString item = cmbEmpCarg->currentText();
    if (!DtmAcSemaf || item.isEmpty())
        return;
    TDataSet &plan = DtmAcSemaf->QryAcPprom;
    if (plan.State() == dsBrowse)
        plan.Edit();
    const int guion = item.indexOf(QLatin1Char('-'));
    const int asterisco = item.indexOf(QLatin1Char('*'));
    bool esNumero = false;
    const int empresa = item.left(qMax(guion, 0)).trimmed().toInt(&esNumero);
    if (!esNumero)
        throw EConvertError(QStringLiteral("'%1' no es un valor entero válido").arg(item.left(qMax(guion, 0))));
    plan.FieldByName(QStringLiteral("COD_EMCA"))->setAsInteger(empresa);
    plan.FieldByName(QStringLiteral("COD_CARG"))
        ->setAsString(asterisco > guion ? item.mid(guion + 1, asterisco - guion - 1) : QString());
    edtEdtNmbCarg->setText(cmbEmpCarg->currentText());
}

// The position text is only shown: whatever key is released in it changes nothing.
void TFrmAcSemaf::edtEdtNmbCargKeyUp(QObject *, int &, Qt::KeyboardModifiers)
{
    throw EAbort();
}
