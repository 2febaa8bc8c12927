// The data module's competence report: per requirement of the selected node's position, the
// required score, the score the employee under the result cursor obtained and the percentage,
// into the detail table CdsDtpcaRep that the report and its chart print.

#include "data/DAcSemaf.h"

#include "engine/DataSetRules.h"
#include "framework/DisplayFormatter.h"
#include "framework/Exceptions.h"
#include "framework/dataset/FieldConvert.h"
#include "engine/GenerationInputs.h"
#include "framework/dataset/TField.h"
#include "framework/Ugnnorma.h"

namespace {

const QString kSinSemaforo = QStringLiteral("Se debe Generar el semaforo para ver reporte... ");

// One name query: the select part depends on the database's trimming function.
QString consultaNombre(const QString &campo, const QString &tabla, const QStringList &condiciones)
{
    const bool mssql = gStDriver == QLatin1String("MSSQL");
    QString texto = mssql ? QStringLiteral(" SELECT LTRIM(RTRIM(%1)) AS %1 ").arg(campo)
                          : QStringLiteral(" SELECT TRIM(%1) AS %1 ").arg(campo);
    texto += QStringLiteral(" FROM %1             ").arg(tabla);
    for (const QString &condicion : condiciones)
        texto += condicion;
    return texto;
}

// Upper and lower case of the letters A-Z only; anything else keeps its case.
QChar mayuscula(QChar c)
{
    return c >= QLatin1Char('a') && c <= QLatin1Char('z') ? QChar(c.unicode() - 32) : c;
}

QChar minuscula(QChar c)
{
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z') ? QChar(c.unicode() + 32) : c;
}

// The work of one run, over the module's datasets and the main form's inputs.
class LlenadoCompetencias {
public:
    LlenadoCompetencias(TDtmAcSemaf &modulo, const IFrmAcSemaf &forma)
        : m(modulo), f(forma), marcadas(forma.CategoriasMarcadas())
    {
    }

    void llenar(const QString &categorias);

private:
    bool registradoEn(const QString &empresa);
    void abrirRegistros(const QString &empresa);
    void buscarObtenido(long double &obtenido);
    void recorrer(TDataSet &registros, bool competencias, long double &obtenido);
    using Parametros = QList<std::pair<QString, QVariant>>;
    QString nombre(const QString &campo, const QString &tabla, const QStringList &condiciones,
                   const Parametros &parametros);
    void agregarFila(long double requerido, long double obtenido);

