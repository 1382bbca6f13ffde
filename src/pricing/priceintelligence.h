#pragma once

#include "pricing/bestoffers.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>
#include <thread>

class BestOffersView;
class PriceHistory;
class PriceRun;
class ResultRows;
class RunRecorder;
struct AppContext;

// BEST OFFERS beside the result tables: filled from the price history when the window starts,
// kept current by each price run, whose rows the history keeps. The window thread only hands
// rows on; the history writes on its own worker.
class PriceIntelligence : public QObject {
    Q_OBJECT
public:
    explicit PriceIntelligence(AppContext& context, QObject* parent = nullptr);
    // Waits for the history to store what it was handed.
    ~PriceIntelligence() override;

    // Makes the page and follows the runs from now on; what the history gave it comes in.
    // Once only, before or after start.
    void attach(PriceRun& run, ResultRows& compare, ResultRows& analysis);
    // The page for the results' tab widget, which takes it over; null before attach.
    BestOffersView* view() const { return m_view; }
    // Opens the history at `path`, dropping runs older than `keepDays` (0 keeps all), and reads
    // its latest lines into the page without holding up the window. Without a file there is
    // nothing to read: the file is made when the first run begins. Once only.
    void start(const QString& path, int keepDays);

private:
    void openHistory();
    void setChartSource();
    void startRun(const QList<LineText>& lines);
    void takeLoaded();

    AppContext& m_context;
    QPointer<BestOffersView> m_view;
    RunRecorder* m_recorder = nullptr;
    std::unique_ptr<PriceHistory> m_history;
    QString m_path;
    bool m_historyOpen = false;
    std::thread m_loader;
    // Written by the loader before it ends, read here after joining it.
    std::optional<QList<LineSnapshot>> m_loaded;
};
