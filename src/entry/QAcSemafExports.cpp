// The exported entry points: conversion of the caller's strings, then the module's own calls.
// No C++ exception crosses this boundary: a failing call returns its failure value (0 for the
// load call, nothing for the others) and keeps the message, which QOpUltimoError hands over.

#include "entry/QAcSemafApi.h"

#include "entry/CAcSemaf.h"
#include "framework/Exceptions.h"
#include "entry/ServerIdentity.h"
#include "framework/WideString.h"

#include <exception>

namespace {

// Runs one exported call; whatever it throws becomes the kept message and `failure` is returned.
template <class Result, class Work>
Result guarded(Result failure, Work work) noexcept
{
    try {
        LimpiarError();
        return work();
    } catch (const Exception &error) {
        GuardarError(error.Message());
    } catch (const std::exception &error) {
        GuardarError(QString::fromUtf8(error.what()));
    } catch (...) {
        GuardarError(QStringLiteral("Error desconocido en el módulo."));
    }
    return failure;
}

template <class Work>
void guarded(Work work) noexcept
{
    guarded(0, [&] {
        work();
        return 0;
    });
}

// The W variants take zero-terminated texts: a null pointer is refused, never read.
QString requiredText(QAcUtf16Text text, const char *argument)
{
    if (!text)
        throw Exception(QStringLiteral("El argumento %1 es un puntero nulo.").arg(QLatin1String(argument)));
    return Utf16ZToQString(text);
}

void requireOut(QAcUtf16Text *out)
{
    if (!out)
        throw Exception(QStringLiteral("El argumento de salida es un puntero nulo."));
}

// The W entry points hand out pointers to text the module keeps: the last message stays valid
// until the next call into the module.
QString gLastErrorCopy;

template <class ToText, class Text>
LoadArguments loadArguments(int32_t reserved, Text protocol, Text alias, Text server, Text user,
                            Text password, Text company, Text options, Text versionAndDate,
                            ToText toText)
{
    LoadArguments args;
    args.reserved = reserved;
    args.protocolo = toText(protocol);
    args.alias = toText(alias);
    args.servidor = toText(server);
    args.usuario = toText(user);
    args.clave = toText(password);
    args.empresa = toText(company);
    args.opciones = toText(options);
    args.versionFecha = toText(versionAndDate);
    return args;
}

} // namespace

extern "C" {

QAcWindowHandle QAC_NATIVE QOpLoadDll(int32_t reserved, QAcWideString protocol, QAcWideString alias,
                                      QAcWideString server, QAcWideString user,
                                      QAcWideString password, QAcWideString company,
                                      QAcWideString options, QAcWideString versionAndDate)
{
    return guarded(QAcWindowHandle(0), [&] {
        return QAcWindowHandle(CargarModulo(loadArguments(reserved, protocol, alias, server, user,
                                                          password, company, options, versionAndDate,
                                                          WideStringToQString)));
    });
}

QAcWindowHandle QAC_STDCALL QOpLoadDllW(int32_t reserved, QAcUtf16Text protocol, QAcUtf16Text alias,
                                        QAcUtf16Text server, QAcUtf16Text user,
                                        QAcUtf16Text password, QAcUtf16Text company,
                                        QAcUtf16Text options, QAcUtf16Text versionAndDate)
{
    return guarded(QAcWindowHandle(0), [&] {
        const QAcUtf16Text texts[] = {protocol, alias, server, user, password, company, options, versionAndDate};
        const char *names[] = {"protocolo", "alias", "servidor", "usuario", "clave", "empresa",
                               "opciones", "versión y fecha"};
        for (int i = 0; i < 8; ++i)
            requiredText(texts[i], names[i]);
        return QAcWindowHandle(CargarModulo(loadArguments(reserved, protocol, alias, server, user,
                                                          password, company, options, versionAndDate,
                                                          Utf16ZToQString)));
    });
}

void QAC_NATIVE QOpUnLoadDll(void)
{
    guarded([] { DescargarModulo(); });
}

QAcWideString QAC_NATIVE getServerGuidNet(void)
{
    return guarded<QAcWideString>(nullptr, [] { return WideStringAlloc(QString::fromUtf16(kServerGUIDNet)); });
}

void QAC_STDCALL getServerGuidNetW(QAcUtf16Text *text)
{
    guarded([&] {
        requireOut(text);
        *text = kServerGUIDNet;
    });
}

QAcWideString QAC_NATIVE getServerNameNet(void)
{
    return guarded<QAcWideString>(nullptr, [] { return WideStringAlloc(QString::fromUtf16(kServerNameNet)); });
}

void QAC_STDCALL getServerNameNetW(QAcUtf16Text *text)
{
    guarded([&] {
        requireOut(text);
        *text = kServerNameNet;
    });
}

QAcWideString QAC_NATIVE getServerPublicT(void)
{
    return guarded<QAcWideString>(nullptr, [] { return WideStringAlloc(QString::fromUtf16(kPublicKeyToken)); });
}

void QAC_STDCALL getServerPublicTW(QAcUtf16Text *text)
{
    guarded([&] {
        requireOut(text);
        *text = kPublicKeyToken;
    });
}

void QAC_NATIVE CambiarAltura(int32_t height)
{
    guarded([&] { CambiarAlturaModulo(height); });
}

void QAC_NATIVE CambiarTamano(int32_t width, int32_t height)
{
    guarded([&] { CambiarTamanoModulo(width, height); });
}

void QAC_STDCALL CambiarTamanoW(QAcUtf16Text width, QAcUtf16Text height)
{
    guarded([&] {
        // Both texts convert before anything changes, so a bad one leaves the size as it was.
        const int first = ConvertirEntero(requiredText(width, "ancho"));
        const int second = ConvertirEntero(requiredText(height, "alto"));
        CambiarTamanoModulo(first, second);
    });
}

void QAC_NATIVE QAcFreeString(QAcWideString text)
{
    guarded([&] { WideStringFree(text); });
}

QAcWideString QAC_NATIVE QOpUltimoError(void)
{
    try {
        return WideStringAlloc(UltimoError());
    } catch (...) {
        return nullptr;
    }
}

void QAC_STDCALL QOpUltimoErrorW(QAcUtf16Text *text)
{
    if (!text)
        return;
    gLastErrorCopy = UltimoError();
    *text = reinterpret_cast<QAcUtf16Text>(gLastErrorCopy.utf16());
}

void QAC_STDCALL QOpRenovarSesionW(QAcPasswordRequest callback, void *context)
{
    guarded([&] {
        if (!callback) {
            InstalarRenovacion({});
            return;
        }
        InstalarRenovacion([callback, context](const QString &reason, const QString &user) -> std::optional<QString> {
            const QString reasonText = reason, userText = user;
            const QAcUtf16Text password = callback(context, reinterpret_cast<QAcUtf16Text>(reasonText.utf16()),
                                                   reinterpret_cast<QAcUtf16Text>(userText.utf16()));
            if (!password)
                return std::nullopt;
            return Utf16ZToQString(password);
        });
    });
}

int32_t QAC_STDCALL QOpCambiarClaveW(QAcUtf16Text current, QAcUtf16Text newPassword)
{
    return guarded(int32_t(0), [&] {
        const QString typed = requiredText(current, "clave actual");
        const QString next = requiredText(newPassword, "clave nueva");
        CambiarClave(typed, next);
        return int32_t(1);
    });
}

} // extern "C"
