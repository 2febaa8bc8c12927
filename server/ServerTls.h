#pragma once
// The certificate and private key qacsemaf-server serves HTTPS with, read from PEM files: the
// certificate file may hold the whole chain (the server's certificate first); the key must not be
// protected by a passphrase, since the server starts unattended. The key must belong to the
// certificate, and other users of the machine should not be able to read it.

#include <QSslConfiguration>
#include <QStringList>

class ServerTls {
public:
    // Empty on success (out filled), else why the files cannot serve; notes get what the
    // operator should know (a certificate that has expired or is not valid yet, a key file that
    // others may read).
    static QString load(const QString &certificateFile, const QString &keyFile, QSslConfiguration *out,
                        QStringList *notes);
};
