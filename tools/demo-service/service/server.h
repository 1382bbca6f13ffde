#pragma once

#include "options.h"

#include <httplib.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

// Counters shared by all ports, so "every Nth request" counts across the whole service.
struct FaultCounters {
    std::atomic<long long> requests{0};
    std::atomic<long long> connections{0};
};

// One port of the service on 127.0.0.1: answers every GET through `handler`, after the fault
// switches (latency, failures, dropped connections) and with one log line per request.
class Endpoint {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;
    static constexpr int kWorkers = 48;
    // More than a price run's limit of 200 open requests, so none waits for a free thread.
    static constexpr int kPriceWorkers = 256;
    // Pending connections the kernel keeps for accept (the library's own backlog is 5).
    static constexpr int kBacklog = 1024;

    Endpoint(std::string name, int port, const Options& options, FaultCounters& counters, Handler handler,
             int workers = kWorkers);
    ~Endpoint();

    bool bind();
    void start();
    void stop();
    int port() const { return m_port; }

private:
    std::string m_name;
    int m_port;
    const Options& m_options;
    FaultCounters& m_counters;
    httplib::Server m_server;
    std::thread m_thread;
};
