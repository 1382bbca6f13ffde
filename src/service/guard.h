#pragma once

#include "platform/dialogs.h"
#include "service/errors.h"

#include <exception>

// Runs one user action; an error ends it and is shown in the standard error box, after which
// the window stays usable.
template <class F> bool RunGuarded(Dialogs& dialogs, F&& action) {
    try {
        action();
        return true;
    } catch (const ActionError& e) {
        dialogs.error(e.message());
    } catch (const std::exception& e) {
        dialogs.error(QString::fromLocal8Bit(e.what()));
    }
    return false;
}
