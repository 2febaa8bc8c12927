// The exported entry points: conversion of the caller's strings, then the module's own calls.
// Nothing here catches: errors reach the host.

#include "QAcSemafApi.h"

#include "CAcSemaf.h"
#include "ServerIdentity.h"
#include "WideString.h"

namespace {

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
    return QAcWindowHandle(CargarModulo(loadArguments(reserved, protocol, alias, server, user,
                                                      password, company, options, versionAndDate,
                                                      WideStringToQString)));
}

QAcWindowHandle QAC_STDCALL QOpLoadDllW(int32_t reserved, QAcUtf16Text protocol, QAcUtf16Text alias,
                                        QAcUtf16Text server, QAcUtf16Text user,
                                        QAcUtf16Text password, QAcUtf16Text company,
                                        QAcUtf16Text options, QAcUtf16Text versionAndDate)
{
    return QAcWindowHandle(CargarModulo(loadArguments(reserved, protocol, alias, server, user,
                                                      password, company, options, versionAndDate,
                                                      Utf16ZToQString)));
}

void QAC_NATIVE QOpUnLoadDll(void)
{
    DescargarModulo();
}

QAcWideString QAC_NATIVE getServerGuidNet(void)
{
    return WideStringAlloc(QString::fromUtf16(kServerGUIDNet));
}

void QAC_STDCALL getServerGuidNetW(QAcUtf16Text *text)
{
    *text = kServerGUIDNet;
}

QAcWideString QAC_NATIVE getServerNameNet(void)
{
    return WideStringAlloc(QString::fromUtf16(kServerNameNet));
}

void QAC_STDCALL getServerNameNetW(QAcUtf16Text *text)
{
    *text = kServerNameNet;
}

QAcWideString QAC_NATIVE getServerPublicT(void)
{
    return WideStringAlloc(QString::fromUtf16(kPublicKeyToken));
}

void QAC_STDCALL getServerPublicTW(QAcUtf16Text *text)
{
    *text = kPublicKeyToken;
}

void QAC_NATIVE CambiarAltura(int32_t height)
{
    CambiarAlturaModulo(height);
}

void QAC_NATIVE CambiarTamano(int32_t width, int32_t height)
{
    CambiarTamanoModulo(width, height);
}

void QAC_STDCALL CambiarTamanoW(QAcUtf16Text width, QAcUtf16Text height)
{
    // Both texts convert before anything changes, so a bad one leaves the size as it was.
    const int first = ConvertirEntero(Utf16ZToQString(width));
    const int second = ConvertirEntero(Utf16ZToQString(height));
    CambiarTamanoModulo(first, second);
}

void QAC_NATIVE QAcFreeString(QAcWideString text)
{
    WideStringFree(text);
}

} // extern "C"
