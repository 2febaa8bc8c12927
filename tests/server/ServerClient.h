#pragma once
// A workstation's requests to a ServerProcess: JSON bodies posted, JSON answers read.

#include "framework/connection/BlockingHttpClient.h"
#include "tests/server/ServerProcess.h"

#include <QJsonDocument>
#include <QJsonObject>

class ServerClient {
public:
    struct Reply {
        int status = 0;
        QJsonObject body;
        QMap<QByteArray, QByteArray> headers;
        QString error() const { return body.value(QLatin1String("error")).toString(); }
    };

    explicit ServerClient(const ServerProcess &server)
        : m_http(QStringLiteral("127.0.0.1"), server.port(), 10000)
    {
    }

    Reply post(const QString &path, const QByteArray &body, const QByteArray &token = {})
    {
        const BlockingHttpClient::Response response = m_http.post(path, body, token);
        return {response.status, QJsonDocument::fromJson(response.body).object(), response.headers};
    }
    Reply post(const QString &path, const QJsonObject &body, const QByteArray &token = {})
    {
        return post(path, QJsonDocument(body).toJson(QJsonDocument::Compact), token);
    }

    // The token a login gives, empty when it is refused; `more` adds company or database.
    QByteArray login(const QString &user, const QString &password, QJsonObject more = {})
    {
        more.insert(QStringLiteral("user"), user);
        more.insert(QStringLiteral("password"), password);
        return post(QStringLiteral("/login"), more).body.value(QLatin1String("token")).toString().toLatin1();
    }

private:
    BlockingHttpClient m_http;
};
