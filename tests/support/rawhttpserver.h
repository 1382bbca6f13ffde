#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>

#include <atomic>
#include <thread>

// An HTTP server on 127.0.0.1 for exchange-level tests, on its own thread because the client
// blocks the test's thread. Connections are answered one after the other.
class LoopbackHttpServer {
public:
    virtual ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    int port() const { return m_port; }
    QString url(const QString& pathAndQuery = QStringLiteral("/")) const;

protected:
    LoopbackHttpServer();
    // Called at the end of the derived constructor and the start of its destructor.
    void start();
    void stop();
    bool stopping() const { return m_stop.load(); }
    // Answers one accepted connection, which is closed afterwards.
    virtual void answer(int fd) = 0;

private:
    int m_listenFd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Answers each connection with the next canned reply (raw bytes, sent as they are) and records
// the raw request heads.
class RawHttpServer : public LoopbackHttpServer {
public:
    explicit RawHttpServer(QList<QByteArray> replies);
    ~RawHttpServer() override;

    QList<QByteArray> requests() const;

protected:
    void answer(int fd) override;

private:
    QList<QByteArray> m_replies;
    QList<QByteArray> m_requests;
    int m_next = 0;
    mutable QMutex m_mutex;
};

// Answers that never end: after reading a request it sends `head`, then `chunk` every
// `intervalMs` milliseconds until the client goes. A trickle with a small chunk and a long
// interval, a flood with a large chunk and no interval.
class StreamingHttpServer : public LoopbackHttpServer {
public:
    StreamingHttpServer(QByteArray head, QByteArray chunk, int intervalMs);
    ~StreamingHttpServer() override;

    // Requests read so far.
    int requestCount() const { return m_requests.load(); }

protected:
    void answer(int fd) override;

private:
    QByteArray m_head;
    QByteArray m_chunk;
    int m_intervalMs;
    std::atomic<int> m_requests{0};
};

// A port on 127.0.0.1 that refuses connections (nothing listens there).
int refusingPort();
