// Price requests per second that velmora-demo-service answers on loopback, each on a fresh
// connection as the price workers send them. Run: demoservice_bench --benchmark_min_time=3

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {

constexpr int kPortBase = 19300;
pid_t g_service = 0;

// One GET in the client's form; true when a "200 OK" status line came back.
bool priceRequest(int port, const std::string& target) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = false;
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        const std::string head = "GET /" + target + " HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(port) +
                                 "\r\nConnection: close\r\nUser-Agent: Mozilla/4.0 (compatible; Synapse)\r\n\r\n";
        if (send(fd, head.data(), head.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(head.size())) {
            std::string answer;
            char buf[4096];
            ssize_t n;
            while ((n = recv(fd, buf, sizeof buf, 0)) > 0)
                answer.append(buf, static_cast<size_t>(n));
            ok = answer.rfind("HTTP/1.1 200 OK\r\n", 0) == 0;
        }
    }
    close(fd);
    return ok;
}

void BM_PriceRequest(benchmark::State& state) {
    const char* parts[] = {"GDB1385", "0%20986%20494%20104", "16312", "W%20712/75"};
    int i = static_cast<int>(state.thread_index());
    int64_t failures = 0;
    for (auto _ : state) {
        const std::string target =
            std::string(i % 2 ? "get?service=EBAYANALIZ&email=analiz@velmora.test&seccode=analiz-2026"
                              : "get?service=COMPAREPRICE&email=compare@velmora.test&seccode=compare-2026") +
            "&brand=TRW&part=" + parts[i % 4] + "&site=" + (i % 3 ? "44" : "46");
        if (!priceRequest(kPortBase + 150, target))
            ++failures;
        ++i;
    }
    state.counters["failures"] = static_cast<double>(failures);
    state.counters["requests_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
// 200 and 250 clients: a price run keeps up to about 200 requests open at once.
BENCHMARK(BM_PriceRequest)->Threads(1)->Threads(32)->Threads(200)->Threads(250)->UseRealTime();

// The stand-in, ended by the kernel when this process ends in any way (a crash included).
pid_t startService() {
    const std::string base = std::to_string(kPortBase);
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child != 0)
        return child;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) // the parent ended before the request was made
        _exit(1);
    execl(VELMORA_DEMO_SERVICE_PATH, VELMORA_DEMO_SERVICE_PATH, "--quiet", "--port-base", base.c_str(), nullptr);
    _exit(127);
}

} // namespace

int main(int argc, char** argv) {
    g_service = startService();
    if (g_service < 0)
        return 1;
    bool up = false;
    for (int i = 0; i < 100 && !up; ++i) {
        up = priceRequest(kPortBase + 150, "sites-list");
        if (!up)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!up) {
        std::fprintf(stderr, "demoservice_bench: the stand-in did not come up\n");
        kill(g_service, SIGKILL);
        waitpid(g_service, nullptr, 0);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    kill(g_service, SIGTERM);
    waitpid(g_service, nullptr, 0);
    return 0;
}
