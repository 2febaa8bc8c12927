// The data module's competence report: per requirement of the selected node's position, the
// required score, the score the employee under the result cursor obtained and the percentage,
// into the detail table CdsDtpcaRep that the report and its chart print.

#include "data/DAcSemaf.h"
#include "data/StatementCatalog.h"

#include "engine/DataSetRules.h"
#include "framework/DisplayFormatter.h"
#include "framework/Exceptions.h"
#include "framework/dataset/FieldConvert.h"
#include "engine/GenerationInputs.h"
#include "framework/dataset/TField.h"
#include "framework/connection/SDCOMConnection.h"

namespace {

const QString kSinSemaforo = QStringLiteral("Se debe Generar el semaforo para ver reporte... ");

// Upper and lower case of the letters A-Z only; anything else keeps its case.
QChar mayuscula(QChar c)
{
    return c >= QLatin1Char('a') && c <= QLatin1Char('z') ? QChar(c.unicode() - 32) : c;
}

QChar minuscula(QChar c)
{
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z') ? QChar(c.unicode() + 32) : c;
}

// A dataset of the run's own on the scratch dataset's connection and provider.
void prepararLectura(SClientDataSet &lectura, const SClientDataSet &temporal, const QString &sentencia,
                     const QVariantMap &huecos = {})
{
    lectura.RemoteServer = temporal.RemoteServer;
    lectura.ProviderName = temporal.ProviderName;
    StatementCatalog::module().use(lectura, sentencia, huecos);
}

// The key of a name as the name tables hold it: the codes as text, joined.
QString claveNombre(const QVariantList &codigos)
{
    QStringList partes;
    for (const QVariant &codigo : codigos)
        partes << fieldconv::toText(codigo).trimmed();
    return partes.join(QLatin1Char('|'));
}

// The work of one run, over the module's datasets and the main form's inputs. Everything the run
// reads it reads at once, in one round trip: the profile, the names of the aspired position's
// company, and for each listed company whether the employee is registered there and the
// employee's records. The rows are then made as the report has always made them, a profile row
// and a company at a time, from what was read.
class LlenadoCompetencias {
public:
    LlenadoCompetencias(TDtmAcSemaf &modulo, const IFrmAcSemaf &forma)
        : m(modulo), f(forma), marcadas(forma.CategoriasMarcadas())
    {
    }

    void llenar(const QStringList &categorias);

private:
    // What was read of one listed company: the employee's count, then the records of the
    // datasets in `registros` order.
    struct LecturaEmpresa {
        QString empresa;
        protocol::FetchResult contador;
        QList<protocol::FetchResult> registros;
    };

    QList<SClientDataSet *> conjuntosRegistros();
    void leerTodo(SClientDataSet &perfil, const QStringList &empresas);
    void abrirRegistros(const LecturaEmpresa &lectura);
    void buscarObtenido(long double &obtenido);
    void recorrer(TDataSet &registros, bool competencias, long double &obtenido);
    void guardarNombres(const protocol::FetchResult &leidos, int columnasClave, QHash<QString, QString> *nombres);
    QString nombre(const QHash<QString, QString> &nombres, const QVariantList &codigos) const;
    void agregarFila(long double requerido, long double obtenido);

