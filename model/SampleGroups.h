#pragma once
// The groups of a sample: rows gathered by the value of one column (sex,
// population, site), each distinct value a group, in numeric order. The
// statistics of a table and the somatotype analysis describe a sample so.

#include <QString>

#include <vector>

// A column that can group a table's rows: its name as the user sees it and
// every row's key (NaN for a row without one).
struct GroupingColumn {
    QString name;
    std::vector<double> keys;
};

struct SampleGroup {
    double key = 0; // the value the rows share
    std::vector<qsizetype> rows; // in table order
};

// Groups the rows r whose included[r] is true by keys[r], in increasing order
// of the key; -0 and 0 are one group. A row whose key is no number (NaN, or a
// field that was none) joins no group, but still counts among all rows.
std::vector<SampleGroup> groupRows(const std::vector<double> &keys, const std::vector<char> &included);

// The rows r whose included[r] is true: the line of all rows together.
std::vector<qsizetype> includedRows(const std::vector<char> &included);

// The key as a group is named in tables and files: the value-row form with
// every digit ("1", "2,5"), so that 1.25 and 1.2500001 stay two names.
QString groupName(double key);
