#pragma once
// The groups of a sample: rows gathered by the value of one column (sex,
// population, site), each distinct value a group. Number groups come in
// numeric order, text groups in Czech alphabetical order. The statistics of
// a table and the somatotype analysis describe a sample so.

#include <QString>
#include <QStringList>

#include <vector>

// A column that can group a table's rows: its name as the user sees it and
// every row's key (NaN for a row without one). For a text column the key is
// the index of the row's text in texts; for a number column texts is empty.
struct GroupingColumn {
    QString name;
    std::vector<double> keys;
    QStringList texts;
};

struct SampleGroup {
    double key = 0; // the value the rows share (a text column: the text's index)
    std::vector<qsizetype> rows; // in table order
    QString name; // as tables, files and legends name the group
};

// Groups the rows r whose included[r] is true by keys[r]: number keys in
// increasing order (-0 and 0 are one group), text keys in the Czech order of
// their texts. A row whose key is NaN joins no group, but still counts among
// all rows.
std::vector<SampleGroup> groupRows(const GroupingColumn &grouping, const std::vector<char> &included);

// The included rows whose key is NaN: in no group, only among all rows.
qsizetype ungroupedRows(const GroupingColumn &grouping, const std::vector<char> &included);

// The rows r whose included[r] is true: the line of all rows together.
std::vector<qsizetype> includedRows(const std::vector<char> &included);

// A number key as a group is named: the value-row form with every digit ("1",
// "2,5"), so that 1.25 and 1.2500001 stay two names.
QString groupName(double key);