    TDtmAcSemaf &m;
    const IFrmAcSemaf &f;
    const engine::Categories marcadas;
    QVariant empleado;
    QList<LecturaEmpresa> m_empresas;          // up to the first code that is no company
    QHash<QString, QString> m_categorias;      // names by key
    QHash<QString, QString> m_requisitos;
    QHash<QString, QString> m_especificaciones;
    const LecturaEmpresa *m_abierta = nullptr; // whose records the datasets hold
};

QList<SClientDataSet *> LlenadoCompetencias::conjuntosRegistros()
{
    QList<SClientDataSet *> conjuntos{&m.QryBiDtpnf, &m.QryBiDtpef, &m.QryBidtphv};
    if (marcadas.compe)
        conjuntos << &m.QryEd3dlcc;
    return conjuntos;
}

void LlenadoCompetencias::leerTodo(SClientDataSet &perfil, const QStringList &empresas)
{
    SClientDataSet &temporal = *m.CdsTemporal;
    const int empresaAspira = engine::companyNumber(f.EmpreAspira);
    SClientDataSet categorias, requisitos, especificaciones, contador;
    const QList<std::pair<SClientDataSet *, QString>> nombres{
        {&categorias, QStringLiteral("NombresCategoriasEmpresa")},
        {&requisitos, QStringLiteral("NombresRequisitosEmpresa")},
        {&especificaciones, QStringLiteral("NombresEspecificacionesEmpresa")}};
    QList<protocol::FetchRequest> pedidos{perfil.Request()};
    for (const auto &[conjunto, sentencia] : nombres) {
        prepararLectura(*conjunto, temporal, sentencia);
        conjunto->ParamByName(QStringLiteral("CODEMPR"))->setAsSmallInt(empresaAspira);
        pedidos << conjunto->Request();
    }
    const QList<SClientDataSet *> registros = conjuntosRegistros();
    for (const QString &empresa : empresas) {
        int codigo = 0;
        try {
            codigo = engine::companyNumber(empresa);
        } catch (const Exception &) {
            break;   // the run ends at this code when it reaches it
        }
        prepararLectura(contador, temporal, QStringLiteral("EmpleadoRegistrado"),
                        {{QStringLiteral("empresa"), codigo}, {QStringLiteral("empleado"), fieldconv::toText(empleado)}});
        pedidos << contador.Request();
        for (SClientDataSet *conjunto : registros) {
            const bool competencias = conjunto == &m.QryEd3dlcc;
            conjunto->ParamByName(competencias ? QStringLiteral("CODEMPR") : QStringLiteral("COD_EMPR"))->setAsSmallInt(codigo);
            if (competencias)
                conjunto->ParamByName(QStringLiteral("CODEMPL"))->setAsVariant(empleado);
            else
                conjunto->ParamByName(QStringLiteral("COD_EMPL"))
                    ->setAsFloat(fieldconv::toFloat(empleado, QStringLiteral("COD_EMPL")));
            pedidos << conjunto->Request();
        }
        m_empresas.append({empresa, {}, {}});
    }
    const QList<protocol::FetchResult> respuestas = temporal.RemoteServer->FetchMany(pedidos);
    perfil.OpenWith(respuestas.at(0));
    guardarNombres(respuestas.at(1), 1, &m_categorias);
    guardarNombres(respuestas.at(2), 2, &m_requisitos);
    guardarNombres(respuestas.at(3), 3, &m_especificaciones);
    qsizetype at = 4;
    for (LecturaEmpresa &lectura : m_empresas) {
        lectura.contador = respuestas.at(at++);
        for (qsizetype i = 0; i < registros.size(); ++i)
            lectura.registros << respuestas.at(at++);
    }
}

void LlenadoCompetencias::guardarNombres(const protocol::FetchResult &leidos, int columnasClave,
                                         QHash<QString, QString> *nombres)
{
    if (!leidos.ok())
        throw EDatabaseError(leidos.error);
    for (const QVariantList &fila : leidos.rows)
        nombres->insert(claveNombre(fila.mid(0, columnasClave)),
                        TDtmAcSemaf::LimpiarNombre(fieldconv::toText(fila.value(columnasClave))));
}

QString LlenadoCompetencias::nombre(const QHash<QString, QString> &nombres, const QVariantList &codigos) const
{
    for (const QVariant &codigo : codigos)
        if (codigo.isNull())
            return QString();   // a null code names no row
    return nombres.value(claveNombre(codigos));
}

void LlenadoCompetencias::llenar(const QStringList &categorias)
{
    const QStringList empresas = m.EmpresasCompetencias();
    SClientDataSet &perfil = m.QryBiDtpca;
    perfil.Close();
    StatementCatalog::module().use(perfil, QStringLiteral("PerfilCompetencias"), {{QStringLiteral("categorias"), categorias}});
    perfil.ParamByName(QStringLiteral("P_COD_EMPR"))->setAsSmallInt(engine::companyNumber(f.EmpreAspira));
    perfil.ParamByName(QStringLiteral("P_COD_CARG"))->setAsString(f.CargoAspira);
    empleado = m.CdsAcSemaf.FieldByName(QStringLiteral("COD_EMPL"))->AsVariant();
    leerTodo(perfil, empresas);
    if (perfil.IsEmpty())
        throw Exception(QStringLiteral("No existen datos para generar el reporte seleccionado. Cargo ") + f.CargoAspira
                        + QStringLiteral(" Empresa ") + f.EmpreAspira);
    for (perfil.First(); !perfil.Eof(); perfil.Next()) {
        // Set once per profile row: a company where nothing matches repeats the previous score.
        long double obtenido = 0;
        const long double requerido = engine::points(perfil.FieldByName(QStringLiteral("PUN_REQU"))->AsVariant());
        for (qsizetype i = 0; i < empresas.size(); ++i) {
            engine::companyNumber(empresas.at(i));   // a code that is not a whole number ends the run here
            const LecturaEmpresa &lectura = m_empresas.at(i);
            if (!lectura.contador.ok())
                throw EDatabaseError(lectura.contador.error);
            if (lectura.contador.rows.isEmpty() || lectura.contador.rows.first().value(0).toInt() <= 0)
                continue;
            abrirRegistros(lectura);
            buscarObtenido(obtenido);
            agregarFila(requerido, obtenido);
        }
    }
}

void LlenadoCompetencias::abrirRegistros(const LecturaEmpresa &lectura)
{
    if (m_abierta == &lectura)
        return;   // the datasets hold this company's records already
    const QList<SClientDataSet *> registros = conjuntosRegistros();
    for (qsizetype i = 0; i < registros.size(); ++i) {
        registros.at(i)->OpenWith(lectura.registros.at(i));
        registros.at(i)->First();
    }
    m_abierta = &lectura;
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

void LlenadoCompetencias::agregarFila(long double requerido, long double obtenido)
{
    TDataSet &perfil = m.QryBiDtpca;
    const QVariant tipRegi = perfil.FieldByName(QStringLiteral("TIP_REGI"))->AsVariant();
    const QVariant codRequ = perfil.FieldByName(QStringLiteral("COD_REQU"))->AsVariant();
    const QVariant codEspe = perfil.FieldByName(QStringLiteral("COD_ESPE"))->AsVariant();
    const QString tipo = nombre(m_categorias, {tipRegi});
    const QString requisito = nombre(m_requisitos, {tipRegi, codRequ});
    const QString especificacion = nombre(m_especificaciones, {tipRegi, codRequ, codEspe});

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
        const QStringList categorias = engine::categoryCodes(Forma ? Forma->CategoriasMarcadas() : ninguna);
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
