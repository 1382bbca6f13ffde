#include "support/rawhttpserver.h"

#include <QString>

#include <chrono>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int bindLoopback(int* port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    *port = ntohs(addr.sin_port);
    return fd;
}

// The client's request head; empty when it sent none in time.
QByteArray readHead(int fd) {
    QByteArray head;
    char buffer[4096];
    while (!head.contains("\r\n\r\n")) {
        pollfd c{fd, POLLIN, 0};
        if (::poll(&c, 1, 2000) <= 0)
            break;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        head.append(buffer, n);
    }
    return head;
}

bool sendAll(int fd, const QByteArray& bytes) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

// Whether something is there to accept within 50 ms.
bool pending(int listenFd) {
    pollfd p{listenFd, POLLIN, 0};
    return ::poll(&p, 1, 50) > 0;
}
} // namespace

LoopbackHttpServer::LoopbackHttpServer() {
    m_listenFd = bindLoopback(&m_port);
    ::listen(m_listenFd, 16);
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stop();
    ::close(m_listenFd);
}

void LoopbackHttpServer::start() {
    m_thread = std::thread([this] {
        while (!m_stop) {
            if (!pending(m_listenFd))
                continue;
            const int fd = ::accept(m_listenFd, nullptr, nullptr);
            if (fd < 0)
                continue;
            answer(fd);
            ::close(fd);
        }
    });
}

void LoopbackHttpServer::stop() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

QString LoopbackHttpServer::url(const QString& pathAndQuery) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(pathAndQuery);
}

RawHttpServer::RawHttpServer(QList<QByteArray> replies) : m_replies(std::move(replies)) {
    start();
}

RawHttpServer::~RawHttpServer() {
    stop();
}

QList<QByteArray> RawHttpServer::requests() const {
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

void RawHttpServer::answer(int fd) {
    const QByteArray head = readHead(fd);
    {
        QMutexLocker lock(&m_mutex);
        m_requests << head;
    }
    const QByteArray reply = m_next < m_replies.size() ? m_replies[m_next] : m_replies.value(m_replies.size() - 1);
    ++m_next;
    sendAll(fd, reply);
    ::shutdown(fd, SHUT_WR);
}

StreamingHttpServer::StreamingHttpServer(QByteArray head, QByteArray chunk, int intervalMs)
    : m_head(std::move(head)), m_chunk(std::move(chunk)), m_intervalMs(intervalMs) {
    start();
}

StreamingHttpServer::~StreamingHttpServer() {
    stop();
}

void StreamingHttpServer::answer(int fd) {
    readHead(fd);
    ++m_requests;
    bool open = sendAll(fd, m_head);
    while (open && !stopping()) {
        open = sendAll(fd, m_chunk);
        if (m_intervalMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(m_intervalMs));
    }
}

int refusingPort() {
    int port = 0;
    const int fd = bindLoopback(&port);
    ::close(fd); // bound once, now free and not listening
    return port;
}
