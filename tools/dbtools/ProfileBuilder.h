#pragma once
// Requirement profiles (BI_DTPCA rows) of positions: from the area's template, thinned and
// graded by the position's level, or drawn from the whole catalogue for synthetic positions.

#include "tools/dbtools/DemoCatalog.h"

#include <QList>
#include <QVariant>

namespace dbtools {

class DemoRandom;

struct ProfileRow {
    QString recordType;
    int requirement = 0;
    QVariant espe;         // null: the requirement has no detail
    QVariant points;       // PUN_REQU; null is allowed
    QString description;
};

class ProfileBuilder {
public:
    // The profile of a position of `area` at `level` ("01" directive ... "06" operative).
    static QList<ProfileRow> forPosition(const QString &area, const QString &level);
    // A profile of `perType` rows per record type, requirements drawn from the catalogue.
    static QList<ProfileRow> drawn(DemoRandom &random, const QList<QPair<QString, int>> &perType,
                                   const QString &level);
    // The detail a position at `level` asks for: more senior, more demanding.
    static QVariant espeFor(const RequirementInfo &requirement, const QString &level);
    static ProfileRow row(const RequirementInfo &requirement, const QVariant &espe);
    // "Requirement - detail", as the profile and the records describe it.
    static QString describe(const RequirementInfo &requirement, const QVariant &espe);
};

} // namespace dbtools
