#include "engine/SuccessionSchema.h"

#include "engine/DataSetRefill.h"
#include "framework/dataset/TClientDataSet.h"

#include <functional>

namespace engine {

namespace {

using T = ResultFieldType;
namespace s = successionfield;

ResultTable makeSummaryTable()
{
    ResultTable table;
    table.name = QStringLiteral("CdsMapaSucesion");
    table.reportName = QStringLiteral("QryMapaSucesion");
    table.bandField = s::PorMejo;
    table.emptyHasNoBand = true;   // the plan's own row, a node nobody holds a candidate position of
    table.fields = {
        {s::CodNodo, T::SmallInt, 0, QStringLiteral("Nodo"), {}, {}},
        {s::CodCarg, T::Text, 20, QStringLiteral("Cargo"), {}, {}},
        {s::NomCarg, T::Text, 60, QStringLiteral("Descripción Cargo"), {}, {}},
        {s::CodEmca, T::SmallInt, 0, QStringLiteral("Empresa"), {}, {}},
        {s::NumPerf, T::Integer, 0, QStringLiteral("Requisitos Perfil"), {}, {}},
        {s::NumCand, T::Integer, 0, QStringLiteral("Candidatos"), {}, {}},
        {s::NumVerd, T::Integer, 0, QStringLiteral("Verde"), {}, {}},
        {s::NumAmar, T::Integer, 0, QStringLiteral("Amarillo"), {}, {}},
        {s::NumRojo, T::Integer, 0, QStringLiteral("Rojo"), {}, {}},
        {s::NomMejo, T::Text, 51, QStringLiteral("Mejor Candidato"), {}, {}},
        {s::PorMejo, T::Float, 0, QStringLiteral("% Mejor Candidato"), QStringLiteral("#,##0.00 %"), {}},
    };
    const QString personas = QStringLiteral(
        "Personas: quien tiene varios contratos en los cargos candidatos cuenta una vez, con el mejor de ellos. El "
        "semáforo del nodo lista cada contrato.");
    table.gridColumns = {
        {s::CodNodo, 50},
        {s::CodCarg, 70},
        {s::NomCarg, 220},
        {s::NumPerf, 115, QStringLiteral("Filas de requisitos del perfil del cargo en las categorías marcadas: con 0 el "
                                         "cargo no tiene perfil y nadie puede puntuar.")},
        {s::NumCand, 80, personas},
        {s::NumVerd, 55, personas},
        {s::NumAmar, 70, personas},
        {s::NumRojo, 50, personas},
        {s::NomMejo, 230},
        {s::PorMejo, 125, QStringLiteral("Porcentaje del mejor candidato del nodo; su banda colorea la fila.")},
    };
    return table;
}

ResultTable makeGapsTable()
{
    ResultTable table;
    table.name = QStringLiteral("CdsBrechas");
    table.reportName = QStringLiteral("QryBrechas");
    table.bandField = s::PorCump;
    table.emptyHasNoBand = true;
    table.fields = {
        {s::LisNodo, T::Text, 120, QStringLiteral("Nodos"), {}, {}},
        {s::CodEmca, T::SmallInt, 0, QStringLiteral("Empresa"), {}, {}},
        {s::TipRegi, T::Text, 2, QStringLiteral("Tipo"), {}, {}},
        {s::NomRegi, T::Text, 60, QStringLiteral("Categoría"), {}, {}},
        {s::CodRequ, T::Integer, 0, QStringLiteral("Código Requisito"), {}, {}},
        {s::NomRequ, T::Text, 80, QStringLiteral("Requisito"), {}, {}},
        {s::CodEspe, T::Integer, 0, QStringLiteral("Código Especificación"), {}, {}},
        {s::NomEspe, T::Text, 80, QStringLiteral("Especificación"), {}, {}},
        {s::NumFalt, T::Integer, 0, QStringLiteral("No cumplen"), {}, {}},
        {s::NumEval, T::Integer, 0, QStringLiteral("Evaluados"), {}, {}},
        {s::PorCump, T::Float, 0, QStringLiteral("Cumplimiento Promedio"), QStringLiteral("#,##0.00 %"), {}},
    };
    // The average caps each candidate at 100 %: the title says so.
    table.gridColumns = {{s::LisNodo, 90},  {s::NomRegi, 215}, {s::NomRequ, 240}, {s::NomEspe, 180},
                         {s::NumFalt, 85},  {s::NumEval, 80},  {s::PorCump, 150, fulfilmentCapNote()}};
    return table;
}

ResultTable makeNodeGapsTable()
{
    ResultTable table = makeGapsTable();
    table.fields.removeIf([](const ResultField &field) { return field.name == s::LisNodo; });
    table.gridColumns.removeIf([](const GridColumn &column) { return column.field == s::LisNodo; });
    return table;
}

void setOrClear(TField *field, const QVariant &value)
{
    if (value.isNull())
        field->Clear();
    else
        field->setAsVariant(value);
}

} // namespace

const QString &successionTitle()
{
    static const QString title = QStringLiteral("Mapa de Sucesión");
    return title;
}

const QString &gapsTitle()
{
    static const QString title = QStringLiteral("Brechas");
    return title;
}

const QString &fulfilmentCapNote()
{
    static const QString note = QStringLiteral(
        "Cumplimiento Promedio: puntos obtenidos sobre puntos requeridos por cada candidato, contado hasta "
        "100 % (quien supera el requisito cuenta 100 %), promediado entre los evaluados.");
    return note;
}

const ResultTable &successionSummaryTable()
{
    static const ResultTable table = makeSummaryTable();
    return table;
}

const ResultTable &successionGapsTable()
{
    static const ResultTable table = makeGapsTable();
    return table;
}

const ResultTable &nodeGapsTable()
{
    static const ResultTable table = makeNodeGapsTable();
    return table;
}

QString gapCategoryCaption(const QString &name)
{
    QString text = QString(name).replace(QChar(0x00A0), QLatin1Char(' ')).trimmed().toLower();
    if (!text.isEmpty())
        text[0] = text.at(0).toUpper();
    return text;
}

QString shortNodes(const SuccessionResult &result, const RequirementGap &gap)
{
    QStringList nodes;
    for (const NodeSuccession &node : result.nodes)
        for (const RequirementGap &own : node.gaps)
            if (own.shortCount > 0 && sameRequirement(own, gap)) {
                nodes << QString::number(node.node);
                break;
            }
    return nodes.join(QStringLiteral(", "));
}

const ResultTable *successionTable(const QString &dataSetName)
{
    for (const ResultTable *table : {&successionSummaryTable(), &successionGapsTable()})
        if (table->name == dataSetName)
            return table;
    return nullptr;
}

void fillSummaryRows(TClientDataSet &dataSet, const SuccessionResult &result)
{
    const auto field = [&dataSet](QLatin1String name) { return dataSet.FieldByName(name); };
    refillDataSet(dataSet, result.nodes, [&field](const NodeSuccession &node) {
        const NodeSummary &summary = node.summary;
        field(s::CodNodo)->setAsInteger(node.node);
        field(s::CodCarg)->setAsString(node.inputs.target.code);
        field(s::NomCarg)->setAsString(summary.positionName);
        field(s::CodEmca)->setAsInteger(node.inputs.target.company);
        // The plan's own row measures nothing; a refused node has no profile read.
        if (!summary.measured)
            return;
        if (node.error.isEmpty())
            field(s::NumPerf)->setAsInteger(summary.profileRows);
        field(s::NumCand)->setAsInteger(summary.candidates);
        field(s::NumVerd)->setAsInteger(summary.green);
        field(s::NumAmar)->setAsInteger(summary.yellow);
        field(s::NumRojo)->setAsInteger(summary.red);
        field(s::NomMejo)->setAsString(summary.bestName);
        // A node nobody holds a candidate position of has no best percentage.
        if (summary.candidates > 0)
            field(s::PorMejo)->setAsFloat(summary.bestPercentage);
    });
}

namespace {

void fillGaps(TClientDataSet &dataSet, const RequirementGaps &gaps,
              const std::function<QString(const RequirementGap &)> &nodes)
{
    const auto field = [&dataSet](QLatin1String name) { return dataSet.FieldByName(name); };
    refillDataSet(dataSet, gaps, [&field, &nodes](const RequirementGap &gap) {
        const QString shortIn = nodes(gap);
        if (!shortIn.isEmpty())
            field(s::LisNodo)->setAsString(shortIn);
        field(s::CodEmca)->setAsInteger(gap.company);
        setOrClear(field(s::TipRegi), gap.tipRegi);
        field(s::NomRegi)->setAsString(gapCategoryCaption(gap.categoryName));
        setOrClear(field(s::CodRequ), gap.codRequ);
        field(s::NomRequ)->setAsString(gap.requirementName);
        setOrClear(field(s::CodEspe), gap.codEspe);
        field(s::NomEspe)->setAsString(gap.detailName);
        field(s::NumFalt)->setAsInteger(gap.shortCount);
        field(s::NumEval)->setAsInteger(gap.evaluated);
        field(s::PorCump)->setAsFloat(gap.averageFulfilment);
    });
}

} // namespace

void fillGapRows(TClientDataSet &dataSet, const RequirementGaps &gaps, std::optional<int> node)
{
    const QString text = node ? QString::number(*node) : QString();
    fillGaps(dataSet, gaps, [&text](const RequirementGap &gap) { return gap.shortCount > 0 ? text : QString(); });
}

void fillPlanGapRows(TClientDataSet &dataSet, const SuccessionResult &result)
{
    fillGaps(dataSet, result.planGaps, [&result](const RequirementGap &gap) { return shortNodes(result, gap); });
}

void fillTrafficLightRows(TClientDataSet &dataSet, const NodeSuccession &node)
{
    namespace f = resultfield;
    TField *codEmpl = dataSet.FieldByName(f::CodEmpl);
    TField *porEmpl = dataSet.FieldByName(f::PorEmpl);
    TField *numPera = dataSet.FieldByName(f::NumPera);
    TField *apeEmpl = dataSet.FieldByName(f::ApeEmpl);
    TField *nomEmpl = dataSet.FieldByName(f::NomEmpl);
    TField *codEmca = dataSet.FieldByName(f::CodEmca);
    // As the generation appends a result row.
    refillDataSet(dataSet, node.rows, [&](const SuccessionCandidate &row) {
        codEmpl->setAsVariant(row.employee.codEmpl);
        porEmpl->setAsFloat(row.score.percentage);
        numPera->setAsInteger(row.score.profileCount);
        apeEmpl->setAsString(row.employee.apellidos);
        nomEmpl->setAsString(row.employee.nombres);
        codEmca->setAsInteger(row.employee.codEmpr);
    });
}

} // namespace engine
