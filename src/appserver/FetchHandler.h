#pragma once
// Runs one fetch on the read-only connection. A workstation names one of the provider's
// registered statements, and what runs is the registry's own text with every value bound as the
// registry types it; its company values are checked against the user's grants and, where the
// statement says so, its rows kept to the user's companies. The server's own statements (its
// methods) run as they are.

#include "appserver/OrderByClause.h"
#include "appserver/ProtocolNames.h"
#include "appserver/CompanyAccess.h"
#include "appserver/ProviderDef.h"
#include "appserver/StatementRegistry.h"
#include "appserver/SqlConnection.h"
#include "appserver/SqlDialect.h"

#include <QHash>
#include <QVariantList>
#include <memory>

class QSqlQuery;

namespace appserver {

class DirectReader;

class FetchHandler {
public:
    FetchHandler(SqlConnection &connection, const SqlDialect &dialect);
    ~FetchHandler();

    FetchResult run(const ProviderDef &provider, const FetchRequest &request, const CompanyAccess &access);
    // The same read handed to `sink` row by row; the error text, empty on success.
    QString runEach(const ProviderDef &provider, const FetchRequest &request, const CompanyAccess &access,
                    RowSink &sink);
    // A statement of the server's own (named `what` in messages), run as it is.
    FetchResult runOwn(const QString &what, const QString &statement, const FetchRequest &request);
    // Whether the last run was refused (a text that is no registered statement, or a company
    // the user may not use) rather than failed in the database.
    bool lastRefused() const { return m_refused; }

private:
    // A registered statement as the server runs it for one shape of request (slot sizes,
    // conditions, number of companies): the text with positional markers and the names behind
    // them.
    struct Rendered {
        QString positional;
        QStringList markers;
        OrderByClause order;   // the same order of rows on every engine
    };
    // One request ready to run: its statement, the values read from it, the text.
    struct Checked {
        const RegisteredStatement *statement = nullptr;
        StatementValues values;
        const Rendered *rendered = nullptr;
    };

    // Whether the request can run: fills `checked` and its bound values, or says why not.
    QString prepare(const ProviderDef &provider, const FetchRequest &request, const CompanyAccess *access,
                    Checked *checked, QVariantList *values);
    Rendered positional(const QString &statement) const;
    QString checkCompanies(const Checked &checked, const FetchRequest &request, const CompanyAccess &access) const;
    // The values behind each positional marker, or an error naming the parameter. Parameters of
    // a registered statement take the registry's kind; the server's own take the request's type.
    QString bindValues(const Rendered &rendered, const Checked *checked, const QList<ParamValue> &params,
                       const CompanyAccess *access, QVariantList *values) const;
    FetchResult read(const Rendered &rendered, const QVariantList &values);
    // The engine's direct reader on the connection as it is now opened (the connection's own), or null.
    DirectReader *direct();
    FetchResult execute(const QString &statement, const QVariantList &values);
    void readRows(QSqlQuery &query, FetchResult *result) const;
    static QString failed(const QString &provider, const QString &error);

    SqlConnection &m_connection;
    const SqlDialect &m_dialect;
    QHash<QString, Rendered> m_rendered;      // by statement, shape and number of companies
    bool m_refused = false;
};

} // namespace appserver
