#include "app/velmoraapplication.h"

#include "service/errors.h"

#include <QtGlobal>

#include <exception>

bool VelmoraApplication::notify(QObject* receiver, QEvent* event) {
    QString error;
    try {
        return QApplication::notify(receiver, event);
    } catch (const ActionError& e) {
        error = e.message();
    } catch (const std::exception& e) {
        error = QString::fromLocal8Bit(e.what());
    }
    qCritical("unguarded error in a handler of %s: %s", receiver ? receiver->metaObject()->className() : "?",
              qPrintable(error));
    return false;
}
