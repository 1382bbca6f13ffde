#include "pricing/pricerun.h"

#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "pricelists/normalizereference.h"
#include "pricelists/ownpricetable.h"
#include "pricing/resultrows.h"
#include "pricing/runprogress.h"
#include "pricing/runsteps.h"
#include "pricing/sitelists.h"
#include "service/requestlog.h"

#include <QTimer>

PriceRun::PriceRun(PriceTransport& transport, Dialogs& dialogs, Desktop& desktop, RequestLog& log,
                   const OwnPriceTable& ownPrices, ResultRows& compare, ResultRows& analysis, QObject* parent)
    : QObject(parent), m_transport(transport), m_dialogs(dialogs), m_desktop(desktop), m_log(log),
      m_ownPrices(ownPrices), m_compare(compare), m_analysis(analysis) {
    connect(&m_transport, &PriceTransport::delivered, this, &PriceRun::onDelivered);
}

void PriceRun::SpeedButton32Click(const QList<PriceLine>& lines, const PriceRunSettings& settings) {
    if (m_running || m_closing || lines.isEmpty())
        return;
    if (m_dialogs.confirm(QStringLiteral("START PROCESSING OF PRICES ???"), Confirmation::Routine))
        start(lines, settings);
}

bool PriceRun::start(const QList<PriceLine>& lines, const PriceRunSettings& settings) {
    if (m_running || m_closing || m_transport.isClosing())
        return false;
    m_running = true;
    m_lines = lines;
    m_settings = settings;
    ++m_runId;
    m_requests = {};
    m_settled = true;
    m_pendingPages.clear();
    if (settings.cleanCompare && settings.compare)
        m_compare.clearAsked(m_dialogs);
    if (settings.cleanAnalysis && settings.analysis)
        m_analysis.clearAsked(m_dialogs);
    if (m_progress) {
        m_progress->begin(int(m_lines.size()), ProgressLine(0, int(m_lines.size())));
        m_progress->setRunningCount(m_count);
    }
    m_stage = Stage::LoadOwnPrices;
    emit started(m_runId, m_lines, m_settings);
    scheduleStep();
    return true;
}

bool PriceRun::progressShowing() const {
    return m_progress && m_progress->isShowing();
}

bool PriceRun::stopNow() const {
    return m_closing || m_transport.isClosing() || (m_progress && m_progress->stopRequested());
}

// Between two steps the window processes its events: that is where STOP is pressed and the
// workers' results come in.
void PriceRun::scheduleStep() {
    if (m_stepScheduled)
        return;
    m_stepScheduled = true;
    QTimer::singleShot(0, this, &PriceRun::step);
}

void PriceRun::step() {
    m_stepScheduled = false;
    if (!m_running)
        return;
    if (stopNow()) {
        end(m_closing || m_transport.isClosing() ? Outcome::Closed : Outcome::Stopped);
        return;
    }
    switch (m_stage) {
    case Stage::LoadOwnPrices:
        if (m_settings.ownPrices && m_ownPrices.Count() == 0 && m_regenerate) {
            if (m_progress)
                m_progress->setPhase(QStringLiteral("Load price lists in memory ..."));
            m_regenerate();
        }
        m_stage = Stage::Lines;
        m_line = 1;
        m_phase = 0;
        scheduleStep();
        return;
    case Stage::Lines:
        lineStep();
        return;
    case Stage::Pages:
        openPendingPages();
        end(Outcome::Completed);
        return;
    }
}

