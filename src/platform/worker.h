#pragma once

#include <QtGlobal>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

// Runs `work` on a worker thread while the calling thread keeps its event loop going: the window
// repaints and timers run, while input waits until the work is done. What `work` throws is
// thrown here. For work long enough to freeze a window; short work is best done in place.
void awaitOnWorker(const std::function<void()>& work);

// As awaitOnWorker, but user input is taken meanwhile too: for work the user may stop (a
// download with its cancel button). The caller keeps input away from what must wait.
void awaitOnWorkerTakingInput(const std::function<void()>& work);

template <class Work> auto awaitResultOnWorker(Work&& work) -> decltype(work()) {
    std::optional<decltype(work())> result;
    awaitOnWorker([&] { result.emplace(work()); });
    return std::move(*result);
}

// `work()` on a worker as above when it is `large`, else in place.
template <class Work> auto awaitResultOnWorkerIf(bool large, Work&& work) -> decltype(work()) {
    return large ? awaitResultOnWorker(std::forward<Work>(work)) : work();
}

// Runs `first` here and, when `twoThreads` and a thread can be had, `second` on a thread of its
// own at the same time, else after `first`. What either throws is thrown here once both are
// done, `first`'s exception first.
void inParallel(bool twoThreads, const std::function<void()>& first, const std::function<void()>& second);

// Runs `part(from, to)` over [0, count): in two halves [0, count / 2) and [count / 2, count)
// when `count` reaches `twoThreadsFrom` (returning true), else once. The halves run at once
// when a second core is there, the first on the calling thread; what either throws is thrown
// here once both are done, the first half's exception first.
bool inTwoHalves(qsizetype count, qsizetype twoThreadsFrom, const std::function<void(qsizetype, qsizetype)>& part);

namespace workerDetail {
void runOnPool(std::function<void()> task);
} // namespace workerDetail

// Lets a worker thread drop `payload`, so freeing a long list costs the caller nothing. The
// caller must hold the last reference to shared data for it to be freed there.
template <class T> void releaseOnWorker(T payload) {
    workerDetail::runOnPool([held = std::make_shared<T>(std::move(payload))]() mutable { held.reset(); });
}
