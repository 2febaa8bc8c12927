#pragma once
// The read path's direct lane on PostgreSQL: runs a statement through libpq on the reading
// connection and builds the rows straight from libpq's text cells, instead of through
// QSqlQuery's variant of every cell and a second conversion. Each text is prepared once per
// connection under a name of its own, so a read is one round trip with its values bound apart
// from the text. Rows come as the server's binary form of the columns (numbers, texts, dates)
// where the statement's columns all have one we read, else as text. Field types and values are
// what the QtSql path gives.
// The reader lives no longer than the connection it was made for: the owner makes another one
// when the connection is opened again.

#include "appserver/ProtocolNames.h"
#include "appserver/SqlEngine.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <memory>

struct pg_conn;
struct pg_result;

namespace appserver {

class PostgresReader : public DirectReader {
public:
    explicit PostgresReader(pg_conn *connection);
    PostgresReader(const PostgresReader &) = delete;
    PostgresReader &operator=(const PostgresReader &) = delete;

    // The rows of one statement with markers $1, $2, ...; the error text on failure.
    FetchResult read(const QString &statement, const QVariantList &values) override;
    // The same rows handed to `sink` as they are read; the error text on failure (before any row).
    QString readEach(const QString &statement, const QVariantList &values, RowSink &sink) override;
    // Sent in one pipeline with the next read: one round trip for the request.
    void sendWith(const AroundRead &around) override { m_around = around; }

private:
    using Result = std::unique_ptr<pg_result, void (*)(pg_result *)>;
    // The statement's rows, or null with `error` set.
    Result execute(const QString &statement, const QVariantList &values, QString *error);
    // The statements before, the statement's preparation where it is new, its execution and
    // the statements after, sent at once; their results read in turn.
    Result pipelined(const AroundRead &around, const QString &statement, const QVariantList &values,
                     QString *error);
    // A name for a statement not prepared yet (room is made for it first).
    QByteArray newName();
    QString resultError(const pg_result *result) const;

    pg_conn *m_connection;
    // A statement prepared on the server; its rows come in the binary form once its first
    // answer showed only columns of types read in that form.
    struct Prepared {
        QByteArray name;
        bool binary = false;
    };
    void learnForm(const QString &statement, const pg_result *result);

    QHash<QString, Prepared> m_statements;   // by text
    AroundRead m_around;
};

} // namespace appserver
