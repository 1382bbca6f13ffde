#include "platform/worker.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QThreadPool>

#include <thread>

void awaitOnWorker(const std::function<void()>& work) {
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
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

bool inTwoHalves(qsizetype count, qsizetype twoThreadsFrom, const std::function<void(qsizetype, qsizetype)>& part) {
    if (count < twoThreadsFrom || count < 2) {
        part(0, count);
        return false;
    }
    const qsizetype half = count / 2;
    if (std::thread::hardware_concurrency() < 2) {
        part(0, half);
        part(half, count);
        return true;
    }
    std::exception_ptr second;
    std::thread worker([&] {
        try {
            part(half, count);
        } catch (...) {
            second = std::current_exception();
        }
    });
    std::exception_ptr first;
    try {
        part(0, half);
    } catch (...) {
        first = std::current_exception();
    }
    worker.join();
    if (first)
        std::rethrow_exception(first);
    if (second)
        std::rethrow_exception(second);
    return true;
}

void workerDetail::runOnPool(std::function<void()> task) {
    QThreadPool::globalInstance()->start(std::move(task));
}
