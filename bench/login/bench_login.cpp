// The time of a refused login through qacsemaf-server on loopback: a name that does not exist
// against a known name with a wrong password, the median of 20 each. The two must cost the same
// password hash, or the answer's time tells which names exist; the program fails when one is
// more than 1.5 times the other.
// Usage: bench_login
// Last line: login: unknown <ms> ms, known <ms> ms

#include "framework/connection/BlockingHttpClient.h"
#include "tests/support/DemoDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kSamples = 20;

// Milliseconds of one login, its status in *status.
double login(BlockingHttpClient &client, const QString &user, const QString &password, int *status)
{
    const QByteArray body = QJsonDocument(QJsonObject{{"user", user}, {"password", password}}).toJson(QJsonDocument::Compact);
    QElapsedTimer timer;
    timer.start();
    *status = client.post(QStringLiteral("/login"), body).status;
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return (values.at(values.size() / 2) + values.at((values.size() - 1) / 2)) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    DemoDatabase demo;
    if (!demo.isValid()) {
        std::fprintf(stderr, "seed failed: %s\n", qPrintable(demo.error()));
        return 1;
    }
    // The server's log goes to a file: a pipe nobody drains would stop it.
    QTemporaryDir logDir;
    QFile logFile(logDir.filePath(QStringLiteral("server.log")));
    QProcess server;
    server.setStandardErrorFile(logFile.fileName());
    server.start(QStringLiteral(QACSEMAF_SERVER), {"--db", demo.path(), "--listen", "127.0.0.1:0"});
    static const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
    QRegularExpressionMatch match;
    for (int waited = 0; !match.hasMatch() && waited < 100; ++waited) {
        QThread::msleep(100);
        if (logFile.open(QIODevice::ReadOnly)) {
            match = listening.match(QString::fromUtf8(logFile.readAll()));
            logFile.close();
        }
    }
    if (!match.hasMatch()) {
        std::fprintf(stderr, "qacsemaf-server did not start\n");
        return 1;
    }
    BlockingHttpClient client(QStringLiteral("127.0.0.1"), quint16(match.captured(1).toUInt()), 30000);
    QList<double> unknown, known;
    int status = 0, unexpected = 0;
    for (int i = 0; i < kSamples; ++i) {
        // Each unknown name once, and four wrong passwords of a known one before its right one,
        // so that neither meets the wait after five failed logins of one name.
        unknown << login(client, QStringLiteral("NADIE%1").arg(i), QStringLiteral("ADMIN"), &status);
        unexpected += status != 401;
        known << login(client, QStringLiteral("ADMIN"), QStringLiteral("ERRADA"), &status);
        unexpected += status != 401;
        if (i % 4 == 3) {
            login(client, QStringLiteral("ADMIN"), QStringLiteral("ADMIN"), &status);
            unexpected += status != 200;
        }
    }
    server.terminate();
    server.waitForFinished(10000);
    const double unknownMs = median(unknown), knownMs = median(known);
    std::printf("login: unknown %.1f ms, known %.1f ms\n", unknownMs, knownMs);
    if (unexpected > 0) {
        std::fprintf(stderr, "%d logins did not get the expected status\n", unexpected);
        return 1;
    }
    return std::max(unknownMs, knownMs) <= 1.5 * std::min(unknownMs, knownMs) ? 0 : 1;
}
