#include "tools/PasswordPrompt.h"

#include "tools/CommandLine.h"

#include <QFile>
#include <QTextStream>

#include <cstdio>
#include <string>
#include <termios.h>
#include <unistd.h>

bool PasswordPrompt::readLine(bool hidden, QString *line)
{
    termios saved{};
    const bool echoOff = hidden && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (echoOff) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string bytes;
    int c = 0;
    bool any = false;
    while ((c = std::getchar()) != EOF) {
        any = true;
        if (c == '\n')
            break;
        bytes.push_back(char(c));
    }
    if (echoOff) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::fputc('\n', stderr);   // the Enter the terminal did not echo
    }
    if (!bytes.empty() && bytes.back() == '\r')
        bytes.pop_back();
    *line = QString::fromStdString(bytes);
    return any;
}

QString PasswordPrompt::read(const QString &user, QString *password)
{
    const bool terminal = isatty(STDIN_FILENO) != 0;
    if (terminal) {
        QTextStream(stderr) << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Contraseña de %1: ")).arg(user) << Qt::flush;
    }
    if (!readLine(terminal, password))
        return cliText(QT_TRANSLATE_NOOP("qacsemaf", "no llegó ninguna contraseña por la entrada estándar"));
    if (password->isEmpty())
        return cliText(QT_TRANSLATE_NOOP("qacsemaf", "la contraseña de %1 no puede estar vacía")).arg(user);
    if (!terminal)
        return {};
    QTextStream(stderr) << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Repita la contraseña: ")) << Qt::flush;
    QString again;
    readLine(true, &again);
    if (again != *password)
        return cliText(QT_TRANSLATE_NOOP("qacsemaf", "las dos contraseñas no coinciden; no se cambió nada"));
    return {};
}

QString PasswordPrompt::ask(const QString &user, QString *password)
{
    if (isatty(STDIN_FILENO) == 0)
        return cliText(QT_TRANSLATE_NOOP("qacsemaf", "falta la contraseña de %1: dé --password-file ARCHIVO o la variable "
                                                     "QACSEMAF_PASSWORD (o ejecute el comando en una terminal, que la "
                                                     "pregunta)")).arg(user);
    QTextStream(stderr) << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Contraseña de %1: ")).arg(user) << Qt::flush;
    if (!readLine(true, password) || password->isEmpty())
        return cliText(QT_TRANSLATE_NOOP("qacsemaf", "no se escribió ninguna contraseña de %1")).arg(user);
    return {};
}

QString PasswordPrompt::fromFile(const QString &path, QString *error)
{
    error->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = cliText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo leer %1: %2")).arg(path, file.errorString());
        return {};
    }
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (line.isEmpty())
        *error = cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1 no tiene ninguna contraseña en su primera línea")).arg(path);
    return QString::fromUtf8(line);
}
