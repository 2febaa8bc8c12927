#pragma once
// Codes repeat down a column of a read (record types, flags), a few distinct ones in turn: a
// short text met lately in its column shares that string instead of building another. The
// direct readers build their text cells through it.

#include <QString>

#include <cstring>
#include <vector>

namespace appserver {

class RecentTexts {
public:
    explicit RecentTexts(int columns) : m_columns(size_t(columns)) {}

    // The UTF-8 `bytes` of a cell of `column` as a string.
    QString text(int column, const char *bytes, int size)
    {
        if (size > kShort)
            return QString::fromUtf8(bytes, size);
        Recent &recent = m_columns[size_t(column)];
        for (int i = 0; i < recent.count; ++i) {
            const Entry &entry = recent.entries[i];
            if (entry.size == size && sameBytes(entry.bytes, bytes, size))
                return entry.text;
        }
        Entry &entry = recent.entries[recent.next];
        recent.next = (recent.next + 1) % kKept;
        recent.count = qMin(recent.count + 1, kKept);
        std::memcpy(entry.bytes, bytes, size_t(size));
        entry.size = size;
        entry.text = QString::fromUtf8(bytes, size);
        return entry.text;
    }

private:
    static constexpr int kShort = 16;
    static constexpr int kKept = 8;
    struct Entry {
        char bytes[kShort];
        int size = 0;
        QString text;
    };
    struct Recent {
        Entry entries[kKept];
        int count = 0;
        int next = 0;
    };
    // Codes are a few bytes: a loop beats a call.
    static bool sameBytes(const char *a, const char *b, int size)
    {
        for (int i = 0; i < size; ++i)
            if (a[i] != b[i])
                return false;
        return true;
    }
    std::vector<Recent> m_columns;
};

} // namespace appserver
