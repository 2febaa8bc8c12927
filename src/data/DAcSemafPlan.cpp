// The data module's rules for plan nodes (QryAcPprom): defaults, numbering, audit columns, the
// company of a node's position, the delete guard, the calculated columns, and keeping the main
// form's tree, position combo and position text in step with the current node.

#include "data/DAcSemaf.h"
#include "data/StatementCatalog.h"

#include "framework/Exceptions.h"
#include "framework/dataset/TDtmGnLibre.h"

#include <QDateTime>

// ---- new rows, numbering, audit ----

void TDtmAcSemaf::QryAcPpromNewRecord(TDataSet *DataSet)
{
    TField *empresa = DataSet->FieldByName(QStringLiteral("COD_EMPR"));
    empresa->setAsInteger(currentCompany());
    DataSet->FieldByName(QStringLiteral("ACT_USUA"))->setAsString(CodiUsua());
    DataSet->FieldByName(QStringLiteral("ACT_HORA"))->setAsDateTime(QDateTime::currentDateTime());
    DataSet->FieldByName(QStringLiteral("ACT_ESTA"))->setAsString(QStringLiteral("A"));
    DataSet->FieldByName(QStringLiteral("COD_NODP"))->setAsInteger(0);
    DataSet->FieldByName(QStringLiteral("COD_EMCA"))->setAsVariant(empresa->AsVariant());
    reiniciarForma();
}

// A new plan row starts from a blank page: no tree, no results, no filter, no categories.
void TDtmAcSemaf::reiniciarForma()
{
    if (CdsCargUsuario.Active())
        CdsCargUsuario.EmptyDataSet();
    if (!Forma)
        return;
    Forma->LimpiarArbol();
    Forma->LimpiarFiltros();
    Forma->MostrarNombreCargo(QString());
}

void TDtmAcSemaf::QryAcPpromBeforeInsert(TDataSet *)
{
    if (Forma)
        Forma->SeleccionarCargo(-1);
}

void TDtmAcSemaf::NumerarNodo(TField *Field)
{
    if (!Field || Field->DataSet() != &QryAcPprom)
        return;
    TDataSet *plan = &QryAcPprom;
    if (Field->FieldName().compare(QLatin1String("COD_MENU"), Qt::CaseInsensitive) == 0) {
        if (Field->IsNull())
            return;
        QrySecuencial.Close();
        QrySecuencial.ParamByName(QStringLiteral("pCodEmpr"))->setAsInteger(currentCompany());
        QrySecuencial.ParamByName(QStringLiteral("pCodMenu"))->setAsInteger(Field->AsInteger());
        QrySecuencial.Open();
        TField *maximo = QrySecuencial.FieldByName(QStringLiteral("maximo"));
        TField *nodo = plan->FieldByName(QStringLiteral("COD_NODO"));
        if (maximo->IsNull()) {
            nodo->setAsInteger(0);
            // The notification of that assignment clears the row as well; without a main form
            // listening, the first row of a new plan must still become a header.
            limpiarEncabezado(plan);
        } else {
            nodo->setAsInteger(maximo->AsInteger() + 1);
        }
    } else if (Field->FieldName().compare(QLatin1String("COD_NODO"), Qt::CaseInsensitive) == 0) {
        if (!Field->IsNull() && Field->AsInteger() == 0)
            limpiarEncabezado(plan);
    }
}

// A header row has no parent, no position and no duration.
void TDtmAcSemaf::limpiarEncabezado(TDataSet *DataSet)
{
    for (const char *nombre : {"COD_NODP", "COD_CARG", "NUM_ANOS", "NUM_DIAS"}) {
        TField *field = DataSet->FieldByName(QLatin1String(nombre));
        if (!field->IsNull())
            field->Clear();
    }
}

void TDtmAcSemaf::QryAcPpromAfterEdit(TDataSet *DataSet)
{
    m_claveEdicion = {DataSet->FieldByName(QStringLiteral("COD_EMPR"))->AsVariant(), DataSet->FieldByName(QStringLiteral("COD_MENU"))->AsVariant(),
                      DataSet->FieldByName(QStringLiteral("COD_NODO"))->AsVariant()};
    DataSet->FieldByName(QStringLiteral("ACT_USUA"))->setAsString(CodiUsua());
    DataSet->FieldByName(QStringLiteral("ACT_HORA"))->setAsDateTime(QDateTime::currentDateTime());
    DataSet->FieldByName(QStringLiteral("ACT_ESTA"))->setAsString(QStringLiteral("M"));
}

