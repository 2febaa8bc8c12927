#include "tools/dbtools/DemoCatalog.h"

namespace dbtools {
namespace DemoCatalog {

const QList<CountryInfo> &countries()
{
    static const QList<CountryInfo> list = {
        {170, QStringLiteral("Colombia")},
        {218, QStringLiteral("Ecuador")},
        {604, QStringLiteral("Perú")},
    };
    return list;
}

const QList<CompanyInfo> &companies()
{
    static const QList<CompanyInfo> list = {
        {1, QStringLiteral("Grupo Empresarial Andino S.A."), 900123456, QStringLiteral("7"),
         QStringLiteral("Calle 72 # 10-34, Bogotá D.C."), QStringLiteral("(601) 345 6789"), 170,
         QStringLiteral("S"), true, QStringLiteral("Q"), 1300000, 162000},
        {2, QStringLiteral("Industrias Peñalisa S.A.S."), 800987654, QStringLiteral("3"),
         QStringLiteral("Carrera 50 # 12 Sur-40, Itagüí"), QStringLiteral("(604) 444 1020"), 170,
         QStringLiteral("N"), false, QStringLiteral("M"), 1300000, 162000},
        {3, QStringLiteral("Comercializadora del Pacífico Cía. Ltda."), 1790012345001.0,
         QString(), QStringLiteral("Av. 9 de Octubre 1204, Guayaquil"),
         QStringLiteral("(04) 256 7890"), 218, QVariant(), false, QStringLiteral("M"), 460, 0},
    };
    return list;
}

const QList<LevelInfo> &levels()
{
    static const QList<LevelInfo> list = {
        {QStringLiteral("01"), QStringLiteral("Directivo")},
        {QStringLiteral("02"), QStringLiteral("Ejecutivo")},
        {QStringLiteral("03"), QStringLiteral("Profesional")},
        {QStringLiteral("04"), QStringLiteral("Técnico")},
        {QStringLiteral("05"), QStringLiteral("Asistencial")},
        {QStringLiteral("06"), QStringLiteral("Operativo")},
    };
    return list;
}

QString levelName(const QString &level)
{
    for (const LevelInfo &info : levels()) {
        if (info.code == level)
            return info.name;
    }
    return {};
}

const QList<PositionInfo> &positions()
{
    auto p = [](int company, const char *code, const char *name, const char *level,
                const char *area, int headcount, bool active = true) {
        return PositionInfo{company, QString::fromUtf8(code), QString::fromUtf8(name),
                            QString::fromUtf8(level), QString::fromUtf8(area), active, headcount};
    };
    static const QList<PositionInfo> list = {
        // Grupo Empresarial Andino: head office services.
        p(1, "GER001", "Gerente General", "01", "ADM", 1),
        p(1, "GER002", "Gerente Administrativo y Financiero", "01", "FIN", 1),
        p(1, "GER003", "Gerente Comercial", "01", "COM", 1),
        p(1, "GER004", "Gerente de Talento Humano", "01", "GH", 1),
        p(1, "DIR001", "Director de Contabilidad", "02", "FIN", 2),
        p(1, "DIR002", "Director de Tesorería", "02", "FIN", 2),
        p(1, "DIR003", "Director de Ventas", "02", "COM", 3),
        p(1, "DIR004", "Director de Mercadeo", "02", "COM", 2),
        p(1, "DIR005", "Director de Nómina", "02", "GH", 1),
        p(1, "DIR006", "Director de Selección y Desarrollo", "02", "GH", 1),
        p(1, "COO001", "Coordinador de Contabilidad", "03", "FIN", 4),
        p(1, "COO002", "Coordinador de Cartera", "03", "FIN", 4),
        p(1, "COO003", "Coordinador de Ventas Regionales", "03", "COM", 6),
        p(1, "COO004", "Coordinador de Bienestar", "03", "GH", 2),
        p(1, "PRO001", "Profesional Contable", "03", "FIN", 9),
        p(1, "PRO002", "Analista Financiero", "03", "FIN", 7),
        p(1, "PRO003", "Analista de Nómina", "03", "GH", 5),
        p(1, "PRO004", "Analista de Selección", "03", "GH", 4),
        p(1, "PRO005", "Ejecutivo de Cuenta", "03", "COM", 18),
        p(1, "PRO006", "Analista de Mercadeo", "03", "COM", 6),
        p(1, "TEC001", "Auxiliar Contable", "04", "FIN", 16),
        p(1, "TEC002", "Auxiliar de Tesorería", "04", "FIN", 9),
        p(1, "TEC003", "Asistente Comercial", "05", "COM", 22),
        p(1, "TEC004", "Auxiliar de Nómina", "05", "GH", 8),
        p(1, "TEC005", "Recepcionista", "06", "ADM", 4),
        p(1, "DIR099", "Director de Proyectos Especiales", "02", "ADM", 0, false),
        p(1, "PRO099", "Digitador", "05", "ADM", 0, false),
        p(1, "TEC099", "Mensajero", "06", "ADM", 0, false),
        // Industrias Peñalisa: manufacturing plant.
        p(2, "GPL001", "Gerente de Planta", "01", "PRO", 1),
        p(2, "JPR001", "Jefe de Producción", "02", "PRO", 2),
        p(2, "JMT001", "Jefe de Mantenimiento", "02", "MAN", 1),
        p(2, "JCA001", "Jefe de Calidad", "02", "CAL", 1),
        p(2, "JLO001", "Jefe de Logística", "02", "LOG", 2),
        p(2, "SUP001", "Supervisor de Producción", "03", "PRO", 6),
        p(2, "SUP002", "Supervisor de Mantenimiento", "03", "MAN", 3),
        p(2, "SUP003", "Supervisor de Bodega", "03", "LOG", 3),
        p(2, "ING001", "Ingeniero de Procesos", "03", "PRO", 4),
        p(2, "ING002", "Ingeniero de Calidad", "03", "CAL", 3),
        p(2, "TEC101", "Técnico Electromecánico", "04", "MAN", 10),
        p(2, "TEC102", "Técnico de Laboratorio", "04", "CAL", 6),
        p(2, "OPE001", "Operario de Máquina", "06", "PRO", 38),
        p(2, "OPE002", "Operario de Empaque", "06", "PRO", 24),
        p(2, "OPE003", "Montacarguista", "06", "LOG", 8),
        p(2, "AUX001", "Auxiliar de Bodega", "05", "LOG", 12),
        p(2, "OPE099", "Operario de Calderas", "06", "MAN", 0, false),
        p(2, "TEC199", "Dibujante Técnico", "04", "MAN", 0, false),
        // Comercializadora del Pacífico: retail.
        p(3, "GER001", "Gerente", "01", "ADM", 1),
        p(3, "ADM001", "Administrador de Tienda", "02", "TIE", 3),
        p(3, "VEN001", "Jefe de Ventas", "03", "TIE", 2),
        p(3, "CON001", "Contador", "03", "FIN", 1),
        p(3, "VEN002", "Vendedor", "05", "TIE", 16),
        p(3, "CAJ001", "Cajero", "05", "TIE", 8),
        p(3, "AUX002", "Auxiliar Administrativo", "05", "ADM", 4),
        p(3, "BOD001", "Bodeguero", "06", "LOG", 5),
        p(3, "VEN099", "Vendedor Ambulante", "06", "TIE", 0, false),
    };
    return list;
}

const QList<PlanInfo> &plans()
{
    auto n = [](int node, int parent, int company, const char *position, const char *years,
                const char *days) {
        return PlanNodeInfo{node, parent, company, QString::fromUtf8(position),
                            QString::fromUtf8(years), QString::fromUtf8(days), QString()};
    };
    static const QList<PlanInfo> list = {
        // Spans the group: node 10 and below hold positions of company 2.
        {1, 1, QStringLiteral("Carrera Financiera y Logística"),
         {n(1, 0, 1, "GER002", "5", "0"), n(2, 1, 1, "DIR001", "3", "0"),
          n(3, 1, 1, "DIR002", "3", "0"), n(4, 2, 1, "COO001", "2", "0"),
          n(5, 3, 1, "COO002", "2", "0"), n(6, 4, 1, "PRO001", "2", "0"),
          n(7, 3, 1, "PRO002", "2", "0"), n(8, 6, 1, "TEC001", "1", "90"),
          n(9, 5, 1, "TEC002", "1", "90"), n(10, 1, 2, "JLO001", "3", "0"),
          n(11, 10, 2, "SUP003", "2", "0"), n(12, 11, 2, "AUX001", "1", "60"),
          n(13, 11, 2, "OPE003", "1", "60")}},
        // The top node was added last: nodes 1 and 5 name a parent with a higher number.
        {1, 2, QStringLiteral("Carrera Comercial"),
         {n(1, 8, 1, "DIR003", "3", "0"), n(2, 1, 1, "COO003", "2", "0"),
          n(3, 2, 1, "PRO005", "2", "0"), n(4, 3, 1, "TEC003", "1", "30"),
          n(5, 8, 1, "DIR004", "3", "0"), n(6, 5, 1, "PRO006", "2", "0"),
          n(7, 4, 1, "TEC005", "1", "0"), n(8, 0, 1, "GER003", "5", "0")}},
        {2, 3, QStringLiteral("Carrera Técnica de Planta"),
         {n(1, 0, 2, "GPL001", "5", "0"), n(2, 1, 2, "JPR001", "3", "0"),
          n(3, 1, 2, "JMT001", "3", "0"), n(4, 1, 2, "JCA001", "3", "0"),
          n(5, 2, 2, "SUP001", "2", "0"), n(6, 3, 2, "SUP002", "2", "0"),
          n(7, 2, 2, "ING001", "2", "0"), n(8, 4, 2, "ING002", "2", "0"),
          n(9, 6, 2, "TEC101", "1", "60"), n(10, 8, 2, "TEC102", "1", "60"),
          n(11, 5, 2, "OPE001", "1", "0"), n(12, 5, 2, "OPE002", "1", "0"),
          n(13, 1, 2, "JLO001", "3", "0"), n(14, 13, 2, "SUP003", "2", "0"),
          n(15, 14, 2, "OPE003", "1", "30"), n(16, 14, 2, "AUX001", "1", "30")}},
    };
    return list;
}

const QList<RecordTypeInfo> &recordTypes()
{
    static const QList<RecordTypeInfo> list = {
        {QStringLiteral("FO"), QStringLiteral("EDUCACIÓN FORMAL"), QStringLiteral("EF"), 20},
        {QStringLiteral("PG"), QStringLiteral("POSGRADOS"), QStringLiteral("EF"), 15},
        {QStringLiteral("CU"), QStringLiteral("CURSOS Y DIPLOMADOS"), QStringLiteral("EN"), 8},
        {QStringLiteral("SE"), QStringLiteral("SEMINARIOS Y CONGRESOS"), QStringLiteral("EN"), 5},
        {QStringLiteral("EX"), QStringLiteral("EXPERIENCIA LABORAL"), QStringLiteral("EP"), 20},
        {QStringLiteral("CO"), QStringLiteral("COMPETENCIAS ORGANIZACIONALES"), QStringLiteral("CO"), 10},
        {QStringLiteral("CF"), QStringLiteral("COMPETENCIAS FUNCIONALES"), QStringLiteral("CF"), 10},
        {QStringLiteral("CE"), QStringLiteral("COMPETENCIAS ESPECÍFICAS"), QStringLiteral("CE"), 10},
    };
    return list;
}

const QList<RequirementInfo> &requirements()
{
    // Built once: the seeders look requirements up for every record they make.
    static const QList<RequirementInfo> list = [] {
        const QList<EspeInfo> degree = {{3, QStringLiteral("Técnico")}, {2, QStringLiteral("Tecnólogo")},
                                        {1, QStringLiteral("Profesional")}};
        const QList<EspeInfo> postgraduate = {{2, QStringLiteral("En curso")},
                                              {1, QStringLiteral("Título obtenido")}};
        const QList<EspeInfo> years = {{1, QStringLiteral("De 1 a 3 años")},
                                       {2, QStringLiteral("De 3 a 5 años")},
                                       {3, QStringLiteral("Más de 5 años")}};
        const QList<EspeInfo> mastery = {{1, QStringLiteral("Nivel básico")},
                                         {2, QStringLiteral("Nivel intermedio")},
                                         {3, QStringLiteral("Nivel avanzado")}};
        const QList<EspeInfo> certified = {{1, QStringLiteral("Certificado por el área")}};
        auto r = [](const char *type, int code, const char *name, const QList<EspeInfo> &espes) {
            return RequirementInfo{QString::fromUtf8(type), code, QString::fromUtf8(name), espes};
        };
        return QList<RequirementInfo>{
            r("FO", 101, "Administración de Empresas", degree),
            r("FO", 102, "Contaduría Pública", degree.mid(1)),
            r("FO", 103, "Economía", degree.mid(2)),
            r("FO", 104, "Ingeniería Industrial", degree),
            r("FO", 105, "Ingeniería Electromecánica", degree),
            r("FO", 106, "Psicología", degree.mid(2)),
            r("FO", 107, "Mercadeo y Publicidad", degree.mid(1)),
            r("FO", 108, "Gestión Logística", degree.mid(0, 2)),
            r("FO", 109, "Bachillerato", {{4, QStringLiteral("Académico")}, {5, QStringLiteral("Técnico comercial")}}),
            r("PG", 201, "Especialización en Finanzas", postgraduate),
            r("PG", 202, "Maestría en Administración (MBA)", postgraduate),
            r("PG", 203, "Especialización en Gestión Humana", postgraduate),
            r("PG", 204, "Especialización en Gerencia de Producción", postgraduate),
            r("PG", 205, "Especialización en Gerencia Comercial", postgraduate),
            r("CU", 301, "Excel", mastery),
            r("CU", 302, "Normas Internacionales de Información Financiera", {{1, QStringLiteral("Diplomado de 120 horas")}}),
            r("CU", 303, "Seguridad y Salud en el Trabajo", {{1, QStringLiteral("Curso de 50 horas")}, {2, QStringLiteral("Curso avanzado")}}),
            r("CU", 304, "Servicio al Cliente", {{1, QStringLiteral("Curso")}}),
            r("CU", 305, "Inglés", {{1, QStringLiteral("Nivel A2")}, {2, QStringLiteral("Nivel B1")}, {3, QStringLiteral("Nivel B2")}}),
            r("CU", 306, "Operación de Montacargas", {{1, QStringLiteral("Licencia vigente")}}),
            r("CU", 307, "Buenas Prácticas de Manufactura", {{1, QStringLiteral("Curso")}}),
            r("CU", 308, "Legislación Laboral", {{1, QStringLiteral("Diplomado")}}),
            r("CU", 309, "Trabajo Seguro en Alturas", {{1, QStringLiteral("Nivel básico")}, {2, QStringLiteral("Nivel avanzado")}}),
            // A code beyond the 16-bit range, as the suite's catalogues have.
            r("CU", 40001, "Gestión de Proyectos (PMP)", {{1, QStringLiteral("Certificación")}}),
            r("SE", 401, "Liderazgo y Coaching", {}),
            r("SE", 402, "Actualización Tributaria", {}),
            r("SE", 403, "Congreso de Gestión Humana", {}),
            r("EX", 501, "Experiencia en Contabilidad", years),
            r("EX", 502, "Experiencia en Tesorería y Finanzas", years),
            r("EX", 503, "Experiencia en Ventas", years),
            r("EX", 504, "Experiencia en Producción", years),
            r("EX", 505, "Experiencia en Mantenimiento Industrial", years),
            r("EX", 506, "Experiencia en Cargos Directivos", years),
            r("EX", 507, "Experiencia en Logística y Bodega", years),
            r("EX", 508, "Experiencia en Talento Humano", years),
            r("EX", 509, "Experiencia en Atención al Público", years),
            r("CO", 601, "Orientación al Logro", {}),
            r("CO", 602, "Trabajo en Equipo", {}),
            r("CO", 603, "Compromiso Institucional", {}),
            r("CO", 604, "Orientación al Cliente", {}),
            r("CF", 701, "Análisis Financiero", mastery),
            r("CF", 702, "Negociación", mastery),
            r("CF", 703, "Planeación y Organización", mastery),
            r("CF", 704, "Gestión de Procesos", mastery),
            r("CF", 705, "Toma de Decisiones", mastery),
            r("CF", 706, "Liderazgo de Equipos", mastery),
            r("CE", 801, "Manejo de Software Contable", certified),
            r("CE", 802, "Control Estadístico de Procesos", certified),
            r("CE", 803, "Manejo de Herramientas CRM", certified),
            r("CE", 804, "Mantenimiento Preventivo", certified),
            r("CE", 805, "Control de Inventarios", certified),
            r("CE", 806, "Manejo de Caja y Medios de Pago", certified),
            r("CE", 807, "Manejo de Software de Nómina", certified),
        };
    }();
    return list;
}

QList<RequirementPick> areaTemplate(const QString &area)
{
    auto picks = [](std::initializer_list<std::pair<const char *, int>> items) {
        QList<RequirementPick> list;
        for (const auto &item : items)
            list.append({QString::fromLatin1(item.first), item.second});
        return list;
    };
    if (area == QLatin1String("FIN"))
        return picks({{"FO", 102}, {"FO", 103}, {"PG", 201}, {"CU", 301}, {"CU", 302}, {"SE", 402},
                      {"EX", 501}, {"EX", 502}, {"CO", 601}, {"CO", 602}, {"CF", 701}, {"CF", 703},
                      {"CE", 801}});
    if (area == QLatin1String("COM"))
        return picks({{"FO", 107}, {"FO", 101}, {"PG", 205}, {"CU", 304}, {"CU", 305}, {"SE", 401},
                      {"EX", 503}, {"CO", 604}, {"CO", 601}, {"CF", 702}, {"CF", 703}, {"CE", 803}});
    if (area == QLatin1String("GH"))
        return picks({{"FO", 106}, {"FO", 101}, {"PG", 203}, {"CU", 308}, {"CU", 303}, {"SE", 403},
                      {"EX", 508}, {"CO", 602}, {"CO", 603}, {"CF", 703}, {"CF", 706}, {"CE", 807}});
    if (area == QLatin1String("ADM"))
        return picks({{"FO", 101}, {"PG", 202}, {"CU", 40001}, {"CU", 305}, {"SE", 401},
                      {"EX", 506}, {"CO", 601}, {"CO", 603}, {"CF", 705}, {"CF", 706}, {"CE", 803}});
    if (area == QLatin1String("PRO"))
        return picks({{"FO", 104}, {"FO", 105}, {"PG", 204}, {"CU", 307}, {"CU", 303}, {"SE", 401},
                      {"EX", 504}, {"CO", 602}, {"CO", 601}, {"CF", 704}, {"CF", 705}, {"CE", 802}});
    if (area == QLatin1String("MAN"))
        return picks({{"FO", 105}, {"PG", 204}, {"CU", 309}, {"CU", 303}, {"EX", 505}, {"CO", 602},
                      {"CF", 704}, {"CE", 804}});
    if (area == QLatin1String("CAL"))
        return picks({{"FO", 104}, {"PG", 204}, {"CU", 307}, {"CU", 301}, {"EX", 504}, {"CO", 601},
                      {"CF", 704}, {"CE", 802}});
    if (area == QLatin1String("LOG"))
        return picks({{"FO", 108}, {"FO", 104}, {"CU", 306}, {"CU", 303}, {"EX", 507}, {"CO", 602},
                      {"CF", 703}, {"CE", 805}});
    if (area == QLatin1String("TIE"))
        return picks({{"FO", 101}, {"FO", 109}, {"CU", 304}, {"CU", 301}, {"EX", 509}, {"EX", 503},
                      {"CO", 604}, {"CF", 702}, {"CE", 806}});
    return {};
}

QStringList areas()
{
    return {QStringLiteral("FIN"), QStringLiteral("COM"), QStringLiteral("GH"),
            QStringLiteral("ADM"), QStringLiteral("PRO"), QStringLiteral("MAN"),
            QStringLiteral("CAL"), QStringLiteral("LOG"), QStringLiteral("TIE")};
}

const RecordTypeInfo *recordType(const QString &code)
{
    for (const RecordTypeInfo &info : recordTypes()) {
        if (info.code == code)
            return &info;
    }
    return nullptr;
}

const RequirementInfo *requirement(const QString &recordType, int code)
{
    for (const RequirementInfo &info : requirements()) {
        if (info.recordType == recordType && info.code == code)
            return &info;
    }
    return nullptr;
}

const PositionInfo *position(int company, const QString &code)
{
    for (const PositionInfo &info : positions()) {
        if (info.company == company && info.code == code)
            return &info;
    }
    return nullptr;
}

QString categoryName(const QString &category)
{
    if (category == QLatin1String("EF")) return QStringLiteral("Educación formal");
    if (category == QLatin1String("EN")) return QStringLiteral("Educación no formal");
    if (category == QLatin1String("EP")) return QStringLiteral("Experiencia laboral");
    if (category == QLatin1String("CO")) return QStringLiteral("Competencias organizacionales");
    if (category == QLatin1String("CF")) return QStringLiteral("Competencias funcionales");
    if (category == QLatin1String("CE")) return QStringLiteral("Competencias específicas");
    return {};
}

QString recordTable(const QString &category)
{
    if (category == QLatin1String("EF")) return QStringLiteral("BI_DTPEF");
    if (category == QLatin1String("EN")) return QStringLiteral("BI_DTPNF");
    if (category == QLatin1String("EP")) return QStringLiteral("BI_DTPHV");
    return QStringLiteral("ED_D3CCO");
}

const QStringList &femaleNames()
{
    static const QStringList list = {
        QStringLiteral("Ángela María"), QStringLiteral("María José"), QStringLiteral("Luz Marina"),
        QStringLiteral("Ana Lucía"), QStringLiteral("Sofía"), QStringLiteral("Valentina"),
        QStringLiteral("Daniela"), QStringLiteral("Carolina"), QStringLiteral("Paola Andrea"),
        QStringLiteral("Mónica"), QStringLiteral("Beatriz Elena"), QStringLiteral("Natalia"),
        QStringLiteral("Lucía"), QStringLiteral("Inés"), QStringLiteral("Mariana"),
        QStringLiteral("Diana Marcela"), QStringLiteral("Claudia Patricia"), QStringLiteral("Verónica"),
        QStringLiteral("Yolanda"), QStringLiteral("Gloria Inés"), QStringLiteral("Juliana"),
        QStringLiteral("Catalina"), QStringLiteral("Ximena"), QStringLiteral("Sandra Milena"),
    };
    return list;
}

const QStringList &maleNames()
{
    static const QStringList list = {
        QStringLiteral("José"), QStringLiteral("José Luis"), QStringLiteral("Juan Carlos"),
        QStringLiteral("Andrés Felipe"), QStringLiteral("Carlos Andrés"), QStringLiteral("Luis Fernando"),
        QStringLiteral("Jorge Iván"), QStringLiteral("Sebastián"), QStringLiteral("Nicolás"),
        QStringLiteral("Martín"), QStringLiteral("Julián"), QStringLiteral("Óscar"),
        QStringLiteral("Héctor"), QStringLiteral("Rubén Darío"), QStringLiteral("Germán"),
        QStringLiteral("Iván Darío"), QStringLiteral("Fabián"), QStringLiteral("Hernán"),
        QStringLiteral("Álvaro"), QStringLiteral("Ramón"), QStringLiteral("Joaquín"),
        QStringLiteral("Tomás"), QStringLiteral("Camilo"), QStringLiteral("Mauricio"),
    };
    return list;
}

const QStringList &surnames()
{
    static const QStringList list = {
        QStringLiteral("Muñoz"), QStringLiteral("Peña"), QStringLiteral("Gómez"),
        QStringLiteral("Rodríguez"), QStringLiteral("Martínez"), QStringLiteral("García"),
        QStringLiteral("López"), QStringLiteral("González"), QStringLiteral("Hernández"),
        QStringLiteral("Pérez"), QStringLiteral("Sánchez"), QStringLiteral("Ramírez"),
        QStringLiteral("Díaz"), QStringLiteral("Torres"), QStringLiteral("Vásquez"),
        QStringLiteral("Jiménez"), QStringLiteral("Castaño"), QStringLiteral("Ibáñez"),
        QStringLiteral("Ordóñez"), QStringLiteral("Quiñónez"), QStringLiteral("Núñez"),
        QStringLiteral("Patiño"), QStringLiteral("Londoño"), QStringLiteral("Montaño"),
        QStringLiteral("Agudelo"), QStringLiteral("Zuluaga"), QStringLiteral("Restrepo"),
        QStringLiteral("Cárdenas"), QStringLiteral("Gutiérrez"), QStringLiteral("Mejía"),
        QStringLiteral("Ríos"), QStringLiteral("Álvarez"), QStringLiteral("Suárez"),
        QStringLiteral("Beltrán"), QStringLiteral("Cañas"), QStringLiteral("Salazar"),
        QStringLiteral("Ospina"), QStringLiteral("Betancur"), QStringLiteral("Duque"),
        QStringLiteral("Avendaño"),
    };
    return list;
}

} // namespace DemoCatalog
} // namespace dbtools
