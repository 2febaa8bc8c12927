#include "data/SuccessionSnapshots.h"

#include "framework/Exceptions.h"
#include "framework/connection/SDCOMConnection.h"

#include <QDateTime>
#include <QHash>

namespace {

using protocol::FieldType;
using protocol::ParamValue;
using protocol::RowDelta;

const QString kSnapshotHeaders = QStringLiteral("DtsPAcCorte");
const QString kSnapshotRows = QStringLiteral("DtsPAcCortd");

// Where an answer's columns stand, each name looked for once per answer (a snapshot's rows are
// thousands): the names are the literals of the readers below.
class SnapshotColumns {
public:
    explicit SnapshotColumns(const protocol::FetchResult &result) : m_fields(result.fields) {}
    int indexOf(const char *name) const
    {
        const auto known = m_indexes.constFind(name);
        if (known != m_indexes.constEnd())
            return *known;
        const int index = protocol::indexOfField(m_fields, QLatin1String(name));
        m_indexes.insert(name, index);
        return index;
    }

private:
    const QList<protocol::FieldDesc> &m_fields;
    mutable QHash<const char *, int> m_indexes;
};

// The cells of a fetched row by column name.
class SnapshotRow {
public:
    SnapshotRow(const SnapshotColumns &columns, const QVariantList &values) : m_columns(columns), m_values(values) {}
    QVariant operator[](const char *name) const
    {
        const int index = m_columns.indexOf(name);
        return index < 0 ? QVariant() : m_values.at(index);
    }

private:
    const SnapshotColumns &m_columns;
    const QVariantList &m_values;
};

// The stored time is UTC's wall clock.
QDateTime utcOfStored(const QVariant &stored)
{
    const QDateTime time = stored.toDateTime();
    return QDateTime(time.date(), time.time(), Qt::UTC);
}

engine::SnapshotHeader snapshotHeaderOf(const SnapshotRow &row)
{
    engine::SnapshotHeader header;
    header.company = row["COD_EMPR"].toInt();
    header.number = row["NUM_CORT"].toInt();
    header.plan = row["COD_MENU"].toInt();
    header.planName = row["NOM_MENU"].toString().trimmed();
    header.categories = row["CAT_CORT"].toString();
    header.eduSinPuntos = row["EDU_SINP"].toString() == QLatin1String("S");
    header.label = row["ETI_CORT"].toString();
    header.nodes = row["NUM_NODO"].toInt();
    header.people = row["NUM_PERS"].toInt();
    header.user = row["ACT_USUA"].toString().trimmed();
    header.time = utcOfStored(row["ACT_HORA"]);
    return header;
}

engine::SnapshotEntry snapshotEntryOf(const SnapshotRow &row)
{
    return {row["COD_NODO"].toInt(),
            row["COD_CARG"].toString().trimmed(),
            row["COD_EMCA"].toInt(),
            row["NOM_CARG"].toString().trimmed(),
            row["COD_EMPL"].toDouble(),
            row["NOM_EMPL"].toString().trimmed(),
            row["POR_EMPL"].toDouble(),
            engine::bandOfCode(row["BAN_EMPL"].toString().trimmed())};
}

RowDelta snapshotInsert(QVariantMap values)
{
    RowDelta delta;
    delta.kind = RowDelta::Kind::Insert;
    delta.newValues = std::move(values);
    return delta;
}

} // namespace

SuccessionSnapshots::SuccessionSnapshots(SDCOMConnection &connection) : m_connection(connection)
{
}

int SuccessionSnapshots::nextNumber()
{
    // Rows are written before their snapshot: rows a failed save left behind keep their number.
    int last = 0;
    for (const protocol::FetchResult &answer : m_connection.FetchMany(
             {{{}, kSnapshotHeaders, QStringLiteral("UltimoCorte"), {}, {}}, {{}, kSnapshotRows, QStringLiteral("UltimoCorteFilas"), {}, {}}})) {
        if (!answer.error.isEmpty())
            throw EDatabaseError(answer.error);
        if (!answer.rows.isEmpty())
            last = qMax(last, answer.rows.first().value(0).toInt());
    }
    return last + 1;
}

