#pragma once
// System wide strings: UTF-16 text with its byte length in the 32 bits before the first character
// and a zero after the last. The pointer handed around points at the first character. All of them
// come from and go back to this one allocator.

#include <QString>

char16_t *WideStringAlloc(const QString &text);
void WideStringFree(char16_t *text);
quint32 WideStringByteLength(const char16_t *text);
// A null pointer is the empty string.
QString WideStringToQString(const char16_t *text);
// Zero-terminated UTF-16 (the W entry points); a null pointer is the empty string.
QString Utf16ZToQString(const char16_t *text);
