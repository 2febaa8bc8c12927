#include "appserver/SchemaVersion.h"

#include <QDir>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace appserver {

namespace {

const QString kMigrationFolder = QStringLiteral(":/migrations");

} // namespace

int SchemaVersion::numberOf(const QString &migration)
{
    static const QRegularExpression leadingNumber(QStringLiteral("^(\\d+)_"));
    const auto match = leadingNumber.match(migration);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QStringList SchemaVersion::migrations()
{
    QStringList names = QDir(kMigrationFolder).entryList({QStringLiteral("*.sql")}, QDir::Files);
    names.erase(std::remove_if(names.begin(), names.end(), [](const QString &name) { return numberOf(name) < 2; }),
                names.end());
    std::stable_sort(names.begin(), names.end(),
                     [](const QString &a, const QString &b) { return numberOf(a) < numberOf(b); });
    return names;
}

QString SchemaVersion::migrationPath(const QString &name)
{
    return kMigrationFolder + QLatin1Char('/') + name;
}

int SchemaVersion::current()
{
    static const int version = [] {
        const QStringList names = migrations();
        return names.isEmpty() ? 1 : numberOf(names.constLast());
    }();
    return version;
}

QString SchemaVersion::read(QSqlQuery &query, const QStringList &tables, int *version)
{
    *version = 1;
    if (!tables.contains(table(), Qt::CaseInsensitive))
        return {};
    if (!query.exec(QStringLiteral("SELECT MAX(NUM_VERS) FROM AC_VERSI")) || !query.next())
        return QStringLiteral("No se pudo leer la versión del esquema: %1").arg(query.lastError().text());
    // An emptied table says nothing newer than the table's own first version.
    *version = query.value(0).isNull() ? 2 : query.value(0).toInt();
    return {};
}

QString SchemaVersion::refusal(const QString &database, int version)
{
    const int mine = current();
    if (version > mine)
        return QStringLiteral("La base de datos %1 tiene la versión %2 del esquema, más nueva que la versión %3 "
                              "que conoce este programa; actualice Semáforo de Carrera antes de usarla.")
            .arg(database).arg(version).arg(mine);
    if (version < mine)
        return QStringLiteral("La base de datos %1 tiene la versión %2 del esquema y este programa necesita la "
                              "versión %3; actualícela con qacsemaf migrate.")
            .arg(database).arg(version).arg(mine);
    return {};
}

} // namespace appserver