    TDtmAcSemaf &m;
    const IFrmAcSemaf &f;
    const engine::Categories marcadas;
    QVariant empleado;
};

void LlenadoCompetencias::llenar(const QString &categorias)
{
    const QStringList empresas = m.EmpresasCompetencias();
    SClientDataSet &perfil = m.QryBiDtpca;
    perfil.Close();
    perfil.setSQL({});
    perfil.setCommandText(
        QStringLiteral("select  * from BI_DTPCA a where a.COD_EMPR = :P_COD_EMPR and     a.COD_CARG = :P_COD_CARG "
                       "AND TIP_REGI IN  (select TIP_REGI from ac_dpama WHERE COD_DETA IN ('")
        + categorias + QStringLiteral("') and COD_EMPR = :P_COD_EMPR)"));
    perfil.ParamByName(QStringLiteral("P_COD_EMPR"))->setAsSmallInt(engine::companyNumber(f.EmpreAspira));
    perfil.ParamByName(QStringLiteral("P_COD_CARG"))->setAsString(f.CargoAspira);
    perfil.Open();
    if (perfil.IsEmpty())
        throw Exception(QStringLiteral("No existen datos para generar el reporte seleccionado. Cargo ") + f.CargoAspira
                        + QStringLiteral(" Empresa ") + f.EmpreAspira);
    empleado = m.CdsAcSemaf.FieldByName(QStringLiteral("COD_EMPL"))->AsVariant();
    for (perfil.First(); !perfil.Eof(); perfil.Next()) {
        // Set once per profile row: a company where nothing matches repeats the previous score.
        long double obtenido = 0;
        const long double requerido = engine::points(perfil.FieldByName(QStringLiteral("PUN_REQU"))->AsVariant());
        for (const QString &empresa : empresas) {
            engine::companyNumber(empresa);   // a code that is not a whole number ends the run here
            if (!registradoEn(empresa))
                continue;
            abrirRegistros(empresa);
            buscarObtenido(obtenido);
            agregarFila(requerido, obtenido);
        }
    }
}

bool LlenadoCompetencias::registradoEn(const QString &empresa)
{
    SClientDataSet &temporal = *m.CdsTemporal;
    temporal.Close();
    temporal.setCommandText(QStringLiteral("SELECT COUNT(*) CONTADOR FROM              BI_EMPLE  where     COD_EMPR = ")
                            + empresa + QStringLiteral(" and       COD_EMPL = ") + fieldconv::toText(empleado));
    temporal.Open();
    return temporal.FieldByName(QStringLiteral("CONTADOR"))->AsInteger() > 0;
}

void LlenadoCompetencias::abrirRegistros(const QString &empresa)
{
    const int codigo = engine::companyNumber(empresa);
    for (SClientDataSet *registros : {&m.QryBiDtpnf, &m.QryBiDtpef, &m.QryBidtphv}) {
        registros->Close();
        registros->ParamByName(QStringLiteral("COD_EMPR"))->setAsSmallInt(codigo);
        registros->ParamByName(QStringLiteral("COD_EMPL"))->setAsFloat(fieldconv::toFloat(empleado, QStringLiteral("COD_EMPL")));
        registros->Open();
        registros->First();
    }
    if (!marcadas.compe)
        return;
    SClientDataSet &lineas = m.QryEd3dlcc;
    lineas.Close();
    lineas.ParamByName(QStringLiteral("CODEMPR"))->setAsSmallInt(codigo);
    lineas.ParamByName(QStringLiteral("CODEMPL"))->setAsVariant(empleado);
    lineas.Open();
}

// Later categories override earlier ones, and inside a category the last match wins.
void LlenadoCompetencias::buscarObtenido(long double &obtenido)
{
    if (marcadas.eduFor)
        recorrer(m.QryBiDtpef, false, obtenido);
    if (marcadas.eduNo)
        recorrer(m.QryBiDtpnf, false, obtenido);
    if (marcadas.expe)
        recorrer(m.QryBidtphv, false, obtenido);
    if (marcadas.compe)
        recorrer(m.QryEd3dlcc, true, obtenido);
}

void LlenadoCompetencias::recorrer(TDataSet &registros, bool competencias, long double &obtenido)
{
    const engine::RequirementKey requisito = engine::profileRowAt(m.QryBiDtpca).key;
    for (registros.First(); !registros.Eof(); registros.Next()) {
        const engine::CategoryRecord registro = engine::categoryRecordAt(registros, competencias);
        if (engine::mismoRequisito(requisito, registro.key))
            obtenido = engine::points(registro.punObte);
    }
}

QString LlenadoCompetencias::nombre(const QString &campo, const QString &tabla, const QStringList &condiciones,
                                    const Parametros &parametros)
{
    SClientDataSet &temporal = *m.CdsTemporal;
    temporal.Close();
    temporal.setCommandText(consultaNombre(campo, tabla, condiciones));
    for (const auto &[parametro, valor] : parametros)
        temporal.ParamByName(parametro)->setAsVariant(valor);
    temporal.Open();
    if (temporal.IsEmpty())
        return QString();
    return TDtmAcSemaf::LimpiarNombre(temporal.FieldByName(campo)->AsString());
}

void LlenadoCompetencias::agregarFila(long double requerido, long double obtenido)
{
    TDataSet &perfil = m.QryBiDtpca;
    const QVariant tipRegi = perfil.FieldByName(QStringLiteral("TIP_REGI"))->AsVariant();
    const QVariant codRequ = perfil.FieldByName(QStringLiteral("COD_REQU"))->AsVariant();
    const QVariant codEspe = perfil.FieldByName(QStringLiteral("COD_ESPE"))->AsVariant();
    const int empresa = engine::companyNumber(f.EmpreAspira);
    const QString ac = QStringLiteral("AC");
    const QString tipo = nombre(QStringLiteral("NOM_REGI"), QStringLiteral("AC_TIPRG"),
                                {QStringLiteral(" WHERE TIP_APLI = :TIPAPLI "), QStringLiteral("   AND COD_REGI = :CODREGI "),
                                 QStringLiteral("   AND COD_EMPR = :CODEMPR ")},
                                {{QStringLiteral("TIPAPLI"), ac}, {QStringLiteral("CODREGI"), tipRegi},
                                 {QStringLiteral("CODEMPR"), empresa}});
    const QString requisito = nombre(QStringLiteral("NOM_REQU"), QStringLiteral("AC_REQUI"),
                                     {QStringLiteral(" WHERE TIP_APLI = :TIPAPLI "), QStringLiteral("   AND TIP_REGI = :TIPREGI "),
                                      QStringLiteral("   AND COD_REQU = :CODREQU "), QStringLiteral("   AND COD_EMPR = :CODEMPR ")},
                                     {{QStringLiteral("TIPAPLI"), ac}, {QStringLiteral("TIPREGI"), tipRegi},
                                      {QStringLiteral("CODREQU"), codRequ}, {QStringLiteral("CODEMPR"), empresa}});
    const QString especificacion = nombre(
        QStringLiteral("NOM_ESPE"), QStringLiteral("AC_ESPEC"),
        {QStringLiteral(" WHERE TIP_APLI = :TIPAPLI "), QStringLiteral("   AND TIP_REGI = :TIPREGI "),
         QStringLiteral("   AND COD_REQU = :CODREQU "), QStringLiteral("   AND COD_ESPE = :CODESPE "),
         QStringLiteral("   AND COD_EMPR = :CODEMPR ")},
        {{QStringLiteral("TIPAPLI"), ac}, {QStringLiteral("TIPREGI"), tipRegi}, {QStringLiteral("CODREQU"), codRequ},
         {QStringLiteral("CODESPE"), codEspe}, {QStringLiteral("CODEMPR"), empresa}});

    const long double porcentaje =
        obtenido == 0 || requerido == 0 ? 0 : TDtmAcSemaf::RoundDecimals(obtenido / requerido * 100, 2);
    TDataSet &detalle = m.CdsDtpcaRep;
    const auto campo = [&detalle](const char *nombreCampo) { return detalle.FieldByName(QLatin1String(nombreCampo)); };
    detalle.Append();
    campo("TIP_REGI")->setAsString(tipo);
    campo("COD_REQU")->setAsString(requisito);
    campo("COD_ESPE")->setAsString(especificacion);
    campo("VAL_REQU")->setAsFloat(double(requerido));
    campo("VAL_CUMP")->setAsFloat(double(obtenido));
    campo("POR_CUMP")->setAsString(
        DisplayFormatter::formatFloat(QStringLiteral("##0.##"), double(TDtmAcSemaf::RoundDecimals(porcentaje, 2))));
    campo("TIT_REPO")->setAsString(requisito + QLatin1Char(' ') + especificacion);
    campo("TIT_GRAF")->setAsString(requisito + QLatin1Char(' ') + especificacion);
    campo("REQ_GRAF")->setAsFloat(100);
    campo("CUM_GRAF")->setAsFloat(double(porcentaje));
    detalle.Post();
}

} // namespace

