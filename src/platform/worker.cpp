#include "platform/worker.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QThreadPool>

#include <system_error>
#include <thread>

namespace {

void awaitWithLoop(const std::function<void()>& work, QEventLoop::ProcessEventsFlags flags) {
    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // Queued, so a loop that has not started yet still sees it.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(flags);
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace

void awaitOnWorker(const std::function<void()>& work) {
    awaitWithLoop(work, QEventLoop::ExcludeUserInputEvents);
}

void awaitOnWorkerTakingInput(const std::function<void()>& work) {
    awaitWithLoop(work, QEventLoop::AllEvents);
}

void inParallel(bool twoThreads, const std::function<void()>& first, const std::function<void()>& second) {
    std::exception_ptr secondFailure;
    std::thread worker;
    try {
        if (twoThreads)
            worker = std::thread([&second, &secondFailure] {
                try {
                    second();
                } catch (...) {
                    secondFailure = std::current_exception();
                }
            });
    } catch (const std::system_error&) { // no thread to be had
    }
    if (!worker.joinable()) {
        first();
        second();
        return;
    }
    std::exception_ptr firstFailure;
    try {
        first();
    } catch (...) {
        firstFailure = std::current_exception();
    }
    worker.join();
    if (firstFailure)
        std::rethrow_exception(firstFailure);
    if (secondFailure)
        std::rethrow_exception(secondFailure);
}

bool inTwoHalves(qsizetype count, qsizetype twoThreadsFrom, const std::function<void(qsizetype, qsizetype)>& part) {
    if (count < twoThreadsFrom || count < 2) {
        part(0, count);
        return false;
    }
    const qsizetype half = count / 2;
    inParallel(
        std::thread::hardware_concurrency() > 1, [&] { part(0, half); }, [&] { part(half, count); });
    return true;
}

void workerDetail::runOnPool(std::function<void()> task) {
    QThreadPool::globalInstance()->start(std::move(task));
}
