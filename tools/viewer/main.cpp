// qacsemaf-viewer: a read-only viewer of an employee's records (work experience, formal and
// non-formal education) or of the company's position master, started by the module's drill-down
// in place of the suite's own programs. See tools/viewer/README.md.

#include "framework/widgets/DialogService.h"
#include "framework/PlatformNotices.h"
#include "framework/Exceptions.h"
#include "framework/widgets/ProgramLauncher.h"
#include "tools/viewer/RecordViewer.h"
#include "framework/Session.h"
#include "framework/localtransport/LocalTransport.h"
#include "tools/viewer/ViewerOptions.h"

#include <cstdio>

#include <QApplication>
#include <QTextStream>
#include <QTimer>

namespace {

int fail(const QString &message, bool quiet)
{
    QTextStream(stderr) << "qacsemaf-viewer: " << message << '\n';
    if (!quiet)
        DialogService::instance().showError(message);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    quietPlatformNotices();
    // The name the viewer was started under (a link named after a program code) tells the kind.
    const QString startName = QString::fromLocal8Bit(argv[0]);
    // Asked what it is or how to start it, the viewer answers on the terminal and opens nothing.
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--version") == 0) {
            std::printf("qacsemaf-viewer %s\n", QACSEMAF_VERSION);
            return 0;
        }
        if (qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "-h") == 0) {
            std::fputs(ViewerOptions::usage(startName).toUtf8().constData(), stdout);
            return 0;
        }
    }
    // Printing the rows or saving a picture needs no screen.
    for (int i = 1; i < argc; ++i)
        if ((qstrcmp(argv[i], "--dump") == 0 || qstrcmp(argv[i], "--screenshot") == 0)
            && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList arguments = app.arguments();
    arguments.removeFirst();

    ViewerOptions options;
    const QString error = options.parse(arguments, startName,
                                        qEnvironmentVariable(ProgramLauncher::kPasswordVariable));
    const bool quiet = options.dump || !options.screenshot.isEmpty();
    if (!error.isEmpty())
        return fail(error, quiet);
    LocalTransport::install();   // a local or pgsql session runs the server core in this process
    RecordViewer viewer(Session(options.protocol, options.server, options.alias, options.user, options.password,
                                options.company),
                        *options.kind);
    try {
        viewer.load(options.company, options.employee);
    } catch (const Exception &e) {
        return fail(e.Message(), quiet);
    }
    if (options.dump) {
        QTextStream(stdout) << viewer.dumpText();
        return 0;
    }
    viewer.show();
    if (!options.screenshot.isEmpty()) {
        QApplication::processEvents();
        if (!viewer.grab().save(options.screenshot))
            return fail(QStringLiteral("No se pudo guardar la imagen en %1.").arg(options.screenshot), true);
        return 0;
    }
    return app.exec();
}
