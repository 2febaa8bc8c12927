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
