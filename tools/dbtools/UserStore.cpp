#include "tools/dbtools/UserStore.h"

#include "appserver/AuditTrail.h"
#include "appserver/BoundStatement.h"
#include "appserver/PasswordHash.h"
#include "tools/dbtools/DbText.h"

#include <QMap>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <pwd.h>
#include <unistd.h>

namespace dbtools {

using appserver::execBound;

namespace {

// What a change that found nothing to change gives back, to roll its audit row back with it.
const QString kNothingChanged = QStringLiteral("\x01nothing changed");

DbOutcome noSuchUser(const QString &name)
{
    return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "el usuario %1 no existe")).arg(name));
}

} // namespace

UserStore::UserStore(const QSqlDatabase &db) : m_db(db), m_operator(systemUser()) {}

QString UserStore::nameRefusal(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^\\S{1,8}$"));
    if (plain.match(name).hasMatch())
        return {};
    return dbText(QT_TRANSLATE_NOOP("qacsemaf", "el nombre de usuario \"%1\" no sirve: debe tener de 1 a 8 caracteres, sin espacios"))
        .arg(name);
}

DbOutcome UserStore::exists(const QString &name, bool *found) const
{
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM GN_USUAR WHERE COD_USUA = ?"));
    query.addBindValue(name);
    if (!query.exec() || !query.next())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo leer el usuario %1: %2")).arg(name, query.lastError().text()));
    *found = query.value(0).toInt() > 0;
    return DbOutcome::success();
}

DbOutcome UserStore::mustExist(const QString &name) const
{
    bool found = false;
    if (const DbOutcome read = exists(name, &found); !read.ok())
        return read;
    return found ? DbOutcome::success() : noSuchUser(name);
}

DbOutcome UserStore::add(const User &user, const QString &password)
{
    bool found = false;
    if (const DbOutcome read = exists(user.name, &found); !read.ok())
        return read;
    if (found)
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "el usuario %1 ya existe")).arg(user.name));
    QStringList companies;
    for (const int company : user.companies)
        companies << QString::number(company);
    const QString detail = QStringLiteral("%1 (tipo %2, empresas %3)")
                               .arg(user.name, user.type, companies.isEmpty() ? QStringLiteral("-") : companies.join(QLatin1Char(',')));
    const QString error = recorded(
        [&] {
            const QVariant fullName = user.fullName.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(user.fullName);
            QString failed = execBound(m_db,
                                       QStringLiteral("INSERT INTO GN_USUAR (COD_USUA, PAS_USUA, TIP_USUA, NOM_USUA, IND_ACTI) "
                                                      "VALUES (?, ?, ?, ?, ?)"),
                                       {user.name, appserver::PasswordHash::make(password), user.type, fullName,
                                        QStringLiteral("A")});
            for (const int company : user.companies)
                if (failed.isEmpty())
                    failed = insertGrant(user.name, company).error;
            return failed;
        },
        appserver::AuditTrail::kUserAdded, detail);
    if (error.isEmpty())
        return DbOutcome::success();
    return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo crear el usuario %1: %2")).arg(user.name, error));
}

QString UserStore::recorded(const std::function<QString()> &change, const QString &action, const QString &detail)
{
    if (!m_outer && !m_db.transaction())
        return m_db.lastError().text();
    QString error = change();
    if (error.isEmpty())
        error = appserver::AuditTrail::write(m_db, {m_operator, action, detail, appserver::AuditTrail::kLocal, {}});
    if (error.isEmpty() && !m_outer && !m_db.commit())
        error = m_db.lastError().text();
    if (!error.isEmpty() && !m_outer)
        m_db.rollback();
    return error;
}

DbOutcome UserStore::setPassword(const QString &name, const QString &password)
{
    if (const DbOutcome found = mustExist(name); !found.ok())
        return found;
    const QString error = recorded(
        [&] {
            return execBound(m_db, QStringLiteral("UPDATE GN_USUAR SET PAS_USUA = ?, VER_USUA = VER_USUA + 1 WHERE COD_USUA = ?"),
                             {appserver::PasswordHash::make(password), name});
        },
        appserver::AuditTrail::kPasswordChanged, name);
    if (!error.isEmpty())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo cambiar la contraseña de %1: %2")).arg(name, error));
    return DbOutcome::success();
}

DbOutcome UserStore::setActive(const QString &name, bool active)
{
    if (const DbOutcome found = mustExist(name); !found.ok())
        return found;
    const QString error = recorded(
        [&] {
            return execBound(m_db, QStringLiteral("UPDATE GN_USUAR SET IND_ACTI = ?, VER_USUA = VER_USUA + 1 WHERE COD_USUA = ?"),
                             {active ? QStringLiteral("A") : QStringLiteral("I"), name});
        },
        active ? appserver::AuditTrail::kUserEnabled : appserver::AuditTrail::kUserDisabled, name);
    if (!error.isEmpty())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo cambiar el estado de %1: %2")).arg(name, error));
    return DbOutcome::success();
}

DbOutcome UserStore::insertGrant(const QString &name, int company)
{
    const QString error = execBound(m_db, QStringLiteral("INSERT INTO GN_USEMP (COD_USUA, COD_EMPR) VALUES (?, ?)"),
                                    {name, company});
    return error.isEmpty() ? DbOutcome::success() : DbOutcome::failure(error);
}

