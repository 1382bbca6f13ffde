#include "pricing/pricerun.h"

#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "pricelists/normalizereference.h"
#include "pricelists/ownpricetable.h"
#include "pricing/priceworkers.h"
#include "pricing/processing.h"
#include "pricing/runsteps.h"
#include "pricing/sitelists.h"
#include "service/appcontext.h"
#include "service/errors.h"
#include "service/serviceclient.h"

#include <QCoreApplication>
#include <QWidget>

namespace {

// The run ends here when the user confirmed STOP (or the program closes).
struct RunStopped {};

// The run waits before a line while more workers than this are counted.
constexpr int kMaxRunningWorkers = 200;

void processEvents() {
    QCoreApplication::processEvents();
}

} // namespace

PriceRun::PriceRun(AppContext& context, const OwnPriceTable& ownPrices, QWidget* mainWindow, QObject* parent)
    : QObject(parent), m_context(context), m_ownPrices(ownPrices),
      m_workers(std::make_unique<PriceWorkers>(*context.log)),
      m_form3(std::make_unique<TForm3>(*context.dialogs, *m_workers, mainWindow)) {
    m_workers->setDelivery(
        [this](const TMyThread& worker, const WorkerFindings& findings) { deliver(worker, findings); });
    // While the run still creates workers, the count can fall to zero between two lines; the
    // window closes on a worker's last row only after the run has ended.
    connect(m_workers.get(), &PriceWorkers::workerCountLowered, this, [this] {
        if (!m_running && m_form3->isVisible())
            m_form3->close();
    });
}

PriceRun::~PriceRun() {
    shutdown();
}

void PriceRun::shutdown() {
    m_closing = true;
    m_form3->closeForShutdown();
    m_workers->shutdown(3000);
}

void PriceRun::checkStop() const {
    if (m_closing || m_form3->StopFlag == 1)
        throw RunStopped{};
}

void PriceRun::SpeedButton32Click() {
    if (m_running || m_closing || !m_hooks.lines)
        return;
    const QList<QStringList> lines = m_hooks.lines();
    if (lines.isEmpty() ||
        !m_context.dialogs->confirm(QStringLiteral("START PROCESSING OF PRICES ???"), Confirmation::Routine))
        return;
    m_running = true;
    const PriceRunSettings settings = m_hooks.settings();
    if (settings.cleanCompare && settings.compare)
        m_hooks.clearCompare();
    if (settings.cleanAnalysis && settings.analysis)
        m_hooks.clearAnalysis();

    const int n = int(lines.size());
    m_form3->setLineCount(n);
    m_form3->setProgressLine(ProgressLine(0, n));
    m_form3->setPhase(QString());
    m_form3->show();
    m_workers->setPriceBaseUrl(m_context.service->priceServiceBaseUrl());

    QStringList pendingPages;
    try {
        if (settings.ownPrices && m_ownPrices.Count() == 0 && m_hooks.regenerateOwnPrices) {
            processEvents();
            m_form3->setPhase(QStringLiteral("Load price lists in memory ..."));
            m_hooks.regenerateOwnPrices();
        }
        runLines(lines, settings, pendingPages);
    } catch (const RunStopped&) {
        endWithError(m_closing ? QString() : QStringLiteral("StopExportData"));
        return;
    } catch (const ActionError& e) {
        endWithError(e.message());
        return;
    } catch (const std::exception& e) {
        endWithError(QString::fromLocal8Bit(e.what()));
        return;
    }
    openPendingPages(pendingPages, settings);
    m_running = false;
    m_form3->close();
}

// Pending pages are dropped; the progress window closes unless workers are still counted.
void PriceRun::endWithError(const QString& message) {
    m_running = false;
    m_form3->close();
    if (!message.isEmpty())
        m_context.dialogs->error(message);
}

