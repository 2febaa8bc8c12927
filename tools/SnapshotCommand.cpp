#include "tools/SnapshotCommand.h"

#include "data/HeadlessWorkstation.h"
#include "data/SuccessionMap.h"
#include "data/SuccessionSnapshots.h"
#include "framework/Exceptions.h"
#include "tools/CommandLine.h"
#include "tools/CommonOptions.h"
#include "tools/OutputOptions.h"

#include <QMap>
#include <QPair>
#include <QSaveFile>
#include <QTextStream>

namespace snapshotcommand {

struct Action {
    const char *description;
    const char *synopsis;   // the arguments it takes besides its options; null: none
    int arguments = 0;
};

const QMap<QString, Action> &actions()
{
    static const QMap<QString, Action> table = {
        {QStringLiteral("save"),
         {QT_TRANSLATE_NOOP("qacsemaf", "Calcula el mapa de sucesión del plan como qacsemaf succession y lo guarda "
                                        "como un corte: por nodo cada persona una vez, con el puntaje y la banda de "
                                        "su mejor contrato."),
          nullptr, 0}},
        {QStringLiteral("list"),
         {QT_TRANSLATE_NOOP("qacsemaf", "Lista los cortes de la empresa (de un plan con --plan): número, plan, "
                                        "fecha (UTC), usuario, etiqueta, nodos y personas."),
          nullptr, 0}},
        {QStringLiteral("compare"),
         {QT_TRANSLATE_NOOP("qacsemaf", "Compara dos cortes de un mismo plan: por nodo el cambio de personas en "
                                        "verde, por persona el movimiento de banda y el cambio de puntaje."),
          QT_TRANSLATE_NOOP("qacsemaf", "A B"), 2}},
        {QStringLiteral("history"),
         {QT_TRANSLATE_NOOP("qacsemaf", "La historia de un empleado en los cortes de la empresa: corte, fecha, "
                                        "nodo, cargo, puntaje y banda."),
          nullptr, 0}},
    };
    return table;
}

QString actionNames()
{
    return actions().keys().join(QStringLiteral(", "));
}

void printActions(const QString &program)
{
    QTextStream out(stdout);
    out << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Uso: %1 <acción> [opciones]")).arg(program) << "\n\n"
        << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Cortes del mapa de sucesión de un plan.")) << "\n\n"
        << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Acciones:")) << '\n';
    for (auto it = actions().cbegin(); it != actions().cend(); ++it)
        out << "  " << it.key().leftJustified(9) << cliText(it->description) << '\n';
    out << '\n'
        << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Las opciones de cada acción: \"%1 <acción> --help\".")).arg(program)
        << '\n';
}

void addOptions(const QString &action, CommandLine &line)
{
    CommonOptions::addTo(line);
    const QCommandLineOption plan{QStringLiteral("plan"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "El plan de carrera (COD_MENU).")),
                                  cliText(QT_TRANSLATE_NOOP("qacsemaf", "número"))};
    if (action == QLatin1String("save")) {
        line.add({plan,
                  {QStringLiteral("edu-sin-puntos"),
                   cliText(QT_TRANSLATE_NOOP("qacsemaf", "Educación sin puntos: auto (la marca de la empresa), on, off.")),
                   cliText(QT_TRANSLATE_NOOP("qacsemaf", "modo")), QStringLiteral("auto")},
                  {QStringLiteral("label"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Etiqueta del corte (hasta 60 caracteres).")),
                   cliText(QT_TRANSLATE_NOOP("qacsemaf", "texto"))}});
    } else if (action == QLatin1String("list")) {
        line.add({plan});
    } else if (action == QLatin1String("history")) {
        line.add({{QStringLiteral("employee"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "El empleado (COD_EMPL).")),
                   QStringLiteral("id")}});
    }
    if (action != QLatin1String("save"))
        OutputOptions::addTo(line);
}