void TDtmAcSemaf::ReporteCompetencias()
{
    if (!CdsAcSemaf.Active() || CdsAcSemaf.FieldByName(QStringLiteral("COD_EMPL"))->IsNull())
        throw Exception(kSinSemaforo);
    CdsDtpcaRep.Close();
    CdsDtpcaRep.Open();
    CdsDtpcaRep.EmptyDataSet();
    // Detached while rows are appended, so that each one does not run the result's handler.
    const TDataSet::TDataSetNotifyEvent alDesplazar = CdsDtpcaRep.AfterScroll;
    CdsDtpcaRep.AfterScroll = nullptr;
    try {
        const engine::Categories ninguna;
        const QString categorias = engine::categoryList(Forma ? Forma->CategoriasMarcadas() : ninguna);
        LlenadoCompetencias(*this, *Forma).llenar(categorias);
    } catch (...) {
        CdsDtpcaRep.AfterScroll = alDesplazar;
        throw;
    }
    CdsDtpcaRep.AfterScroll = alDesplazar;
    CdsDtpcaRep.First();
    if (MostrarRptAcSemaf)
        MostrarRptAcSemaf();
}

QStringList TDtmAcSemaf::EmpresasCompetencias() const
{
    QStringList empresas;
    for (const QString &codigo : SepararLista(Forma ? Forma->EmpCaActual : QString()))
        if (!empresas.contains(codigo))
            empresas << codigo;
    return empresas;
}

QString TDtmAcSemaf::LimpiarNombre(const QString &nombre)
{
    QString texto = Recortar(QString(nombre).replace(QChar(0x00A0), QLatin1Char(' ')));
    if (texto.isEmpty())
        return texto;
    texto[0] = mayuscula(texto.at(0));
    for (int i = 1; i < texto.size(); ++i)
        texto[i] = minuscula(texto.at(i));
    return texto;
}
