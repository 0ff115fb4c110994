#include "TableView.h"

#include "SortedTable.h"
#include "TTableModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>

#include <vector>

TableView::TableView(QWidget *parent)
    : QTableView(parent)
    , m_sorted(new SortedTable(this))
{
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Stored order until a header is clicked; the third click on the same
    // header clears the sort.
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    horizontalHeader()->setSortIndicatorClearable(true);
    setSortingEnabled(true);
}

void TableView::setModel(QAbstractItemModel *model)
{
    const bool shown = model && QTableView::model() == m_sorted && m_sorted->sourceModel() == model;
    if (!shown) {
        // The new table in its stored order: never sorted by the column the
        // previous one was.
        horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
        m_sorted->sort(-1);
        m_sorted->setSourceModel(model);
        QItemSelectionModel *previous = selectionModel();
        QTableView::setModel(model ? m_sorted : nullptr);
        // A view given a model makes a selection model of its own and leaves
        // the previous one to its owner.
        if (previous && previous != selectionModel())
            previous->deleteLater();
        if (model && m_sorted->rowCount() > 0 && m_sorted->columnCount() > 0) {
            const int column = m_sorted->columnCount() > 1 ? 1 : 0;
            selectionModel()->setCurrentIndex(m_sorted->index(0, column), QItemSelectionModel::NoUpdate);
        }
    }
    emit modelChanged();
}

TTableModel *TableView::table() const
{
    return QTableView::model() == m_sorted ? qobject_cast<TTableModel *>(m_sorted->sourceModel()) : nullptr;
}

int TableView::storedRow(int viewRow) const
{
    if (!table() || viewRow < 0 || viewRow >= m_sorted->rowCount())
        return -1;
    return m_sorted->mapToSource(m_sorted->index(viewRow, 0)).row();
}

int TableView::viewRow(int storedRow) const
{
    const TTableModel *shown = table();
    if (!shown || storedRow < 0 || storedRow >= shown->rowCount())
        return -1;
    return m_sorted->mapFromSource(shown->index(storedRow, 0)).row();
}

QList<int> TableView::selectedStoredRows() const
{
    const TTableModel *shown = table();
    if (!shown || !selectionModel())
        return {};
    // By the selection's ranges: a selection of every cell of a million rows
    // is a single range, and would be millions of indexes.
    std::vector<char> selected(size_t(shown->rowCount()));
    for (const QItemSelectionRange &range : selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            if (const int stored = storedRow(row); stored >= 0)
                selected[size_t(stored)] = 1;
    QList<int> rows;
    for (size_t row = 0; row < selected.size(); ++row)
        if (selected[row])
            rows.append(int(row));
    return rows;
}
