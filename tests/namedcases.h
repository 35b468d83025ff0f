#pragma once
// A test table of one column "c" holding a struct per row, each row named by the struct's `name`
// (the struct needs Q_DECLARE_METATYPE).

#include <QTest>

template <typename Case, std::size_t N> void addNamedCases(const Case (&cases)[N])
{
    QTest::addColumn<Case>("c");
    for (const Case &c : cases)
        QTest::newRow(c.name) << c;
}
