#include "tools/WindowRoad.h"

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
    if (command == "report" && argc > 2 && std::strcmp(argv[2], "competence") == 0)
        return anyNamedOption(argc, argv, 3, {"--pdf", "--xlsx", "--docx"});
    return false;
}

const char *windowProgramName()
{
    return QACSEMAF_WINDOW_PROGRAM;
}

int runWindowProgram(char *argv[])
{
    const std::string program = executableFolder(argv[0]) + windowProgramName();
    const char *command = argv[1];
    if (access(program.c_str(), X_OK) != 0) {
        std::fprintf(stderr,
                     "qacsemaf %s: this command opens the module's windows, which the program %s does; it is "
                     "missing (%s). Build or install it next to qacsemaf.\n",
                     command, program.c_str(), std::strerror(errno));
        return 127;
    }
    std::fflush(stdout);
    std::fflush(stderr);
    execv(program.c_str(), argv);
    std::fprintf(stderr, "qacsemaf %s: %s could not be started: %s\n", command, program.c_str(), std::strerror(errno));
    return 126;
}
