#include "framework/WideString.h"

#include <cstdlib>
#include <cstring>

namespace {
constexpr size_t kPrefix = sizeof(quint32);

unsigned char *blockOf(const char16_t *text)
{
    return reinterpret_cast<unsigned char *>(const_cast<char16_t *>(text)) - kPrefix;
}
} // namespace

char16_t *WideStringAlloc(const QString &text)
{
    const quint32 bytes = quint32(text.size()) * sizeof(char16_t);
    auto *block = static_cast<unsigned char *>(std::malloc(kPrefix + bytes + sizeof(char16_t)));
    if (!block)
        throw std::bad_alloc();
    std::memcpy(block, &bytes, kPrefix);
    auto *chars = reinterpret_cast<char16_t *>(block + kPrefix);
    std::memcpy(chars, text.utf16(), bytes);
    chars[text.size()] = u'\0';
    return chars;
}

void WideStringFree(char16_t *text)
{
    if (text)
        std::free(blockOf(text));
}

quint32 WideStringByteLength(const char16_t *text)
{
    if (!text)
        return 0;
    quint32 bytes = 0;
    std::memcpy(&bytes, blockOf(text), kPrefix);
    return bytes;
}

QString WideStringToQString(const char16_t *text)
{
    if (!text)
        return QString();
    return QString::fromUtf16(text, qsizetype(WideStringByteLength(text) / sizeof(char16_t)));
}

QString Utf16ZToQString(const char16_t *text)
{
    return text ? QString::fromUtf16(text) : QString();
}
