#include "support/demoservice.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDeadlineTimer>

#include <signal.h>
#include <sys/prctl.h>

namespace {

constexpr int kBindFailure = 3; // the service's exit code when a port is taken
constexpr int kFirstBase = 20000;
constexpr int kBaseStep = 250; // one base uses P+80 ... P+200
constexpr int kBaseCount = 150;

QAtomicInt g_started;

} // namespace

DemoService::DemoService(const QStringList& extraArgs, int startSeconds) : m_startSeconds(startSeconds) {
    // Spread parallel test processes over the range; retry on a taken port.
    const int seed = static_cast<int>(QCoreApplication::applicationPid() % kBaseCount);
    for (int attempt = 0; attempt < 12; ++attempt) {
        const int slot = (seed + g_started.fetchAndAddOrdered(1) * 37 + attempt * 53) % kBaseCount;
        if (tryStart(kFirstBase + slot * kBaseStep, extraArgs))
            return;
        if (!m_error.contains(QLatin1String("cannot bind")))
            return;
    }
}

DemoService::~DemoService() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool DemoService::tryStart(int portBase, const QStringList& extraArgs) {
    m_process.setProgram(QStringLiteral(VELMORA_DEMO_SERVICE_PATH));
    m_process.setArguments(QStringList{QStringLiteral("--port-base"), QString::number(portBase)} + extraArgs);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    // The service ends with the process that started it, also when that one crashes or is killed;
    // a large stand-in left behind holds gigabytes.
    m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_process.start();
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("cannot start %1").arg(m_process.program());
        return false;
    }
    // The service prints its first line once every port listens.
    QByteArray out;
    const QDeadlineTimer deadline(qint64(m_startSeconds) * 1000);
    while (!out.contains('\n') && m_process.state() == QProcess::Running && !deadline.hasExpired()) {
        m_process.waitForReadyRead(200);
        out += m_process.readAllStandardOutput();
    }
    if (!out.contains("velmora-demo-service:")) {
        m_process.waitForFinished(2000);
        m_error = QString::fromUtf8(m_process.readAllStandardError());
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
        if (m_error.isEmpty())
            m_error = m_process.exitCode() == kBindFailure ? QStringLiteral("cannot bind")
                                                           : QStringLiteral("the service did not come up");
        return false;
    }
    // Nobody reads the request lines; a closed pipe keeps the service from blocking on them.
    m_process.closeReadChannel(QProcess::StandardOutput);
    m_portBase = portBase;
    m_error.clear();
    return true;
}

QString DemoService::url(int offset) const {
    return QStringLiteral("http://127.0.0.1:%1").arg(m_portBase + offset);
}

QString DemoService::catalogUrl() const {
    return url(100) + QLatin1Char('/');
}
QString DemoService::priceUrl() const {
    return url(150) + QLatin1Char('/');
}
QString DemoService::demoUrl() const {
    return url(200) + QLatin1Char('/');
}
QString DemoService::siteUrl() const {
    return url(80);
}
QString DemoService::downloadUrl() const {
    return url(80);
}

QString DemoService::serviceIniSection() const {
    return QStringLiteral("[service]\ncatalog_url=%1\nprice_url=%2\ndemo_url=%3\nsite_url=%4\ndownload_url=%5\n")
        .arg(catalogUrl(), priceUrl(), demoUrl(), siteUrl(), downloadUrl());
}