engine::SnapshotHeader SuccessionSnapshots::save(const engine::SuccessionResult &result,
                                                 const engine::Categories &categories, bool eduSinPuntos,
                                                 const QString &label)
{
    if (result.cancelled)
        throw Exception(QStringLiteral("El cálculo del mapa se canceló: no se guarda un corte a medias."));
    const QString trimmedLabel = label.trimmed();
    if (trimmedLabel.size() > kLabelLength)
        throw Exception(QStringLiteral("La etiqueta del corte admite %1 caracteres; tiene %2.")
                            .arg(kLabelLength).arg(trimmedLabel.size()));
    const QVector<engine::SnapshotEntry> entries = engine::snapshotEntries(result);
    engine::SnapshotHeader header = engine::snapshotHeader(result, entries, categories, eduSinPuntos);
    header.user = m_connection.session().user;
    header.label = trimmedLabel;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    header.time = QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()), Qt::UTC);
    header.number = nextNumber();

    // The rows go as blocks of new rows, a request each that stays well inside what the server
    // takes in one request.
    const QStringList columns{QStringLiteral("COD_EMPR"), QStringLiteral("NUM_CORT"), QStringLiteral("COD_NODO"),
                              QStringLiteral("COD_EMPL"), QStringLiteral("COD_CARG"), QStringLiteral("COD_EMCA"),
                              QStringLiteral("NOM_CARG"), QStringLiteral("NOM_EMPL"), QStringLiteral("ORD_FILA"),
                              QStringLiteral("POR_EMPL"), QStringLiteral("BAN_EMPL")};
    QList<protocol::InsertRows> blocks;
    int order = 0;
    for (const engine::SnapshotEntry &entry : entries) {
        if (blocks.isEmpty() || blocks.last().rows.size() == kRowsPerRequest)
            blocks.append({columns, {}});
        blocks.last().rows.append({header.company, header.number, entry.node, entry.codEmpl, entry.positionCode,
                                   entry.positionCompany, entry.positionName.left(60), entry.name.left(100), ++order,
                                   entry.percentage, engine::bandCode(entry.band)});
    }
    // The stored time is UTC's wall clock, without a zone that a transport could move it by.
    const QDateTime wallClock(header.time.date(), header.time.time());
    const RowDelta snapshot = snapshotInsert({{QStringLiteral("COD_EMPR"), header.company},
                                        {QStringLiteral("NUM_CORT"), header.number},
                                        {QStringLiteral("COD_MENU"), header.plan},
                                        {QStringLiteral("NOM_MENU"), header.planName.left(30)},
                                        {QStringLiteral("CAT_CORT"), header.categories},
                                        {QStringLiteral("EDU_SINP"), eduSinPuntos ? QStringLiteral("S") : QStringLiteral("N")},
                                        {QStringLiteral("ETI_CORT"), trimmedLabel.isEmpty() ? QVariant() : QVariant(trimmedLabel)},
                                        {QStringLiteral("NUM_NODO"), header.nodes},
                                        {QStringLiteral("NUM_PERS"), header.people},
                                        {QStringLiteral("ACT_USUA"), header.user},
                                        {QStringLiteral("ACT_HORA"), wallClock}});
    qsizetype written = 0;   // blocks kept so far
    try {
        for (const protocol::InsertRows &block : std::as_const(blocks)) {
            m_connection.Insert(kSnapshotRows, block);
            ++written;
        }
        m_connection.Apply(kSnapshotHeaders, {snapshot});
    } catch (const Exception &) {
        // The rows would otherwise stay behind a snapshot that does not exist.
        QList<RowDelta> undo;
        for (qsizetype i = 0; i < written; ++i) {
            for (const QVariantList &row : std::as_const(blocks.at(i).rows)) {
                RowDelta remove;
                remove.kind = RowDelta::Kind::Delete;
                for (const int key : {0, 1, 2, 3})   // COD_EMPR, NUM_CORT, COD_NODO, COD_EMPL
                    remove.oldValues.insert(columns.at(key), row.at(key));
                undo.append(remove);
            }
        }
        try {
            if (!undo.isEmpty())
                m_connection.Apply(kSnapshotRows, undo);
        } catch (const Exception &) {
            // The save's own refusal is what the user must read; the rows keep their number.
        }
        throw;
    }
    return header;
}

QVector<engine::SnapshotHeader> SuccessionSnapshots::list(int company, int plan)
{
    const protocol::FetchResult answer = m_connection.Fetch(
        kSnapshotHeaders, QStringLiteral("CortesEmpresa"), {ParamValue{QStringLiteral("COD_EMPR"), FieldType::Smallint, company}});
    QVector<engine::SnapshotHeader> headers;
    const SnapshotColumns columns(answer);
    for (const QVariantList &values : answer.rows) {
        engine::SnapshotHeader header = snapshotHeaderOf(SnapshotRow(columns, values));
        if (plan == 0 || header.plan == plan)
            headers.append(header);
    }
    return headers;
}

engine::Snapshot SuccessionSnapshots::load(int number, int preferredCompany)
{
    const protocol::FetchResult found = m_connection.Fetch(
        kSnapshotHeaders, QStringLiteral("CorteNumero"), {ParamValue{QStringLiteral("NUM_CORT"), FieldType::Integer, number}});
    if (found.rows.isEmpty())
        throw Exception(QStringLiteral("El corte %1 no existe en las empresas que el usuario puede ver.").arg(number));
    engine::Snapshot snapshot;
    const SnapshotColumns headerColumns(found);
    snapshot.header = snapshotHeaderOf(SnapshotRow(headerColumns, found.rows.first()));
    for (const QVariantList &values : found.rows) {
        const engine::SnapshotHeader header = snapshotHeaderOf(SnapshotRow(headerColumns, values));
        if (header.company == preferredCompany)
            snapshot.header = header;
    }
    const protocol::FetchResult rows = m_connection.Fetch(
        kSnapshotRows, QStringLiteral("FilasCorte"),
        {ParamValue{QStringLiteral("COD_EMPR"), FieldType::Smallint, snapshot.header.company},
         ParamValue{QStringLiteral("NUM_CORT"), FieldType::Integer, number}});
    snapshot.entries.reserve(rows.rows.size());
    const SnapshotColumns columns(rows);
    for (const QVariantList &values : rows.rows)
        snapshot.entries.append(snapshotEntryOf(SnapshotRow(columns, values)));
    return snapshot;
}

engine::SnapshotComparison SuccessionSnapshots::compare(int from, int to, int preferredCompany)
{
    const engine::Snapshot earlier = load(from, preferredCompany);
    return engine::compareSnapshots(earlier, load(to, preferredCompany));
}

QVector<engine::HistoryEntry> SuccessionSnapshots::history(int company, double codEmpl)
{
    const protocol::FetchResult answer = m_connection.Fetch(
        kSnapshotRows, QStringLiteral("HistorialCortes"),
        {ParamValue{QStringLiteral("COD_EMPR"), FieldType::Smallint, company},
         ParamValue{QStringLiteral("COD_EMPL"), FieldType::Float, codEmpl}});
    QVector<engine::HistoryEntry> history;
    const SnapshotColumns columns(answer);
    for (const QVariantList &values : answer.rows) {
        const SnapshotRow row(columns, values);
        history.append({snapshotHeaderOf(row), snapshotEntryOf(row)});
    }
    return history;
}