// ---- save, delete, cancel ----

void TDtmAcSemaf::QryAcPpromBeforePost(TDataSet *DataSet)
{
    gVrCodMenu = QVariant();
    // Without a selected item there is no company to read, for a plan's header row as well.
    const int elegido = Forma ? Forma->IndiceCargo() : -1;
    if (elegido < 0)
        throw Exception(sinCargoElegidoMessage());
    const QString item = Forma->ListaCargos().value(elegido);
    const int guion = item.indexOf(QLatin1Char('-'));
    const QString textoEmpresa = guion < 0 ? QString() : item.left(guion);
    bool esNumero = false;
    const int empresa = textoEmpresa.trimmed().toInt(&esNumero);
    if (!esNumero)
        throw Exception(QStringLiteral("'%1' no es un valor entero válido").arg(textoEmpresa));
    DataSet->FieldByName(QStringLiteral("COD_EMCA"))->setAsInteger(empresa);
    verificarSinCiclo(DataSet);
    verificarNodoLibre(DataSet);
}

QString TDtmAcSemaf::sinCargoElegidoMessage()
{
    return QStringLiteral("Elija un cargo en la lista de \"Detalle de Cargo\" antes de guardar: la empresa del "
                          "nodo se toma del cargo elegido, también en la fila del plan (nodo 0).");
}

// A parent chain that comes back to the node being saved would hide every node of the loop from
// the tree: the save is refused, naming the nodes of the loop.
void TDtmAcSemaf::verificarSinCiclo(TDataSet *DataSet)
{
    TField *menu = DataSet->FieldByName(QStringLiteral("COD_MENU"));
    TField *nodo = DataSet->FieldByName(QStringLiteral("COD_NODO"));
    TField *padre = DataSet->FieldByName(QStringLiteral("COD_NODP"));
    if (menu->IsNull() || nodo->IsNull() || padre->IsNull() || nodo->AsInteger() == 0)
        return;
    const int propio = nodo->AsInteger();
    // The saved nodes of the plan with their parents, this row's number and parent replacing
    // what the database holds (the tree reads the plan again after the save).
    QHash<int, int> padres;
    QryGrafico.Close();
    QryGrafico.ParamByName(QStringLiteral("P_COD_EMPR"))->setAsInteger(currentCompany());
    QryGrafico.ParamByName(QStringLiteral("P_COD_MENU"))->setAsInteger(menu->AsInteger());
    QryGrafico.Open();
    TField *guardado = QryGrafico.FieldByName(QStringLiteral("cod_nodo"));
    TField *suPadre = QryGrafico.FieldByName(QStringLiteral("cod_nodp"));
    for (QryGrafico.First(); !QryGrafico.Eof(); QryGrafico.Next())
        padres.insert(guardado->AsInteger(), suPadre->AsInteger());
    if (DataSet->State() == dsEdit && m_claveEdicion.size() == 3)
        padres.remove(m_claveEdicion.at(2).toInt());
    padres.insert(propio, padre->AsInteger());

    QList<int> cadena{propio};
    int actual = padre->AsInteger();
    while (actual != 0 && padres.contains(actual) && !cadena.contains(actual)) {
        cadena << actual;
        actual = padres.value(actual);
    }
    if (actual != propio)
        return;
    if (cadena.size() == 1)
        throw Exception(QStringLiteral("El nodo %1 no puede ser su propio Nodo Padre. Elija otro Nodo Padre.")
                            .arg(propio));
    QStringList camino;
    for (int paso : cadena)
        camino << QString::number(paso);
    camino << QString::number(propio);
    throw Exception(QStringLiteral("El nodo %1 no puede tener como Nodo Padre al nodo %2, porque el nodo %2 "
                                   "depende del nodo %1 (%3). Elija otro Nodo Padre.")
                        .arg(propio)
                        .arg(padre->AsInteger())
                        .arg(camino.join(QStringLiteral(" → "))));
}

