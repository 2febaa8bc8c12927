#include "appserver/FetchHandler.h"

#include "protocol/NamedParams.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

namespace appserver {

namespace {

// A dataset may declare a name twice (once for each place the statement uses it) and set only
// the first; the value that was set wins over an unset duplicate.
QHash<QString, const ParamValue *> paramsByName(const QList<ParamValue> &params)
{
    QHash<QString, const ParamValue *> byName;
    for (const ParamValue &param : params) {
        const QString key = param.name.toUpper();
        const auto it = byName.constFind(key);
        if (it == byName.constEnd() || (it.value()->value.isNull() && !param.value.isNull()))
            byName.insert(key, &param);
    }
    return byName;
}

// Passes rows straight on, unless the statement's order leaves ties to settle: then they are
// kept, settled and handed on at the end, as a whole answer would have them.
class OrderedSink : public RowSink {
public:
    OrderedSink(const OrderByClause &order, RowSink &target) : m_order(order), m_target(target) {}
    void fields(const QList<FieldDesc> &fields) override
    {
        m_keep = m_order.settlesTies(fields);
        if (m_keep)
            m_kept.fields = fields;
        else
            m_target.fields(fields);
    }
    void row(const RowCells &cells) override
    {
        if (!m_keep) {
            m_target.row(cells);
            return;
        }
        m_kept.rows.append(cells.values(int(m_kept.fields.size())));
    }
    void finish()
    {
        if (!m_keep)
            return;
        m_order.settleTies(m_kept.fields, &m_kept.rows);
        feedRows(m_kept, m_target);
    }

private:
    const OrderByClause &m_order;
    RowSink &m_target;
    bool m_keep = false;
    FetchResult m_kept;
};

// Checked statements kept at most.
constexpr int kCheckedStatements = 256;

} // namespace

FetchHandler::FetchHandler(SqlConnection &connection, const SqlDialect &dialect)
    : m_connection(connection), m_dialect(dialect)
{
}

DirectReader *FetchHandler::direct()
{
    return m_connection.directReader();
}

FetchHandler::~FetchHandler() = default;

FetchHandler::Checked FetchHandler::positional(const QString &statement) const
{
    Checked checked;
    const NamedParams named(statement, m_dialect.syntax());
    checked.order = OrderByClause(named.positionalStatement());
    checked.positional = m_dialect.sqlEngine().sortsNullsLast()
                             ? checked.order.withNullsSmallest(named.positionalStatement())
                             : named.positionalStatement();
    checked.markers = named.markers();
    return checked;
}

const FetchHandler::Checked *FetchHandler::prepare(const ProviderDef &provider, const FetchRequest &request,
                                                  const CompanyAccess *access, QVariantList *values, QString *error)
{
    const int companies = access ? int(access->allowedList().size()) : -1;
    const QString key = provider.name + QLatin1Char('\n') + QString::number(companies) + QLatin1Char('\n')
                        + request.commandText;
    auto checked = m_checked.constFind(key);
    if (checked == m_checked.constEnd()) {
        StatementValues matched;
        QString refusal;
        const RegisteredStatement *statement = StatementRegistry::module().match(
            provider, request.commandText, m_dialect.syntax(), &matched, &refusal);
        Checked made = statement ? positional(statement->render(matched, companies)) : Checked();
        made.refusal = refusal;
        made.statement = statement;
        made.values = matched;
        if (m_checked.size() >= kCheckedStatements)
            m_checked.clear();
        checked = m_checked.insert(key, made);
    }
    *error = checked->refusal;
    if (error->isEmpty() && access)
        *error = checkCompanies(*checked, request, *access);
    m_refused = !error->isEmpty();
    if (error->isEmpty())
        *error = bindValues(*checked, request.params, access, values);
    return error->isEmpty() ? &*checked : nullptr;
}

QString FetchHandler::checkCompanies(const Checked &checked, const FetchRequest &request,
                                     const CompanyAccess &access) const
{
    const auto byName = paramsByName(request.params);
    for (const QString &name : checked.statement->companyParams())
        if (const ParamValue *param = byName.value(name))
            if (const QString refused = access.checkValue(param->value); !refused.isEmpty())
                return refused;
    for (const int company : checked.values.companies)
        if (const QString refused = access.checkValue(company); !refused.isEmpty())
            return refused;
    return {};
}

QString FetchHandler::failed(const QString &provider, const QString &error)
{
    return QStringLiteral("Error en la consulta del proveedor %1: %2").arg(provider, error);
}

FetchResult FetchHandler::read(const Checked &checked, const QVariantList &values)
{
    DirectReader *reader = direct();
    if (reader)
        reader->sendWith(m_connection.takeAroundRead());
    FetchResult result = reader ? reader->read(checked.positional, values) : execute(checked.positional, values);
    if (result.ok())
        checked.order.settleTies(result.fields, &result.rows);
    return result;
}

FetchResult FetchHandler::run(const ProviderDef &provider, const FetchRequest &request, const CompanyAccess &access)
{
    FetchResult result;
    QVariantList values;
    const Checked *checked = prepare(provider, request, &access, &values, &result.error);
    if (!checked)
        return result;
    result = read(*checked, values);
    if (!result.ok())
        result.error = failed(provider.name, result.error);
    return result;
}

FetchResult FetchHandler::runOwn(const QString &what, const QString &statement, const FetchRequest &request)
{
    const Checked checked = positional(statement);
    m_refused = false;
    FetchResult result;
    QVariantList values;
    result.error = bindValues(checked, request.params, nullptr, &values);
    if (result.ok())
        result = read(checked, values);
    if (!result.ok())
        result.error = failed(what, result.error);
    return result;
}

QString FetchHandler::runEach(const ProviderDef &provider, const FetchRequest &request, const CompanyAccess &access,
                              RowSink &sink)
{
    DirectReader *reader = direct();
    if (!reader)
        return feedRows(run(provider, request, access), sink);
    QVariantList values;
    QString error;
    const Checked *checked = prepare(provider, request, &access, &values, &error);
    if (!checked)
        return error;
    OrderedSink ordered(checked->order, sink);
    reader->sendWith(m_connection.takeAroundRead());
    error = reader->readEach(checked->positional, values, ordered);
    if (!error.isEmpty())
        return failed(provider.name, error);
    ordered.finish();
    return {};
}

namespace {

// The server's own values behind a marker of a rendered statement: "__Sn" the n-th slot value,
// "__Cn" the condition's, "__En" the user's n-th company.
bool ownValue(const QString &name, const StatementValues &matched, const CompanyAccess *access, QVariant *value)
{
    if (!name.startsWith(QLatin1String("__")) || name.size() < 4)
        return false;
    const int index = name.mid(3).toInt() - 1;
    const QChar kind = name.at(2);
    if (kind == QLatin1Char('S')) {
        *value = matched.slotValues.value(index);
        return true;
    }
    if (kind == QLatin1Char('C')) {
        *value = matched.conditionValues.value(index);
        return true;
    }
    if (kind == QLatin1Char('E') && access) {
        *value = access->allowedList().value(index);
        return true;
    }
    return false;
}

} // namespace

QString FetchHandler::bindValues(const Checked &checked, const QList<ParamValue> &params, const CompanyAccess *access,
                                 QVariantList *values) const
{
    const auto byName = paramsByName(params);
    values->reserve(checked.markers.size());
    for (const QString &name : checked.markers) {
        QVariant own;
        if (checked.statement && ownValue(name, checked.values, access, &own)) {
            values->append(own);
            continue;
        }
        const ParamValue *param = byName.value(name.toUpper());
        if (!param)
            return QStringLiteral("Falta el valor del parámetro %1").arg(name);
        QVariant bound;
        if (!m_dialect.toDatabase(param->value, param->type, false, &bound))
            return QStringLiteral("El valor \"%1\" del parámetro %2 no es del tipo %3")
                .arg(param->value.toString(), name, fieldTypeName(param->type));
        values->append(bound);
    }
    return {};
}

FetchResult FetchHandler::execute(const QString &statement, const QVariantList &values)
{
    // A failed read leaves the request's transaction aborted: what else the request runs fails
    // too, and the end of the request rolls it back.
    FetchResult result;
    QSqlQuery *query = m_connection.preparedRead(statement, &result.error);
    if (!query)
        return result;
    for (int i = 0; i < values.size(); ++i)
        query->bindValue(i, values.at(i));
    if (!query->exec())
        result.error = query->lastError().text();
    else
        readRows(*query, &result);
    query->finish();
    if (!result.error.isEmpty()) {
        result.fields.clear();
        result.rows.clear();
    }
    return result;
}

void FetchHandler::readRows(QSqlQuery &query, FetchResult *result) const
{
    result->fields = m_dialect.describeResult(query);
    const int count = result->fields.size();
    QList<FieldType> types;
    for (const FieldDesc &field : result->fields)
        types << field.type;
    while (query.next()) {
        QVariantList row;
        row.reserve(count);
        for (int i = 0; i < count; ++i)
            row << SqlDialect::fromDatabase(query.value(i), types.at(i));
        result->rows << row;
    }
    if (query.lastError().isValid())
        result->error = query.lastError().text();
}

} // namespace appserver
