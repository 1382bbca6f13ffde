#include "app/velmoraapplication.h"

#include "platform/dialogs.h"
#include "service/errors.h"

bool VelmoraApplication::notify(QObject* receiver, QEvent* event) {
    QString error;
    try {
        return QApplication::notify(receiver, event);
    } catch (const ActionError& e) {
        error = e.message();
    } catch (const std::exception& e) {
        error = QString::fromLocal8Bit(e.what());
    }
    if (m_dialogs)
        m_dialogs->error(error);
    return false;
}