// Two users numbering nodes of one plan at the same time get the same number; the second save
// is refused here with the plan and node named, and the row stays as typed.
void TDtmAcSemaf::verificarNodoLibre(TDataSet *DataSet)
{
    const QVariantList clave = {DataSet->FieldByName(QStringLiteral("COD_EMPR"))->AsVariant(), DataSet->FieldByName(QStringLiteral("COD_MENU"))->AsVariant(),
                                DataSet->FieldByName(QStringLiteral("COD_NODO"))->AsVariant()};
    for (const QVariant &parte : clave)
        if (parte.isNull())
            return; // the server refuses an incomplete key on its own
    if (DataSet->State() == dsEdit && clave == m_claveEdicion)
        return;
    m_consultaPlan.Close();
    StatementCatalog::module().use(m_consultaPlan, QStringLiteral("NodoGuardado"));
    m_consultaPlan.ParamByName(QStringLiteral("CODEMPR"))->setAsSmallInt(clave.at(0).toInt());
    m_consultaPlan.ParamByName(QStringLiteral("CODMENU"))->setAsSmallInt(clave.at(1).toInt());
    m_consultaPlan.ParamByName(QStringLiteral("CODNODO"))->setAsSmallInt(clave.at(2).toInt());
    m_consultaPlan.Open();
    const int existentes = m_consultaPlan.FieldByName(QStringLiteral("CANTIDAD"))->AsInteger();
    m_consultaPlan.Close();
    if (existentes > 0)
        throw Exception(QStringLiteral("El nodo %1 del plan %2 ya fue guardado por otro usuario. Escriba de "
                                       "nuevo el número del plan para tomar el siguiente nodo libre y "
                                       "guarde otra vez.")
                            .arg(clave.at(2).toInt())
                            .arg(clave.at(1).toInt()));
}

void TDtmAcSemaf::QryAcPpromBeforeDelete(TDataSet *DataSet)
{
    DtmGnLibre->ReConsultar(&QryValNodo, {currentCompany(), DataSet->FieldByName(QStringLiteral("COD_MENU"))->AsVariant(),
                                          DataSet->FieldByName(QStringLiteral("COD_NODO"))->AsVariant()});
    if (!QryValNodo.IsEmpty())
        throw Exception(QStringLiteral("El nodo actual tiene nodos asociados. Por favor elimine los nodos "
                                       "asociados e intente nuevamente la operación."));
}

void TDtmAcSemaf::QryAcPpromAfterDelete(TDataSet *)
{
    if (Forma)
        Forma->LimpiarArbol();
    gVrCodMenu = 0;
    if (Forma)
        Forma->DibujarArbol();
}

void TDtmAcSemaf::QryAcPpromAfterCancel(TDataSet *DataSet)
{
    gVrCodMenu = 0;
    if (Forma)
        Forma->DibujarArbol();
    TField *cargo = DataSet->FieldByName(QStringLiteral("COD_CARG"));
    if (!cargo->IsNull())
        Buscar_Cargo(DataSet->FieldByName(QStringLiteral("COD_EMCA"))->AsInteger(), cargo->AsString());
    mostrarCargoPlan();
}

// ---- open and scroll ----

void TDtmAcSemaf::QryAcPpromAfterOpen(TDataSet *)
{
    mostrarCargoPlan();
}

void TDtmAcSemaf::QryAcPpromAfterScroll(TDataSet *DataSet)
{
    readAheadPlanRow(DataSet);
    Buscar_Cargo(DataSet->FieldByName(QStringLiteral("COD_EMCA"))->AsInteger(), DataSet->FieldByName(QStringLiteral("COD_CARG"))->AsString());
    mostrarCargoPlan();
    QryBiCargo.Open();

    QryAcCuare.Close();
    QryAcCuare.ParamByName(QStringLiteral("cod_empr"))->setAsSmallInt(currentCompany());
    QryAcCuare.ParamByName(QStringLiteral("cod_menu"))->setAsSmallInt(DataSet->FieldByName(QStringLiteral("COD_MENU"))->AsInteger());
    QryAcCuare.ParamByName(QStringLiteral("cod_nodo"))->setAsSmallInt(DataSet->FieldByName(QStringLiteral("COD_NODO"))->AsInteger());
    QryAcCuare.Open();

    QryNmContr.Close();
    QryNmContr.ParamByName(QStringLiteral("COD_EMPR"))->setAsSmallInt(currentCompany());
    QryNmContr.ParamByName(QStringLiteral("COD_CARG"))->setAsString(DataSet->FieldByName(QStringLiteral("COD_CARG"))->AsString());
    QryNmContr.Open();
}

