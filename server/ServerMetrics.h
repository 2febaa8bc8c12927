#pragma once
// What GET /metrics reports, in the Prometheus text format: the requests by route and status, how
// long they took (a histogram in seconds), the refused logins, the database connections opened
// again and the HTTP connections open now. Counts since the process started.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <utility>

class ServerMetrics {
public:
    // `path` of a route the server has, else counted as "other", so that clients naming any path
    // cannot grow the list without bound.
    void request(const QString &path, int status, double seconds);
    void loginRefused() { ++m_loginsRefused; }
    void connectionOpened() { ++m_openConnections; }
    void connectionClosed() { --m_openConnections; }

    QByteArray text(qint64 databaseReconnects) const;

    static QByteArray contentType() { return QByteArrayLiteral("text/plain; version=0.0.4; charset=utf-8"); }

private:
    QMap<std::pair<QString, int>, qint64> m_requests;
    QList<qint64> m_buckets = QList<qint64>(kBounds.size(), 0);
    qint64 m_count = 0;
    double m_seconds = 0;
    qint64 m_loginsRefused = 0;
    qint64 m_openConnections = 0;

    static const QList<double> kBounds;
};
