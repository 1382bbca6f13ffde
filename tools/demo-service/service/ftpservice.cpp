#include "ftpservice.h"

#include "query.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>

namespace {

void sendAll(int fd, const std::string& text) {
    size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t n = ::send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<size_t>(n);
    }
}

void reply(int fd, const std::string& line) {
    sendAll(fd, line + "\r\n");
}

// One command line without its CR LF; false when the client went away or stayed silent too long.
bool readLine(int fd, std::string& buffer, std::string& line) {
    for (;;) {
        const size_t lf = buffer.find('\n');
        if (lf != std::string::npos) {
            line = buffer.substr(0, lf);
            buffer.erase(0, lf + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return true;
        }
        if (buffer.size() > 4096)
            return false;
        char chunk[512];
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0)
            return false;
        buffer.append(chunk, static_cast<size_t>(n));
    }
}

int listenLoopback(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return -1;
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 64) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int boundPort(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

std::string upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

} // namespace

FtpService::FtpService(const CatalogData& data, int port, bool quiet) : m_data(data), m_port(port), m_quiet(quiet) {}

FtpService::~FtpService() {
    stop();
}

bool FtpService::bind() {
    m_listener = listenLoopback(m_port);
    return m_listener >= 0;
}

void FtpService::start() {
    m_thread = std::thread([this] { acceptLoop(); });
}

void FtpService::stop() {
    m_stopping = true;
    if (m_listener >= 0)
        ::shutdown(m_listener, SHUT_RDWR);
    if (m_thread.joinable())
        m_thread.join();
    if (m_listener >= 0)
        ::close(m_listener);
    m_listener = -1;
}

void FtpService::acceptLoop() {
    while (!m_stopping) {
        const int control = ::accept(m_listener, nullptr, nullptr);
        if (control < 0) {
            if (m_stopping)
                return;
            continue;
        }
        std::thread([this, control] { session(control); }).detach();
    }
}

const PriceListFile* FtpService::file(const std::string& cwd, const std::string& path) const {
    std::string name = PercentDecode(path);
    if (name.empty() || name.front() != '/')
        name = cwd + "/" + name;
    while (!name.empty() && name.front() == '/')
        name.erase(name.begin());
    if (name.rfind("pricelists/", 0) != 0)
        return nullptr;
    name.erase(0, 11);
    for (const PriceListFile& f : m_data.priceLists)
        if (f.name == name)
            return &f;
    return nullptr;
}

void FtpService::session(int control) const {
    timeval timeout{60, 0};
    ::setsockopt(control, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    reply(control, "220 Velmora download server ready");
    std::string buffer, line, user, cwd;
    bool userGiven = false, loggedIn = false;
    int passive = -1;
    for (;;) {
        if (!readLine(control, buffer, line))
            break;
        const size_t blank = line.find(' ');
        const std::string command = upper(line.substr(0, blank));
        const std::string argument = blank == std::string::npos ? std::string() : line.substr(blank + 1);
        if (command == "USER") {
            user = argument;
            userGiven = true;
            loggedIn = false;
            reply(control, "331 Password required for " + (user.empty() ? std::string("anonymous") : user));
        } else if (command == "PASS") {
            // A link without a user name logs in with an empty one: that is the anonymous login.
            const bool anonymous = user.empty() || user == "anonymous" || user == "ftp";
            loggedIn = userGiven &&
                       (anonymous || (user == SampleFtp::kSupplierUser && argument == SampleFtp::kSupplierPassword));
            reply(control, loggedIn ? "230 Logged in" : "530 Login incorrect");
        } else if (command == "QUIT") {
            reply(control, "221 Goodbye");
            break;
        } else if (command == "SYST") {
            reply(control, "215 UNIX Type: L8");
        } else if (command == "NOOP") {
            reply(control, "200 OK");
        } else if (command == "FEAT") {
            reply(control, "211-Features:");
            reply(control, " PASV");
            reply(control, " SIZE");
            reply(control, " REST STREAM");
            reply(control, "211 End");
        } else if (!loggedIn) {
            reply(control, "530 Please log in with USER and PASS");
        } else if (command == "TYPE") {
            reply(control, "200 Type set to " + argument);
        } else if (command == "STRU") {
            reply(control, upper(argument) == "F" ? "200 Structure set to F" : "504 Only file structure");
        } else if (command == "MODE") {
            reply(control, upper(argument) == "S" ? "200 Mode set to S" : "504 Only stream mode");
        } else if (command == "REST") {
            reply(control, argument == "0" ? "350 Restarting at 0" : "504 Only REST 0");
        } else if (command == "PWD") {
            reply(control, "257 \"/" + cwd + "\" is the current directory");
        } else if (command == "CWD") {
            std::string dir = PercentDecode(argument);
            while (!dir.empty() && dir.back() == '/')
                dir.pop_back();
            if (dir.empty() || dir.front() == '/')
                cwd = dir;
            else
                cwd += "/" + dir;
            while (!cwd.empty() && cwd.front() == '/')
                cwd.erase(cwd.begin());
            reply(control, "250 OK");
        } else if (command == "SIZE") {
            const PriceListFile* f = file(cwd, argument);
            reply(control, f ? "213 " + std::to_string(f->content.size()) : "550 No such file");
        } else if (command == "PASV" || command == "EPSV") {
            if (passive >= 0)
                ::close(passive);
            passive = listenLoopback(0);
            if (passive < 0) {
                reply(control, "425 Cannot open a data connection");
                continue;
            }
            const int p = boundPort(passive);
            if (command == "PASV")
                reply(control, "227 Entering Passive Mode (127,0,0,1," + std::to_string(p / 256) + "," +
                                   std::to_string(p % 256) + ")");
            else
                reply(control, "229 Entering Extended Passive Mode (|||" + std::to_string(p) + "|)");
        } else if (command == "RETR") {
            const PriceListFile* f = file(cwd, argument);
            if (!f) {
                reply(control, "550 No such file");
            } else if (passive < 0) {
                reply(control, "425 Use PASV first");
            } else {
                pollfd waiting{passive, POLLIN, 0};
                const int data = ::poll(&waiting, 1, 10000) == 1 ? ::accept(passive, nullptr, nullptr) : -1;
                if (data < 0) {
                    reply(control, "425 No data connection");
                } else {
                    reply(control, "150 Opening BINARY mode data connection for " + f->name + " (" +
                                       std::to_string(f->content.size()) + " bytes)");
                    sendAll(data, f->content);
                    ::close(data);
                    reply(control, "226 Transfer complete");
                    if (!m_quiet)
                        std::printf("ftp     RETR %s (%zu bytes)\n", argument.c_str(), f->content.size());
                }
            }
            if (passive >= 0)
                ::close(passive);
            passive = -1;
        } else {
            reply(control, "502 Command not implemented");
        }
    }
    if (passive >= 0)
        ::close(passive);
    ::close(control);
}
