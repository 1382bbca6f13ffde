#include "pricing/tmythread.h"

#include "service/textfunctions.h"

WorkerFindings ReadWorkerAnswer(const TMyThread& worker, const QString& answer) {
    WorkerFindings findings;
    if (IsBlank(answer))
        return findings;
    if (worker.service == QLatin1String(kComparePriceService))
        findings.compareOffers = ReadCompareAnswer(answer);
    else if (worker.service == QLatin1String(kAnalysisService))
        findings.analysisLines = ReadAnalysisAnswer(answer, worker.maxrow);
    return findings;
}
