#pragma once
// The parameters of a remote dataset, in declaration order; names match without regard to case.

#include "framework/dataset/TParam.h"

#include <QStringList>
#include <memory>
#include <vector>

class TParams {
public:
    int Count() const { return int(m_params.size()); }
    TParam *Items(int index) const { return m_params.at(size_t(index)).get(); }
    TParam *operator[](int index) const { return Items(index); }

    TParam *FindParam(const QString &name) const;  // nullptr when missing
    TParam *ParamByName(const QString &name) const; // throws EDatabaseError when missing
    // Declares a parameter; an existing one of that name takes the new type and direction.
    TParam *CreateParam(protocol::FieldType dataType, const QString &name, TParamType paramType = ptInput);
    void Clear() { m_params.clear(); }

    // Makes the list the given names in that order; parameters that already existed keep
    // their type and value.
    void updateFromNames(const QStringList &names);

private:
    std::vector<std::unique_ptr<TParam>> m_params;
};
