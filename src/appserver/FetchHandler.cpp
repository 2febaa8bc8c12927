#include "FetchHandler.h"

#include "NamedParams.h"
#include "ReadStatementGuard.h"
#include "SqliteReader.h"

#include <QHash>
#include <QSqlError>
#include <QSqlDriver>
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

// QtSql turns every "?" it takes for code into a marker of its own before PostgreSQL sees the
// text, and it knows fewer quoting forms than PostgreSQL: a "?" there could change what the
// guard read. Our statements name their parameters, so a "?" outside quotes is refused.
bool hasQtPlaceholder(const QString &statement)
{
    QChar closing;
    for (const QChar c : statement) {
        if (!closing.isNull()) {
            if (c == closing)
                closing = QChar();
        } else if (c == QLatin1Char('?')) {
            return true;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
            closing = c;
        }
    }
    return false;
}

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
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
    if (m_dialect.engine() == DatabaseDescription::Engine::Sqlite)
        if (sqlite3 *handle = sqliteHandle(m_connection.database()))
            m_sqlite = std::make_unique<SqliteReader>(handle);
}

FetchHandler::~FetchHandler() = default;

const FetchHandler::Checked *FetchHandler::prepare(const ProviderDef &provider, const FetchRequest &request,
                                                  QVariantList *values, QString *error)
{
    const QString statement = request.commandText.trimmed().isEmpty() ? provider.ownStatement
                                                                       : request.commandText;
    if (statement.trimmed().isEmpty()) {
        *error = QStringLiteral("El proveedor %1 no tiene sentencia propia; "
                                "el cliente debe enviar la consulta.").arg(provider.name);
        return nullptr;
    }
    auto checked = m_checked.constFind(statement);
    if (checked == m_checked.constEnd()) {
        const NamedParams named(statement, m_dialect.syntax());
        // What runs is the text with positional markers; the guard reads exactly that.
        QString refusal = ReadStatementGuard::check(named.positionalStatement(), m_dialect.syntax());
        if (refusal.isEmpty() && m_dialect.syntax() == SqlSyntax::Postgres
            && hasQtPlaceholder(named.positionalStatement()))
            refusal = QStringLiteral("El carácter \"?\" solo se admite entre comillas; "
                                     "use parámetros con nombre (:nombre).");
        if (m_checked.size() >= kCheckedStatements)
            m_checked.clear();
        const OrderByClause order(named.positionalStatement());
        const QString positional = m_dialect.syntax() == SqlSyntax::Postgres
                                       ? order.withNullsSmallest(named.positionalStatement())
                                       : named.positionalStatement();
        checked = m_checked.insert(statement, {refusal, positional, named.markers(), order});
    }
    if (!checked->refusal.isEmpty()) {
        *error = QStringLiteral("Proveedor %1: %2").arg(provider.name, checked->refusal);
        return nullptr;
    }
    *error = bindValues(checked->markers, request.params, values);
    return error->isEmpty() ? &*checked : nullptr;
}

QString FetchHandler::failed(const ProviderDef &provider, const QString &error)
{
    return QStringLiteral("Error en la consulta del proveedor %1: %2").arg(provider.name, error);
}

FetchResult FetchHandler::run(const ProviderDef &provider, const FetchRequest &request)
{
    FetchResult result;
    QVariantList values;
    const Checked *checked = prepare(provider, request, &values, &result.error);
    if (!checked)
        return result;
    result = m_sqlite ? m_sqlite->read(checked->positional, values) : execute(checked->positional, values);
    if (!result.ok())
        result.error = failed(provider, result.error);
    else
        checked->order.settleTies(result.fields, &result.rows);
    return result;
}

QString FetchHandler::runEach(const ProviderDef &provider, const FetchRequest &request, RowSink &sink)
{
    if (!m_sqlite)
        return feedRows(run(provider, request), sink);
    QVariantList values;
    QString error;
    const Checked *checked = prepare(provider, request, &values, &error);
    if (!checked)
        return error;
    OrderedSink ordered(checked->order, sink);
    error = m_sqlite->readEach(checked->positional, values, ordered);
    if (!error.isEmpty())
        return failed(provider, error);
    ordered.finish();
    return {};
}

QString FetchHandler::bindValues(const QStringList &markers, const QList<ParamValue> &params,
                                 QVariantList *values) const
{
    const auto byName = paramsByName(params);
    values->reserve(markers.size());
    for (const QString &name : markers) {
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
    FetchResult result;
    const QString begin = m_dialect.beginRead();
    if (!begin.isEmpty()) {
        result.error = m_connection.exec(begin);
        if (!result.error.isEmpty())
            return result;
    }
    // Lives until the read transaction has ended: its clean-up must not run inside an aborted one.
    QSqlQuery query(m_connection.database());
    query.setForwardOnly(true);
    if (!query.prepare(statement)) {
        result.error = query.lastError().text();
    } else {
        for (const QVariant &value : values)
            query.addBindValue(value);
        if (!query.exec())
            result.error = query.lastError().text();
        else
            readRows(query, &result);
    }
    if (!result.error.isEmpty()) {
        result.fields.clear();
        result.rows.clear();
    }
    const QString end = m_dialect.endRead();
    if (!end.isEmpty()) {
        // A failed statement leaves the read transaction aborted; ending it must not hide why.
        const QString endError = m_connection.exec(result.ok() ? end : QStringLiteral("ROLLBACK"));
        if (result.ok() && !endError.isEmpty())
            result.error = endError;
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
