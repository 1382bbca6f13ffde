#include "pricing/tmythread.h"

#include "platform/httpexchange.h"
#include "service/requestlog.h"
#include "service/textfunctions.h"

#include <QDateTime>

bool WorkerLink::runOnWindowThread(const std::function<void()>& step) {
    if (closing.load())
        return false;
    bool ran = false;
    QMetaObject::invokeMethod(
        windowSide,
        [this, &step, &ran] {
            if (closing.load())
                return;
            step();
            ran = true;
        },
        Qt::BlockingQueuedConnection);
    return ran;
}

TMyThread::TMyThread(std::shared_ptr<WorkerLink> link, QString priceBaseUrl, EndStep end)
    : m_link(std::move(link)), m_priceBaseUrl(std::move(priceBaseUrl)), m_end(std::move(end)) {}

void TMyThread::run() {
    WorkerFindings findings;
    const bool compare = service == QLatin1String(kComparePriceService);
    if (compare || service == QLatin1String(kAnalysisService)) {
        namefun = PriceRequestPath(service, email, seccode, brand, part, site);
        const QString answer = _GetContentFromServer_comparator();
        if (!IsBlank(answer)) {
            if (compare)
                findings.compareOffers = ReadCompareAnswer(answer);
            else
                findings.analysisLines = ReadAnalysisAnswer(answer, maxrow);
        }
    }
    // Every worker ends through this one step, with or without rows, so the run's count of
    // running workers falls exactly once per worker. The log line goes with it: one wait for
    // the window thread per worker instead of two.
    m_link->runOnWindowThread([this, &findings] { m_end(*this, findings); });
}

QString TMyThread::_GetContentFromServer_comparator() {
    const QDateTime start = QDateTime::currentDateTime();
    HttpOptions options;
    options.keepAlive = false;
    options.timeoutSeconds = 120;
    options.cancel = &m_link->closing;
    const HttpResult result = HttpGet(m_priceBaseUrl + namefun, options);
    if (!result.ok()) {
        m_logLine = WorkerFailedLogLine(start, QDateTime::currentDateTime(), m_priceBaseUrl, namefun, result.reason);
        return {};
    }
    const QString answer = StreamToUtf8Text(result.body);
    m_logLine = WorkerAnsweredLogLine(start, QDateTime::currentDateTime(), m_priceBaseUrl, namefun, answer);
    return answer;
}
