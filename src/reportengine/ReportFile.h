#pragma once
// A prepared report kept in a file of our own, so it can be shown, printed and exported again
// without the database: the layout its items are styled by, every page with its items (texts,
// numbers, pictures, chart rows), sizes and orientations, and the document's title, author and
// subject.
//
// The file starts with a magic header and a format version; the body is compressed and followed
// by its SHA-256, so a foreign, damaged or newer file is refused with a message for the user
// instead of being half read. Writing goes through a temporary file.

#include "reportengine/PreparedReport.h"

#include <optional>

namespace report {

class ReportFile {
public:
    static constexpr quint16 kVersion = 2;   // 2: items keep a lone date or time
    static const char kMagic[8];
    // The extension of saved reports, without the dot.
    static QString suffix();

    static bool save(const PreparedReport &report, const QString &path, QString *error);
    // No value, and an error text naming the file, when it cannot be read as a saved report.
    static std::optional<PreparedReport> load(const QString &path, QString *error);

    static QByteArray toBytes(const PreparedReport &report, QString *error);
    // `name` is the file name the messages speak of.
    static std::optional<PreparedReport> fromBytes(const QByteArray &bytes, const QString &name, QString *error);
};

} // namespace report
