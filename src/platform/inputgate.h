#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <QEvent>

#include <functional>

// Keys, clicks, wheel, touch and drops: what a user does, as opposed to what the window does.
bool isUserInput(QEvent::Type type);

// While it lives, user input is held but for one control (a cancel button) and Esc, which calls
// `stop`: long work the user must be able to stop without starting anything else meanwhile. A
// message box opened on the way takes its input as usual.
class InputGate : public QObject {
public:
    enum class Hold {
        // Only `window`; other windows take input as usual. Closing the window calls `stop` and
        // lets it close, so a closing program does not wait for the work. The control gets the
        // focus meanwhile.
        Window,
        // Every window: the work hands its results to them. Closing one calls `stop` but is
        // refused, as the work may still hand its results to it.
        Program,
    };

    // `window` is the one held with Hold::Window.
    InputGate(QWidget* window, QWidget* open, std::function<void()> stop, Hold hold = Hold::Window);
    ~InputGate() override;
    InputGate(const InputGate&) = delete;
    InputGate& operator=(const InputGate&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where input for `target` goes: to the open control, on as usual, or nowhere.
    enum class Place { Open, Free, Held };
    Place placeOf(const QObject* target) const;

    QPointer<QWidget> m_window;
    QPointer<QWidget> m_open;
    QPointer<QWidget> m_focusBefore;
    std::function<void()> m_stop;
    Hold m_hold;
};