// Saves the map of the plan and says which snapshot it became.
void save(const CommandLine &line, int plan, const CommonOptions &common, SDCOMConnection &connection, TDtmAcSemaf &module)
{
    SuccessionMap map(module);
    engine::SuccessionRequest request;
    request.categories = common.categories;
    const QString flag = line.choice(QStringLiteral("edu-sin-puntos"), {"auto", "on", "off"});
    request.eduSinPuntos = flag == QLatin1String("auto") ? map.companyEduSinPuntos() : flag == QLatin1String("on");
    const engine::SuccessionResult result = map.run(common.company, plan, request);
    const engine::SnapshotHeader header =
        SuccessionSnapshots(connection).save(result, request.categories, request.eduSinPuntos, line.value(QStringLiteral("label")));
    QTextStream(stdout) << "qacsemaf: "
                        << cliText(QT_TRANSLATE_NOOP("qacsemaf", "corte %1 guardado: plan %2, %3 nodos, %4 personas"))
                               .arg(header.number).arg(header.plan).arg(header.nodes).arg(header.people)
                        << '\n';
}

// A table printed to a text, for the two tables of a comparison.
QString printed(TDataSet &rows, const engine::ResultTable &schema, const OutputOptions &output)
{
    QString text;
    QTextStream stream(&text);
    ResultPrinter printer(schema);
    printer.setCsvStyle(output.csv);
    printer.print(rows, output.format, stream, output.out.isEmpty() ? ResultPrinter::terminalColour() : ResultPrinter::Colour::None);
    stream.flush();
    return text;
}

void writeText(const QString &text, const OutputOptions &output)
{
    if (output.out.isEmpty()) {
        QTextStream(stdout) << text;
        return;
    }
    QSaveFile file(output.out);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(text.toUtf8());
        if (file.commit())
            return;
    }
    throw Exception(cliText(QT_TRANSLATE_NOOP("qacsemaf", "No se pudo escribir %1: %2")).arg(output.out, file.errorString()));
}

} // namespace snapshotcommand

std::pair<int, int> snapshotNumbers(const CommandLine &line)
{
    const QStringList numbers = line.arguments();
    int from = 0, to = 0;
    bool ok = numbers.size() == 2;
    if (ok)
        from = numbers.at(0).toInt(&ok);
    if (ok)
        to = numbers.at(1).toInt(&ok);
    if (!ok)
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "indique los dos cortes que se comparan: compare A B, "
                                                               "dos números")));
    return {from, to};
}

