#include "tools/dbtools/RecordPlanner.h"

#include "tools/dbtools/DemoRandom.h"

#include <QSet>
#include <cmath>

namespace dbtools {

namespace {

QString keyOf(const QString &recordType, int requirement, const QVariant &espe)
{
    return recordType + QLatin1Char('/') + QString::number(requirement) + QLatin1Char('/')
           + (espe.isNull() ? QStringLiteral("-") : QString::number(espe.toInt()));
}

double roundedPoints(double value)
{
    return std::round(value * 10.0) / 10.0;
}

} // namespace

Band RecordPlanner::drawBand()
{
    const int draw = m_random.bounded(100);
    if (draw < 34)
        return Band::Green;
    return draw < 68 ? Band::Yellow : Band::Red;
}

QString RecordPlanner::institutionFor(const QString &recordType)
{
    static const QStringList universities = {
        QStringLiteral("Universidad Nacional"), QStringLiteral("Universidad de Antioquia"),
        QStringLiteral("Universidad del Valle"), QStringLiteral("Universidad Industrial de Santander"),
        QStringLiteral("Universidad de Cartagena"), QStringLiteral("Universidad Tecnológica de Pereira")};
    static const QStringList academies = {
        QStringLiteral("Servicio Nacional de Aprendizaje"), QStringLiteral("Cámara de Comercio"),
        QStringLiteral("Instituto de Idiomas Británico"), QStringLiteral("Fundación Educativa Señor de los Milagros")};
    static const QStringList employers = {
        QStringLiteral("Distribuidora La Montaña Ltda."), QStringLiteral("Confecciones Añil S.A."),
        QStringLiteral("Transportes El Cóndor S.A.S."), QStringLiteral("Cooperativa Agraria del Cauca"),
        QStringLiteral("Metalmecánica Núñez Hermanos")};
    if (recordType == QLatin1String("FO") || recordType == QLatin1String("PG"))
        return m_random.pick(universities);
    if (recordType == QLatin1String("EX"))
        return m_random.pick(employers);
    return m_random.pick(academies);
}

void RecordPlanner::add(EmployeeRecords &records, const EmployeeRecord &record) const
{
    const RecordTypeInfo *type = DemoCatalog::recordType(record.recordType);
    const QString category = type ? type->category : QString();
    if (category == QLatin1String("EF"))
        records.formal << record;
    else if (category == QLatin1String("EN"))
        records.nonFormal << record;
    else if (category == QLatin1String("EP"))
        records.experience << record;
    else
        records.competences << record;
}

EmployeeRecords RecordPlanner::plan(const QList<ProfileRow> &target, Band band, int ordinary)
{
    EmployeeRecords records;
    QSet<QString> used;
    double presence = 1.0, low = 0.98, high = 1.25;
    if (band == Band::Yellow) {
        presence = 0.97, low = 0.74, high = 0.88;
    } else if (band == Band::Red) {
        presence = 0.65, low = 0.25, high = 0.65;
    }
    for (const ProfileRow &row : target) {
        const QString key = keyOf(row.recordType, row.requirement, row.espe);
        if (used.contains(key) || !m_random.chance(presence))
            continue;
        used.insert(key);
        const double required = row.points.isNull() ? 5.0 : row.points.toDouble();
        const RequirementInfo *info = DemoCatalog::requirement(row.recordType, row.requirement);
        const QString what = info ? ProfileBuilder::describe(*info, row.espe) : row.description;
        add(records, {row.recordType, row.requirement, row.espe,
                      roundedPoints(required * m_random.uniform(low, high)),
                      (institutionFor(row.recordType) + QStringLiteral(" - ") + what).left(80),
                      QDate(2000, 1, 1).addDays(m_random.bounded(8700))});
    }
    for (const ProfileRow &row : target)
        used.insert(keyOf(row.recordType, row.requirement, row.espe));

    // Ordinary records: a school diploma first, then anything the target does not ask for.
    static const QStringList ordinaryTypes = {QStringLiteral("FO"), QStringLiteral("CU"),
                                              QStringLiteral("CU"), QStringLiteral("EX"),
                                              QStringLiteral("SE")};
    const auto &catalogue = DemoCatalog::requirements();
    for (int added = 0, attempts = 0; added < ordinary && attempts < ordinary * 20; ++attempts) {
        const RequirementInfo *info = added == 0 ? DemoCatalog::requirement(QStringLiteral("FO"), 109)
                                                 : nullptr;
        if (!info) {
            const QString type = m_random.pick(ordinaryTypes);
            const RequirementInfo &candidate = catalogue.at(m_random.bounded(int(catalogue.size())));
            if (candidate.recordType != type)
                continue;
            info = &candidate;
        }
        const QVariant espe = info->espes.isEmpty()
            ? QVariant() : QVariant(info->espes.at(m_random.bounded(int(info->espes.size()))).code);
        const QString key = keyOf(info->recordType, info->code, espe);
        if (used.contains(key)) {
            if (added == 0)
                ++added;   // the target itself asks for the diploma
            continue;
        }
        used.insert(key);
        const RecordTypeInfo *type = DemoCatalog::recordType(info->recordType);
        add(records, {info->recordType, info->code, espe,
                      roundedPoints(type->points * m_random.uniform(0.5, 1.0)),
                      (institutionFor(info->recordType) + QStringLiteral(" - ")
                       + ProfileBuilder::describe(*info, espe)).left(80),
                      QDate(1995, 1, 1).addDays(m_random.bounded(10500))});
        ++added;
    }
    return records;
}

} // namespace dbtools
