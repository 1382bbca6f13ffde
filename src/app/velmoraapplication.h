#pragma once

#include <QApplication>

// The last line of defence: handlers are guarded where they are connected, so an error that
// still escapes one is logged and the event loop goes on instead of ending the program.
class VelmoraApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};