QString UserStore::changeGrants(const QString &name, const QString &statement, int company, const QString &action,
                                int *changed)
{
    return recorded(
        [&] {
            QString error = execBound(m_db, statement, {name, company}, changed);
            // The user's sessions end with any change of its companies (see setPassword); a
            // statement that changed nothing writes nothing, its audit row included.
            if (error.isEmpty() && *changed > 0)
                error = execBound(m_db, QStringLiteral("UPDATE GN_USUAR SET VER_USUA = VER_USUA + 1 WHERE COD_USUA = ?"), {name});
            else if (error.isEmpty())
                error = kNothingChanged;
            return error;
        },
        action, QStringLiteral("%1: empresa %2").arg(name).arg(company));
}

DbOutcome UserStore::grant(const QString &name, int company)
{
    if (const DbOutcome found = mustExist(name); !found.ok())
        return found;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM GN_USEMP WHERE COD_USUA = ? AND COD_EMPR = ?"));
    query.addBindValue(name);
    query.addBindValue(company);
    if (!query.exec() || !query.next())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudieron leer las empresas de %1: %2"))
                                      .arg(name, query.lastError().text()));
    if (query.value(0).toInt() > 0)
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "el usuario %1 ya tiene la empresa %2")).arg(name).arg(company));
    int inserted = 0;
    if (const QString error = changeGrants(name, QStringLiteral("INSERT INTO GN_USEMP (COD_USUA, COD_EMPR) VALUES (?, ?)"),
                                           company, appserver::AuditTrail::kCompanyGranted, &inserted);
        !error.isEmpty())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo dar la empresa %1 a %2: %3"))
                                      .arg(company).arg(name, error));
    return DbOutcome::success();
}

DbOutcome UserStore::revoke(const QString &name, int company)
{
    if (const DbOutcome found = mustExist(name); !found.ok())
        return found;
    int removed = 0;
    const QString error = changeGrants(name, QStringLiteral("DELETE FROM GN_USEMP WHERE COD_USUA = ? AND COD_EMPR = ?"),
                                       company, appserver::AuditTrail::kCompanyRevoked, &removed);
    if (error == kNothingChanged)
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "el usuario %1 no tiene la empresa %2")).arg(name).arg(company));
    if (!error.isEmpty())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo quitar la empresa %1 a %2: %3")).arg(company).arg(name, error));
    return DbOutcome::success();
}

DbOutcome UserStore::endSessions(const QString &name, const QString &session, int *ended)
{
    if (const DbOutcome found = mustExist(name); !found.ok())
        return found;
    QString detail;   // written once the sessions are ended, before the audit row
    const QString error = recorded(
        [&] {
            const QString failed = appserver::SessionRecords::end(m_db, name, session, ended);
            detail = session.isEmpty() ? QStringLiteral("%1: %2 abiertas").arg(name).arg(*ended)
                                       : QStringLiteral("%1: sesión %2").arg(name, session);
            return failed.isEmpty() && *ended == 0 ? kNothingChanged : failed;
        },
        appserver::AuditTrail::kSessionsEnded, detail);
    if (error == kNothingChanged) {
        *ended = 0;
        if (session.isEmpty())
            return DbOutcome::success();
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "el usuario %1 no tiene una sesión %2 sin terminar"))
                                      .arg(name, session));
    }
    if (!error.isEmpty())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudieron terminar las sesiones de %1: %2")).arg(name, error));
    return DbOutcome::success();
}

DbOutcome UserStore::sessions(const QString &name, QList<appserver::SessionRecords::Session> *sessions) const
{
    if (const DbOutcome found = mustExist(name); !found.ok())
        return found;
    if (const QString error = appserver::SessionRecords::list(m_db, name, sessions); !error.isEmpty())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudieron leer las sesiones de %1: %2")).arg(name, error));
    return DbOutcome::success();
}

QString UserStore::systemUser()
{
    QString name;
    if (const passwd *entry = getpwuid(geteuid()))
        name = QString::fromLocal8Bit(entry->pw_name);
    if (name.isEmpty())
        name = qEnvironmentVariable("USER", QStringLiteral("desconocido"));
    // Who ran sudo, when a person did.
    const QString person = qEnvironmentVariable("SUDO_USER");
    return person.isEmpty() || person == name ? name : QStringLiteral("%1 (sudo %2)").arg(name, person);
}

DbOutcome UserStore::list(QList<User> *users) const
{
    users->clear();
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT COD_USUA, TIP_USUA, NOM_USUA, IND_ACTI FROM GN_USUAR ORDER BY COD_USUA")))
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudieron leer los usuarios: %1")).arg(query.lastError().text()));
    QMap<QString, qsizetype> position;
    while (query.next()) {
        User user;
        user.name = query.value(0).toString();
        user.type = query.value(1).toString().trimmed();
        user.fullName = query.value(2).toString();
        user.active = query.value(3).toString().trimmed() != QLatin1String("I");
        position.insert(user.name, users->size());
        users->append(user);
    }
    if (!query.exec(QStringLiteral("SELECT COD_USUA, COD_EMPR FROM GN_USEMP ORDER BY COD_USUA, COD_EMPR")))
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudieron leer las empresas de los usuarios: %1"))
                                      .arg(query.lastError().text()));
    while (query.next()) {
        const auto found = position.constFind(query.value(0).toString());
        if (found != position.cend())
            (*users)[*found].companies << query.value(1).toInt();
    }
    return DbOutcome::success();
}

} // namespace dbtools
