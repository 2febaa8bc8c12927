// The JSON text of a fetch's answer: how fast the server writes it and the workstation reads it,
// on rows shaped like the module's largest reads (codes, names, amounts, dates, gaps).
// Usage: bench_fetch_answer_json [rows=100000]

#include "protocol/FetchAnswerJson.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <cstdio>
#include <functional>

using namespace protocol;

namespace {

FetchResult sample(int rows)
{
    FetchResult result;
    result.fields = {{QStringLiteral("COD_EMPL"), FieldType::Float, 0, true},
                     {QStringLiteral("NOM_EMPL"), FieldType::String, 60, true},
                     {QStringLiteral("COD_CARG"), FieldType::FixedChar, 10, false},
                     {QStringLiteral("COD_REQU"), FieldType::Integer, 0, false},
                     {QStringLiteral("SAL_BASI"), FieldType::Float, 0, false},
                     {QStringLiteral("FEC_INGR"), FieldType::DateTime, 0, false}};
    const QDateTime start(QDate(2001, 3, 1), QTime(8, 0));
    result.rows.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        result.rows.append({double(10000 + i), QStringLiteral("Empleado número %1, \"área\" %2").arg(i).arg(i % 17),
                            QStringLiteral("CARG%1").arg(i % 300), i % 5 ? QVariant(i % 1000) : QVariant(),
                            1234.5 + i * 0.25, start.addDays(i % 4000)});
    }
    return result;
}

struct Counting : RowSink {
    qint64 cells = 0;
    int columns = 0;
    void fields(const QList<FieldDesc> &fields) override { columns = int(fields.size()); }
    void row(const RowCells &cells) override
    {
        for (int i = 0; i < columns; ++i)
            this->cells += cells.isNull(i) ? 0 : 1;
    }
};

// The best of three runs, in seconds.
double best(const std::function<void()> &run)
{
    double fastest = 1e9;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        fastest = std::min(fastest, timer.nsecsElapsed() / 1e9);
    }
    return fastest;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    const FetchResult result = sample(rows);
    QByteArray text;
    const double write = best([&] { text = FetchAnswerJson::write(result); });
    FetchResult read;
    QString error;
    const double whole = best([&] {
        read = FetchResult();
        if (!FetchAnswerJson::read(text, &read, &error))
            std::fprintf(stderr, "read failed: %s\n", qPrintable(error));
    });
    Counting counting;
    QString refusal;
    const double each = best([&] {
        counting = Counting();
        if (!FetchAnswerJson::readEach(text, counting, &refusal, &error))
            std::fprintf(stderr, "read failed: %s\n", qPrintable(error));
    });
    if (read.rows.size() != rows) {
        std::fprintf(stderr, "read %lld rows of %d\n", static_cast<long long>(read.rows.size()), rows);
        return 1;
    }
    const double megabytes = text.size() / 1e6;
    std::printf("fetch answer as JSON, %d rows x 6 columns, %.1f MB\n", rows, megabytes);
    std::printf("write:        %12.0f rows/s  %7.1f MB/s\n", rows / write, megabytes / write);
    std::printf("read:         %12.0f rows/s  %7.1f MB/s (a whole result)\n", rows / whole, megabytes / whole);
    std::printf("read each:    %12.0f rows/s  %7.1f MB/s (row by row to a sink)\n", rows / each, megabytes / each);
    return 0;
}
