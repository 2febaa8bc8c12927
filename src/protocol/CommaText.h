#pragma once
// Lists of texts in comma-text form, as the suite's clients exchange them: items separated by
// commas (or blanks), an item holding a comma, blank or quote enclosed in double quotes with
// inner quotes doubled, an empty item written as "".

#include <QString>
#include <QStringList>

namespace protocol {

class CommaText {
public:
    static QStringList split(const QString &text);
    static QString join(const QStringList &items);
};

} // namespace protocol
