#pragma once
// The application object: owner of the module's top-level objects while it is loaded. Its tag
// carries the session's company for the host and the suite (Session::writeSuiteGlobals writes
// it); the module reads the company from its session, never from here.

#include <QList>
#include <QPointer>
#include <QObject>

#include <utility>

class TApplication {
public:
    static TApplication &instance();

    qint32 Tag = 0;   // number of the session's company, for the host and the suite

    // Takes ownership of a component; it is destroyed by DestroyComponents unless freed before.
    void InsertComponent(QObject *component);
    int ComponentCount() const;
    // Destroys the components still owned, newest first.
    void DestroyComponents();

private:
    TApplication() = default;
    QList<QPointer<QObject>> m_components;
};

// Creates a component owned by the application object (built from `args`) and runs its creation
// handler, the way the suite's form-creation path does.
template <class T, class... Args>
T *CreateOwnedComponent(Args &&...args)
{
    auto *component = new T(std::forward<Args>(args)...);
    TApplication::instance().InsertComponent(component);
    component->AfterConstruction();
    return component;
}
