#include "tests/data/support/CompanyBuilder.h"

#include "appserver/PasswordHash.h"

#include "tests/support/DemoDatabase.h"

#include "tools/dbtools/DatabaseOpener.h"
#include "tools/dbtools/SchemaLoader.h"

#include <QSqlError>
#include <QSqlQuery>

CompanyBuilder::CompanyBuilder()
{
    m_path = m_dir.filePath(QStringLiteral("company.db"));
    m_connection = QStringLiteral("company-builder-%1").arg(quintptr(this));
    dbtools::DbOutcome outcome = dbtools::DatabaseOpener::openSqlite(m_path, m_connection);
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (outcome.ok())
        outcome = dbtools::SchemaLoader(db).create();
    m_error = outcome.error;
    if (isValid())
        db.transaction();
    insert(QStringLiteral("GN_USUAR"), QStringLiteral("COD_USUA,PAS_USUA,TIP_USUA"),
           {QStringLiteral("ADMIN"), appserver::PasswordHash::make(QStringLiteral("ADMIN")), QStringLiteral("A")});
}

CompanyBuilder::~CompanyBuilder()
{
    m_statements.clear();
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

void CompanyBuilder::insert(const QString &table, const QString &columns, const QVariantList &values)
{
    if (!isValid())
        return;
    const QString marks = QStringList(values.size(), QStringLiteral("?")).join(QLatin1Char(','));
    const QString statement = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns, marks);
    auto found = m_statements.find(statement);
    if (found == m_statements.end()) {
        QSqlQuery prepared(QSqlDatabase::database(m_connection, false));
        prepared.prepare(statement);
        found = m_statements.insert(statement, prepared);
    }
    QSqlQuery &query = *found;
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        m_error = table + QStringLiteral(": ") + query.lastError().text();
}

void CompanyBuilder::company(int code, const QString &flag)
{
    insert(QStringLiteral("GN_EMPRE"), QStringLiteral("COD_EMPR,NOM_EMPR,COD_PAIS"),
           {code, QStringLiteral("Empresa %1").arg(code), 170});
    insert(QStringLiteral("GN_USEMP"), QStringLiteral("COD_USUA,COD_EMPR"), {QStringLiteral("ADMIN"), code});
    insert(QStringLiteral("GN_NEXOF"), QStringLiteral("COD_VARI,COD_PAIS,COD_EMPR,VAL_VARI,TIP_DATO"),
           {QStringLiteral("Q0000190"), 170, code, flag, QStringLiteral("C")});
    const QList<QPair<const char *, const char *>> types{{"EF", "FO"}, {"EF", "PG"}, {"EN", "CU"}, {"EN", "SE"},
                                                        {"EP", "EX"}, {"CO", "CO"}, {"CF", "CF"}, {"CE", "CE"}};
    for (const auto &[category, type] : types)
        this->category(code, QLatin1String(category), QLatin1String(type));
}

void CompanyBuilder::category(int company, const QString &category, const QString &recordType)
{
    insert(QStringLiteral("AC_DPAMA"), QStringLiteral("COD_EMPR,COD_DETA,TIP_REGI"),
           {company, category, recordType});
}

void CompanyBuilder::position(int company, const QString &code, const QString &name)
{
    insert(QStringLiteral("BI_CARGO"), QStringLiteral("COD_EMPR,COD_CARG,NOM_CARG,IND_ACTI"),
           {company, code, name, QStringLiteral("A")});
}

void CompanyBuilder::profileRow(int company, const QString &position, const QString &type, const QVariant &requirement,
                                const QVariant &detail, const QVariant &points)
{
    insert(QStringLiteral("BI_DTPCA"),
           QStringLiteral("COD_EMPR,COD_CARG,NUM_REGI,TIP_REGI,COD_REQU,COD_ESPE,PUN_REQU"),
           {company, position, ++m_serials[QStringLiteral("BI_DTPCA")], type, requirement, detail, points});
}

void CompanyBuilder::employee(int company, double code, const QString &surnames, const QString &names)
{
    insert(QStringLiteral("BI_EMPLE"), QStringLiteral("COD_EMPR,COD_EMPL,APE_EMPL,NOM_EMPL"),
           {company, code, surnames, names});
}

void CompanyBuilder::contract(int company, double employee, int number, const QString &position, bool active)
{
    insert(QStringLiteral("NM_CONTR"), QStringLiteral("COD_EMPR,COD_EMPL,NRO_CONT,COD_CARG,IND_ACTI"),
           {company, employee, number, position, active ? QStringLiteral("A") : QStringLiteral("I")});
}

void CompanyBuilder::record(const QString &table, int company, double employee, const QString &type,
                            const QVariant &requirement, const QVariant &detail, const QVariant &points)
{
    insert(table, QStringLiteral("COD_EMPR,COD_EMPL,NUM_REGI,TIP_REGI,COD_REQU,COD_ESPE,PUN_OBTE"),
           {company, employee, ++m_serials[table], type, requirement, detail, points});
}

void CompanyBuilder::evaluation(int company, double employee, int number, const QString &date)
{
    insert(QStringLiteral("ED_3CCOM"), QStringLiteral("COD_EMPR,RMT_3CCO,COD_EMPL,FEC_DESD"),
           {company, number, employee, date});
}

void CompanyBuilder::evaluationLine(int company, int evaluation, const QString &recordType, const QVariant &requirement,
                                    const QVariant &detail, const QVariant &points)
{
    insert(QStringLiteral("ED_D3CCO"),
           QStringLiteral("COD_EMPR,RMT_3CCO,NUM_LINE,COD_REGI,COD_REQU,COD_ESPE,PUN_OBTE"),
           {company, evaluation, ++m_serials[QStringLiteral("ED_D3CCO")], recordType, requirement, detail, points});
}

void CompanyBuilder::planNode(int company, int plan, int node, int parent, int positionCompany, const QString &position)
{
    insert(QStringLiteral("AC_PPROM"),
           QStringLiteral("COD_EMPR,COD_MENU,COD_NODO,COD_NODP,NOM_MENU,COD_CARG,COD_EMCA"),
           {company, plan, node, parent, QStringLiteral("Nodo %1").arg(node), position, positionCompany});
}

bool CompanyBuilder::commit()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!isValid()) {
        db.rollback();
        return false;
    }
    if (!db.commit())
        m_error = db.lastError().text();
    // Readers then find the rows in the database file rather than in a large write-ahead log.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    return isValid();
}

Session CompanyBuilder::session(int company) const
{
    return localSession(m_path, company);
}
