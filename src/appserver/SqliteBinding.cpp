#include "appserver/SqliteBinding.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

namespace appserver {

namespace {

bool boundAsNull(const QVariant &value)
{
    if (value.isNull())
        return true;
    switch (value.typeId()) {
    case QMetaType::QString: return static_cast<const QString *>(value.constData())->isNull();
    case QMetaType::QByteArray: return static_cast<const QByteArray *>(value.constData())->isNull();
    case QMetaType::QDate: return static_cast<const QDate *>(value.constData())->isNull();
    case QMetaType::QTime: return static_cast<const QTime *>(value.constData())->isNull();
    case QMetaType::QDateTime: return static_cast<const QDateTime *>(value.constData())->isNull();
    default: return false;
    }
}

QString textOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime stamp = value.toDateTime();
        return stamp.toString(stamp.time().msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                                  : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case QMetaType::QTime: return value.toTime().toString(QStringLiteral("hh:mm:ss.zzz"));
    default: return value.toString();   // dates as yyyy-MM-dd
    }
}

} // namespace

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

int bindSqliteValue(sqlite3_stmt *statement, int position, const QVariant &value)
{
    if (boundAsNull(value))
        return sqlite3_bind_null(statement, position);
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::Bool:
        return sqlite3_bind_int(statement, position, value.toInt());
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return sqlite3_bind_int64(statement, position, value.toLongLong());
    case QMetaType::Double:
        return sqlite3_bind_double(statement, position, value.toDouble());
    case QMetaType::QByteArray: {
        const auto *bytes = static_cast<const QByteArray *>(value.constData());
        return sqlite3_bind_blob(statement, position, bytes->constData(), int(bytes->size()), SQLITE_STATIC);
    }
    case QMetaType::QString: {
        const auto *text = static_cast<const QString *>(value.constData());
        return sqlite3_bind_text16(statement, position, text->utf16(), int(text->size() * sizeof(QChar)),
                                   SQLITE_STATIC);
    }
    default: {
        const QString text = textOf(value);
        return sqlite3_bind_text16(statement, position, text.utf16(), int(text.size() * sizeof(QChar)),
                                   SQLITE_TRANSIENT);
    }
    }
}

} // namespace appserver
