#include "framework/UserAction.h"

namespace {

int gDepth = 0;
quint64 gCurrent = 0;
quint64 gLast = 0;

} // namespace

UserAction::Scope::Scope()
{
    if (gDepth++ == 0)
        gCurrent = ++gLast;
}

UserAction::Scope::~Scope()
{
    if (--gDepth == 0)
        gCurrent = 0;
}

UserAction::Boundary::Boundary() : m_savedDepth(gDepth), m_savedAction(gCurrent)
{
    gDepth = 0;
    gCurrent = 0;
}

UserAction::Boundary::~Boundary()
{
    gDepth = m_savedDepth;
    gCurrent = m_savedAction ? ++gLast : 0;   // the window may have written: a new action goes on
}

quint64 UserAction::current()
{
    return gCurrent;
}