// One phase of the current line; the phases that are switched off are passed over at once.
void PriceRun::lineStep() {
    const int n = int(m_lines.size());
    while (m_line <= n) {
        const PriceLine& line = m_lines.at(m_line - 1);
        const int phase = m_phase++;
        if (phase == 0) {
            if (progressShowing() && m_count > kMaxRunningWorkers) {
                // Goes on when results lower the count, or STOP sets it to 0.
                --m_phase;
                m_waiting = true;
                m_transport.setEager(true);
                return;
            }
            if (!m_settings.ownPrices || m_ownPrices.Count() == 0)
                continue;
            if (m_progress)
                m_progress->setPhase(QStringLiteral("Checking price(s) in own price lists ..."));
            std::vector<OwnPriceMatch> found;
            if (!FindOwnPrices(m_ownPrices, NormalizeReference(line.reference), line.brand, found,
                               [this] { return stopNow(); })) {
                scheduleStep();
                return;
            }
            ResultBatch batch{line, ResultSource::OwnPriceList, QString(), {}, m_runId};
            for (const OwnPriceMatch& row : found)
                batch.rows << QStringList{line.brand,
                                          line.reference,
                                          line.name,
                                          row.pathfile.toString(),
                                          row.price.toString(),
                                          QStringLiteral("by default")};
            if (!batch.rows.isEmpty())
                m_compare.appendBatches({batch});
        } else if (phase == 1) {
            if (!m_settings.compare)
                continue;
            if (m_progress) {
                m_progress->setPhase(QStringLiteral("Checking price(s) with help service Compare price for different "
                                                    "shops (according selected shop(s)) ..."));
                m_progress->setProgressLine(ProgressLine(m_line, n));
            }
            startWorkers(QString::fromLatin1(kComparePriceService), m_settings.compareShopIds, m_settings.compareEmail,
                         m_settings.compareSeccode, 0, line);
        } else if (phase == 2) {
            if (!m_settings.analysis)
                continue;
            if (m_progress) {
                m_progress->setPhase(QStringLiteral("Checking price(s) with help service Analization price for "
                                                    "different e-platforms (according selected e-platform(s)) ..."));
                m_progress->setProgressLine(ProgressLine(m_line, n));
            }
            startWorkers(QString::fromLatin1(kAnalysisService), m_settings.analysisShopIds, m_settings.analysisEmail,
                         m_settings.analysisSeccode, IntegerOr(m_settings.maxSubOffers, 5), line);
        } else if (phase == 3) {
            if (!m_settings.pages)
                continue;
            if (m_progress) {
                m_progress->setPhase(QStringLiteral("Openning necessary url-pages ..."));
                m_progress->setProgressLine(ProgressLine(m_line, n));
            }
            for (const QString& pageTemplate : std::as_const(m_settings.pageTemplates)) {
                if (stopNow())
                    break;
                const QString address = PageAddress(pageTemplate, line.brand, line.reference);
                if (m_settings.pagesAfterRun)
                    m_pendingPages << address;
                else
                    m_desktop.open(address);
            }
        } else {
            ++m_line;
            m_phase = 0;
            continue;
        }
        scheduleStep();
        return;
    }
    m_stage = Stage::Pages;
    scheduleStep();
}

void PriceRun::startWorkers(const QString& service, const QString& shopIds, const QString& email,
                            const QString& seccode, int maxrow, const PriceLine& line) {
    for (const QString& site : SiteIds(shopIds)) {
        if (stopNow())
            return;
        TMyThread worker;
        static_cast<PriceQuestion&>(worker) = {service,    email,          seccode,   site,
                                               line.brand, line.reference, line.name, maxrow};
        worker.namefun = PriceRequestPath(service, email, seccode, line.brand, line.reference, site);
        worker.priceBaseUrl = m_settings.priceBaseUrl;
        worker.run = m_runId;
        worker.epoch = m_epoch;
        // A worker that cannot be sent is skipped; the run goes on with the next site.
        if (!m_transport.submit(worker))
            continue;
        // Counted here, when it is created: the run's limit then holds however slowly answers come.
        ++m_count;
        ++m_requests.sent;
        m_settled = false;
        emit workerStarted(worker);
    }
    if (m_progress) {
        m_progress->setRunningCount(m_count);
        m_progress->setOpenRequests(m_transport.openCount());
    }
    emit countChanged(m_count);
}

