#include "appserver/SessionRecords.h"

#include "appserver/AuditTrail.h"
#include "appserver/BoundStatement.h"

#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace appserver {

QString SessionRecords::Session::state(const QString &now) const
{
    if (!ended.isEmpty())
        return QStringLiteral("terminada");
    return expires > now ? QStringLiteral("activa") : QStringLiteral("expirada");
}

QString SessionRecords::newId()
{
    QByteArray bytes(16, Qt::Uninitialized);
    QRandomGenerator::system()->generate(bytes.begin(), bytes.end());
    return QString::fromLatin1(bytes.toHex());
}

QString SessionRecords::open(const QSqlDatabase &db, const Session &session)
{
    const QString longAgo = AuditTrail::timeText(QDateTime::currentDateTimeUtc().addDays(-kKeptDays));
    QString error = execBound(db, QStringLiteral("DELETE FROM GN_SESIO WHERE FEC_EXPI < ?"), {longAgo});
    if (error.isEmpty())
        error = execBound(db, QStringLiteral("INSERT INTO GN_SESIO (COD_SESI, COD_USUA, FEC_INIC, FEC_EXPI, DIR_CLIE) "
                                             "VALUES (?, ?, ?, ?, ?)"),
                          {session.id, session.user, session.started, session.expires, session.address});
    return error;
}

QString SessionRecords::end(const QSqlDatabase &db, const QString &user, const QString &id, int *ended)
{
    *ended = 0;
    const QString now = AuditTrail::nowText();
    if (id.isEmpty())
        return execBound(db, QStringLiteral("UPDATE GN_SESIO SET FEC_TERM = ? WHERE COD_USUA = ? AND FEC_TERM IS NULL "
                                            "AND FEC_EXPI > ?"),
                         {now, user, now}, ended);
    return execBound(db, QStringLiteral("UPDATE GN_SESIO SET FEC_TERM = ? WHERE COD_USUA = ? AND COD_SESI = ? "
                                        "AND FEC_TERM IS NULL"),
                     {now, user, id}, ended);
}

QString SessionRecords::list(const QSqlDatabase &db, const QString &user, QList<Session> *sessions)
{
    sessions->clear();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT COD_SESI, COD_USUA, FEC_INIC, FEC_EXPI, DIR_CLIE, FEC_TERM FROM GN_SESIO "
                                 "WHERE COD_USUA = ? ORDER BY FEC_INIC, COD_SESI"));
    query.addBindValue(user);
    if (!query.exec())
        return query.lastError().text();
    while (query.next())
        sessions->append({query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
                          query.value(3).toString(), query.value(4).toString(), query.value(5).toString()});
    return {};
}

} // namespace appserver
