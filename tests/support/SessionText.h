#pragma once
// A session as QCOMPARE prints it when two differ.

#include "framework/Session.h"

#include <QTest>

inline char *toString(const Session &session)
{
    return QTest::toString(QStringLiteral("{%1 %2 %3 %4/%5 company %6 (\"%7\") options \"%8\" client %9;%10}")
                               .arg(session.protocol, session.server, session.alias, session.user,
                                    session.password.isEmpty() ? QString() : QStringLiteral("***"))
                               .arg(session.company)
                               .arg(session.companyParameter, session.options, session.clientVersion,
                                    session.clientDate));
}
