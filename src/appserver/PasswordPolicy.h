#pragma once
// What a new password of a user must be: at least a minimum length (8 unless the site sets
// another) and never the user's own name, in any case. The server applies it when a user changes
// the password, the command line when an administrator sets one.

#include <QString>

namespace appserver {

class PasswordPolicy {
public:
    enum class Refusal { None, TooShort, UserName };

    static constexpr int kDefaultMinLength = 8;
    explicit PasswordPolicy(int minLength = kDefaultMinLength) : m_minLength(minLength) {}

    int minLength() const { return m_minLength; }
    Refusal check(const QString &user, const QString &password) const;
    // Empty when `password` may be the user's, else why not, for the user.
    QString refusal(const QString &user, const QString &password) const;

private:
    int m_minLength;
};

} // namespace appserver
