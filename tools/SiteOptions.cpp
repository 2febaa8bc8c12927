#include "tools/SiteOptions.h"

#include "tools/dbtools/DatabaseOpener.h"

#include <QFile>
#include <QMap>
#include <QTextStream>

#include <utility>

SiteOptions::SiteOptions(QString usage, QString description)
    : m_usage(std::move(usage)), m_description(std::move(description))
{
    m_parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Muestra esta ayuda.")});
}

void SiteOptions::addPlaceOptions()
{
    m_hasPlace = true;
    m_parser.addOptions({
        {QStringLiteral("db"), QStringLiteral("Base de datos SQLite (un archivo)."), QStringLiteral("ARCHIVO")},
        {QStringLiteral("pg"),
         QStringLiteral("Base de datos PostgreSQL, en lugar de --db: \"host=... port=... dbname=... user=... "
                        "password=...\" y, si hacen falta, readuser=, readpassword=, writerole=, "
                        "statement_timeout=, lock_timeout=."),
         QStringLiteral("CONNINFO")},
    });
}

void SiteOptions::addReadPasswordOption()
{
    m_parser.addOption({QStringLiteral("read-password-file"),
                        QStringLiteral("Con --pg: archivo cuya primera línea es la contraseña del usuario de lectura "
                                       "(si el conninfo no trae readpassword=)."),
                        QStringLiteral("ARCHIVO")});
}

QString SiteOptions::readPassword(QString *error) const
{
    error->clear();
    QMap<QString, QString> pairs;
    QString ignored;
    dbtools::DatabaseOpener::parseConnInfo(connInfo(), &pairs, &ignored);
    if (pairs.contains(QStringLiteral("readpassword")))
        return pairs.value(QStringLiteral("readpassword"));
    const QString path = m_parser.value(QStringLiteral("read-password-file"));
    return path.isEmpty() ? QString() : passwordFromFile(path, error);
}

QString SiteOptions::passwordFromFile(const QString &path, QString *error)
{
    error->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("no se pudo leer %1: %2").arg(path, file.errorString());
        return {};
    }
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (line.isEmpty())
        *error = QStringLiteral("%1 no tiene ninguna contraseña en su primera línea").arg(path);
    return QString::fromUtf8(line);
}

QString SiteOptions::helpText() const
{
    // Qt's own help starts with an English usage line; the option list after it is kept.
    const QString qtHelp = m_parser.helpText();
    const qsizetype options = qtHelp.indexOf(QLatin1String("Options:\n"));
    const QString list = options < 0 ? QString() : qtHelp.mid(options + 9);
    return QStringLiteral("Uso: %1\n\n%2\n\nOpciones:\n%3").arg(m_usage, m_description, list);
}

bool SiteOptions::parse(const QStringList &arguments, int positional)
{
    if (!m_parser.parse(arguments))
        throw UsageError(m_parser.errorText());
    if (m_parser.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << helpText();
        return false;
    }
    if (m_parser.positionalArguments().size() > positional)
        throw UsageError(QStringLiteral("sobra el argumento \"%1\"").arg(m_parser.positionalArguments().value(positional)));
    if (!m_hasPlace)
        return true;
    if (m_parser.isSet(QStringLiteral("db")) == m_parser.isSet(QStringLiteral("pg")))
        throw UsageError(QStringLiteral("indique uno de --db ARCHIVO o --pg \"conninfo\""));
    if (m_parser.isSet(QStringLiteral("db")) && file().trimmed().isEmpty())
        throw UsageError(QStringLiteral("--db necesita el nombre de un archivo"));
    if (m_parser.optionNames().contains(QStringLiteral("read-password-file")) && !m_parser.isSet(QStringLiteral("pg")))
        throw UsageError(QStringLiteral("--read-password-file va con --pg"));
    if (m_parser.isSet(QStringLiteral("pg"))) {
        QMap<QString, QString> pairs;
        QString error;
        if (!dbtools::DatabaseOpener::parseConnInfo(connInfo(), &pairs, &error))
            throw UsageError(QStringLiteral("--pg: %1").arg(error));
        if (pairs.value(QStringLiteral("dbname")).isEmpty())
            throw UsageError(QStringLiteral("--pg debe indicar dbname="));
        for (const QString &key : {QStringLiteral("port"), QStringLiteral("statement_timeout"), QStringLiteral("lock_timeout")}) {
            bool number = false;
            if (pairs.contains(key) && (pairs.value(key).toInt(&number) < 0 || !number))
                throw UsageError(QStringLiteral("--pg: %1= necesita un número entero, no \"%2\"").arg(key, pairs.value(key)));
        }
    }
    return true;
}

int SiteOptions::number(const QString &option, int minimum) const
{
    bool ok = false;
    const int value = m_parser.value(option).toInt(&ok);
    if (!ok || value < minimum)
        throw UsageError(QStringLiteral("--%1 necesita un número entero desde %2, no \"%3\"")
                             .arg(option).arg(minimum).arg(m_parser.value(option)));
    return value;
}

int SiteOptions::refuse(const UsageError &error) const
{
    QTextStream(stderr) << "qacsemaf: " << error.message() << "\nUso: " << m_usage
                        << "\n(--help muestra todas las opciones)\n";
    return 2;
}

int SiteOptions::fail(const QString &message)
{
    QTextStream(stderr) << "qacsemaf: " << message << '\n';
    return 1;
}
