#pragma once
// Watches the bytes of one connection before the HTTP server's parser reads them (it is the first
// to hear the socket's readyRead) and, when a request breaks the framer's rules, answers it with
// the refusal and closes the connection. The parser never sees that request, so an oversized body
// is neither gathered nor held: the parser keeps a whole request in memory before handling it.

#include "server/RequestFramer.h"

#include <QObject>

class QTcpSocket;

class RequestGuard : public QObject {
    Q_OBJECT
public:
    // Becomes a child of `socket`; must be made before anything else listens to its readyRead.
    RequestGuard(QTcpSocket *socket, qint64 maxBodyBytes);

signals:
    void refused(const QString &path, int status, const QString &message);

private:
    void inspect();
    void answer(const RequestFramer::Refusal &refusal);

    QTcpSocket *m_socket;
    RequestFramer m_framer;
};
