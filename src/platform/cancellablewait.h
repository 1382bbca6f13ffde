#pragma once

#include <atomic>
#include <functional>

class QAbstractButton;

// Runs `work` on a worker thread while the window thread's event loop goes on: the windows
// repaint and answer, but the user's input is held, except what goes to `cancelButton` or to a
// message box opened meanwhile. A click on the button, Escape, or closing a window sets `cancel`,
// which `work` is to ask now and then. What `work` throws is thrown here.
void awaitOnWorkerCancellable(const std::function<void()>& work, std::atomic<bool>& cancel,
                              QAbstractButton* cancelButton);
