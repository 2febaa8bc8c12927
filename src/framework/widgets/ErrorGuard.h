#pragma once
// The framework's default error handler. Every entry from the user interface into module code (a
// click, a key, a data-change notification, a menu item) runs inside it: an error ends the
// operation and its message is shown once, as an error dialog; a silent abort shows nothing.
// Guards nest: an inner guard lets the error travel to the outermost one, so one user action
// shows one message however deep the failure.

#include <QObject>
#include <functional>
#include <memory>

#include "framework/UserAction.h"

namespace ErrorGuard {

// Runs `action`; true when it ended without an error.
bool run(const std::function<void()> &action);

// A modal window's event loop is a new entry from the user interface: the guards of its
// handlers show their errors there instead of leaving them to the guard that opened the window
// (an exception must never travel through the loop). Lives for the duration of the loop.
class ModalBoundary {
public:
    ModalBoundary();
    ~ModalBoundary();
    ModalBoundary(const ModalBoundary &) = delete;
    ModalBoundary &operator=(const ModalBoundary &) = delete;

private:
    int m_saved;
    std::unique_ptr<UserAction::Boundary> m_action;   // the window's handlers are actions of their own
};

// connect() whose slot runs inside the guard.
template <typename Sender, typename Signal, typename Functor>
QMetaObject::Connection connect(const Sender *sender, Signal signal, const QObject *context, Functor functor)
{
    return QObject::connect(sender, signal, context, [functor](auto &&...args) {
        run([&] { functor(std::forward<decltype(args)>(args)...); });
    });
}

} // namespace ErrorGuard
