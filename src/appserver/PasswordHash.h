#pragma once
// Passwords as the database keeps them: salted and stretched with OpenSSL's scrypt, in one text
// "scrypt$<log2 N>$<r>$<p>$<salt>$<key>" (salt and key in base64), so the cost can grow later
// without invalidating stored passwords.

#include <QString>

namespace appserver {

class PasswordHash {
public:
    static QString make(const QString &password);
    // True when `password` is the one `stored` was made from. A stored text that is not a hash of
    // ours never matches.
    static bool verify(const QString &stored, const QString &password);
    static bool isHash(const QString &stored);
};

} // namespace appserver
