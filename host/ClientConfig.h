#pragma once
// The site's client configuration, written by the administrator: which application server the
// workstations log in to, and the authorities to trust when it speaks HTTPS. The file is
// /etc/qacsemaf/client.ini, or the one QACSEMAF_CLIENT_CONFIG names; its keys stand at the top
// or under [client]:
//
//   server=https://rrhh-app:8443     the application server (host:port, http://... or https://...)
//   ca-file=/etc/qacsemaf/ca.crt     PEM certificates trusted beside the system's (optional)
//   database=rrhh                    the database the server must serve (optional)
//
// A site without the file has no configuration: the host then opens the user's demo database.

#include <QString>

class ClientConfig {
public:
    // QACSEMAF_CLIENT_CONFIG, else /etc/qacsemaf/client.ini.
    static QString path();

    // Reads `file`. False when there is no site: the file does not exist (error empty), or it
    // cannot be used (error says why, in Spanish, naming the file and the key).
    bool read(const QString &file, QString *error);

    QString file;
    QString server;
    QString caFile;
    QString database;
};