void PriceRun::runLines(const QList<QStringList>& lines, const PriceRunSettings& settings, QStringList& pendingPages) {
    const int n = int(lines.size());
    for (int r = 1; r <= n; ++r) {
        const QStringList& line = lines.at(r - 1);
        const QString brand = line.value(0), reference = line.value(1), name = line.value(2);
        while (m_form3->isVisible() && m_workers->RunningThreadCount() > kMaxRunningWorkers) {
            checkStop();
            // Sleeps until a worker's step or a click arrives instead of spinning.
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        checkStop();

        if (settings.ownPrices && m_ownPrices.Count() > 0) {
            m_form3->setPhase(QStringLiteral("Checking price(s) in own price lists ..."));
            processEvents();
            const auto found = FindOwnPrices(m_ownPrices, NormalizeReference(reference), brand,
                                             [this] { return m_closing || m_form3->StopFlag == 1; });
            if (!found)
                throw RunStopped{};
            for (const TVarItemData& row : *found)
                m_hooks.appendCompareRow(
                    {brand, reference, name, row.pathfile, row.price, QStringLiteral("by default")});
        }
        if (settings.compare) {
            m_form3->setPhase(QStringLiteral("Checking price(s) with help service Compare price for different shops "
                                             "(according selected shop(s)) ..."));
            m_form3->setProgressLine(ProgressLine(r, n));
            processEvents();
            startWorkers(QString::fromLatin1(kComparePriceService), m_context.texts->CompareShopIds,
                         settings.compareEmail, settings.compareSeccode, 0, line);
        }
        if (settings.analysis) {
            m_form3->setPhase(QStringLiteral("Checking price(s) with help service Analization price for different "
                                             "e-platforms (according selected e-platform(s)) ..."));
            m_form3->setProgressLine(ProgressLine(r, n));
            processEvents();
            startWorkers(QString::fromLatin1(kAnalysisService), m_context.texts->AnalysisShopIds,
                         settings.analysisEmail, settings.analysisSeccode, IntegerOr(settings.maxSubOffers, 5), line);
        }
        if (settings.pages) {
            m_form3->setPhase(QStringLiteral("Openning necessary url-pages ..."));
            m_form3->setProgressLine(ProgressLine(r, n));
            processEvents();
            for (const QString& pageTemplate : settings.pageTemplates) {
                checkStop();
                const QString address = PageAddress(pageTemplate, brand, reference);
                if (settings.pagesAfterRun)
                    pendingPages << address;
                else
                    m_context.desktop->open(address);
            }
        }
    }
}

void PriceRun::startWorkers(const QString& service, const QString& shopIds, const QString& email,
                            const QString& seccode, int maxrow, const QStringList& line) {
    for (const QString& site : SiteIds(shopIds)) {
        processEvents();
        checkStop();
        // A worker that cannot be started is skipped; the run goes on with the next site.
        m_workers->start({service, email, seccode, site, line.value(0), line.value(1), line.value(2), maxrow});
    }
}

void PriceRun::openPendingPages(const QStringList& pages, const PriceRunSettings& settings) {
    const int pauseAfter = settings.pagePause ? IntegerOr(settings.pagePauseAfter, 10) : 0;
    int opened = 0;
    for (const QString& address : pages) {
        m_context.desktop->open(address);
        ++opened;
        if (pauseAfter > 0 && opened == pauseAfter) {
            if (!m_context.dialogs->okAbort(PagePauseMessage(opened)))
                return;
            opened = 0;
        }
    }
}

void PriceRun::deliver(const TMyThread& worker, const WorkerFindings& findings) {
    if (m_hooks.appendCompareRow)
        for (const CompareOffer& offer : findings.compareOffers)
            m_hooks.appendCompareRow(CompareRowCells(worker.brand, worker.part, worker.name, offer));
    if (m_hooks.appendAnalysisRow)
        for (const QString& line : findings.analysisLines)
            m_hooks.appendAnalysisRow(AnalysisRowCells(line, worker.brand, worker.part, worker.name));
}
