// The data module's position lists: company or company group, the names of the positions in
// the list, and the check of a plan node's position code against the list.

#include "data/DAcSemaf.h"
#include "data/StatementCatalog.h"

#include "framework/Exceptions.h"
#include "framework/dataset/TDtmGnLibre.h"


namespace {

const QString kCrLf = QStringLiteral("\r");

QString mensajeDe(const std::exception &error)
{
    if (const auto *conMensaje = dynamic_cast<const Exception *>(&error))
        return conMensaje->Message();
    return QString::fromLocal8Bit(error.what());
}

} // namespace

// One entry per column of a plan node; only the position is checked, against look-up slot 0.
const TDtmAcSemaf::ReglaValidacion TDtmAcSemaf::kReglasValidacion[8] = {
    {"cod_empr", "Código de la Empresa", "\r", "\r"},
    {"cod_menu", "Código de Menú", "\r", "\r"},
    {"cod_nodo", "Código de Nodo", "\r", "\r"},
    {"tip_menu", "Tipo de Menú", "\r", "\r"},
    {"nom_menu", "Nombre del Menú", "\r", "\r"},
    {"cod_carg", "Código de Cargo", "L", "0"},
    {"num_anos", "Número de Años", "\r", "\r"},
    {"num_dias", "Número de Días", "\r", "\r"},
};

void TDtmAcSemaf::ValidaGrupoEmpresarial()
{
    try {
        gStGrupoEmpre = false;
        CdsTemporal->Close();
        CdsTemporal->setCommandText(QString());
        StatementCatalog::module().use(*CdsTemporal, QStringLiteral("GrupoEmpresarial"));
        CdsTemporal->ParamByName(QStringLiteral("CODEMPR"))->setAsSmallInt(currentCompany());
        CdsTemporal->Open();
        const QString grupo = CdsTemporal->IsEmpty()
                                  ? QString()
                                  : CdsTemporal->FieldByName(QStringLiteral("GRU_EMPR"))->AsString();

        gStGrupoEmpre = true;
        if (grupo == QLatin1String("S")) {
            QryBiCargo.Close();
            StatementCatalog::module().use(QryBiCargo, QStringLiteral("CargosActivos"));
            QryBiCargo.Open();
            QryEmpCarg.Close();
            StatementCatalog::module().use(QryEmpCarg, QStringLiteral("CargosActivos"));
            QryEmpCarg.Open();
        } else {
            QryBiCargo.Close();
            StatementCatalog::module().use(QryBiCargo, QStringLiteral("CargosActivosEmpresa"));
            QryBiCargo.ParamByName(QStringLiteral("CODEMPR"))->setAsSmallInt(currentCompany());
            QryBiCargo.Open();
            QryEmpCarg.Close();
            StatementCatalog::module().use(QryEmpCarg, QStringLiteral("CargosActivosEmpresaPorEmpresa"));
            DtmGnLibre->ReConsultar(&QryEmpCarg, {currentCompany()});
        }

        if (Forma) {
            QStringList items;
            TField *empresa = QryEmpCarg.FieldByName(QStringLiteral("COD_EMPR"));
            TField *cargo = QryEmpCarg.FieldByName(QStringLiteral("COD_CARG"));
            TField *nombre = QryEmpCarg.FieldByName(QStringLiteral("NOM_CARG"));
            QryEmpCarg.First();
            while (!QryEmpCarg.Eof()) {
                items << empresa->AsString() + QLatin1Char('-') + cargo->AsString() + QLatin1Char('*')
                             + nombre->AsString();
                QryEmpCarg.Next();
            }
            Forma->LlenarListaCargos(items);
        }
    } catch (const std::exception &error) {
        throw Exception(QStringLiteral("Error en ValidaGrupoEmpresarial: ") + mensajeDe(error));
    }
}

void TDtmAcSemaf::QryBiCargoCalcFields(TDataSet *DataSet)
{
    if (!gStGrupoEmpre)
        return;
    if (TField *nombre = DataSet->FindField(QStringLiteral("DftNmCargo")))
        nombre->setAsString(DataSet->FieldByName(QStringLiteral("COD_EMPR"))->AsString() + QLatin1Char('-')
                            + DataSet->FieldByName(QStringLiteral("NOM_CARG"))->AsString());
}

void TDtmAcSemaf::InicializarlArQry()
{
    m_slots[0].dataSet = &QryBiCargo;
    if (!gStGrupoEmpre)
        m_slots[0].campoParametro = QryAcPprom.FieldByName(QStringLiteral("COD_EMPR"));
}

void TDtmAcSemaf::GeneralValidate(TField *Sender)
{
    if (Sender->IsNull())
        return;
    const ReglaValidacion *regla = nullptr;
    for (const ReglaValidacion &entrada : kReglasValidacion)
        if (Sender->FieldName().compare(QLatin1String(entrada.campo), Qt::CaseInsensitive) == 0)
            regla = &entrada;
    if (!regla || QLatin1String(regla->campo) != QLatin1String("cod_carg") || QLatin1String(regla->tipo) == kCrLf)
        return;

    SlotConsulta &slot = m_slots[QString::fromLatin1(regla->slot).toInt()];
    if (!slot.dataSet)
        throw Exception(QStringLiteral("%1: la lista de validación no está preparada.")
                            .arg(QString::fromUtf8(regla->titulo)));
    if (!slot.dataSet->Active()) {
        slot.dataSet->Close();
        // A list loaded for the whole group has no parameter to receive the company.
        if (slot.campoParametro && slot.dataSet->Params().Count() > 0) {
            TParam *parametro = slot.dataSet->Params().Items(0);
            parametro->DataType = slot.campoParametro->DataType();
            parametro->setAsVariant(slot.campoParametro->AsVariant());
        }
        slot.dataSet->Open();
    }
    if (!slot.dataSet->Locate(Sender->FieldName(), Sender->AsVariant()))
        throw Exception(QString::fromUtf8(regla->titulo) + QStringLiteral(" no válido"));
}

void TDtmAcSemaf::QryNmContrAfterScroll(TDataSet *)
{
    // Moving through the position's holders needs nothing of the data module.
}
