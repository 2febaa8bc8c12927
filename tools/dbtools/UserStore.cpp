#include "tools/dbtools/UserStore.h"

#include "appserver/PasswordHash.h"
#include "tools/dbtools/DbText.h"

#include <QMap>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace dbtools {

namespace {

// Runs one statement with bound values; empty, or the database's error.
QString execBound(const QSqlDatabase &db, const QString &statement, const QVariantList &values,
                  int *affected = nullptr)
{
    QSqlQuery query(db);
    query.prepare(statement);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        return query.lastError().text();
    if (affected)
        *affected = query.numRowsAffected();
    return {};
}

DbOutcome noSuchUser(const QString &name)
{
    return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "el usuario %1 no existe")).arg(name));
}

} // namespace

UserStore::UserStore(const QSqlDatabase &db) : m_db(db) {}

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
    if (!m_outer && !m_db.transaction())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo empezar la transacción: %1")).arg(m_db.lastError().text()));
    const QVariant fullName = user.fullName.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(user.fullName);
    QString error = execBound(m_db,
                              QStringLiteral("INSERT INTO GN_USUAR (COD_USUA, PAS_USUA, TIP_USUA, NOM_USUA, IND_ACTI) "
                                             "VALUES (?, ?, ?, ?, ?)"),
                              {user.name, appserver::PasswordHash::make(password), user.type, fullName,
                               QStringLiteral("A")});
    for (const int company : user.companies)
        if (error.isEmpty())
            error = insertGrant(user.name, company).error;
    if (error.isEmpty() && (m_outer || m_db.commit()))
        return DbOutcome::success();
    if (error.isEmpty())
        error = m_db.lastError().text();
    if (!m_outer)
        m_db.rollback();
    return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo crear el usuario %1: %2")).arg(user.name, error));
}

DbOutcome UserStore::setPassword(const QString &name, const QString &password)
{
    int changed = 0;
    if (const QString error = execBound(m_db, QStringLiteral("UPDATE GN_USUAR SET PAS_USUA = ?, VER_USUA = VER_USUA + 1 "
                                                             "WHERE COD_USUA = ?"),
                                        {appserver::PasswordHash::make(password), name}, &changed);
        !error.isEmpty())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo cambiar la contraseña de %1: %2")).arg(name, error));
    return changed > 0 ? DbOutcome::success() : noSuchUser(name);
}

DbOutcome UserStore::setActive(const QString &name, bool active)
{
    int changed = 0;
    if (const QString error = execBound(m_db, QStringLiteral("UPDATE GN_USUAR SET IND_ACTI = ?, VER_USUA = VER_USUA + 1 "
                                                             "WHERE COD_USUA = ?"),
                                        {active ? QStringLiteral("A") : QStringLiteral("I"), name}, &changed);
        !error.isEmpty())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo cambiar el estado de %1: %2")).arg(name, error));
    return changed > 0 ? DbOutcome::success() : noSuchUser(name);
}

DbOutcome UserStore::insertGrant(const QString &name, int company)
{
    const QString error = execBound(m_db, QStringLiteral("INSERT INTO GN_USEMP (COD_USUA, COD_EMPR) VALUES (?, ?)"),
                                    {name, company});
    return error.isEmpty() ? DbOutcome::success() : DbOutcome::failure(error);
}

QString UserStore::changeGrants(const QString &name, const QString &statement, int company, int *changed)
{
    if (!m_outer && !m_db.transaction())
        return m_db.lastError().text();
    QString error = execBound(m_db, statement, {name, company}, changed);
    // The user's sessions end with any change of its companies (see setPassword).
    if (error.isEmpty() && *changed > 0)
        error = execBound(m_db, QStringLiteral("UPDATE GN_USUAR SET VER_USUA = VER_USUA + 1 WHERE COD_USUA = ?"), {name});
    if (error.isEmpty() && !m_outer && !m_db.commit())
        error = m_db.lastError().text();
    if (!error.isEmpty() && !m_outer)
        m_db.rollback();
    return error;
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
                                           company, &inserted);
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
    if (const QString error = changeGrants(name, QStringLiteral("DELETE FROM GN_USEMP WHERE COD_USUA = ? AND COD_EMPR = ?"),
                                           company, &removed);
        !error.isEmpty())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo quitar la empresa %1 a %2: %3")).arg(company).arg(name, error));
    if (removed == 0)
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "el usuario %1 no tiene la empresa %2")).arg(name).arg(company));
    return DbOutcome::success();
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
