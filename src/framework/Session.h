#pragma once
// One working session: where the application server is, who works, in which company, with which
// start options and from which client. The load call or the command line makes it once and hands
// it on: the main form, the data module and the connection work with the value they are handed,
// and the one who changes it (the master form, when the user chooses another company) hands the
// changed value on again. The suite's session globals (Ugnnorma, the application tag) are written
// from it for the host and the suite; nothing of the module reads them back.

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

    // The same session in another company.
    Session withCompany(qint32 company) const;
    // True when both reach the same application server the same way.
    bool samePlace(const Session &other) const;

    bool operator==(const Session &other) const;
    bool operator!=(const Session &other) const { return !(*this == other); }

    // Writes every session global of the suite from this session: the start parameters, the
    // working user and password, the option list and its condition, the client version, and the
    // company as text (gStCodiEmpr) and as number (application tag).
    void writeSuiteGlobals() const;
    // The globals writeSuiteGlobals writes are empty again and the company is 0.
    static void clearSuiteGlobals();

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
