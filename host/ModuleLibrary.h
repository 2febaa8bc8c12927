#pragma once
// The module library as a host sees it: loaded with QLibrary, entry points resolved by name.

#include <QLibrary>
#include <QString>
#include <QStringList>

#include <cstdint>

struct SessionArguments {
    QString protocol;
    QString alias;
    QString server;
    QString user;
    QString password;
    QString company;
    QString options;
    QString versionAndDate;
};

class ModuleLibrary {
public:
    explicit ModuleLibrary(const QString &path);

    // False with errorString() set when the loader or a missing entry point fails.
    bool load();
    QString errorString() const { return m_error; }

    // The three identity texts (W variants).
    QStringList serverIdentity() const;
    // 0 when the module refused to load; lastModuleError() says why.
    uintptr_t loadModule(const SessionArguments &session);
    // The module's message of its last failed call.
    QString lastModuleError() const;
    void resize(int width, int height);
    void unloadModule();
    bool moduleLoaded() const { return m_moduleLoaded; }

private:
    using LoadW = uintptr_t (*)(int32_t, const char16_t *, const char16_t *, const char16_t *,
                                const char16_t *, const char16_t *, const char16_t *,
                                const char16_t *, const char16_t *);
    using IdentityW = void (*)(const char16_t **);
    using ResizeW = void (*)(const char16_t *, const char16_t *);
    using Unload = void (*)();

    QLibrary m_library;
    QString m_error;
    LoadW m_loadW = nullptr;
    IdentityW m_identity[3] = {nullptr, nullptr, nullptr};
    IdentityW m_lastError = nullptr;
    ResizeW m_resizeW = nullptr;
    Unload m_unload = nullptr;
    bool m_moduleLoaded = false;
};
