#include "platform/cancellablewait.h"

#include "platform/inputgate.h"
#include "platform/worker.h"

#include <QAbstractButton>
#include <QScopeGuard>

void awaitOnWorkerCancellable(const std::function<void()>& work, std::atomic<bool>& cancel,
                              QAbstractButton* cancelButton) {
    const InputGate gate(
        cancelButton->window(), cancelButton, [&cancel] { cancel = true; }, InputGate::Hold::Program);
    const QMetaObject::Connection clicked =
        QObject::connect(cancelButton, &QAbstractButton::clicked, cancelButton, [&cancel] { cancel = true; });
    const auto disconnect = qScopeGuard([&] { QObject::disconnect(clicked); });
    awaitOnWorkerTakingInput(work);
}
