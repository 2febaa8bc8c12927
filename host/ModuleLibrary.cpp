#include "host/ModuleLibrary.h"

namespace {
const char16_t *text16(const QString &text)
{
    return reinterpret_cast<const char16_t *>(text.utf16());
}
} // namespace

ModuleLibrary::ModuleLibrary(const QString &path) : m_library(path) {}

bool ModuleLibrary::load()
{
    if (!m_library.load()) {
        m_error = m_library.errorString();
        return false;
    }
    const auto resolve = [this](const char *name) {
        QFunctionPointer function = m_library.resolve(name);
        if (!function && m_error.isEmpty())
            m_error = QStringLiteral("%1: %2").arg(QString::fromLatin1(name), m_library.errorString());
        return function;
    };
    m_loadW = reinterpret_cast<LoadW>(resolve("QOpLoadDllW"));
    m_identity[0] = reinterpret_cast<IdentityW>(resolve("getServerGuidNetW"));
    m_identity[1] = reinterpret_cast<IdentityW>(resolve("getServerNameNetW"));
    m_identity[2] = reinterpret_cast<IdentityW>(resolve("getServerPublicTW"));
    m_resizeW = reinterpret_cast<ResizeW>(resolve("CambiarTamanoW"));
    m_unload = reinterpret_cast<Unload>(resolve("QOpUnLoadDll"));
    m_lastError = reinterpret_cast<IdentityW>(resolve("QOpUltimoErrorW"));
    m_renewW = reinterpret_cast<RenewW>(resolve("QOpRenovarSesionW"));
    m_changePasswordW = reinterpret_cast<ChangePasswordW>(resolve("QOpCambiarClaveW"));
    return m_error.isEmpty();
}

QStringList ModuleLibrary::serverIdentity() const
{
    QStringList texts;
    for (IdentityW identity : m_identity) {
        const char16_t *text = nullptr;
        identity(&text);
        texts << QString::fromUtf16(text);
    }
    return texts;
}

uintptr_t ModuleLibrary::loadModule(const SessionArguments &s)
{
    const uintptr_t handle =
        m_loadW(0, text16(s.protocol), text16(s.alias), text16(s.server), text16(s.user),
                text16(s.password), text16(s.company), text16(s.options), text16(s.versionAndDate));
    m_moduleLoaded = handle != 0;
    return handle;
}

QString ModuleLibrary::lastModuleError() const
{
    const char16_t *text = nullptr;
    m_lastError(&text);
    return QString::fromUtf16(text);
}

void ModuleLibrary::resize(int width, int height)
{
    if (m_moduleLoaded)
        m_resizeW(text16(QString::number(width)), text16(QString::number(height)));
}

void ModuleLibrary::unloadModule()
{
    if (m_moduleLoaded) {
        m_moduleLoaded = false;
        m_unload();
    }
}

void ModuleLibrary::setPasswordRequest(PasswordRequest ask)
{
    m_ask = std::move(ask);
    if (m_renewW)
        m_renewW(m_ask ? &ModuleLibrary::askPassword : nullptr, this);
}

const char16_t *ModuleLibrary::askPassword(void *context, const char16_t *reason, const char16_t *user)
{
    auto *self = static_cast<ModuleLibrary *>(context);
    std::optional<QString> password;
    // Nothing the host throws may unwind through the module.
    try {
        password = self->m_ask(QString::fromUtf16(reason), QString::fromUtf16(user));
    } catch (...) {
        password.reset();
    }
    if (!password)
        return nullptr;
    self->m_answer = *password;
    return reinterpret_cast<const char16_t *>(self->m_answer.utf16());
}

QString ModuleLibrary::changePassword(const QString &current, const QString &next)
{
    if (!m_moduleLoaded)
        return QStringLiteral("El módulo no está cargado.");
    return m_changePasswordW(text16(current), text16(next)) == 1 ? QString() : lastModuleError();
}
