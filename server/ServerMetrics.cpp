#include "server/ServerMetrics.h"

#include <QStringList>

const QList<double> ServerMetrics::kBounds{0.005, 0.025, 0.1, 0.5, 2.5, 10};

namespace {

void family(QByteArray &out, const char *name, const char *type, const char *help)
{
    out += QByteArray("# HELP ") + name + ' ' + help + '\n' + "# TYPE " + name + ' ' + type + '\n';
}

} // namespace

void ServerMetrics::request(const QString &path, int status, double seconds)
{
    static const QStringList routes{QStringLiteral("/login"), QStringLiteral("/fetch"), QStringLiteral("/fetchMany"),
                                    QStringLiteral("/apply"),  QStringLiteral("/call"),  QStringLiteral("/health"),
                                    QStringLiteral("/metrics")};
    ++m_requests[{routes.contains(path) ? path : QStringLiteral("other"), status}];
    for (qsizetype i = 0; i < kBounds.size(); ++i)
        if (seconds <= kBounds.at(i))
            ++m_buckets[i];
    ++m_count;
    m_seconds += seconds;
}

QByteArray ServerMetrics::text(qint64 databaseReconnects) const
{
    QByteArray out;
    family(out, "qacsemaf_http_requests_total", "counter", "HTTP requests answered, by route and status.");
    for (auto it = m_requests.cbegin(); it != m_requests.cend(); ++it)
        out += QStringLiteral("qacsemaf_http_requests_total{route=\"%1\",status=\"%2\"} %3\n")
                   .arg(it.key().first).arg(it.key().second).arg(it.value()).toUtf8();
    family(out, "qacsemaf_http_request_duration_seconds", "histogram", "Time to answer an HTTP request.");
    for (qsizetype i = 0; i < kBounds.size(); ++i)
        out += "qacsemaf_http_request_duration_seconds_bucket{le=\"" + QByteArray::number(kBounds.at(i)) + "\"} "
            + QByteArray::number(m_buckets.at(i)) + '\n';
    out += "qacsemaf_http_request_duration_seconds_bucket{le=\"+Inf\"} " + QByteArray::number(m_count) + '\n';
    out += "qacsemaf_http_request_duration_seconds_sum " + QByteArray::number(m_seconds, 'g', 9) + '\n';
    out += "qacsemaf_http_request_duration_seconds_count " + QByteArray::number(m_count) + '\n';
    family(out, "qacsemaf_logins_refused_total", "counter", "Logins refused (wrong password, unknown, disabled or "
                                                            "waiting user, company not granted).");
    out += "qacsemaf_logins_refused_total " + QByteArray::number(m_loginsRefused) + '\n';
    family(out, "qacsemaf_database_reconnects_total", "counter", "Database connections opened again after the "
                                                                 "database ended them.");
    out += "qacsemaf_database_reconnects_total " + QByteArray::number(databaseReconnects) + '\n';
    family(out, "qacsemaf_http_open_connections", "gauge", "HTTP connections open now.");
    out += "qacsemaf_http_open_connections " + QByteArray::number(m_openConnections) + '\n';
    return out;
}
