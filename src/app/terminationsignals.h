#pragma once

#include <functional>

class QObject;

// SIGTERM and SIGINT end every transfer of the program at once, a price run's too, whatever
// thread waits on it; then `onSignal` runs once, on the thread that called this, through its
// event loop (which a transfer it waits for no longer holds up). The watch lives as long as
// `parent`. False when the signals cannot be watched.
bool WatchTerminationSignals(QObject* parent, std::function<void()> onSignal);
