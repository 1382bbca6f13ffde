#pragma once

#include <QMap>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;
class OwnPriceTable;
class PriceWorkers;
class TForm3;
class TMyThread;
struct AppContext;
struct WorkerFindings;

// The settings a run reads, taken from the settings page when it starts (the main window is
// disabled while it runs, so they cannot change meanwhile).
struct PriceRunSettings {
    bool ownPrices = false;
    bool compare = false;
    bool analysis = false;
    bool pages = false;
    bool cleanCompare = false;
    bool cleanAnalysis = false;
    QString compareEmail;
    QString compareSeccode;
    QString analysisEmail;
    QString analysisSeccode;
    QString maxSubOffers;
    bool pagesAfterRun = true;
    bool pagePause = true;
    QString pagePauseAfter;
    QStringList pageTemplates;
};

// What the run needs from the rest of the window, wired by the main window.
struct PriceRunHooks {
    // The comparative list's product lines: brand, reference, name.
    std::function<QList<QStringList>()> lines;
    std::function<PriceRunSettings()> settings;
    // The result tables' clear actions, their questions included.
    std::function<void()> clearCompare;
    std::function<void()> clearAnalysis;
    std::function<void(const QStringList&)> appendCompareRow;
    std::function<void(const QMap<int, QString>&)> appendAnalysisRow;
    // Regenerates the own price table from the price list folder (asks its own question).
    std::function<void()> regenerateOwnPrices;
};

// The price processing run of the comparative list, its progress window and its workers.
class PriceRun : public QObject {
    Q_OBJECT
public:
    PriceRun(AppContext& context, const OwnPriceTable& ownPrices, QWidget* mainWindow, QObject* parent = nullptr);
    ~PriceRun() override;

    void setHooks(PriceRunHooks hooks) { m_hooks = std::move(hooks); }
    void setRegenerateOwnPrices(std::function<void()> regenerate) {
        m_hooks.regenerateOwnPrices = std::move(regenerate);
    }
    TForm3* form3() const { return m_form3.get(); }
    PriceWorkers& workers() const { return *m_workers; }

    void SpeedButton32Click();
    // The program is closing: the run ends at its next step, the progress window goes and the
    // workers are cancelled within a few seconds.
    void shutdown();

private:
    void runLines(const QList<QStringList>& lines, const PriceRunSettings& settings, QStringList& pendingPages);
    void startWorkers(const QString& service, const QString& shopIds, const QString& email, const QString& seccode,
                      int maxrow, const QStringList& line);
    void openPendingPages(const QStringList& pages, const PriceRunSettings& settings);
    void deliver(const TMyThread& worker, const WorkerFindings& findings);
    // Ends the run when the user stopped it or the program is closing.
    void checkStop() const;
    void endWithError(const QString& message);

    AppContext& m_context;
    const OwnPriceTable& m_ownPrices;
    PriceRunHooks m_hooks;
    std::unique_ptr<PriceWorkers> m_workers;
    std::unique_ptr<TForm3> m_form3;
    bool m_running = false;
    bool m_closing = false;
};
