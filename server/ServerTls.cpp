#include "server/ServerTls.h"

#include <QDateTime>
#include <QFile>
#include <QSslCertificate>
#include <QSslKey>

namespace {

QString readPem(const QString &path, QByteArray *text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    *text = file.readAll();
    return {};
}

// QSslKey needs the algorithm; a PEM key file of any of them is accepted.
QSslKey privateKeyOf(const QByteArray &pem)
{
    for (const QSsl::KeyAlgorithm algorithm : {QSsl::Rsa, QSsl::Ec, QSsl::Dsa}) {
        const QSslKey key(pem, algorithm, QSsl::Pem, QSsl::PrivateKey);
        if (!key.isNull())
            return key;
    }
    return {};
}

} // namespace

QString ServerTls::load(const QString &certificateFile, const QString &keyFile, QSslConfiguration *out,
                        QStringList *notes)
{
    QByteArray certificateText, keyText;
    if (QString error = readPem(certificateFile, &certificateText); !error.isEmpty())
        return error;
    if (QString error = readPem(keyFile, &keyText); !error.isEmpty())
        return error;
    const QList<QSslCertificate> chain = QSslCertificate::fromData(certificateText, QSsl::Pem);
    if (chain.isEmpty())
        return QStringLiteral("%1 holds no PEM certificate").arg(certificateFile);
    const QSslKey key = privateKeyOf(keyText);
    if (key.isNull())
        return QStringLiteral("%1 holds no PEM private key without passphrase (RSA, EC or DSA)").arg(keyFile);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (chain.first().expiryDate() < now || chain.first().effectiveDate() > now)
        *notes << QStringLiteral("the certificate of %1 is valid from %2 to %3 only: clients will refuse it")
                      .arg(certificateFile, chain.first().effectiveDate().toString(Qt::ISODate),
                           chain.first().expiryDate().toString(Qt::ISODate));
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificateChain(chain);
    configuration.setPrivateKey(key);
    // Workstations prove themselves with their login, not with certificates of their own.
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    *out = configuration;
    return {};
}