namespace snapshotcommand {

void compare(int from, int to, const CommonOptions &common, SDCOMConnection &connection, const OutputOptions &output)
{
    const engine::SnapshotComparison comparison = SuccessionSnapshots(connection).compare(from, to, common.company);
    TClientDataSet nodes(QStringLiteral("CdsEvolucionNodos"));
    TClientDataSet people(QStringLiteral("CdsEvolucionPersonas"));
    SuccessionMap::createTable(nodes, engine::evolutionNodesTable());
    SuccessionMap::createTable(people, engine::evolutionPeopleTable());
    engine::fillEvolutionNodeRows(nodes, comparison);
    engine::fillEvolutionPeopleRows(people, comparison);
    const QString nodeText = printed(nodes, engine::evolutionNodesTable(), output);
    const QString peopleText = printed(people, engine::evolutionPeopleTable(), output);
    if (output.format == QLatin1String("json")) {
        writeText(QStringLiteral("{\"desde\": %1, \"hasta\": %2, \"plan\": %3,\n\"nodos\": %4,\n\"personas\": %5}\n")
                      .arg(from).arg(to).arg(comparison.from.plan)
                      .arg(nodeText.trimmed(), peopleText.trimmed()),
                  output);
        return;
    }
    const auto title = [](const engine::SnapshotHeader &header) {
        QString text = QStringLiteral("%1 (%2 UTC").arg(header.number).arg(header.time.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
        if (!header.label.isEmpty())
            text += QStringLiteral(", ") + header.label;
        return text + QLatin1Char(')');
    };
    writeText(cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1, plan %2: corte %3 frente al corte %4"))
                      .arg(engine::evolutionTitle()).arg(comparison.from.plan)
                      .arg(title(comparison.to), title(comparison.from))
                  + QStringLiteral("\n\n") + nodeText + QLatin1Char('\n') + peopleText,
              output);
}

int run(const QString &action, const CommandLine &line)
{
    if (action == QLatin1String("save"))
        for (const char *required : {"plan", "categories"})
            line.require(QLatin1String(required));
    if (action == QLatin1String("history"))
        line.require(QStringLiteral("employee"));
    const std::pair<int, int> numbers = action == QLatin1String("compare") ? snapshotNumbers(line) : std::pair<int, int>();
    OutputOptions output;
    if (action != QLatin1String("save")) {
        output = OutputOptions::read(line);
        if (output.format == QLatin1String("xlsx") && action == QLatin1String("compare"))
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--format: compare escribe table, json o csv; el "
                                                                   "libro XLSX lo da qacsemaf report evolution")));
    }
    const bool takesPlan = action == QLatin1String("save") || action == QLatin1String("list");
    const int plan = takesPlan && line.isSet(QStringLiteral("plan")) ? line.number(QStringLiteral("plan"), 0) : 0;
    bool employeeOk = true;
    const double employee = action == QLatin1String("history") ? line.value(QStringLiteral("employee")).toDouble(&employeeOk) : 0;
    if (!employeeOk)
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--employee: \"%1\" no es un número"))
                             .arg(line.value(QStringLiteral("employee"))));
    const CommonOptions common = CommonOptions::read(line);

    HeadlessWorkstation workstation(common.session());
    common.proveSession(workstation.connection);
    workstation.companies.Open();
    if (action == QLatin1String("save")) {
        save(line, plan, common, workstation.connection, workstation.module);
        return 0;
    }
    if (action == QLatin1String("compare")) {
        compare(numbers.first, numbers.second, common, workstation.connection, output);
        return 0;
    }
    SuccessionSnapshots snapshots(workstation.connection);
    if (action == QLatin1String("list")) {
        TClientDataSet table(QStringLiteral("CdsCortes"));
        SuccessionMap::createTable(table, engine::snapshotListTable());
        engine::fillSnapshotListRows(table, snapshots.list(common.company, plan));
        output.write(table, engine::snapshotListTable());
        return 0;
    }
    TClientDataSet table(QStringLiteral("CdsHistorialCortes"));
    SuccessionMap::createTable(table, engine::snapshotHistoryTable());
    engine::fillSnapshotHistoryRows(table, snapshots.history(common.company, employee));
    output.write(table, engine::snapshotHistoryTable());
    return 0;
}

} // namespace snapshotcommand

int runSnapshotCommand(const QStringList &arguments)
{
    using namespace snapshotcommand;
    const QString program = arguments.value(0);
    const QString action = arguments.value(1);
    try {
        if (action == QLatin1String("--help") || action == QLatin1String("-h") || action == QLatin1String("help")) {
            printActions(program);
            return 0;
        }
        if (action.isEmpty())
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "indique la acción: %1")).arg(actionNames()));
        if (!actions().contains(action))
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "acción desconocida \"%1\" (use %2)"))
                                 .arg(action, actionNames()));
    } catch (const UsageError &error) {
        return reportUsageError(error, program);
    }
    QStringList rest = arguments.mid(2);
    rest.prepend(program + QLatin1Char(' ') + action);
    const Action &chosen = actions().value(action);
    CommandLine line(rest.constFirst(), cliText(chosen.description));
    if (chosen.synopsis)
        line.takeArguments(cliText(chosen.synopsis), chosen.arguments);
    addOptions(action, line);
    try {
        line.parse(rest);
        return run(action, line);
    } catch (const UsageError &error) {
        return reportUsageError(error, rest.constFirst());
    } catch (const Exception &error) {
        return reportFailure(error.Message());
    }
}
