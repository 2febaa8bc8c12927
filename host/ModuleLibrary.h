#pragma once
// The module library as a host sees it: loaded with QLibrary, entry points resolved by name.

#include <QLibrary>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

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

    // What the module asks when the server ended its session: the password for the server's
    // reason and the user, or nothing when the user gives up. Empty: no one is asked.
    using PasswordRequest = std::function<std::optional<QString>(const QString &reason, const QString &user)>;
    void setPasswordRequest(PasswordRequest ask);
    // Changes the loaded module's user's password: empty when changed, else the module's refusal.
    QString changePassword(const QString &current, const QString &next);
    void unloadModule();
    bool moduleLoaded() const { return m_moduleLoaded; }

private:
    using LoadW = uintptr_t (*)(int32_t, const char16_t *, const char16_t *, const char16_t *,
                                const char16_t *, const char16_t *, const char16_t *,
                                const char16_t *, const char16_t *);
    using IdentityW = void (*)(const char16_t **);
    using ResizeW = void (*)(const char16_t *, const char16_t *);
    using Unload = void (*)();
    using PasswordCallback = const char16_t *(*)(void *, const char16_t *, const char16_t *);
    using RenewW = void (*)(PasswordCallback, void *);
    using ChangePasswordW = int32_t (*)(const char16_t *, const char16_t *);
    static const char16_t *askPassword(void *context, const char16_t *reason, const char16_t *user);

    QLibrary m_library;
    QString m_error;
    LoadW m_loadW = nullptr;
    IdentityW m_identity[3] = {nullptr, nullptr, nullptr};
    IdentityW m_lastError = nullptr;
    ResizeW m_resizeW = nullptr;
    Unload m_unload = nullptr;
    RenewW m_renewW = nullptr;
    ChangePasswordW m_changePasswordW = nullptr;
    PasswordRequest m_ask;
    QString m_answer;   // the password last handed to the module, kept until it asks again
    bool m_moduleLoaded = false;
};
