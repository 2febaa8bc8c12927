#include "appserver/AuditTrail.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>
#include <QVariant>

namespace appserver {

const QString AuditTrail::kLogin = QStringLiteral("inicio de sesión");
const QString AuditTrail::kLoginRefused = QStringLiteral("inicio de sesión rechazado");
const QString AuditTrail::kSave = QStringLiteral("guardado");
const QString AuditTrail::kUserAdded = QStringLiteral("usuario creado");
const QString AuditTrail::kPasswordChanged = QStringLiteral("contraseña cambiada");
const QString AuditTrail::kUserDisabled = QStringLiteral("usuario deshabilitado");
const QString AuditTrail::kUserEnabled = QStringLiteral("usuario habilitado");
const QString AuditTrail::kCompanyGranted = QStringLiteral("empresa concedida");
const QString AuditTrail::kCompanyRevoked = QStringLiteral("empresa retirada");
const QString AuditTrail::kSessionsEnded = QStringLiteral("sesiones terminadas");
const QString AuditTrail::kLocal = QStringLiteral("local");

namespace {

// A text cut to its column's width, marked where it was cut.
QString fitted(const QString &text, int width)
{
    const QString plain = text.simplified();
    return plain.size() <= width ? plain : plain.left(width - 1) + QChar(0x2026);
}

} // namespace

QString AuditTrail::timeText(const QDateTime &when)
{
    return when.toTimeZone(QTimeZone::utc()).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss'Z'"));
}

QString AuditTrail::nowText()
{
    return timeText(QDateTime::currentDateTimeUtc());
}

QString AuditTrail::write(const QSqlDatabase &db, Entry entry)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("INSERT INTO GN_AUDIT (FEC_HORA, COD_USUA, ACC_AUDI, DET_AUDI, DIR_CLIE) "
                                 "VALUES (?, ?, ?, ?, ?)"));
    query.addBindValue(entry.time.isEmpty() ? nowText() : entry.time);
    query.addBindValue(fitted(entry.user, 60));
    query.addBindValue(fitted(entry.action, 40));
    query.addBindValue(entry.detail.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(fitted(entry.detail, 400)));
    query.addBindValue(fitted(entry.address.isEmpty() ? kLocal : entry.address, 64));
    return query.exec() ? QString() : query.lastError().text();
}

QString AuditTrail::read(const QSqlDatabase &db, const QString &since, const QString &user, QList<Entry> *entries)
{
    entries->clear();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT FEC_HORA, COD_USUA, ACC_AUDI, DET_AUDI, DIR_CLIE FROM GN_AUDIT "
                                 "WHERE FEC_HORA >= ? AND (? = '' OR UPPER(COD_USUA) = UPPER(?)) "
                                 "ORDER BY FEC_HORA, NUM_AUDI"));
    // Bound as texts, never as NULL (which a null QString would be).
    const QString from = since.isNull() ? QStringLiteral("") : since;
    const QString who = user.isNull() ? QStringLiteral("") : user;
    query.addBindValue(from);
    query.addBindValue(who);
    query.addBindValue(who);
    if (!query.exec())
        return query.lastError().text();
    while (query.next())
        entries->append({query.value(1).toString(), query.value(2).toString(), query.value(3).toString(),
                         query.value(4).toString(), query.value(0).toString()});
    return {};
}

} // namespace appserver
