#pragma once
// Reads a table back the way tests compare it: its stored rows and its
// column headers as the view shows them.

#include "TTableModel.h"

#include <QList>
#include <QStringList>

inline QList<QList<double>> storedRows(const TTableModel &table)
{
    QList<QList<double>> rows;
    for (int r = 0; r < table.rowCount(); ++r) {
        QList<double> row;
        for (int c = 0; c < table.rowLength(r); ++c)
            row.append(table.value(r, c));
        rows.append(row);
    }
    return rows;
}

inline QStringList headersOf(const TTableModel &table)
{
    QStringList headers;
    for (int s = 1; s < table.columnCount(); ++s)
        headers.append(table.headerData(s, Qt::Horizontal).toString());
    return headers;
}
