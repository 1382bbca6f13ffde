#include "platform/cancellablewait.h"

#include "platform/inputgate.h"
#include "platform/worker.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QScopeGuard>

namespace {

// Lets through only input for the cancel button and for a modal box; Escape elsewhere cancels.
class CancelGate : public QObject {
public:
    CancelGate(std::atomic<bool>& cancel, QAbstractButton* button) : m_cancel(cancel), m_button(button) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            // Not while the work runs: it may still hand its results to the window.
            if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow() && !allowed(watched)) {
                m_cancel = true;
                event->ignore();
                return true;
            }
            return false;
        }
        if (!isUserInput(event->type()))
            return false;
        // A window hands its input on to the widget concerned, where it is judged; shortcuts go to
        // the objects that own them.
        if (!watched->isWidgetType() && event->type() != QEvent::Shortcut)
            return false;
        if (allowed(watched))
            return false;
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            m_cancel = true;
        return true;
    }

private:
    bool allowed(const QObject* watched) const {
        const QWidget* modal = QApplication::activeModalWidget();
        for (const QObject* o = watched; o; o = o->parent())
            if (o == m_button || (modal && o == modal))
                return true;
        return false;
    }

    std::atomic<bool>& m_cancel;
    QAbstractButton* m_button;
};

} // namespace

void awaitOnWorkerCancellable(const std::function<void()>& work, std::atomic<bool>& cancel,
                              QAbstractButton* cancelButton) {
    CancelGate gate(cancel, cancelButton);
    qApp->installEventFilter(&gate);
    const auto removeGate = qScopeGuard([&] { qApp->removeEventFilter(&gate); });
    const QMetaObject::Connection clicked =
        QObject::connect(cancelButton, &QAbstractButton::clicked, cancelButton, [&cancel] { cancel = true; });
    const auto disconnect = qScopeGuard([&] { QObject::disconnect(clicked); });
    awaitOnWorkerTakingInput(work);
}
