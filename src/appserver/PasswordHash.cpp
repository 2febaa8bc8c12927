#include "appserver/PasswordHash.h"

#include <QByteArray>
#include <QStringList>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace appserver {

namespace {

constexpr int kLogN = 14;   // 16 MiB of memory, a few tens of milliseconds
constexpr int kR = 8;
constexpr int kP = 1;
constexpr int kSaltBytes = 16;
constexpr int kKeyBytes = 32;
const QString kPrefix = QStringLiteral("scrypt");

QByteArray derive(const QString &password, const QByteArray &salt, int logN, int r, int p)
{
    const QByteArray secret = password.toUtf8();
    QByteArray key(kKeyBytes, '\0');
    const uint64_t n = uint64_t(1) << logN;
    const uint64_t maxMemory = 128 * n * uint64_t(r) * uint64_t(p) + (uint64_t(1) << 20) * 32;
    if (EVP_PBE_scrypt(secret.constData(), size_t(secret.size()),
                       reinterpret_cast<const unsigned char *>(salt.constData()), size_t(salt.size()),
                       n, uint64_t(r), uint64_t(p), maxMemory,
                       reinterpret_cast<unsigned char *>(key.data()), size_t(key.size())) != 1)
        return {};
    return key;
}

} // namespace

QString PasswordHash::make(const QString &password)
{
    QByteArray salt(kSaltBytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char *>(salt.data()), salt.size()) != 1)
        return {};
    const QByteArray key = derive(password, salt, kLogN, kR, kP);
    if (key.isEmpty())
        return {};
    return QStringList{kPrefix, QString::number(kLogN), QString::number(kR), QString::number(kP),
                       QString::fromLatin1(salt.toBase64()), QString::fromLatin1(key.toBase64())}
        .join(QLatin1Char('$'));
}

bool PasswordHash::isHash(const QString &stored)
{
    return stored.startsWith(kPrefix + QLatin1Char('$'));
}

bool PasswordHash::verify(const QString &stored, const QString &password)
{
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 6 || parts.at(0) != kPrefix)
        return false;
    bool okN = false, okR = false, okP = false;
    const int logN = parts.at(1).toInt(&okN), r = parts.at(2).toInt(&okR), p = parts.at(3).toInt(&okP);
    // Bounds keep a tampered row from asking for unbounded memory.
    if (!okN || !okR || !okP || logN < 10 || logN > 20 || r < 1 || r > 32 || p < 1 || p > 16)
        return false;
    const QByteArray salt = QByteArray::fromBase64(parts.at(4).toLatin1());
    const QByteArray expected = QByteArray::fromBase64(parts.at(5).toLatin1());
    const QByteArray key = derive(password, salt, logN, r, p);
    return !key.isEmpty() && key.size() == expected.size()
        && CRYPTO_memcmp(key.constData(), expected.constData(), size_t(key.size())) == 0;
}

} // namespace appserver
