#include "tools/dbtools/ServerAccess.h"

#include "appserver/DatabaseDescription.h"
#include "tools/dbtools/CompanyRowSecurity.h"
#include "tools/dbtools/DatabaseOpener.h"
#include "tools/dbtools/DbText.h"
#include "tools/dbtools/FunctionLockdown.h"
#include "tools/dbtools/PgStatements.h"
#include "tools/dbtools/ReaderRole.h"
#include "tools/dbtools/WriterRole.h"

#include <QMap>

namespace dbtools {

DbOutcome ServerAccess::setUp(QSqlDatabase &db, const QString &readerRole, const QString &readerPassword,
                              const QString &writerRole)
{
    QStringList notices;
    DbOutcome outcome = ReaderRole::grant(db, readerRole, readerPassword);
    // Each step's notices are kept for the person who ran the set-up.
    const auto then = [&](const DbOutcome &next) {
        notices << outcome.notices;
        outcome = next;
    };
    if (outcome.ok())
        then(WriterRole::grant(db, writerRole));
    if (outcome.ok())
        then(CompanyRowSecurity::apply(db, readerRole, writerRole));
    if (outcome.ok())
        then(FunctionLockdown::apply(db));
    outcome.notices = notices + outcome.notices;
    return outcome;
}

DbOutcome ServerAccess::setUpFor(QSqlDatabase &db, const QString &connInfo, const QString &readerPassword)
{
    using appserver::DatabaseDescription;
    QMap<QString, QString> pairs;
    QString error;
    if (!DatabaseOpener::parseConnInfo(connInfo, &pairs, &error))
        return DbOutcome::failure(error);
    const QString reader = pairs.value(QStringLiteral("readuser"), DatabaseDescription::defaultReaderUser());
    PgStatements::RoleFacts facts;
    if (const DbOutcome read = PgStatements::roleFacts(db, reader, dbText(QT_TRANSLATE_NOOP("qacsemaf", "usuario de lectura")), &facts); !read.ok())
        return read;
    DbOutcome outcome = setUp(db, reader, readerPassword,
                              pairs.value(QStringLiteral("writerole"), DatabaseDescription::defaultWriterRole()));
    if (outcome.ok() && !facts.exists && readerPassword.isEmpty())
        outcome.notices << dbText(QT_TRANSLATE_NOOP("qacsemaf", "el usuario de lectura %1 se creó sin contraseña: désela con "
                                          "readpassword= en --pg o --read-password-file"))
                               .arg(reader);
    return outcome;
}

} // namespace dbtools
