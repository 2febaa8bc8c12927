#pragma once
// One working session: where the application server is, who works, in which company, with which
// start options and from which client. The load call or the command line makes it once; the
// connection works with it, and makeCurrent fills the suite's session globals (Ugnnorma, the
// application tag) from it, so that those are written in one place only.

#include <QString>

class Session {
public:
    Session() = default;
    // What the command line knows: the place of the data, the user and the company.
    Session(const QString &protocol, const QString &server, const QString &alias, const QString &user,
            const QString &password, qint32 company);

    // Arguments 2 to 9 of the load call, in the host's order. A company that is not a whole
    // number gives company 0; the text stays in companyParameter for the messages.
    static Session fromLoadCall(const QString &protocol, const QString &alias, const QString &server,
                                const QString &user, const QString &password, const QString &company,
                                const QString &options, const QString &versionAndDate);
    // The place, user and company that the suite's globals describe, for code that filled them
    // itself: the working user and password, or the start parameters while those are empty.
    static Session fromGlobals();

    // The same session in another company.
    Session withCompany(qint32 company) const;
    // True when both reach the same application server the same way.
    bool samePlace(const Session &other) const;

    bool operator==(const Session &other) const;
    bool operator!=(const Session &other) const { return !(*this == other); }

    // The session the suite's globals were last filled from.
    static const Session &current();
    // Fills every session global from `session` and keeps it as the current one: the start
    // parameters, the working user and password, the option list and its condition, the client
    // version, and the current company as text (gStCodiEmpr) and as number (application tag).
    static void makeCurrent(const Session &session);
    // No current session any more: the globals makeCurrent fills are empty, the company is 0.
    static void clearCurrent();
    // The current session goes on with another password (renewed, or changed by the user); the
    // password globals follow, nothing else is filled again.
    static void changeCurrentPassword(const QString &password);

    QString protocol;         // local, pgsql or http
    QString server;
    QString alias;
    QString user;
    QString password;
    qint32 company = 0;
    QString companyParameter; // the company as the start named it
    QString options;          // the option text as given
    QString clientVersion;
    QString clientDate;
};
