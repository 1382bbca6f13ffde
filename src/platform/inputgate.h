#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <QEvent>

#include <functional>

// Keys, clicks, wheel, touch and drops: what a user does, as opposed to what the window does.
bool isUserInput(QEvent::Type type);

// While it lives, a window takes no user input but for one control (a cancel button) and Esc,
// which calls `stop`: long work in the window's thread that the user must be able to stop
// without starting anything else meanwhile. Input to other windows (a question asked on the
// way) goes through as usual. Closing the window also calls `stop`, so a closing program does
// not wait for the work. The control gets the focus.
class InputGate : public QObject {
public:
    InputGate(QWidget* window, QWidget* open, std::function<void()> stop);
    ~InputGate() override;
    InputGate(const InputGate&) = delete;
    InputGate& operator=(const InputGate&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_open;
    QPointer<QWidget> m_focusBefore;
    std::function<void()> m_stop;
};
