#pragma once
// Descriptive statistics of a table's columns, by group: n, mean, standard
// deviation, minimum, median and maximum of each number column, and for a
// verdict column how many rows fall in each class. The statistics window and
// kostimer-cli stats share it; the window reads a TTableModel, the tool a CSV
// file read whole, both as columns of numbers with NaN for no value.
//
// What counts: NaN is no value, like a field that held no number or a cell
// past the end of its row: it is not counted in n but among the missing. An
// infinity is a value: it counts in n and makes the mean, minimum, median or
// maximum infinite where arithmetic says so (the mean of +inf and -inf is
// NaN); the standard deviation of a sample holding one is not defined. A
// statistic that does not exist is NaN: everything of no values, the
// standard deviation of one. Finite values give a finite mean between their
// least and greatest, and a finite standard deviation where it is one, even
// where their sum or squares pass the largest double.

#include "NumberFormat.h"
#include "SampleGroups.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <limits>
#include <vector>

class TTableModel;
struct TextColumn;

struct Summary {
    static constexpr double none = std::numeric_limits<double>::quiet_NaN();
    qsizetype n = 0;
    qsizetype missing = 0; // rows of the group without a value (NaN): not in n
    double mean = none;
    double sd = none; // sample standard deviation, n - 1 in the denominator
    double minimum = none;
    double median = none;
    double maximum = none;
};

// The summary of the values in [first, last), which are used as working
// space: their contents afterwards are unspecified. The NaN among them are
// counted as missing.
Summary summarize(double *first, double *last);

// The statistics of a table, built column by column: each column is seen
// once, whole, and only its summaries are kept.
class SampleStatistics {
public:
    // Rows r with included[r] count; grouping, when given, has a key for every
    // row (NaN: the row joins no group, but still counts among all rows).
    explicit SampleStatistics(const std::vector<char> &included, const GroupingColumn *grouping = nullptr);

    // Group names in increasing order of their keys, then the empty name of
    // all rows together.
    const QStringList &groupNames() const { return m_groupNames; }
    // Included rows whose grouping cell is missing: counted among all rows only.
    qsizetype ungroupedRows() const { return m_ungrouped; }

    // A number column: values[r] for every row r of the table, NaN where the
    // row has no number.
    void addColumn(const QString &name, std::vector<double> values);
    // A verdict column: classOfRow[r] indexes classes, -1 for a row that falls
    // in none (empty verdict).
    void addClassColumn(const QString &name, const QStringList &classes, const int *classOfRow);

    struct Column {
        QString name;
        std::vector<Summary> byGroup; // as groupNames()
    };
    struct ClassColumn {
        QString name;
        // The classes in their order, then unclassified() when any row fell in none.
        QStringList classes;
        std::vector<std::vector<qsizetype>> countsByGroup; // [group][class]
        std::vector<qsizetype> rowsByGroup;
    };
    const std::vector<Column> &columns() const { return m_columns; }
    const std::vector<ClassColumn> &classColumns() const { return m_classColumns; }

    // The class of rows whose verdict is empty: counted, so that the shares of
    // a group add up to all its rows.
    static QString unclassified();

private:
    // The rows of each group, then all rows.
    std::vector<std::vector<qsizetype>> m_rows;
    QStringList m_groupNames;
    std::vector<Column> m_columns;
    std::vector<ClassColumn> m_classColumns;
    std::vector<double> m_scratch;
    qsizetype m_ungrouped = 0;
};

// Row r's number in data column `column` of the table; NaN past the end of the
// row and for a field that held no number (marked as unread).
std::vector<double> columnValues(const TTableModel &table, int column);
// Data column `column` as a grouping column: a text column by its texts, a
// number column by its numbers.
GroupingColumn groupingColumn(const TTableModel &table, int column);
// A text column of `rows` rows as a grouping column named name.
GroupingColumn textGroupingColumn(const QString &name, const TextColumn &texts, qsizetype rows);
// The name of a data column as the table's header shows it; its number from 1
// when the header is empty.
QString columnName(const TTableModel &table, int column);

// The statistics of the table's checked rows: every data column, the verdict
// columns counted by class.
SampleStatistics tableStatistics(const TTableModel &table, const GroupingColumn *grouping = nullptr);

// The lines of the two tables as fields, header first; numbers in the
// value-row form, a statistic that does not exist an empty field. A summary
// line says after n how many of the group's rows had no value ("chybí").
QStringList summaryHeader();
QStringList summaryFields(const QString &group, const QString &column, const Summary &summary,
                          NumberDigits digits = NumberDigits::Six);
QStringList classCountHeader();
// The share is a percentage of the group's rows.
QStringList classCountFields(const QString &group, const QString &column, const QString &className,
                             qsizetype count, qsizetype rows, NumberDigits digits = NumberDigits::Six);

// One line of the export dialect: fields joined by ";", as UTF-8. A ";" or a
// line break inside a field (a column named so) becomes a blank, so that the
// fields stay apart.
QByteArray csvLine(const QStringList &fields);
