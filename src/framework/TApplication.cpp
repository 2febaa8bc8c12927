#include "framework/TApplication.h"

TApplication &TApplication::instance()
{
    static TApplication application;
    return application;
}

void TApplication::InsertComponent(QObject *component)
{
    m_components.append(component);
}

int TApplication::ComponentCount() const
{
    int alive = 0;
    for (const auto &component : m_components)
        alive += component.isNull() ? 0 : 1;
    return alive;
}

void TApplication::DestroyComponents()
{
    while (!m_components.isEmpty()) {
        QPointer<QObject> component = m_components.takeLast();
        delete component.data();
    }
}
