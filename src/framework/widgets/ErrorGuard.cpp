#include "framework/widgets/ErrorGuard.h"

#include "framework/widgets/DialogService.h"
#include "framework/Exceptions.h"
#include "framework/UserAction.h"

namespace {

int depth = 0;

// The guard's depth and the user's action go together: the outermost guard is the action.
struct DepthScope {
    DepthScope() { ++depth; }
    ~DepthScope() { --depth; }
    UserAction::Scope action;
};

void show(const QString &message)
{
    DialogService::instance().showError(message);
}

bool runShowing(const std::function<void()> &action)
{
    try {
        action();
        return true;
    } catch (const EAbort &) {
    } catch (const Exception &error) {
        show(error.Message());
    } catch (const std::exception &error) {
        show(QString::fromUtf8(error.what()));
    } catch (...) {
        show(QStringLiteral("Error desconocido"));
    }
    return false;
}

} // namespace

namespace ErrorGuard {

ModalBoundary::ModalBoundary() : m_saved(depth), m_action(std::make_unique<UserAction::Boundary>())
{
    depth = 0;
}

ModalBoundary::~ModalBoundary()
{
    depth = m_saved;
}

bool run(const std::function<void()> &action)
{
    DepthScope scope;
    if (depth > 1) {
        action();  // an outer guard shows whatever escapes
        return true;
    }
    return runShowing(action);
}

} // namespace ErrorGuard
