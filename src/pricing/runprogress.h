#pragma once

#include <QString>

// What a price run shows while it works and what it asks of the one who watches: the progress
// window, or standard error when there is no window.
class RunProgress {
public:
    virtual ~RunProgress() = default;

    // The run starts: "Count lines : n", the first progress line, no phase; STOP is not asked.
    virtual void begin(int lineCount, const QString& progressLine) = 0;
    virtual void setProgressLine(const QString& text) = 0;
    virtual void setPhase(const QString& text) = 0;
    // RunningThreadCount as it is now.
    virtual void setRunningCount(int count) = 0;
    // Requests sent and not yet answered or failed.
    virtual void setOpenRequests(int count) = 0;
    virtual bool isShowing() const = 0;
    // The user confirmed STOP.
    virtual bool stopRequested() const = 0;
    // Asks to close; granted only under the watcher's own rules.
    virtual void requestClose() = 0;
};
