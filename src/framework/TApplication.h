#pragma once
// The application object: owner of the module's top-level objects while it is loaded, and keeper
// of the current company in its tag, which every company parameter of every dataset reads.

#include <QList>
#include <QPointer>
#include <QObject>

class TApplication {
public:
    static TApplication &instance();

    qint32 Tag = 0;   // number of the current company

    // Takes ownership of a component; it is destroyed by DestroyComponents unless freed before.
    void InsertComponent(QObject *component);
    int ComponentCount() const;
    // Destroys the components still owned, newest first.
    void DestroyComponents();

private:
    TApplication() = default;
    QList<QPointer<QObject>> m_components;
};

// Creates a component owned by the application object and runs its creation handler, the way
// the suite's form-creation path does.
template <class T>
T *CreateOwnedComponent()
{
    auto *component = new T();
    TApplication::instance().InsertComponent(component);
    component->AfterConstruction();
    return component;
}
