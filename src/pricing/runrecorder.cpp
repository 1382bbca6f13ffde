#include "pricing/runrecorder.h"

#include <QDateTime>

RunRecorder::RunRecorder(PriceRun& run, ResultRows& compare, ResultRows& analysis, PriceHistory* history,
                         QObject* parent)
    : QObject(parent), m_history(history) {
    connect(&run, &PriceRun::started, this, &RunRecorder::begin);
    connect(&run, &PriceRun::finished, this, &RunRecorder::finish);
    connect(&compare, &ResultRows::batchesAppended, this, &RunRecorder::record);
    connect(&analysis, &ResultRows::batchesAppended, this, &RunRecorder::record);
}

QString RunRecorder::digestOf(const PriceRunSettings& s) {
    const auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    return SettingsDigest(
        {flag(s.ownPrices), flag(s.compare), flag(s.analysis), s.compareShopIds, s.analysisShopIds, s.maxSubOffers});
}

void RunRecorder::begin(int run, const QList<PriceLine>& lines, const PriceRunSettings& settings) {
    m_latest = run;
    QList<LineText> texts;
    texts.reserve(lines.size());
    for (const PriceLine& line : lines)
        texts.append({line.brand, line.reference, line.name});
    if (m_history)
        m_runs.insert(run, m_history->beginRun(QDateTime::currentDateTime(), digestOf(settings), int(lines.size())));
    emit runStarted(texts);
}

// The run stays open in the history: rows of its workers that come in later still count.
void RunRecorder::finish(PriceRun::Outcome outcome) {
    if (m_history && m_runs.contains(m_latest))
        m_history->finishRun(m_runs.value(m_latest),
                             outcome == PriceRun::Outcome::Completed ? RunState::Complete : RunState::Stopped);
}

void RunRecorder::record(const QList<ResultBatch>& batches) {
    QHash<int, QList<LineOffer>> byRun;
    for (const ResultBatch& batch : batches) {
        if (batch.run <= 0)
            continue;
        byRun[batch.run] += batch.source == ResultSource::PriceAnalysis ? OffersFromAnalysisRows(batch.rows)
                                                                        : OffersFromCompareRows(batch.rows);
    }
    for (auto it = byRun.cbegin(); it != byRun.cend(); ++it) {
        if (it->isEmpty())
            continue;
        if (m_history && m_runs.contains(it.key()))
            m_history->store(m_runs.value(it.key()), *it);
        if (it.key() == m_latest)
            emit offersArrived(*it);
    }
}