// The position text: plan company, position code and position name of the current node.
void TDtmAcSemaf::mostrarCargoPlan()
{
    if (!Forma)
        return;
    const QString cargo = QryAcPprom.FieldByName(QStringLiteral("COD_CARG"))->AsString();
    if (cargo.isEmpty()) {
        Forma->MostrarNombreCargo(QString());
        return;
    }
    Forma->MostrarNombreCargo(QryAcPprom.FieldByName(QStringLiteral("COD_EMPR"))->AsString() + QLatin1Char('-')
                             + cargo + QLatin1Char('*')
                             + QryAcPprom.FieldByName(QStringLiteral("DtfNmbCargo"))->AsString());
}

// ---- calculated fields ----

void TDtmAcSemaf::QryAcPpromCalcFields(TDataSet *DataSet)
{
    if (m_posiciones.empresa != currentCompany())
        cargarPosicionesPlan();
    TField *cargo = DataSet->FieldByName(QStringLiteral("COD_CARG"));
    TField *empresaCargo = DataSet->FieldByName(QStringLiteral("COD_EMCA"));

    if (!cargo->IsNull()) {
        const auto encontrado = m_posiciones.cargos.constFind(cargo->AsString());
        if (encontrado != m_posiciones.cargos.constEnd()) {
            DataSet->FieldByName(QStringLiteral("DtfCodNive"))->setAsVariant(encontrado->codNive);
            DataSet->FieldByName(QStringLiteral("DtfPunRequ"))->setAsVariant(encontrado->punRequ);
            const QString nivel = encontrado->codNive.toString();
            const auto nombreNivel = m_posiciones.niveles.constFind(nivel);
            if (!nivel.isEmpty() && nombreNivel != m_posiciones.niveles.constEnd())
                DataSet->FieldByName(QStringLiteral("DtfNmbNivel"))->setAsVariant(nombreNivel.value());
        }
    }

    if (!empresaCargo->AsString().isEmpty() && !cargo->AsString().isEmpty()) {
        DataSet->FieldByName(QStringLiteral("DtfNmbCargo"))
            ->setAsString(nombresCargos(empresaCargo->AsInteger()).value(cargo->AsString()));
        // Views compute rows as they paint them; only the current row moves the main form.
        if (esFilaActualPlan(DataSet)) {
            Buscar_Cargo(empresaCargo->AsInteger(), cargo->AsString());
            mostrarCargoPlan();
        }
    }
}

// Whether the row being computed shows what the current row shows: same company, same position
// company, same position (a row with equal values moves the form to the same place).
bool TDtmAcSemaf::esFilaActualPlan(TDataSet *DataSet) const
{
    const int actual = DataSet->currentRow();
    if (actual < 0)
        return false;
    for (const char *nombre : {"COD_EMPR", "COD_EMCA", "COD_CARG"}) {
        TField *field = DataSet->FieldByName(QLatin1String(nombre));
        if (DataSet->rowValue(actual, field) != field->AsVariant())
            return false;
    }
    return true;
}

// The current company's positions (level, required score, name) and level names, in two reads.
void TDtmAcSemaf::cargarPosicionesPlan()
{
    m_posiciones.clear();
    const int empresa = currentCompany();
    QHash<QString, QString> &nombres = m_posiciones.nombres[empresa];

    m_consultaPlan.Close();
    StatementCatalog::module().use(m_consultaPlan, QStringLiteral("CargosEmpresa"));
    m_consultaPlan.ParamByName(QStringLiteral("CODEMPR"))->setAsSmallInt(empresa);
    m_consultaPlan.Open();
    TField *cargo = m_consultaPlan.FieldByName(QStringLiteral("COD_CARG"));
    TField *nivel = m_consultaPlan.FieldByName(QStringLiteral("COD_NIVE"));
    TField *puntaje = m_consultaPlan.FieldByName(QStringLiteral("PUN_REQU"));
    TField *nombre = m_consultaPlan.FieldByName(QStringLiteral("NOM_CARG"));
    for (m_consultaPlan.First(); !m_consultaPlan.Eof(); m_consultaPlan.Next()) {
        // The level code is read as the two-character column the position list declares.
        const QString codigoNivel = nivel->AsString().left(2);
        m_posiciones.cargos.insert(cargo->AsString(),
                                   {codigoNivel.isEmpty() ? QVariant() : QVariant(codigoNivel),
                                    puntaje->AsVariant()});
        nombres.insert(cargo->AsString(), nombre->AsString());
    }
    m_consultaPlan.Close();

    StatementCatalog::module().use(m_consultaPlan, QStringLiteral("NivelesEmpresa"));
    m_consultaPlan.ParamByName(QStringLiteral("CODEMPR"))->setAsSmallInt(empresa);
    m_consultaPlan.Open();
    TField *codigo = m_consultaPlan.FieldByName(QStringLiteral("COD_NIVE"));
    TField *nombreNivel = m_consultaPlan.FieldByName(QStringLiteral("NOM_NIVE"));
    for (m_consultaPlan.First(); !m_consultaPlan.Eof(); m_consultaPlan.Next())
        m_posiciones.niveles.insert(codigo->AsString(), nombreNivel->AsString().left(40));
    m_consultaPlan.Close();
    m_posiciones.empresa = empresa;
}

