#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>

#include <atomic>
#include <thread>

// A tiny HTTP server on 127.0.0.1 for exchange-level tests: it answers each connection with
// the next canned reply (raw bytes, sent as they are) and records the raw request heads.
// It runs on its own thread because the client blocks the test's thread.
class RawHttpServer {
public:
    explicit RawHttpServer(QList<QByteArray> replies);
    ~RawHttpServer();

    int port() const { return m_port; }
    QString url(const QString& pathAndQuery = QStringLiteral("/")) const;
    QList<QByteArray> requests() const;

private:
    void serve();

    QList<QByteArray> m_replies;
    QList<QByteArray> m_requests;
    mutable QMutex m_mutex;
    int m_listenFd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// A port on 127.0.0.1 that refuses connections (nothing listens there).
int refusingPort();
