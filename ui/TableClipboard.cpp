#include "TableClipboard.h"

#include "TableText.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelection>
#include <QStyledItemDelegate>
#include <QTableView>

#include <vector>

namespace {

// The text of each cell as view draws it, or as the default delegate would.
class ViewCellText {
public:
    explicit ViewCellText(const QTableView *view)
        : m_delegate(view ? qobject_cast<const QStyledItemDelegate *>(view->itemDelegate()) : nullptr)
        , m_locale(view ? view->locale() : QLocale())
    {
        if (!m_delegate)
            m_delegate = &m_fallback;
    }

    CellText function() const
    {
        return [this](const QVariant &value) { return m_delegate->displayText(value, m_locale); };
    }

private:
    QStyledItemDelegate m_fallback;
    const QStyledItemDelegate *m_delegate;
    QLocale m_locale;
};

// The rows and columns of a selection as a table of their own, for
// tableAsText: a cell not selected shows nothing.
class SelectedCells : public QAbstractTableModel {
public:
    SelectedCells(const QAbstractItemModel &model, const QItemSelection &selection)
        : m_model(model)
    {
        std::vector<int> rowAt(size_t(model.rowCount()), -1);
        std::vector<int> columnAt(size_t(model.columnCount()), -1);
        for (const QItemSelectionRange &range : selection) {
            if (range.model() != &model || !range.isValid())
                continue;
            for (int row = range.top(); row <= range.bottom(); ++row)
                rowAt[size_t(row)] = 0;
            for (int column = range.left(); column <= range.right(); ++column)
                columnAt[size_t(column)] = 0;
        }
        number(rowAt, &m_rows);
        number(columnAt, &m_columns);
        m_selected.assign(m_rows.size() * m_columns.size(), 0);
        for (const QItemSelectionRange &range : selection) {
            if (range.model() != &model || !range.isValid())
                continue;
            for (int row = range.top(); row <= range.bottom(); ++row) {
                char *line = m_selected.data() + size_t(rowAt[size_t(row)]) * m_columns.size();
                for (int column = range.left(); column <= range.right(); ++column)
                    line[columnAt[size_t(column)]] = 1;
            }
        }
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_columns.size());
    }
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override
    {
        const size_t row = size_t(index.row());
        const size_t column = size_t(index.column());
        if (!m_selected[row * m_columns.size() + column])
            return QVariant();
        return m_model.data(m_model.index(m_rows[row], m_columns[column]), role);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override
    {
        if (orientation != Qt::Horizontal)
            return QVariant();
        return m_model.headerData(m_columns[size_t(section)], orientation, role);
    }

private:
    // The marked entries get their places in order; the others stay -1.
    static void number(std::vector<int> &at, std::vector<int> *marked)
    {
        for (size_t i = 0; i < at.size(); ++i) {
            if (at[i] < 0)
                continue;
            at[i] = int(marked->size());
            marked->push_back(int(i));
        }
    }

    const QAbstractItemModel &m_model;
    std::vector<int> m_rows;    // of the model, in its order
    std::vector<int> m_columns; // likewise
    std::vector<char> m_selected; // m_rows × m_columns
};

} // namespace

void copyTableToClipboard(const QAbstractItemModel *table, const QTableView *view)
{
    if (!table)
        return;
    const ViewCellText text(view);
    QGuiApplication::clipboard()->setText(tableAsText(*table, text.function()));
}

QString selectionAsText(const QAbstractItemModel &model, const QItemSelection &selection, const QTableView *view)
{
    const SelectedCells cells(model, selection);
    const ViewCellText text(view);
    return tableAsText(cells, text.function());
}

void copyViewToClipboard(const QTableView *view)
{
    const QAbstractItemModel *shown = view->model();
    if (!shown)
        return;
    const QItemSelectionModel *selection = view->selectionModel();
    if (selection && selection->hasSelection())
        QGuiApplication::clipboard()->setText(selectionAsText(*shown, selection->selection(), view));
    else
        copyTableToClipboard(shown, view);
}

void installCopyShortcut(QTableView *view)
{
    auto *copy = new QAction(QStringLiteral("Kopírovat"), view);
    copy->setObjectName(QStringLiteral("copyTableAction"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(copy, &QAction::triggered, view, [view] { copyViewToClipboard(view); });
    view->addAction(copy);
}
