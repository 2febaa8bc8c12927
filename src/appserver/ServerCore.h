#pragma once
// The application server core: opened on a database, it answers fetches, applies and method
// calls for one client session at a time. Fetches run on a read-only connection, applies on a
// separate read-write one, opened only when the first apply comes. Every call checks the caller's user and password. Errors come back
// inside the results, with a message for the user; nothing is thrown out of the core.
// A core and its connections belong to the thread that opened it; a server with several
// threads gives each its own core.

#include "CompanyAccess.h"
#include "DatabaseDescription.h"
#include "Protocol.h"

#include <QString>
#include <memory>

namespace appserver {

class ServerCore {
public:
    ServerCore();
    ~ServerCore();
    ServerCore(const ServerCore &) = delete;
    ServerCore &operator=(const ServerCore &) = delete;

    // Empty on success, else why the database could not be opened.
    QString open(const DatabaseDescription &description);
    void close();
    bool isOpen() const;
    const DatabaseDescription &description() const;

    FetchResult fetch(const FetchRequest &request);
    // The same fetch handed to `sink` row by row; the error text, empty on success. The sink
    // must not throw.
    QString fetchEach(const FetchRequest &request, RowSink &sink);
    ApplyResult apply(const ApplyRequest &request);
    MethodResult call(const MethodCall &call);

    // Empty when the user exists and the password is right, else the refusal.
    QString login(const Credentials &session);
    // The HTTP server proves the password once, at login, and then vouches for the user with a
    // signed token: with this set, a call's session needs only a user that still exists.
    void setSessionsProvedUpstream(bool upstream);
    // The companies a user may work with; empty, or why they could not be read.
    QString companyAccess(const QString &user, CompanyAccess *access);

private:
    // Empty when the session may work, else the refusal.
    QString checkSession(const Credentials &session);
    // The stored password of a user (found false when there is none); empty, or why it failed.
    QString storedPassword(const QString &user, QString *stored, bool *found);
    QString checkSchema();
    // Runs work inside a read transaction of the reader; empty, or why it failed.
    template <class Work>
    QString inRead(Work work);
    template <class Result, class Request, class Work>
    Result forProvider(const Request &request, Work work);

    struct Private;
    std::unique_ptr<Private> d;

public:
    // A short digest of the user's stored password hash: any change of the stored hash (a new
    // password, even the same one stored again) changes it; empty when the user does not exist.
    // Empty, or why it could not be read.
    QString credentialStamp(const QString &user, QByteArray *stamp);
};

} // namespace appserver
