#include "server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace {

std::mutex g_logMutex;

int portOf(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return -1;
}

// httplib hands no socket to a handler; find the connection by its two ports and shut it, so
// the client sees the connection end where a status line should have come.
void dropConnection(const httplib::Request& req) {
    const int maxFd = static_cast<int>(sysconf(_SC_OPEN_MAX) > 0 ? std::min<long>(sysconf(_SC_OPEN_MAX), 65536) : 1024);
    for (int fd = 0; fd < maxFd; ++fd) {
        sockaddr_storage local{}, peer{};
        socklen_t localLen = sizeof local, peerLen = sizeof peer;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLen) != 0)
            continue;
        if (portOf(local) != req.local_port)
            continue;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLen) != 0 || portOf(peer) != req.remote_port)
            continue;
        shutdown(fd, SHUT_RDWR);
        return;
    }
}

void logLine(const std::string& name, const httplib::Request& req, const httplib::Response& res) {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    std::strftime(stamp, sizeof stamp, "%H:%M:%S", &tm);
    std::lock_guard lock(g_logMutex);
    std::printf("%s %-7s %s %s -> %d (%zu bytes)\n", stamp, name.c_str(), req.method.c_str(), req.target.c_str(),
                res.status, res.body.size());
    std::fflush(stdout);
}

// The library listens with a backlog of 5, so bursts of new connections were refused. Listening
// again on the bound socket only raises its backlog.
void raiseBacklog(int port, int backlog) {
    const int maxFd = static_cast<int>(sysconf(_SC_OPEN_MAX) > 0 ? std::min<long>(sysconf(_SC_OPEN_MAX), 65536) : 1024);
    for (int fd = 0; fd < maxFd; ++fd) {
        sockaddr_storage local{};
        socklen_t localLen = sizeof local;
        int listening = 0;
        socklen_t flagLen = sizeof listening;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLen) != 0 || portOf(local) != port)
            continue;
        if (getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &flagLen) == 0 && listening)
            ::listen(fd, backlog);
    }
}

} // namespace

Endpoint::Endpoint(std::string name, int port, const Options& options, FaultCounters& counters, Handler handler,
                   int workers)
    : m_name(std::move(name)), m_port(port), m_options(options), m_counters(counters) {
    // A connection keeps its thread until it closes; keep new ones from queueing behind busy ones.
    m_server.new_task_queue = [workers] { return new httplib::ThreadPool(static_cast<size_t>(workers)); };
    m_server.set_keep_alive_timeout(2);
    m_server.set_read_timeout(10);
    m_server.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        const long long n = ++m_counters.requests;
        if (m_options.latencyMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(m_options.latencyMs));
        if (m_options.dropEvery > 0 && ++m_counters.connections % m_options.dropEvery == 0) {
            dropConnection(req);
            res.status = 500;
            return httplib::Server::HandlerResponse::Handled;
        }
        if (m_options.failEvery > 0 && n % m_options.failEvery == 0) {
            res.status = 500;
            res.set_content("Internal Server Error\n", "text/plain");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    m_server.Get(".*", [handler = std::move(handler)](const httplib::Request& req, httplib::Response& res) {
        handler(req, res);
    });
    m_server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        res.status = 500;
        res.set_content("Internal Server Error\n", "text/plain");
    });
    if (!m_options.quiet)
        m_server.set_logger(
            [this](const httplib::Request& req, const httplib::Response& res) { logLine(m_name, req, res); });
}

Endpoint::~Endpoint() {
    stop();
}

bool Endpoint::bind() {
    if (!m_server.bind_to_port("127.0.0.1", m_port))
        return false;
    raiseBacklog(m_port, kBacklog);
    return true;
}

void Endpoint::start() {
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
}

void Endpoint::stop() {
    m_server.stop();
    if (m_thread.joinable())
        m_thread.join();
}
