#include "EditCommands.h"

#include "MainWindow.h"

#include <QTreeWidgetItem>

namespace {

// The node and every node below it, parents before their results.
std::vector<QTreeWidgetItem *> subtree(QTreeWidgetItem *node)
{
    std::vector<QTreeWidgetItem *> nodes{node};
    for (size_t i = 0; i < nodes.size(); ++i)
        for (int c = 0; c < nodes[i]->childCount(); ++c)
            nodes.push_back(nodes[i]->child(c));
    return nodes;
}

} // namespace

void followDown(QTreeWidgetItem *node, const TTableModel::RowChange &change)
{
    // A stack of our own: a chain of results may be long.
    std::vector<std::pair<QTreeWidgetItem *, TTableModel::RowChange>> pending{{node, change}};
    while (!pending.empty()) {
        auto [parent, parentChange] = std::move(pending.back());
        pending.pop_back();
        const TTableModel *source = MainWindow::tableOf(parent);
        if (!source)
            continue;
        for (int c = 0; c < parent->childCount(); ++c) {
            QTreeWidgetItem *child = parent->child(c);
            TTableModel *result = MainWindow::tableOf(child);
            if (!result)
                continue;
            if (std::optional<TTableModel::RowChange> followed = result->follow(*source, parentChange))
                pending.push_back({child, std::move(*followed)});
        }
    }
}

void deleteDetachedTree(QTreeWidgetItem *node)
{
    const std::vector<QTreeWidgetItem *> nodes = subtree(node);
    for (QTreeWidgetItem *each : nodes)
        delete MainWindow::tableOf(each);
    delete node; // and its children with it
}

CellEditCommand::CellEditCommand(QTreeWidgetItem *node, int row, int column, const TTableModel::Cell &before)
    : QUndoCommand(QStringLiteral("úprava buňky"))
    , m_node(node)
    , m_row(row)
    , m_column(column)
    , m_before(before)
    , m_after(MainWindow::tableOf(node)->cell(row, column))
{
}

void CellEditCommand::undo()
{
    TTableModel *table = MainWindow::tableOf(m_node);
    if (m_before.reshapedFrom)
        table->restore(*m_before.reshapedFrom);
    else
        table->restoreCell(m_row, m_column, m_before);
    followDown(m_node, {});
}

void CellEditCommand::redo()
{
    // The first time the table already holds what was typed.
    if (!m_done)
        MainWindow::tableOf(m_node)->restoreCell(m_row, m_column, m_after);
    m_done = false;
    followDown(m_node, {});
}

RowsCommand::RowsCommand(const QString &text, QTreeWidgetItem *node, Change change)
    : QUndoCommand(text)
    , m_node(node)
    , m_change(std::move(change))
{
    // Copies share the values with the tables until either is written to, and
    // the changes write new values: keeping the tables as they were is cheap.
    for (QTreeWidgetItem *each : subtree(node))
        if (const TTableModel *table = MainWindow::tableOf(each))
            m_before.push_back({each, std::make_unique<TTableModel>(table)});
}

void RowsCommand::undo()
{
    for (const auto &[node, table] : m_before)
        MainWindow::tableOf(node)->restore(*table);
}

void RowsCommand::redo()
{
    followDown(m_node, m_change(*MainWindow::tableOf(m_node)));
}

CheckRowCommand::CheckRowCommand(QTreeWidgetItem *node, int row, bool checked)
    : QUndoCommand(checked ? QStringLiteral("zaškrtnutí řádku") : QStringLiteral("zrušení zaškrtnutí řádku"))
    , m_node(node)
    , m_row(row)
    , m_checked(checked)
{
}

void CheckRowCommand::undo()
{
    MainWindow::tableOf(m_node)->setRowChecked(m_row, !m_checked);
}

void CheckRowCommand::redo()
{
    MainWindow::tableOf(m_node)->setRowChecked(m_row, m_checked);
}

RenameColumnsCommand::RenameColumnsCommand(QTreeWidgetItem *node, const QStringList &before,
                                           const QStringList &after)
    : QUndoCommand(QStringLiteral("přejmenování sloupců"))
    , m_node(node)
    , m_before(before)
    , m_after(after)
{
}

void RenameColumnsCommand::undo()
{
    MainWindow::tableOf(m_node)->setHeaders(m_before);
}

void RenameColumnsCommand::redo()
{
    MainWindow::tableOf(m_node)->setHeaders(m_after);
}

NodeCommand::NodeCommand(const QString &text, ProjectNodes &nodes, QTreeWidgetItem *node, Change change)
    : QUndoCommand(text)
    , m_nodes(nodes)
    , m_node(node)
    , m_change(change)
    , m_inTree(true) // added: the first redo finds it there; removed: it is there until then
{
}

NodeCommand::~NodeCommand()
{
    if (!m_inTree)
        deleteDetachedTree(m_node);
}

void NodeCommand::undo()
{
    setInTree(m_change == Removed);
}

void NodeCommand::redo()
{
    setInTree(m_change == Added);
}

void NodeCommand::setInTree(bool inTree)
{
    if (inTree == m_inTree)
        return;
    if (inTree)
        m_nodes.attachNode(m_node, m_place);
    else
        m_place = m_nodes.detachNode(m_node);
    m_inTree = inTree;
}
