#include "framework/dataset/TParams.h"

#include "framework/Exceptions.h"

#include <algorithm>

TParam *TParams::FindParam(const QString &name) const
{
    const QString wanted = name.trimmed();
    for (const auto &param : m_params)
        if (param->Name.compare(wanted, Qt::CaseInsensitive) == 0)
            return param.get();
    return nullptr;
}

TParam *TParams::ParamByName(const QString &name) const
{
    if (TParam *param = FindParam(name))
        return param;
    throw EDatabaseError(QStringLiteral("Parámetro '%1' no encontrado").arg(name));
}

TParam *TParams::CreateParam(protocol::FieldType dataType, const QString &name, TParamType paramType)
{
    TParam *param = FindParam(name);
    if (!param) {
        m_params.push_back(std::make_unique<TParam>(name));
        param = m_params.back().get();
    }
    param->DataType = dataType;
    param->ParamType = paramType;
    return param;
}

void TParams::updateFromNames(const QStringList &names)
{
    std::vector<std::unique_ptr<TParam>> updated;
    for (const QString &name : names) {
        auto it = std::find_if(m_params.begin(), m_params.end(), [&](const auto &p) {
            return p && p->Name.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (it != m_params.end())
            updated.push_back(std::move(*it));
        else
            updated.push_back(std::make_unique<TParam>(name, protocol::FieldType::Unknown, ptInput));
    }
    m_params = std::move(updated);
}
