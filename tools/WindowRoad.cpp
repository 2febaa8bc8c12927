#include "tools/WindowRoad.h"

#include "reports/ReportKinds.h"
#include "tools/CommandLine.h"

#include <QFile>
#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

#include <unistd.h>

namespace {

bool namedOption(const char *argument, const char *name)
{
    const std::size_t length = std::strlen(name);
    return std::strncmp(argument, name, length) == 0 && (argument[length] == '\0' || argument[length] == '=');
}

bool anyNamedOption(int argc, const char *const argv[], int from, std::initializer_list<const char *> names)
{
    for (int i = from; i < argc; ++i)
        for (const char *name : names)
            if (namedOption(argv[i], name))
                return true;
    return false;
}

// The folder of the running executable, with its trailing slash; empty when it cannot be told.
std::string executableFolder(const char *argv0)
{
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length > 0)
        path.resize(static_cast<std::size_t>(length));
    else
        path = argv0 ? argv0 : "";
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

} // namespace

bool needsWindowProgram(int argc, const char *const argv[])
{
    if (argc < 2)
        return false;
    const std::string command = argv[1];
    if (command == "screenshot")
        return true;
    if (command == "generate")
        return anyNamedOption(argc, argv, 2, {"--plan", "--node"});
    if (command != "report" || argc < 3)
        return false;
    const ReportKind *report = reportKind(QString::fromLocal8Bit(argv[2]));
    if (!report || report->source != ReportSource::Generation)
        return false;
    return anyNamedOption(argc, argv, 3, {"--plan", "--node"})
           || (report->chart && anyNamedOption(argc, argv, 3, {"--pdf", "--xlsx", "--docx"}));
}

const char *windowProgramName()
{
    return QACSEMAF_WINDOW_PROGRAM;
}

int runWindowProgram(char *argv[])
{
    const std::string program = executableFolder(argv[0]) + windowProgramName();
    const QString path = QFile::decodeName(program.c_str());
    if (access(program.c_str(), X_OK) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        QTextStream(stderr) << "qacsemaf: "
                            << cliText(QT_TRANSLATE_NOOP("qacsemaf", "\"%1\" abre las ventanas del módulo, lo que hace el "
                                                                     "programa %2, y falta (%3); compílelo o instálelo "
                                                                     "junto a qacsemaf."))
                                   .arg(QString::fromLocal8Bit(argv[1]), path, reason)
                            << '\n';
        return 127;
    }
    std::fflush(stdout);
    std::fflush(stderr);
    execv(program.c_str(), argv);
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    QTextStream(stderr) << "qacsemaf: "
                        << cliText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo iniciar %1: %2")).arg(path, reason) << '\n';
    return 126;
}
