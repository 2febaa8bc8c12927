#pragma once
// The library's exported entry points as a host sees them. Calling conventions and export
// decoration live here and nowhere else.
//
// Texts of the W variants are zero-terminated UTF-16. The plain variants pass system wide strings:
// UTF-16 with a 32-bit byte length just before the first character and a zero after the last;
// the pointer points at the first character. Strings the library returns are freed with
// QAcFreeString.

#include <stdint.h>
#ifndef __cplusplus
#  include <uchar.h>   /* char16_t for hosts written in C */
#endif

#if defined(_WIN32)
#  define QAC_API __declspec(dllexport)
#  define QAC_STDCALL __stdcall
   // The suite's own convention for the plain variants; the default one here.
#  define QAC_NATIVE
   typedef uint32_t QAcWindowHandle;
#else
#  define QAC_API __attribute__((visibility("default")))
#  define QAC_STDCALL
#  define QAC_NATIVE
   typedef uintptr_t QAcWindowHandle;
#endif

typedef char16_t *QAcWideString;        // system wide string (length-prefixed)
typedef const char16_t *QAcUtf16Text;   // zero-terminated UTF-16

#if defined(_WIN32) && defined(_MSC_VER)
// Undecorated export names for the stdcall entry points of a 32-bit build.
#  pragma comment(linker, "/export:QOpLoadDllW=_QOpLoadDllW@36")
#  pragma comment(linker, "/export:getServerGuidNetW=_getServerGuidNetW@4")
#  pragma comment(linker, "/export:getServerNameNetW=_getServerNameNetW@4")
#  pragma comment(linker, "/export:getServerPublicTW=_getServerPublicTW@4")
#  pragma comment(linker, "/export:CambiarTamanoW=_CambiarTamanoW@8")
#  pragma comment(linker, "/export:QOpUltimoErrorW=_QOpUltimoErrorW@4")
#  pragma comment(linker, "/export:QOpRenovarSesionW=_QOpRenovarSesionW@8")
#  pragma comment(linker, "/export:QOpCambiarClaveW=_QOpCambiarClaveW@8")
#endif

#ifdef __cplusplus
extern "C" {
#endif

QAC_API QAcWindowHandle QAC_NATIVE QOpLoadDll(int32_t reserved, QAcWideString protocol,
                                              QAcWideString alias, QAcWideString server,
                                              QAcWideString user, QAcWideString password,
                                              QAcWideString company, QAcWideString options,
                                              QAcWideString versionAndDate);
QAC_API QAcWindowHandle QAC_STDCALL QOpLoadDllW(int32_t reserved, QAcUtf16Text protocol,
                                                QAcUtf16Text alias, QAcUtf16Text server,
                                                QAcUtf16Text user, QAcUtf16Text password,
                                                QAcUtf16Text company, QAcUtf16Text options,
                                                QAcUtf16Text versionAndDate);
QAC_API void QAC_NATIVE QOpUnLoadDll(void);

QAC_API QAcWideString QAC_NATIVE getServerGuidNet(void);
QAC_API void QAC_STDCALL getServerGuidNetW(QAcUtf16Text *text);
QAC_API QAcWideString QAC_NATIVE getServerNameNet(void);
QAC_API void QAC_STDCALL getServerNameNetW(QAcUtf16Text *text);
QAC_API QAcWideString QAC_NATIVE getServerPublicT(void);
QAC_API void QAC_STDCALL getServerPublicTW(QAcUtf16Text *text);

QAC_API void QAC_NATIVE CambiarAltura(int32_t height);
QAC_API void QAC_NATIVE CambiarTamano(int32_t width, int32_t height);
QAC_API void QAC_STDCALL CambiarTamanoW(QAcUtf16Text width, QAcUtf16Text height);

// Frees a string returned by a plain variant; a null pointer is ignored.
QAC_API void QAC_NATIVE QAcFreeString(QAcWideString text);

// The message of the last call that failed (empty when the last call succeeded). No exception
// leaves the library: a failed load returns 0, the other calls return nothing, and this call
// says why. The plain variant returns a new string (free it with QAcFreeString); the W variant
// points at the module's copy, valid until the next call into the module. A null pointer
// argument to any call is refused the same way.
QAC_API QAcWideString QAC_NATIVE QOpUltimoError(void);
QAC_API void QAC_STDCALL QOpUltimoErrorW(QAcUtf16Text *text);

// What the module asks the host when the application server ended the session (it expired, the
// password or the user's state changed, an administrator ended it) in the middle of a call:
// `reason` is the server's message, or the refusal of the password the callback gave before;
// `user` the session's user. The callback returns the password to log in with again, as
// zero-terminated UTF-16 that stays valid until it returns again, or a null pointer when the user
// gives up: the call in progress then fails with the server's message. The call is repeated once
// the login succeeds, so the user's work in progress is not lost. It runs on the thread of the
// call and must not call into the module. A null callback (the default) asks no one.
typedef QAcUtf16Text(QAC_STDCALL *QAcPasswordRequest)(void *context, QAcUtf16Text reason, QAcUtf16Text user);
QAC_API void QAC_STDCALL QOpRenovarSesionW(QAcPasswordRequest callback, void *context);
// Changes the password of the loaded module's user: `current` is proved again, `newPassword`
// must meet the server's policy. 1 when changed (the module goes on with the new password), 0
// when refused, with the reason in QOpUltimoError.
QAC_API int32_t QAC_STDCALL QOpCambiarClaveW(QAcUtf16Text current, QAcUtf16Text newPassword);

#ifdef __cplusplus
}
#endif
