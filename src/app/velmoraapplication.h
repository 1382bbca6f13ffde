#pragma once

#include <QApplication>

class Dialogs;

// The last line of defence: an error that escaped a handler ends that action in the standard
// error box instead of ending the program.
class VelmoraApplication : public QApplication {
public:
    using QApplication::QApplication;
    void setDialogs(Dialogs* dialogs) { m_dialogs = dialogs; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    Dialogs* m_dialogs = nullptr;
};
