#include "server/ServerTls.h"

#include <QDateTime>
#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <memory>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

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

// A passphrase is never asked for: the key has none (privateKeyOf read it without one).
int noPassphrase(char *, int, int, void *)
{
    return 0;
}

// Whether the key is the private half of the certificate's public key. Without this check a
// wrong pair starts fine and then fails every handshake.
bool keyFitsCertificate(const QSslCertificate &certificate, const QSslKey &key)
{
    const QByteArray certificatePem = certificate.toPem(), keyPem = key.toPem();
    const std::unique_ptr<BIO, decltype(&BIO_free)> certificateBio(
        BIO_new_mem_buf(certificatePem.constData(), int(certificatePem.size())), &BIO_free);
    const std::unique_ptr<BIO, decltype(&BIO_free)> keyBio(BIO_new_mem_buf(keyPem.constData(), int(keyPem.size())),
                                                           &BIO_free);
    const std::unique_ptr<X509, decltype(&X509_free)> x509(
        PEM_read_bio_X509(certificateBio.get(), nullptr, &noPassphrase, nullptr), &X509_free);
    const std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> pkey(
        PEM_read_bio_PrivateKey(keyBio.get(), nullptr, &noPassphrase, nullptr), &EVP_PKEY_free);
    return x509 && pkey && X509_check_private_key(x509.get(), pkey.get()) == 1;
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
    if (!keyFitsCertificate(chain.first(), key))
        return QStringLiteral("la clave privada de %1 no corresponde al certificado de %2: con ellos fallaría toda "
                              "conexión HTTPS; indique la clave con la que se emitió el certificado")
            .arg(keyFile, certificateFile);
    if (QFile::permissions(keyFile) & (QFileDevice::ReadGroup | QFileDevice::ReadOther))
        *notes << QStringLiteral("%1 can be read by other users of this machine (chmod 600 it)").arg(keyFile);
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
