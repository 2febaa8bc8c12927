// An analyst's ordinary day at a branch office: the real main window, offscreen, works against
// qacsemaf-server through a proxy that adds a delay to every request (20 ms unless told). Each
// action prints how many requests it took and how long it took as the user waits for it:
//   journey: <action> <requests> requests <ms> ms
//
// Usage: bench_journeys [delay-ms=20]

#include "data/DAcSemaf.h"
#include "framework/Session.h"
#include "framework/widgets/DialogService.h"
#include "framework/widgets/ErrorGuard.h"
#include "framework/TApplication.h"
#include "reports/TReportesAcSemaf.h"
#include "tests/server/ServerProcess.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/LatencyProxy.h"
#include "ui/MainFormDriver.h"
#include "ui/UAcSemaf.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <cstdio>
#include <functional>

namespace {

class Journey {
public:
    explicit Journey(LatencyProxy &proxy) : m_proxy(proxy) {}

    // Runs one action and prints its requests and time; false when it failed.
    bool step(const char *action, const std::function<void()> &work)
    {
        const qint64 before = m_proxy.requests();
        QElapsedTimer timer;
        timer.start();
        // Each action runs as the window runs a click: inside the framework's guard, one user action.
        bool failed = false;
        const DialogRecorder shown;
        ErrorGuard::run([&] {
            try {
                work();
            } catch (const std::exception &error) {
                std::fprintf(stderr, "bench_journeys: %s: %s\n", action, error.what());
                failed = true;
            }
        });
        if (failed || !shown.texts().isEmpty()) {
            std::fprintf(stderr, "bench_journeys: %s: %s\n", action, qPrintable(shown.texts().join(QLatin1Char(' '))));
            return false;
        }
        QApplication::processEvents();
        std::printf("journey: %s %lld requests %.0f ms\n", action, static_cast<long long>(m_proxy.requests() - before),
                    timer.nsecsElapsed() / 1e6);
        std::fflush(stdout);
        return true;
    }

private:
    LatencyProxy &m_proxy;
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int delay = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 20;

    const DemoDatabase demo;
    ServerProcess server;
    if (!demo.isValid() || !server.start({QStringLiteral("--db"), demo.path()}).isEmpty()) {
        std::fprintf(stderr, "bench_journeys: %s%s\n", qPrintable(demo.error()), qPrintable(server.log()));
        return 1;
    }
    LatencyProxy proxy(server.port(), delay);
    if (const QString error = proxy.start(); !error.isEmpty()) {
        std::fprintf(stderr, "bench_journeys: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("bench_journeys: the demo through qacsemaf-server, %d ms added to every request\n", delay);
    const Session session(QStringLiteral("http"), proxy.address(), QString(), QStringLiteral("ADMIN"),
                          QStringLiteral("ADMIN"), 1);

    Journey journey(proxy);
    std::unique_ptr<MainFormDriver> driver;
    engine::Categories all;
    all.eduFor = all.eduNo = all.expe = all.compe = true;
    const bool ok =
        journey.step("start-up", [&] { driver = std::make_unique<MainFormDriver>(session); })
        && journey.step("company-change", [&] { driver->chooseCompany(2); })
        && journey.step("company-back", [&] { driver->chooseCompany(1); })
        && journey.step("plan-move", [&] { driver->goToNode(1, 3); })
        && journey.step("generation", [&] {
               driver->tickCategories(all);
               driver->pressGenerate();
           })
        && journey.step("result-move", [&] { driver->result().Next(); })
        && journey.step("list-report", [&] {
               TReportesAcSemaf reports(*DtmAcSemaf);
               reports.ProducirListado([](report::Report &list) { list.prepare(); });
           })
        && journey.step("competence-report", [&] {
               TReportesAcSemaf reports(*DtmAcSemaf);
               reports.ReporteCompetencias([](report::Report &competence) { competence.prepare(); });
           })
        && journey.step("succession-map", [&] { driver->form()->BtnCalcularMapa->click(); });
    if (!ok)
        return 1;
    driver.reset();
    return 0;
}
