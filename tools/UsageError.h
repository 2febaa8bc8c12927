#pragma once
// A bad command line; the message says which option is wrong. The commands print it after their
// name and end with exit code 2.

#include <QString>

#include <exception>
#include <utility>

class UsageError : public std::exception {
public:
    explicit UsageError(QString message) : m_message(std::move(message)) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};
