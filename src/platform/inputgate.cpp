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

InputGate::InputGate(QWidget* window, QWidget* open, std::function<void()> stop)
    : m_window(window), m_open(open), m_focusBefore(QApplication::focusWidget()), m_stop(std::move(stop)) {
    qApp->installEventFilter(this);
    if (m_open)
        m_open->setFocus(Qt::OtherFocusReason);
}

InputGate::~InputGate() {
    qApp->removeEventFilter(this);
    if (m_focusBefore && m_open && m_open->hasFocus())
        m_focusBefore->setFocus(Qt::OtherFocusReason);
}

bool InputGate::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && watched == m_window.data()) {
        m_stop();
        return false;
    }
    // Window-system events reach the window's handle first and its widgets next: the widget decides.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!isUserInput(event->type()) || !m_window || (widget && widget->window() != m_window))
        return false;
    if (!widget) // a shortcut's owner, or the window's handle on the way to a widget
        return event->type() == QEvent::Shortcut;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        m_stop();
        return true;
    }
    const bool open = m_open && (widget == m_open || m_open->isAncestorOf(widget));
    return !open;
}
