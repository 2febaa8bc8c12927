#include "tools/AuditCommand.h"

#include "appserver/AuditTrail.h"
#include "tools/CommandLine.h"
#include "tools/SiteDatabase.h"
#include "tools/SiteOptions.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTextStream>
#include <QTimeZone>

using appserver::AuditTrail;
using namespace dbtools;

namespace {

// --since as the record writes times (UTC): a date (from its first second) or a date and time,
// with "T" or a blank between them, to the minute or the second; without a zone it is UTC, as the
// record lists it, else "Z" or an offset (+hh:mm). Empty when it is none of those.
QString sinceText(const QString &given)
{
    QString text = given.trimmed();
    text.replace(QLatin1Char(' '), QLatin1Char('T'));
    static const QRegularExpression dateOnly(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d$"));
    if (dateOnly.match(text).hasMatch())
        text += QStringLiteral("T00:00:00");
    static const QRegularExpression zoned(QStringLiteral("(Z|[+-]\\d\\d:?\\d\\d)$"));
    if (!zoned.match(text).hasMatch())
        text += QLatin1Char('Z');
    const QDateTime when = QDateTime::fromString(text, Qt::ISODate);
    static const QRegularExpression shape(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d(:\\d\\d)?(Z|[+-]\\d\\d:?\\d\\d)$"));
    return when.isValid() && shape.match(text).hasMatch() ? AuditTrail::timeText(when) : QString();
}

void printTable(const QList<AuditTrail::Entry> &entries)
{
    const QStringList headers{cliText(QT_TRANSLATE_NOOP("qacsemaf", "FECHA")), cliText(QT_TRANSLATE_NOOP("qacsemaf", "USUARIO")),
                              cliText(QT_TRANSLATE_NOOP("qacsemaf", "ACCIÓN")), cliText(QT_TRANSLATE_NOOP("qacsemaf", "DETALLE")),
                              cliText(QT_TRANSLATE_NOOP("qacsemaf", "DIRECCIÓN"))};
    QList<QStringList> rows{headers};
    for (const AuditTrail::Entry &entry : entries)
        rows << QStringList{entry.time, entry.user, entry.action, entry.detail.isEmpty() ? QStringLiteral("-") : entry.detail,
                            entry.address};
    QList<qsizetype> widths(headers.size(), 0);
    for (const QStringList &row : std::as_const(rows))
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[i] = qMax(widths.at(i), row.at(i).size());
    QTextStream out(stdout);
    for (const QStringList &row : std::as_const(rows)) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? row.at(i).leftJustified(widths.at(i) + 2) : row.at(i);
        out << line << '\n';
    }
}

void printJson(const QList<AuditTrail::Entry> &entries)
{
    QJsonArray rows;
    for (const AuditTrail::Entry &entry : entries)
        rows.append(QJsonObject{{QStringLiteral("fecha"), entry.time},
                                {QStringLiteral("usuario"), entry.user},
                                {QStringLiteral("accion"), entry.action},
                                {QStringLiteral("detalle"), entry.detail},
                                {QStringLiteral("direccion"), entry.address}});
    QTextStream(stdout) << QJsonDocument(rows).toJson(QJsonDocument::Indented);
}

} // namespace

int runAuditCommand(const QStringList &arguments)
{
    CommandLine line(arguments.value(0),
                     cliText(QT_TRANSLATE_NOOP("qacsemaf", "Lista el registro de auditoría de la base de datos, del más "
                                                           "antiguo al más reciente: los inicios de sesión en el servidor "
                                                           "de aplicaciones (también los rechazados, con el nombre como se "
                                                           "escribió y el motivo), los cambios guardados y los cambios de "
                                                           "usuarios y sesiones del comando user; cada uno con su fecha y "
                                                           "hora (UTC), usuario, acción, detalle y dirección (\"local\": "
                                                           "en esta máquina).")));
    line.add({
        {QStringLiteral("since"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "Solo desde esta fecha (AAAA-MM-DD) o fecha y hora (AAAA-MM-DDTHH:MM[:SS]), "
                                               "en UTC como las lista; o con Z o un desfase (+HH:MM).")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "fecha"))},
        {QStringLiteral("user"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Solo las filas de este usuario (sin distinguir mayúsculas).")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "nombre"))},
        {QStringLiteral("format"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Formato: table o json.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "formato")), QStringLiteral("table")},
    });
    SiteOptions::addPlaceTo(line);
    SiteOptions options;
    QString since;
    QString format;
    try {
        line.parse(arguments);
        format = line.choice(QStringLiteral("format"), {QStringLiteral("table"), QStringLiteral("json")});
        if (line.isSet(QStringLiteral("since"))) {
            since = sinceText(line.value(QStringLiteral("since")));
            if (since.isEmpty())
                throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--since: \"%1\" no es una fecha (AAAA-MM-DD) ni una "
                                                                       "fecha y hora (AAAA-MM-DDTHH:MM[:SS])"))
                                     .arg(line.value(QStringLiteral("since"))));
        }
        options = SiteOptions::read(line, SiteOptions::File::MustExist);
    } catch (const UsageError &error) {
        return reportUsageError(error, arguments.value(0));
    }
    SiteDatabase site(QStringLiteral("qacsemaf-audit"));
    DbOutcome outcome = site.openExisting(options);
    if (outcome.ok())
        outcome = site.checkCurrent();
    QList<AuditTrail::Entry> entries;
    if (outcome.ok())
        if (const QString error = AuditTrail::read(site.db(), since, line.value(QStringLiteral("user")).trimmed(), &entries);
            !error.isEmpty())
            outcome = DbOutcome::failure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo leer el registro de auditoría: %1"))
                                             .arg(error));
    if (!outcome.ok())
        return reportFailure(outcome.error);
    if (format == QLatin1String("json"))
        printJson(entries);
    else
        printTable(entries);
    return 0;
}
