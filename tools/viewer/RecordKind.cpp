#include "tools/viewer/RecordKind.h"

namespace {

RecordKind employeeRecords(const char *code, const char *title)
{
    RecordKind kind;
    kind.code = QLatin1String(code);
    kind.title = QString::fromUtf8(title);
    return kind;
}

} // namespace

const QList<RecordKind> &RecordKind::all()
{
    static const QList<RecordKind> kinds = [] {
        QList<RecordKind> list{employeeRecords("QBiHvext", "Experiencia laboral"),
                               employeeRecords("QBiEdfor", "Educación formal"),
                               employeeRecords("QBiEdnfo", "Educación no formal"),
                               employeeRecords("QBiCargo", "Maestro de cargos")};
        list[0].table = QStringLiteral("BI_DTPHV");
        list[1].table = QStringLiteral("BI_DTPEF");
        list[2].table = QStringLiteral("BI_DTPNF");
        list[3].table = QStringLiteral("BI_CARGO");
        list[3].perEmployee = false;
        return list;
    }();
    return kinds;
}

const RecordKind *RecordKind::find(const QString &code)
{
    for (const RecordKind &kind : all())
        if (kind.code.compare(code.trimmed(), Qt::CaseInsensitive) == 0)
            return &kind;
    return nullptr;
}

QString RecordKind::statement() const
{
    if (!perEmployee)
        return QStringLiteral("MaestroCargos");
    if (table == QLatin1String("BI_DTPHV"))
        return QStringLiteral("HojaExperiencia");
    return table == QLatin1String("BI_DTPEF") ? QStringLiteral("HojaEducacionFormal") : QStringLiteral("HojaEducacionNoFormal");
}

QVariantMap RecordKind::slotValues(int company, double employee) const
{
    QVariantMap values{{QStringLiteral("empresa"), company}};
    if (perEmployee)
        values.insert(QStringLiteral("empleado"), employee);
    return values;
}

QStringList RecordKind::columnTitles() const
{
    if (!perEmployee)
        return {QStringLiteral("Cargo"), QStringLiteral("Nombre"), QStringLiteral("Nivel"),
                QStringLiteral("Puntos requeridos"), QStringLiteral("Activo")};
    return {QStringLiteral("Registro"), QStringLiteral("Tipo"), QStringLiteral("Requisito"),
            QStringLiteral("Nombre del requisito"), QStringLiteral("Especificación"),
            QStringLiteral("Descripción"), QStringLiteral("Fecha"), QStringLiteral("Puntos")};
}
