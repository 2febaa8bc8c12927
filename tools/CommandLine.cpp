#include "tools/CommandLine.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <cstdlib>
#include <utility>

namespace {

QString dashed(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// "--db <archivo>" or "-h, --help".
QString optionSynopsis(const QCommandLineOption &option)
{
    QStringList names;
    for (const QString &name : option.names())
        names << dashed(name);
    QString synopsis = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        synopsis += QStringLiteral(" <%1>").arg(option.valueName());
    return synopsis;
}

// QCommandLineParser words its own errors in English; the two that are not about an unknown
// option are recognised by their shape and said again in the user's language.
QString parserError(const QCommandLineParser &parser)
{
    if (!parser.unknownOptionNames().isEmpty())
        return cliText(QT_TRANSLATE_NOOP("qacsemaf", "opción desconocida %1"))
            .arg(dashed(parser.unknownOptionNames().constFirst()));
    static const QRegularExpression missing(QStringLiteral("^Missing value after '(.*)'\\.$"));
    static const QRegularExpression unexpected(QStringLiteral("^Unexpected value after '(.*)'\\.$"));
    if (const QRegularExpressionMatch match = missing.match(parser.errorText()); match.hasMatch())
        return cliText(QT_TRANSLATE_NOOP("qacsemaf", "falta el valor de %1")).arg(match.captured(1));
    if (const QRegularExpressionMatch match = unexpected.match(parser.errorText()); match.hasMatch())
        return cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1 no lleva valor")).arg(match.captured(1));
    return parser.errorText();
}

// `value` of option `name` as a whole number of at least `minimum`; throws otherwise.
int wholeNumber(const QString &name, const QString &value, int minimum)
{
    bool isNumber = false;
    const int parsed = value.toInt(&isNumber);
    if (!isNumber)
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1: \"%2\" no es un número entero"))
                             .arg(dashed(name), value));
    if (parsed < minimum)
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1: dé un número de %2 en adelante"))
                             .arg(dashed(name)).arg(minimum));
    return parsed;
}

} // namespace

CommandLine::CommandLine(QString program, QString description)
    : m_program(std::move(program)), m_description(std::move(description))
{
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    add({{{QStringLiteral("h"), QStringLiteral("help")},
          cliText(QT_TRANSLATE_NOOP("qacsemaf", "Muestra esta ayuda."))}});
}

void CommandLine::add(const QList<QCommandLineOption> &options)
{
    m_options += options;
    m_parser.addOptions(options);
}

void CommandLine::takeArguments(const QString &synopsis, int most)
{
    m_synopsis = synopsis;
    m_mostArguments = most;
}

QString CommandLine::usageLine() const
{
    const QString call = m_synopsis.isEmpty() ? m_program : m_program + QLatin1Char(' ') + m_synopsis;
    return cliText(QT_TRANSLATE_NOOP("qacsemaf", "Uso: %1 [opciones]")).arg(call);
}

QString CommandLine::help() const
{
    QString text;
    QTextStream out(&text);
    out << usageLine() << "\n\n" << m_description << "\n\n"
        << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Opciones:")) << '\n';
    qsizetype width = 0;
    for (const QCommandLineOption &option : m_options)
        width = qMax(width, optionSynopsis(option).size());
    for (const QCommandLineOption &option : m_options) {
        QString line = QStringLiteral("  ") + optionSynopsis(option).leftJustified(width + 2) + option.description();
        if (!option.defaultValues().isEmpty())
            line += QLatin1Char(' ')
                    + cliText(QT_TRANSLATE_NOOP("qacsemaf", "Por omisión: %1.")).arg(option.defaultValues().join(QLatin1Char(',')));
        out << line << '\n';
    }
    return text;
}

void CommandLine::parse(const QStringList &arguments)
{
    if (!m_parser.parse(arguments))
        throw UsageError(parserError(m_parser));
    if (m_parser.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << help();
        std::exit(0);
    }
    if (m_parser.positionalArguments().size() > m_mostArguments)
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "argumento inesperado \"%1\""))
                             .arg(m_parser.positionalArguments().at(m_mostArguments)));
}

void CommandLine::require(const QString &name) const
{
    if (!m_parser.isSet(name))
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "falta %1")).arg(dashed(name)));
}

void CommandLine::refuseTogether(const QString &one, const QString &other) const
{
    if (m_parser.isSet(one) && m_parser.isSet(other))
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1 no se puede usar con %2"))
                             .arg(dashed(one), dashed(other)));
}

int CommandLine::number(const QString &name, int minimum) const
{
    return wholeNumber(name, m_parser.value(name), minimum);
}

QList<int> CommandLine::numbers(const QString &name, int minimum) const
{
    QList<int> parsed;
    for (const QString &value : m_parser.values(name))
        parsed << wholeNumber(name, value, minimum);
    return parsed;
}

QString CommandLine::choice(const QString &name, const QStringList &choices) const
{
    const QString value = m_parser.value(name).toLower();
    if (!choices.contains(value))
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1: \"%2\" no es uno de %3"))
                             .arg(dashed(name), m_parser.value(name), choices.join(QStringLiteral(", "))));
    return value;
}

void CommandLine::requireFolderOf(const QString &name) const
{
    const QString file = m_parser.value(name);
    if (file.isEmpty())
        return;
    const QString folder = QFileInfo(file).absolutePath();
    if (!QFileInfo(folder).isDir())
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1: la carpeta %2 no existe"))
                             .arg(dashed(name), QDir::toNativeSeparators(folder)));
}

void CommandLine::requireExistingFile(const QString &name) const
{
    if (!QFileInfo(m_parser.value(name)).isFile())
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1: el archivo %2 no existe"))
                             .arg(dashed(name), m_parser.value(name)));
}

void CommandLine::requireNewFile(const QString &name) const
{
    requireFolderOf(name);
    if (QFileInfo::exists(m_parser.value(name)))
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1: %2 ya existe; no se reemplaza"))
                             .arg(dashed(name), m_parser.value(name)));
}

int reportUsageError(const UsageError &error, const QString &program)
{
    QTextStream(stderr) << "qacsemaf: " << error.message() << '\n'
                        << "qacsemaf: "
                        << cliText(QT_TRANSLATE_NOOP("qacsemaf", "vea \"%1 --help\"")).arg(program) << '\n';
    return 2;
}

int reportFailure(const QString &message)
{
    QTextStream err(stderr);
    for (const QString &line : message.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        err << "qacsemaf: " << line << '\n';
    return 1;
}
