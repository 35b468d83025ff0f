// Table rows written as text in the tests ("a|b|c;d|e|f"), so that cases read like the tables they stand for.
#pragma once

#include "design/dialdesign.h"

#include <algorithm>

// "a|b|c" as a row of cells.
inline QStringList cells(const char *joined)
{
    return QString::fromUtf8(joined).split(QLatin1Char('|'));
}

// "a|b|c;d|e|f" as rows of cells.
inline vernalith::TableRows rowsOf(const QString &joined)
{
    vernalith::TableRows rows;
    for (const QString &row : joined.split(QLatin1Char(';')))
        rows.append(row.split(QLatin1Char('|')));
    return rows;
}

inline vernalith::TableRows rowsOf(const char *joined)
{
    return rowsOf(QString::fromUtf8(joined));
}

// A row padded with the empty extra cells that every row of `kind` holds.
inline QStringList wideRow(vernalith::TableKind kind, QStringList row)
{
    row.resize(std::max<qsizetype>(row.size(), vernalith::storedColumnCount(kind)));
    return row;
}

inline vernalith::TableRows wide(vernalith::TableKind kind, vernalith::TableRows rows)
{
    for (QStringList &row : rows)
        row = wideRow(kind, row);
    return rows;
}

// A row of the Scales list: law, Min, Max, Parameter, Points.
inline QStringList scaleRow(const char *law, const char *min, const char *max, const char *parameter = "",
                            const char *points = "")
{
    return QString::fromUtf8(QByteArrayList{law, min, max, parameter, points}.join('\t')).split(QLatin1Char('\t'));
}
