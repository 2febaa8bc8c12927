#include "framework/widgets/ErrorGuard.h"

#include "framework/widgets/DialogService.h"
#include "framework/Exceptions.h"

namespace {

int depth = 0;

struct DepthScope {
    DepthScope() { ++depth; }
    ~DepthScope() { --depth; }
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

ModalBoundary::ModalBoundary() : m_saved(depth)
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
