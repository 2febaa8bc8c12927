#pragma once
// The fuzzers' input as the text our parsers read: the bytes as UTF-8, invalid sequences and all.

#include <QString>
#include <cstddef>
#include <cstdint>

inline QString fuzzText(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}
