#pragma once
// The demo world as data: countries, companies, levels, positions, career plans, the
// requirement catalogue and the name lists that employees are drawn from. Everything the demo
// and synthetic seeders write comes from these tables and the rules in ProfileBuilder.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace dbtools {

struct CountryInfo {
    int code;
    QString name;
};

struct CompanyInfo {
    int code;
    QString name;
    double nit;
    QString checkDigit;
    QString address;
    QString phone;
    int country;
    QVariant group;        // GRU_EMPR: "S", "N" or null
    bool hasLogo;
    QString payPeriod;     // NM_PARSS.PER_LIQU
    double minimumWage;
    double transportAid;
};

struct LevelInfo {
    QString code;
    QString name;
};

struct PositionInfo {
    int company;
    QString code;
    QString name;
    QString level;
    QString area;          // key of the area's requirement template
    bool active;
    int headcount;         // active employees the demo gives it
};

struct PlanNodeInfo {
    int node;
    int parent;
    int positionCompany;   // COD_EMCA
    QString position;
    QString years;
    QString days;
    QString name;          // NOM_MENU; empty: the position's name
};

struct PlanInfo {
    int company;
    int plan;
    QString name;
    QList<PlanNodeInfo> nodes;  // without the header row (node 0)
};

struct EspeInfo {
    int code;
    QString name;
};

struct RequirementInfo {
    QString recordType;
    int code;
    QString name;
    QList<EspeInfo> espes;  // least demanding first; empty: rows carry no detail
};

struct RecordTypeInfo {
    QString code;          // TIP_REGI
    QString name;          // AC_TIPRG.NOM_REGI
    QString category;      // AC_DPAMA.COD_DETA: EF, EN, EP, CO, CF, CE
    double points;         // required points of one profile row
};

struct RequirementPick {
    QString recordType;
    int requirement;
};

namespace DemoCatalog {

const QList<CountryInfo> &countries();
const QList<CompanyInfo> &companies();
const QList<LevelInfo> &levels();
const QList<PositionInfo> &positions();
const QList<PlanInfo> &plans();
const QList<RecordTypeInfo> &recordTypes();
const QList<RequirementInfo> &requirements();
// The requirements that a position of the area asks for, before the level rules.
QList<RequirementPick> areaTemplate(const QString &area);
QStringList areas();

const RecordTypeInfo *recordType(const QString &code);
const RequirementInfo *requirement(const QString &recordType, int code);
const PositionInfo *position(int company, const QString &code);
// Name of a requirement category (EF ... CE).
QString categoryName(const QString &category);
// The table that holds an employee's records of a category; competences live in evaluations.
QString recordTable(const QString &category);

const QStringList &femaleNames();
const QStringList &maleNames();
const QStringList &surnames();
QString levelName(const QString &level);

} // namespace DemoCatalog
} // namespace dbtools
