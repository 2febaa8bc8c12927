// The load call's option text, a megabyte of plain and quoted tokens, cut into its items.
//   bench_options [megabytes]
// Prints `options: <chars> chars, <items> items, <ms> ms (best of 3)`; the cut is linear in the
// text, so twice the text takes about twice the time.

#include "framework/OptionText.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const double megabytes = argc > 1 ? QString::fromLocal8Bit(argv[1]).toDouble() : 1.0;
    QString text;
    for (int i = 0; text.size() < megabytes * 1024 * 1024; ++i)
        text += QStringLiteral("/OPC%1 \"AND COD_EMPL = %1\" ").arg(i);
    qint64 best = -1;
    qsizetype items = 0;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        items = ParsearOpciones(text).size();
        const qint64 ms = timer.elapsed();
        best = best < 0 ? ms : qMin(best, ms);
    }
    std::printf("options: %lld chars, %lld items, %lld ms (best of 3)\n", static_cast<long long>(text.size()),
                static_cast<long long>(items), static_cast<long long>(best));
    return 0;
}
