#pragma once
// The client's "version;date" argument of the load call.

#include <QString>

struct ClientVersion {
    QString version;
    QString date;   // everything after the first ";" (further ";" kept); empty without one
};

ClientVersion SepararVersion(const QString &versionAndDate);
