#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs velmora-demo-service on 127.0.0.1 for one test: a free port base is chosen (another one
// is tried when a port is taken), the constructor returns once all its ports answer, and the
// destructor stops the service. `extraArgs` go to the service as they are, for example
// {"--fail-every", "3"} or {"--published-version", "2.0.0"}. A large stand-in ("--scale") may
// take longer than `startSeconds` to fill its catalog on a busy machine.
class DemoService {
public:
    explicit DemoService(const QStringList& extraArgs = {}, int startSeconds = 30);
    ~DemoService();
    DemoService(const DemoService&) = delete;
    DemoService& operator=(const DemoService&) = delete;

    bool isRunning() const { return m_portBase > 0; }
    // Why the service could not be started; empty while it runs.
    QString error() const { return m_error; }

    int portBase() const { return m_portBase; }
    QString catalogUrl() const;  // "http://127.0.0.1:P+100/"
    QString priceUrl() const;    // "http://127.0.0.1:P+150/"
    QString demoUrl() const;     // "http://127.0.0.1:P+200/"
    QString siteUrl() const;     // "http://127.0.0.1:P+80", no trailing "/"
    QString downloadUrl() const; // the same server as the site
    // The [service] section of velmora.ini that points the program at this service.
    QString serviceIniSection() const;

    // The sample accounts.
    static constexpr const char* kCatalogEmail = "trader@velmora.test";
    static constexpr const char* kCatalogSeccode = "trader-2026";
    static constexpr const char* kCompareEmail = "compare@velmora.test";
    static constexpr const char* kCompareSeccode = "compare-2026";
    static constexpr const char* kAnalysisEmail = "analiz@velmora.test";
    static constexpr const char* kAnalysisSeccode = "analiz-2026";
    static constexpr const char* kExpiredEmail = "expired@velmora.test";
    static constexpr const char* kExpiredSeccode = "expired-2025";
    static constexpr const char* kDemoEmail = "demo@velmora.test";
    static constexpr const char* kDemoSeccode = "@nrvqlzkxtbwm@";

private:
    bool tryStart(int portBase, const QStringList& extraArgs);
    QString url(int offset) const;

    QProcess m_process;
    int m_startSeconds = 30;
    int m_portBase = 0;
    QString m_error;
};
