#pragma once
// Declares the columns of a QTest data table in one statement:
//   addColumns<QString, int>({"message", "status"});

#include <QTest>
#include <array>

template <class... T>
void addColumns(const std::array<const char *, sizeof...(T)> &names)
{
    std::size_t column = 0;
    (QTest::addColumn<T>(names[column++]), ...);
}
