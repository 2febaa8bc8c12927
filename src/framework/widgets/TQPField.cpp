#include "framework/widgets/TQPField.h"

#include "framework/widgets/ErrorGuard.h"
#include "framework/Exceptions.h"
#include "framework/connection/SDCOMConnection.h"

namespace {

TQPField::LookupRunner &runner()
{
    static TQPField::LookupRunner installed;
    return installed;
}

} // namespace

TQPField::TQPField(QWidget *parent) : QPushButton(parent)
{
    connect(this, &QPushButton::clicked, this, [this] { ErrorGuard::run([this] { click(); }); });
}

void TQPField::setLookupRunner(LookupRunner lookup)
{
    runner() = std::move(lookup);
}

bool TQPField::hasLookupRunner()
{
    return bool(runner());
}

SDCOMConnection *TQPField::Connection() const
{
    if (RemoteServer)
        return RemoteServer;
    for (const QObject *owner = parent(); owner; owner = owner->parent()) {
        const auto found = DataBaseName.isEmpty()
                               ? owner->findChildren<SDCOMConnection *>(Qt::FindDirectChildrenOnly)
                               : owner->findChildren<SDCOMConnection *>(DataBaseName, Qt::FindDirectChildrenOnly);
        if (!found.isEmpty())
            return found.first();
    }
    return nullptr;
}

bool TQPField::Ejecutar()
{
    if (!runner())
        throw Exception(QStringLiteral("%1: no hay una ventana de consulta instalada").arg(objectName()));
    return runner()(this);
}

void TQPField::click()
{
    if (OnClick) {
        OnClick(this);
        return;
    }
    emit lookupFinished(Ejecutar());
}
