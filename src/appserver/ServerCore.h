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

    // A fetch runs one of the module's registered statements and keeps to the companies of the
    // session's user: those of `access` when given (the HTTP server reads them per request),
    // else as the core read them last, at most a second ago.
    FetchResult fetch(const FetchRequest &request, const CompanyAccess *access = nullptr);
    // The same fetch handed to `sink` row by row; the error text, empty on success. The sink
    // must not throw.
    QString fetchEach(const FetchRequest &request, RowSink &sink, const CompanyAccess *access = nullptr);
    // Whether the last fetch was refused as no statement of the module's or as another
    // company's, rather than failed; every refusal is logged with its user.
    bool lastFetchRefused() const;
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
    // The user's companies as read at most a second ago; empty, or why they could not be read.
    QString recentAccess(const QString &user, const CompanyAccess **access);
    void logRefusal(const FetchRequest &request, const QString &error) const;
    // Runs work inside a read transaction of the reader; empty, or why it failed.
    template <class Work>
    QString inRead(Work work);
    template <class Result, class Request, class Work>
    Result forProvider(const Request &request, Work work);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace appserver
