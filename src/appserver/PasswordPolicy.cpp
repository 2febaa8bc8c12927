#include "appserver/PasswordPolicy.h"

namespace appserver {

PasswordPolicy::Refusal PasswordPolicy::check(const QString &user, const QString &password) const
{
    if (password.size() < m_minLength)
        return Refusal::TooShort;
    if (password.compare(user.trimmed(), Qt::CaseInsensitive) == 0)
        return Refusal::UserName;
    return Refusal::None;
}

QString PasswordPolicy::refusal(const QString &user, const QString &password) const
{
    switch (check(user, password)) {
    case Refusal::TooShort:
        return QStringLiteral("La contraseña nueva debe tener al menos %1 caracteres.").arg(m_minLength);
    case Refusal::UserName:
        return QStringLiteral("La contraseña nueva no puede ser el nombre del usuario.");
    case Refusal::None:
        break;
    }
    return {};
}

} // namespace appserver
