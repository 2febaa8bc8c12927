#include "CompanyAccess.h"

#include <QRegularExpression>

namespace appserver {

namespace {

bool isCompanyColumn(const QString &name)
{
    return name.compare(QLatin1String("COD_EMPR"), Qt::CaseInsensitive) == 0;
}

// A company code as a client sends it: a whole number, possibly as text or as a float.
bool toCompany(const QVariant &value, int *company)
{
    bool ok = false;
    const double number = value.toString().trimmed().toDouble(&ok);
    if (!ok || number != double(int(number)))
        return false;
    *company = int(number);
    return true;
}

} // namespace

CompanyAccess::CompanyAccess(QString user, QSet<int> allowed, QHash<int, QString> names)
    : m_user(std::move(user)), m_allowed(std::move(allowed)), m_names(std::move(names))
{
}

bool CompanyAccess::mayUse(int company) const
{
    return company == 0 || m_allowed.contains(company);
}

QString CompanyAccess::refusal(const QString &company) const
{
    bool number = false;
    const QString name = m_names.value(company.toInt(&number));
    return number && !name.isEmpty()
        ? QStringLiteral("El usuario %1 no tiene acceso a la empresa %2 (%3).").arg(m_user, company, name)
        : QStringLiteral("El usuario %1 no tiene acceso a la empresa %2.").arg(m_user, company);
}

QString CompanyAccess::checkCompany(int company) const
{
    return mayUse(company) ? QString() : refusal(QString::number(company));
}

bool CompanyAccess::isCompanyParameter(const QString &name)
{
    const QString plain = name.toUpper().remove(QLatin1Char('_'));
    return plain.contains(QLatin1String("EMPR")) || plain.endsWith(QLatin1String("EMCA"));
}

QList<int> CompanyAccess::literalCompanies(const QString &statement, SqlSyntax syntax)
{
    // "COD_EMPR = 3", "a.cod_empr=3", "COD_EMPR IN (1, 3)" and the same written the other way round.
    static const QRegularExpression compared(
        QStringLiteral("\\bCOD_EMPR\\s*=\\s*([0-9]+)\\b|\\b([0-9]+)\\s*=\\s*(?:\\w+\\.)?COD_EMPR\\b"
                       "|\\bCOD_EMPR\\s+IN\\s*\\(([0-9,\\s]+)\\)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression number(QStringLiteral("[0-9]+"));
    QList<int> companies;
    auto matches = compared.globalMatch(SqlMask::codeOnly(statement, syntax));
    while (matches.hasNext()) {
        const auto match = matches.next();
        for (int group = 1; group <= 3; ++group) {
            auto numbers = number.globalMatch(match.captured(group));
            while (numbers.hasNext())
                companies << numbers.next().captured().toInt();
        }
    }
    return companies;
}

QString CompanyAccess::checkFetch(const FetchRequest &request, const QString &statement, SqlSyntax syntax) const
{
    for (const ParamValue &param : request.params) {
        if (param.value.isNull() || !isCompanyParameter(param.name))
            continue;
        int company = 0;
        const QString refused = toCompany(param.value, &company) ? checkCompany(company)
                                                                 : refusal(param.value.toString());
        if (!refused.isEmpty())
            return refused;
    }
    for (const int company : literalCompanies(statement, syntax))
        if (const QString refused = checkCompany(company); !refused.isEmpty())
            return refused;
    return {};
}

QString CompanyAccess::checkApply(const ApplyRequest &request) const
{
    for (const RowDelta &delta : request.deltas) {
        for (const QVariantMap *values : {&delta.oldValues, &delta.newValues}) {
            for (auto it = values->cbegin(); it != values->cend(); ++it) {
                if (!isCompanyColumn(it.key()) || it.value().isNull())
                    continue;
                int company = 0;
                const QString refused = toCompany(it.value(), &company) ? checkCompany(company)
                                                                        : refusal(it.value().toString());
                if (!refused.isEmpty())
                    return refused;
            }
        }
    }
    return {};
}

void CompanyAccess::RowFilter::fields(const QList<FieldDesc> &fields)
{
    m_columns.clear();
    for (int i = 0; i < fields.size(); ++i)
        if (isCompanyColumn(fields.at(i).name))
            m_columns << i;
    m_target.fields(fields);
}

void CompanyAccess::RowFilter::row(const RowCells &cells)
{
    for (const int column : std::as_const(m_columns)) {
        if (cells.isNull(column))
            continue;
        int company = 0;
        if (!toCompany(cells.value(column), &company) || !m_access.mayUse(company))
            return;
    }
    m_target.row(cells);
}

} // namespace appserver
