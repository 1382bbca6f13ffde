#include "support/rawhttpserver.h"

#include <QString>

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
} // namespace

RawHttpServer::RawHttpServer(QList<QByteArray> replies) : m_replies(std::move(replies)) {
    m_listenFd = bindLoopback(&m_port);
    ::listen(m_listenFd, 16);
    m_thread = std::thread([this] { serve(); });
}

RawHttpServer::~RawHttpServer() {
    m_stop = true;
    m_thread.join();
    ::close(m_listenFd);
}

QString RawHttpServer::url(const QString& pathAndQuery) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(pathAndQuery);
}

QList<QByteArray> RawHttpServer::requests() const {
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

void RawHttpServer::serve() {
    int next = 0;
    while (!m_stop) {
        pollfd p{m_listenFd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const int fd = ::accept(m_listenFd, nullptr, nullptr);
        if (fd < 0)
            continue;
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
        {
            QMutexLocker lock(&m_mutex);
            m_requests << head;
        }
        const QByteArray reply = next < m_replies.size() ? m_replies[next] : m_replies.value(m_replies.size() - 1);
        ++next;
        qsizetype sent = 0;
        while (sent < reply.size()) {
            const ssize_t n = ::send(fd, reply.constData() + sent, size_t(reply.size() - sent), MSG_NOSIGNAL);
            if (n <= 0)
                break;
            sent += n;
        }
        ::shutdown(fd, SHUT_WR);
        ::close(fd);
    }
}

int refusingPort() {
    int port = 0;
    const int fd = bindLoopback(&port);
    ::close(fd); // bound once, now free and not listening
    return port;
}
