#pragma once
// The server's options: from the command line and, under it, from an INI file (--config FILE)
// whose keys are the long option names, at the top of the file or in a [server] section. An
// option given on the command line wins over the file; one given nowhere keeps its default.

#include <QCommandLineParser>
#include <QHash>

class ServerOptions {
public:
    explicit ServerOptions(const QCommandLineParser &parser) : m_parser(parser) {}

    // Reads `file`; empty on success, else why it cannot be used (unreadable, a syntax error, a
    // key that names no option of `known`, the option "config" itself).
    QString readFile(const QString &file, const QStringList &known);

    bool isSet(const QString &name) const;
    QString value(const QString &name) const;

private:
    const QCommandLineParser &m_parser;
    QHash<QString, QString> m_file;
};
