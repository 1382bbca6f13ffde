#pragma once

#include "pricing/pricereadings.h"

#include <QObject>

// One price question of the run: a comparative-list line asked of one site.
struct PriceQuestion {
    QString service;
    QString email;
    QString seccode;
    QString site;
    QString brand;
    QString part;
    QString name;
    int maxrow = 0;
};

// A worker of the run: one question to a price service, sent as one transfer of the network
// thread. Its fields are set when the run creates it and only read afterwards.
struct TMyThread : PriceQuestion {
    // The request path; built from the question when the worker is created.
    QString namefun;
    // The price services' base address, ending in "/".
    QString priceBaseUrl;
    // The run that created it, and the count it belongs to (see PriceRun::forgetRunning).
    int run = 0;
    int epoch = 0;
};

// What a worker found.
struct WorkerFindings {
    QList<CompareOffer> compareOffers;
    QStringList analysisLines;
};

// A worker's end: its answer read (or none), handed to the window thread.
struct WorkerResult {
    TMyThread worker;
    // The status text was "OK".
    bool answered = false;
    WorkerFindings findings;
    // The request log line of the exchange.
    QString logLine;
};

// Reads an answer the way the worker's service is read; nothing for a blank answer.
WorkerFindings ReadWorkerAnswer(const TMyThread& worker, const QString& answer);

// Where the run sends its workers and from where their results come back, in batches on the
// window thread.
class PriceTransport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Window thread. False when the transport takes no more work (the program is closing).
    virtual bool submit(const TMyThread& worker) = 0;
    // Workers submitted whose results have not been delivered yet.
    virtual int openCount() const = 0;
    virtual bool isClosing() const = 0;
    // While the run waits for results to go on, they are handed over as soon as they are in
    // rather than with the next batch.
    virtual void setEager(bool) {}

signals:
    void delivered(const QList<WorkerResult>& results);
};
