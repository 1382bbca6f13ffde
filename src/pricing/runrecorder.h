#pragma once

#include "pricing/bestoffers.h"
#include "pricing/pricehistory.h"
#include "pricing/pricerun.h"
#include "pricing/resultrows.h"

#include <QHash>
#include <QObject>

// Keeps the rows of every price run in the price history as the result tables take them, each
// under the run that asked for it: answers of a stopped run that come in during the next one
// still belong to the stopped run. Both the window and the run without a window use it.
class RunRecorder : public QObject {
    Q_OBJECT
public:
    // Follows the run and both result tables. Without a history nothing is stored; the signals
    // come all the same.
    RunRecorder(PriceRun& run, ResultRows& compare, ResultRows& analysis, PriceHistory* history,
                QObject* parent = nullptr);

    void setHistory(PriceHistory* history) { m_history = history; }

    void begin(int run, const QList<PriceLine>& lines, const PriceRunSettings& settings);
    void finish(PriceRun::Outcome outcome);
    void record(const QList<ResultBatch>& batches);

    // What tells runs apart by what they asked: switches, sites and limits, never an account.
    static QString digestOf(const PriceRunSettings& settings);

signals:
    // A run starts over these lines (duplicates included, as the list has them).
    void runStarted(const QList<LineText>& lines);
    // Offers of the latest run as they arrive, one signal per batch of the tables.
    void offersArrived(const QList<LineOffer>& offers);

private:
    PriceHistory* m_history = nullptr;
    // PriceRun's numbers of the runs begun while the history was there, to the history's.
    QHash<int, PriceHistory::Run> m_runs;
    int m_latest = 0;
};
