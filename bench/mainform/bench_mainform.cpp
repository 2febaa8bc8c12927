// The main window's speed as a user feels it:
//  1. the load call's time to a window on the demo database (the library loaded as the host
//     loads it, best of three loads);
//  2. a generation from the window on a node with N employees below it (synthetic company),
//     from the button press to the painted result grid.
// Prints figures only.
//
// Usage: bench_mainform [employees=2000]

#include "data/DAcSemaf.h"
#include "tests/support/DemoDatabase.h"
#include "ui/MainFormDriver.h"
#include "framework/widgets/TVelkarDBgrid.h"
#include "ui/UAcSemaf.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLibrary>
#include <cstdio>

namespace {

using LoadW = uintptr_t (*)(int32_t, const char16_t *, const char16_t *, const char16_t *, const char16_t *,
                            const char16_t *, const char16_t *, const char16_t *, const char16_t *);
using Unload = void (*)();

double loadCallMs(const QString &database)
{
    QLibrary library(QStringLiteral(QACSEMAF_LIBRARY));
    if (!library.load()) {
        std::fprintf(stderr, "bench_mainform: %s\n", qPrintable(library.errorString()));
        return -1;
    }
    const auto load = reinterpret_cast<LoadW>(library.resolve("QOpLoadDllW"));
    const auto unload = reinterpret_cast<Unload>(library.resolve("QOpUnLoadDll"));
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        const uintptr_t window = load(0, u"local", reinterpret_cast<const char16_t *>(database.utf16()), u"", u"ADMIN",
                                      u"ADMIN", u"1", u"", u"1.0;2026-12-06");
        best = qMin(best, timer.nsecsElapsed() / 1e6);
        unload();
        if (!window) {
            std::fprintf(stderr, "bench_mainform: the load call failed\n");
            return -1;
        }
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int employees = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 2000;

    const DemoDatabase demo;
    if (!demo.isValid()) {
        std::fprintf(stderr, "bench_mainform: %s\n", qPrintable(demo.error()));
        return 1;
    }
    std::printf("load call to a window (demo, best of 3): %.1f ms\n", loadCallMs(demo.path()));

    const DemoDatabase company(employees);
    if (!company.isValid()) {
        std::fprintf(stderr, "bench_mainform: %s\n", qPrintable(company.error()));
        return 1;
    }
    MainFormDriver driver(company.session(1));
    driver.goToNode(1, 1);  // the top position: every other position lies one level below
    engine::Categories all;
    all.eduFor = all.eduNo = all.expe = all.compe = true;
    driver.tickCategories(all);
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        driver.pressGenerate();
        const qint64 generated = timer.nsecsElapsed();
        driver.form()->DBGrdSemaforo->viewport()->grab();  // the painted grid
        std::printf("generation from the window, %d rows, painted: %.1f ms (generation %.1f ms)\n",
                    driver.result().RecordCount(), timer.nsecsElapsed() / 1e6, generated / 1e6);
    }
    return 0;
}
