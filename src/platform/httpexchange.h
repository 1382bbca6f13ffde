#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>

// One HTTP GET on a fresh connection, with the request head the vendor's services expect:
// HTTP/1.0, Host, Keep-Alive: 300, Connection: keep-alive and the fixed User-Agent (or
// Connection: close when keep-alive is off). Redirects are not followed.
struct HttpOptions {
    bool keepAlive = true;
    // Connecting and each receive give up after this many seconds.
    int timeoutSeconds = 90;
    // The whole exchange gives up after this many seconds, however the server trickles.
    int deadlineSeconds = 180;
    // A body beyond this is abandoned as a failed exchange, so a runaway server cannot exhaust
    // memory. The largest catalog answers are tens of megabytes; file downloads set their own.
    qint64 maxBodyBytes = qint64(64) * 1024 * 1024;
    // Instead of failing, the body is cut at maxBodyBytes and the exchange ends there as a
    // completed one, however much more the server announces or would send.
    bool firstBytesOnly = false;
    QByteArray userAgent = "Mozilla/4.0 (compatible; Synapse)";
    // When set and it turns true, the exchange ends within about a second as a failed one
    // (the program closing while workers wait on their answers).
    const std::atomic<bool>* cancel = nullptr;
};

struct HttpResult {
    // The last status line's code; 0 when the answer had no status line or never came.
    int statusCode = 0;
    // The status line's text after the code, trimmed; empty on any failure.
    QString reason;
    QByteArray body;
    // The transfer ran to its end (whatever the status).
    bool completed = false;

    // The services' success test: the reason, upper-cased, is exactly "OK".
    bool ok() const { return reason.toUpper() == QLatin1String("OK"); }
};

// On the application's main thread the exchange runs on a worker while the thread's event loop
// goes on without user input: the window repaints, timers run, input comes after in its order.
HttpResult HttpGet(const QString& url, const HttpOptions& options = {});

// Told true before and false after every HttpGet of the application's main thread, which
// holds the window's input meanwhile (the window shows a wait cursor). Workers' exchanges are
// not told. Set on the main thread only.
void setWindowWaitHook(std::function<void(bool)> hook);
