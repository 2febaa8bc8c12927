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

// Numbers are inserted as text: both were read as numbers from the command line.
QString RecordKind::statement(int company, double employee) const
{
    if (!perEmployee)
        return QStringLiteral("select COD_CARG, NOM_CARG, COD_NIVE, PUN_REQU, IND_ACTI from BI_CARGO "
                              "where COD_EMPR = %1 order by COD_CARG").arg(company);
    return QStringLiteral("select h.NUM_REGI, h.TIP_REGI, h.COD_REQU, "
                          "(select min(q.NOM_REQU) from AC_REQUI q where q.COD_EMPR = h.COD_EMPR "
                          "and q.TIP_REGI = h.TIP_REGI and q.COD_REQU = h.COD_REQU) as NOM_REQU, "
                          "h.COD_ESPE, h.DES_REGI, h.FEC_REGI, h.PUN_OBTE from %1 h "
                          "where h.COD_EMPR = %2 and h.COD_EMPL = %3 order by h.NUM_REGI")
        .arg(table)
        .arg(company)
        .arg(QString::number(employee, 'f', 0));
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
