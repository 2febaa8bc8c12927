#pragma once
// One action of the user (a click, a key, a menu item, a data-change notification) from its start
// to its end: the framework's guard opens one around every entry from the user interface. The
// reads one action makes may share their answers (the connection keeps them until the action
// ends, see SDCOMConnection): an action is short, and nothing it reads twice can have changed
// meanwhile unless it wrote, which ends the sharing. A modal window's loop starts actions of its
// own.

#include <QtGlobal>

class UserAction {
public:
    // Nestable: the outermost scope is the action.
    class Scope {
    public:
        Scope();
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;
    };

    // A modal window's loop: the scopes inside it are actions of their own.
    class Boundary {
    public:
        Boundary();
        ~Boundary();
        Boundary(const Boundary &) = delete;
        Boundary &operator=(const Boundary &) = delete;

    private:
        int m_savedDepth;
        quint64 m_savedAction;
    };

    // The number of the action running now, different for every action; 0 outside any.
    static quint64 current();
};