// Position names of one company, read the first time a node's position names that company.
const QHash<QString, QString> &TDtmAcSemaf::nombresCargos(int empresa)
{
    const auto conocidos = m_posiciones.nombres.constFind(empresa);
    if (conocidos != m_posiciones.nombres.constEnd())
        return conocidos.value();
    QHash<QString, QString> nombres;
    m_consultaPlan.Close();
    StatementCatalog::module().use(m_consultaPlan, QStringLiteral("NombresCargos"));
    m_consultaPlan.ParamByName(QStringLiteral("CODEMPR"))->setAsSmallInt(empresa);
    m_consultaPlan.Open();
    TField *cargo = m_consultaPlan.FieldByName(QStringLiteral("COD_CARG"));
    TField *nombre = m_consultaPlan.FieldByName(QStringLiteral("NOM_CARG"));
    for (m_consultaPlan.First(); !m_consultaPlan.Eof(); m_consultaPlan.Next())
        nombres.insert(cargo->AsString(), nombre->AsString());
    m_consultaPlan.Close();
    return m_posiciones.nombres.insert(empresa, nombres).value();
}

TDtmAcSemaf::VigiaPlan::VigiaPlan(TDtmAcSemaf *owner, TDataSet *plan) : m_owner(owner), m_plan(plan)
{
    m_plan->attachLink(this);
}

TDtmAcSemaf::VigiaPlan::~VigiaPlan()
{
    if (m_plan)
        m_plan->detachLink(this);
}

// A closed plan forgets the positions it read: the next open reads them again.
void TDtmAcSemaf::VigiaPlan::dataEvent(TDataEvent event, TField *)
{
    if (event == TDataEvent::UpdateState && m_plan && !m_plan->Active())
        m_owner->m_posiciones.clear();
}

// ---- look-ups ----

void TDtmAcSemaf::Buscar_Cargo(int cod_empr, const QString &Cod_carg)
{
    if (!Forma)
        return;
    const QString empresa = QString::number(cod_empr);
    const QStringList items = Forma->ListaCargos();
    for (int i = 0; i < items.size(); ++i) {
        const QString &item = items.at(i);
        const int guion = item.indexOf(QLatin1Char('-'));
        const QString parteEmpresa = guion < 0 ? QString() : item.left(guion);
        if (parteEmpresa != empresa)
            continue;
        const int asterisco = item.indexOf(QLatin1Char('*'));
        const QString parteCargo = asterisco > guion ? item.mid(guion + 1, asterisco - guion - 1) : QString();
        if (parteCargo == Cod_carg) {
            Forma->SeleccionarCargo(i);
            return;
        }
    }
}

bool TDtmAcSemaf::BuscarEnLista(const QStringList &listaCadena, const QString &lstvalor)
{
    for (const QString &item : listaCadena)
        if (item == lstvalor)
            return true;
    return false;
}

void TDtmAcSemaf::AbrirQueryGrafico()
{
    QryGrafico.Close();
    QryGrafico.ParamByName(QStringLiteral("P_COD_EMPR"))->setAsInteger(currentCompany());
    QryGrafico.ParamByName(QStringLiteral("P_COD_MENU"))->setAsInteger(gVrCodMenu.toInt());
    QryGrafico.Open();
}
