#pragma once
// Tables as the tests build and compare them: rows given as lists of numbers,
// a table's stored rows and its column headers as the view shows them.

#include "TTableModel.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <memory>

using Row = QList<double>;
using Rows = QList<Row>;

inline Rows storedRows(const TTableModel &table)
{
    Rows rows;
    for (int r = 0; r < table.rowCount(); ++r) {
        Row row;
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

// A source table of the rows, its columns named by the headers.
inline std::unique_ptr<TTableModel> sourceTable(const Rows &rows, const QStringList &headers = {})
{
    auto table = std::make_unique<TTableModel>(nullptr);
    table->appendRows(rows);
    for (int c = 0; c < headers.size(); ++c)
        table->setHeaderData(c + 1, Qt::Horizontal, headers.at(c), Qt::DisplayRole);
    return table;
}

// A result table of method type, computed over the rows (its inputs first).
inline std::unique_ptr<TTableModel> resultTable(qint32 type, const Rows &rows)
{
    auto table = std::make_unique<TTableModel>(type, nullptr);
    table->appendRows(rows);
    return table;
}

// Where the rows differ (each value within the tolerance of the other,
// relative, absolute near 0; NaN matches NaN); empty when they are alike.
inline QByteArray rowsDiffer(const Rows &actual, const Rows &expected, double tolerance = 1e-12)
{
    const auto text = [](const Rows &rows) {
        QByteArray text;
        for (const Row &row : rows) {
            for (double v : row)
                text += QByteArray::number(v, 'g', 17) + ' ';
            text += "| ";
        }
        return text;
    };
    bool same = actual.size() == expected.size();
    for (qsizetype r = 0; same && r < actual.size(); ++r) {
        same = actual[r].size() == expected[r].size();
        for (qsizetype c = 0; same && c < actual[r].size(); ++c) {
            const double a = actual[r][c], e = expected[r][c];
            same = a == e || (std::isnan(a) && std::isnan(e)) || std::fabs(a - e) <= tolerance * std::max(1.0, std::fabs(e));
        }
    }
    return same ? QByteArray() : text(actual) + " expected " + text(expected);
}

#define COMPARE_ROWS(actual, expected)                                                                      \
    do {                                                                                                    \
        const QByteArray difference = rowsDiffer(actual, expected);                                        \
        QVERIFY2(difference.isEmpty(), difference.constData());                                             \
    } while (false)
