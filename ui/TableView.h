#pragma once
// The main window's table view. It is given a table (or none) by every flow
// that shows or drops one, and says so. It shows the table through a sorted
// view of it: a click on a column's header sorts by that column ascending, a
// second descending, a third brings back the stored order; the table itself
// keeps its order. Cells are selected one by one, Shift and Ctrl extending
// the selection, for copying part of a table.

#include <QList>
#include <QTableView>

class SortedTable;
class TTableModel;

class TableView : public QTableView {
    Q_OBJECT

public:
    explicit TableView(QWidget *parent = nullptr);

    // Shows model (nullptr: none) in its stored order, the current cell the
    // first data cell of its first row and nothing selected. The model it
    // shows already keeps its order, selection and current cell.
    void setModel(QAbstractItemModel *model) override;

    // The table shown, or nullptr; model() is the sorted view of it.
    TTableModel *table() const;
    // The table's row shown at viewRow, and where the table's storedRow is
    // shown; -1 for a row that is not there.
    int storedRow(int viewRow) const;
    int viewRow(int storedRow) const;
    // The table's rows with a selected cell, ascending, each once.
    QList<int> selectedStoredRows() const;

signals:
    void modelChanged();

private:
    SortedTable *m_sorted;
};
