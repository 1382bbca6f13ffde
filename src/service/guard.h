#pragma once

#include "platform/dialogs.h"
#include "service/decoder.h"
#include "service/errors.h"

#include <QObject>

#include <exception>
#include <utility>

// One error policy. Core functions return their errors as values (Decoded, optionals with an
// error text). A handler that cannot go on ends the user's action by throwing ActionError
// (valueOrEndAction does so for an answer that cannot be read); the handler's connection
// (connectGuarded), or the event filter that calls it (runGuarded), shows the error in the
// standard error box. No exception reaches Qt's event dispatch; the window stays usable.

template <class F> bool runGuarded(Dialogs& dialogs, F&& action) {
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

// The records, or the end of the action with the decoder's error. Records whose texts view the
// answer come with it (as Decoded); others as a plain list.
template <class Rec> auto valueOrEndAction(Decoded<Rec> decoded) {
    if (!decoded.ok())
        throw ActionError(decoded.error);
    if constexpr (kViewsAnswer<Rec>)
        return decoded;
    else
        return QList<Rec>(std::move(decoded));
}

// Connects the signal to a handler (a member function of `receiver`) run under runGuarded.
template <class Sender, class Signal, class Receiver, class... Args>
QMetaObject::Connection connectGuarded(Dialogs& dialogs, const Sender* sender, Signal signal, Receiver* receiver,
                                       void (Receiver::*handler)(Args...)) {
    return QObject::connect(sender, signal, receiver, [&dialogs, receiver, handler](Args... args) {
        runGuarded(dialogs, [&] { (receiver->*handler)(std::forward<Args>(args)...); });
    });
}
