#pragma once

#include "core/abort.h"

#include <QObject>

// Connects a signal to a handler of the receiver that takes no arguments and
// runs it guarded: an Abort ends the handler quietly, any other failure is
// shown to the user, and the screen stays usable. Virtual handlers dispatch
// to the derived screen's override.
template <class Sender, class Signal, class Receiver, class Base>
QMetaObject::Connection connectGuarded(Sender *sender, Signal signal, Receiver *receiver,
                                       void (Base::*handler)())
{
    return QObject::connect(sender, signal, receiver, [receiver, handler] {
        runGuarded([receiver, handler] { (receiver->*handler)(); });
    });
}
