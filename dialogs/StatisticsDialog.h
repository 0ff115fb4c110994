#pragma once
// The statistics of one table: n, the missing values, mean, standard
// deviation, minimum, median and maximum of each number column, and how many
// rows fall in each class of each verdict column, for the checked rows, by
// the groups of a number or text column the caller offers. Rows whose
// grouping cell is empty are said under the table: they count among all rows
// only. Each of the two tables can be copied (as "Kopírovat tabulku" copies)
// or saved as CSV of the export dialect with a header row, the form
// kostimer-cli stats writes.

#include "SampleGroups.h"
#include "SampleStatistics.h"

#include <QDialog>

#include <memory>
#include <vector>

class QAbstractItemModel;
class QPushButton;
class QTableView;
class TTableModel;

namespace Ui {
class StatisticsDialog;
}

class StatisticsDialog : public QDialog {
    Q_OBJECT

public:
    // The window keeps a copy of the table (its values shared, not copied),
    // so it may outlive the table's node. groupings follow the table's rows;
    // they are offered after "bez skupin" in the "Skupiny podle:" box.
    StatisticsDialog(const TTableModel &table, std::vector<GroupingColumn> groupings, QWidget *parent = nullptr);
    ~StatisticsDialog() override;

    // Groups the rows by grouping `index` (into the groupings given); -1 for no groups.
    void groupBy(int index);
    const SampleStatistics &statistics() const { return m_statistics; }

private:
    class FieldTable;

    void copy(const QAbstractItemModel *table);
    // Asks for a file name (".csv" added to a name without an ending) and
    // writes the table there.
    void save(const FieldTable *table, const QString &title);
    void attachTable(FieldTable *table, QTableView *view, QPushButton *copyButton, QPushButton *saveButton,
                     const QString &saveTitle);

    std::unique_ptr<Ui::StatisticsDialog> m_ui;
    std::unique_ptr<TTableModel> m_table;
    std::vector<GroupingColumn> m_groupings;
    SampleStatistics m_statistics;
    FieldTable *m_summaries = nullptr;
    FieldTable *m_classes = nullptr;
};
