#pragma once
// The framework's error types. A rule that refuses an operation throws Exception with the
// user-facing text; EAbort ends an operation silently (a keystroke that must have no effect).

#include <QString>
#include <exception>

class Exception : public std::exception {
public:
    explicit Exception(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString &Message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// Silent abort: the guard that catches it shows nothing.
class EAbort : public Exception {
public:
    EAbort() : Exception(QStringLiteral("Operation aborted")) {}
};

// A text that does not convert to the number or date asked for.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A failure of a dataset or of the server behind it.
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};
