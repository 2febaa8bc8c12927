#include "appserver/FetchHandler.h"

#include "appserver/CatalogValue.h"
#include "protocol/NamedParams.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

namespace appserver {

namespace {

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

FetchHandler::Rendered FetchHandler::positional(const QString &statement) const
{
    Rendered rendered;
    const NamedParams named(statement, m_dialect.syntax());
    rendered.order = OrderByClause(named.positionalStatement());
    rendered.positional = m_dialect.sqlEngine().sortsNullsLast()
                              ? rendered.order.withNullsSmallest(named.positionalStatement())
                              : named.positionalStatement();
    rendered.markers = named.markers();
    return rendered;
}

QString FetchHandler::prepare(const ProviderDef &provider, const FetchRequest &request, const CompanyAccess *access,
                              Checked *checked, QVariantList *values)
{
    m_refused = true;
    QString error;
    checked->statement = StatementRegistry::module().find(provider, request.statement, &error);
    if (!checked->statement)
        return error;
    if (error = checked->statement->bind(request, m_dialect, &checked->values); !error.isEmpty())
        return error;
    if (access)
        if (error = checkCompanies(*checked, request, *access); !error.isEmpty())
            return error;
    const int companies = access ? int(access->allowedList().size()) : -1;
    const QString key = checked->statement->name() + QLatin1Char('\n') + QString::number(companies)
                        + QLatin1Char('\n') + checked->values.shape();
    auto rendered = m_rendered.constFind(key);
    if (rendered == m_rendered.constEnd()) {
        if (m_rendered.size() >= kCheckedStatements)
            m_rendered.clear();
        rendered = m_rendered.insert(key, positional(checked->statement->render(checked->values, companies)));
    }
    checked->rendered = &*rendered;
    error = bindValues(*rendered, checked, request.params, access, values);
    // A value the registry's kind does not take is the request's fault, as a refusal is.
    m_refused = !error.isEmpty();
    return error;
}

QString FetchHandler::checkCompanies(const Checked &checked, const FetchRequest &request,
                                     const CompanyAccess &access) const
{
    const auto byName = paramsByName(request.params);
    for (const QString &name : checked.statement->companyParams()) {
        const ParamValue *param = byName.value(name);
        if (!param)
            continue;
        QVariant company;
        QString why;
        if (!toCatalogValue(param->value, ValueKind::Company, &company, &why))
            return QStringLiteral("El parámetro %1 de la sentencia %2 no sirve: %3.")
                .arg(name, checked.statement->name(), why);
        if (const QString refused = access.checkValue(company); !refused.isEmpty())
            return refused;
    }
    for (const int company : checked.values.companies)
        if (const QString refused = access.checkValue(company); !refused.isEmpty())
            return refused;
    return {};
}

QString FetchHandler::failed(const QString &provider, const QString &error)
{
    return QStringLiteral("Error en la consulta del proveedor %1: %2").arg(provider, error);
}

FetchResult FetchHandler::read(const Rendered &rendered, const QVariantList &values)
{
    DirectReader *reader = direct();
    if (reader)
        reader->sendWith(m_connection.takeAroundRead());
    FetchResult result = reader ? reader->read(rendered.positional, values) : execute(rendered.positional, values);
    if (result.ok())
        rendered.order.settleTies(result.fields, &result.rows);
    return result;
}

FetchResult FetchHandler::run(const ProviderDef &provider, const FetchRequest &request, const CompanyAccess &access)
{
    FetchResult result;
    Checked checked;
    QVariantList values;
    result.error = prepare(provider, request, &access, &checked, &values);
    if (!result.ok())
        return result;
    result = read(*checked.rendered, values);
    if (!result.ok())
        result.error = failed(provider.name, result.error);
    return result;
}

FetchResult FetchHandler::runOwn(const QString &what, const QString &statement, const FetchRequest &request)
{
    const Rendered rendered = positional(statement);
    m_refused = false;
    FetchResult result;
    QVariantList values;
    result.error = bindValues(rendered, nullptr, request.params, nullptr, &values);
    if (result.ok())
        result = read(rendered, values);
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
    Checked checked;
    QVariantList values;
    if (const QString error = prepare(provider, request, &access, &checked, &values); !error.isEmpty())
        return error;
    OrderedSink ordered(checked.rendered->order, sink);
    reader->sendWith(m_connection.takeAroundRead());
    if (const QString error = reader->readEach(checked.rendered->positional, values, ordered); !error.isEmpty())
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

QString FetchHandler::bindValues(const Rendered &rendered, const Checked *checked, const QList<ParamValue> &params,
                                 const CompanyAccess *access, QVariantList *values) const
{
    const auto byName = paramsByName(params);
    values->reserve(rendered.markers.size());
    for (const QString &name : rendered.markers) {
        QVariant own;
        if (checked && ownValue(name, checked->values, access, &own)) {
            QVariant bound;
            m_dialect.toDatabase(own, FieldType::Unknown, false, &bound);
            values->append(bound);
            continue;
        }
        const ParamValue *param = byName.value(name.toUpper());
        if (!param)
            return QStringLiteral("Falta el valor del parámetro %1").arg(name);
        QVariant bound;
        if (checked) {
            ValueKind kind = ValueKind::Text;
            QVariant typed;
            QString why;
            checked->statement->paramKind(name, &kind);
            if (!toCatalogValue(param->value, kind, &typed, &why))
                return QStringLiteral("El parámetro %1 de la sentencia %2 no sirve: %3.")
                    .arg(name, checked->statement->name(), why);
            m_dialect.toDatabase(typed, kind == ValueKind::Date ? FieldType::DateTime : FieldType::Unknown, false,
                                 &bound);
        } else if (!m_dialect.toDatabase(param->value, param->type, false, &bound)) {
            return QStringLiteral("El valor \"%1\" del parámetro %2 no es del tipo %3")
                .arg(param->value.toString(), name, fieldTypeName(param->type));
        }
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
