// velmora-demo-service: the vendor's services, on 127.0.0.1, with sample data.

#include "accounts.h"
#include "catalogdata.h"
#include "catalogservice.h"
#include "ftpservice.h"
#include "options.h"
#include "priceservice.h"
#include "server.h"
#include "siteservice.h"

#include <csignal>
#include <cstdio>
#include <memory>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#ifndef VELMORA_DEMO_DATA
#define VELMORA_DEMO_DATA "velmora-demo.sqlite"
#endif

namespace {

bool exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

// The compiled-in build path first, then the file beside the executable.
std::string defaultDataPath(const char* argv0) {
    if (exists(VELMORA_DEMO_DATA))
        return VELMORA_DEMO_DATA;
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string(argv0);
    dir = dir.substr(0, dir.rfind('/') + 1);
    return dir + "velmora-demo.sqlite";
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return error == UsageText() ? 0 : 2;
    }
    if (options.dataPath.empty())
        options.dataPath = defaultDataPath(argv[0]);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    // Signals go to the waiting main thread only; a client that hangs up must not kill us.
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    CatalogData data;
    if (!data.load(options.dataPath, options.scale, error)) {
        std::fprintf(stderr, "velmora-demo-service: %s\n", error.c_str());
        return 1;
    }
    Accounts accounts;
    FaultCounters counters;
    const CatalogService catalog(data, accounts, false, options.catalogPort());
    const CatalogService demo(data, accounts, true, options.demoPort());
    PriceService price(data, accounts, options.sitePort(), options.priceDrift);
    const SiteService site(data, accounts, options);

    std::vector<std::unique_ptr<Endpoint>> endpoints;
    endpoints.push_back(std::make_unique<Endpoint>("site", options.sitePort(), options, counters,
                                                   [&](const auto& req, auto& res) { site.handle(req, res); }));
    endpoints.push_back(std::make_unique<Endpoint>("catalog", options.catalogPort(), options, counters,
                                                   [&](const auto& req, auto& res) { catalog.handle(req, res); }));
    // A price run keeps up to about 200 requests open at once, each on its own connection.
    endpoints.push_back(std::make_unique<Endpoint>(
        "price", options.pricePort(), options, counters, [&](const auto& req, auto& res) { price.handle(req, res); },
        Endpoint::kPriceWorkers));
    endpoints.push_back(std::make_unique<Endpoint>("demo", options.demoPort(), options, counters,
                                                   [&](const auto& req, auto& res) { demo.handle(req, res); }));
    for (const auto& e : endpoints)
        if (!e->bind()) {
            std::fprintf(stderr, "velmora-demo-service: cannot bind 127.0.0.1:%d\n", e->port());
            return 3;
        }
    FtpService ftp(data, options.ftpPort(), options.quiet);
    if (!ftp.bind()) {
        std::fprintf(stderr, "velmora-demo-service: cannot bind 127.0.0.1:%d\n", ftp.port());
        return 3;
    }
    for (const auto& e : endpoints)
        e->start();
    ftp.start();
    std::printf("velmora-demo-service: %zu products; site http://127.0.0.1:%d catalog http://127.0.0.1:%d/ "
                "price http://127.0.0.1:%d/ demo http://127.0.0.1:%d/ ftp ftp://127.0.0.1:%d/\n",
                data.products.size(), options.sitePort(), options.catalogPort(), options.pricePort(),
                options.demoPort(), options.ftpPort());

    int signal = 0;
    sigwait(&stopSignals, &signal);
    ftp.stop();
    for (const auto& e : endpoints)
        e->stop();
    return 0;
}
