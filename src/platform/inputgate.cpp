#include "platform/inputgate.h"

#include <QApplication>
#include <QKeyEvent>

bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

InputGate::InputGate(QWidget* window, QWidget* open, std::function<void()> stop, Hold hold)
    : m_window(window), m_open(open), m_stop(std::move(stop)), m_hold(hold) {
    qApp->installEventFilter(this);
    if (m_hold == Hold::Window && m_open) {
        m_focusBefore = QApplication::focusWidget();
        m_open->setFocus(Qt::OtherFocusReason);
    }
}

InputGate::~InputGate() {
    qApp->removeEventFilter(this);
    if (m_focusBefore && m_open && m_open->hasFocus())
        m_focusBefore->setFocus(Qt::OtherFocusReason);
}

InputGate::Place InputGate::placeOf(const QObject* target) const {
    // By owner, not by window: a modal box's popup menu is a window of its own.
    const QWidget* modal = QApplication::activeModalWidget();
    const QWidget* widget = nullptr;
    for (const QObject* o = target; o; o = o->parent()) {
        if (o == m_open)
            return Place::Open;
        if (modal && o == modal)
            return Place::Free;
        if (!widget && o->isWidgetType())
            widget = static_cast<const QWidget*>(o);
    }
    // What no widget owns cannot be placed in a window.
    if (m_hold == Hold::Program || !widget || widget->window() == m_window)
        return Place::Held;
    return Place::Free;
}

bool InputGate::eventFilter(QObject* watched, QEvent* event) {
    const bool isWidget = watched->isWidgetType();
    if (event->type() == QEvent::Close) {
        if (!isWidget || !static_cast<QWidget*>(watched)->isWindow() || placeOf(watched) != Place::Held)
            return false;
        m_stop();
        if (m_hold == Hold::Window)
            return false;
        event->ignore();
        return true;
    }
    // A window hands its input on to the widget concerned, where it is judged; a shortcut goes to
    // the object that owns it.
    if (!isUserInput(event->type()) || (!isWidget && event->type() != QEvent::Shortcut))
        return false;
    const Place place = placeOf(watched);
    if (place != Place::Free && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        m_stop();
        return true;
    }
    return place == Place::Held;
}