void PriceRun::openPendingPages() {
    const int pauseAfter = m_settings.pagePause ? IntegerOr(m_settings.pagePauseAfter, 10) : 0;
    int opened = 0;
    const QStringList pages = std::exchange(m_pendingPages, {});
    for (const QString& address : pages) {
        m_desktop.open(address);
        ++opened;
        if (pauseAfter > 0 && opened == pauseAfter) {
            if (!m_dialogs.okAbort(PagePauseMessage(opened)))
                return;
            opened = 0;
        }
    }
}

// Pending pages are dropped; the progress window closes unless workers are still counted.
void PriceRun::end(Outcome outcome) {
    m_running = false;
    if (std::exchange(m_waiting, false))
        m_transport.setEager(false);
    m_pendingPages.clear();
    if (m_progress)
        m_progress->requestClose();
    if (outcome == Outcome::Stopped)
        m_dialogs.error(QStringLiteral("StopExportData"));
    emit finished(outcome);
    checkSettled();
}

void PriceRun::forgetRunning() {
    ++m_epoch;
    m_count = 0;
    if (m_progress)
        m_progress->setRunningCount(0);
    emit countChanged(m_count);
    if (m_waiting) {
        m_waiting = false;
        m_transport.setEager(false);
        scheduleStep();
    }
}

void PriceRun::shutdown() {
    m_closing = true;
    if (m_running)
        end(Outcome::Closed);
}

void PriceRun::onDelivered(const QList<WorkerResult>& results) {
    if (m_closing)
        return;
    QList<ResultBatch> compare, analysis;
    QStringList logLines;
    for (const WorkerResult& result : results) {
        const TMyThread& worker = result.worker;
        if (!result.logLine.isEmpty())
            logLines << result.logLine;
        const PriceLine line{worker.brand, worker.part, worker.name};
        if (!result.findings.compareOffers.isEmpty()) {
            ResultBatch batch{line, ResultSource::ShopComparison, worker.site, {}, worker.run};
            for (const CompareOffer& offer : result.findings.compareOffers)
                batch.rows << CompareRowCells(worker.brand, worker.part, worker.name, offer);
            compare << batch;
        }
        if (!result.findings.analysisLines.isEmpty()) {
            ResultBatch batch{line, ResultSource::PriceAnalysis, worker.site, {}, worker.run};
            for (const QString& analysisLine : result.findings.analysisLines)
                batch.rows << ResultRows::analysisCells(
                    AnalysisRowCells(analysisLine, worker.brand, worker.part, worker.name));
            analysis << batch;
        }
        if (worker.run == m_runId)
            ++(result.answered ? m_requests.answered : m_requests.failed);
        // The worker's row step: the count falls once, for the workers it still counts.
        if (progressShowing() && worker.epoch == m_epoch && m_count > 0)
            --m_count;
    }
    m_log.AppendLogLines(logLines);
    if (!compare.isEmpty())
        m_compare.appendBatches(compare);
    if (!analysis.isEmpty())
        m_analysis.appendBatches(analysis);
    if (m_progress) {
        m_progress->setRunningCount(m_count);
        m_progress->setOpenRequests(m_transport.openCount());
    }
    emit countChanged(m_count);
    if (m_waiting && m_count <= kMaxRunningWorkers) {
        m_waiting = false;
        m_transport.setEager(false);
        scheduleStep();
    }
    // While the run still creates workers the count may fall to 0 between two lines: the window
    // closes on a worker's row only once the run has ended (after STOP its caption allows it).
    if (!m_running && progressShowing())
        m_progress->requestClose();
    checkSettled();
}

void PriceRun::checkSettled() {
    if (m_settled || m_running || m_closing || m_requests.answered + m_requests.failed < m_requests.sent)
        return;
    m_settled = true;
    emit requestsSettled(summaryLine(m_requests));
}

QString PriceRun::summaryLine(const Requests& requests) {
    return QStringLiteral("%1 requests: %2 answered, %3 failed \u2014 see Log requests")
        .arg(requests.sent)
        .arg(requests.answered)
        .arg(requests.failed);
}
