#include "server/SessionToken.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageAuthenticationCode>

namespace {
constexpr auto kBase64 = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;
} // namespace

SessionToken::SessionToken(QByteArray secret) : m_secret(std::move(secret)) {}

QString SessionToken::issue(const QString &user, const QString &session, const QByteArray &stamp,
                           qint64 expiresAtSecs) const
{
    const QByteArray payload = QJsonDocument(QJsonObject{{QStringLiteral("u"), user},
                                                         {QStringLiteral("s"), session},
                                                         {QStringLiteral("c"), QString::fromLatin1(stamp)},
                                                         {QStringLiteral("e"), expiresAtSecs}})
                                   .toJson(QJsonDocument::Compact)
                                   .toBase64(kBase64);
    return QString::fromLatin1(payload + '.' + signature(payload).toBase64(kBase64));
}

QString SessionToken::verify(const QString &token, qint64 nowSecs, QString *user, QString *session,
                             QByteArray *stamp) const
{
    const QString invalid = QStringLiteral("La sesión no es válida; inicie sesión de nuevo.");
    const QByteArray text = token.toLatin1();
    const int dot = text.indexOf('.');
    if (dot <= 0)
        return invalid;
    const QByteArray payload = text.left(dot);
    const auto given = QByteArray::fromBase64Encoding(text.mid(dot + 1), kBase64 | QByteArray::AbortOnBase64DecodingErrors);
    // Compared in constant time, so the answer's timing tells nothing about the right signature.
    const QByteArray expected = signature(payload);
    if (!given || given.decoded.size() != expected.size())
        return invalid;
    unsigned char difference = 0;
    for (int i = 0; i < expected.size(); ++i)
        difference |= static_cast<unsigned char>(expected.at(i) ^ given.decoded.at(i));
    if (difference != 0)
        return invalid;
    const QJsonObject claims = QJsonDocument::fromJson(QByteArray::fromBase64(payload, kBase64)).object();
    // A token issued before sessions were kept names none.
    if (claims.value(QLatin1String("s")).toString().isEmpty())
        return invalid;
    if (claims.value(QLatin1String("e")).toInteger() <= nowSecs)
        return QStringLiteral("La sesión expiró; inicie sesión de nuevo.");
    *session = claims.value(QLatin1String("s")).toString();
    *user = claims.value(QLatin1String("u")).toString();
    *stamp = claims.value(QLatin1String("c")).toString().toLatin1();
    return {};
}

QByteArray SessionToken::signature(const QByteArray &payload) const
{
    return QMessageAuthenticationCode::hash(payload, m_secret, QCryptographicHash::Sha256);
}
