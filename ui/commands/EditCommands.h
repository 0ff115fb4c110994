#pragma once
// Every change to the project the user can take back: each is a command on
// the window's undo stack, which does it (redo) and takes it back (undo).
// A command that changes a table's rows or values computes the results made
// from that table again, down the tree; taking it back leaves the project as
// it was before.

#include "TTableModel.h"

#include "ProjectNodes.h"

#include <QStringList>
#include <QUndoCommand>

#include <functional>
#include <memory>
#include <vector>

class QTreeWidgetItem;

// The results made from node's table (its children, theirs, ...) follow the
// change of its rows.
void followDown(QTreeWidgetItem *node, const TTableModel::RowChange &change);

// Deletes a node that is not in the tree, with its results and their tables.
void deleteDetachedTree(QTreeWidgetItem *node);

// A cell typed into; the table already holds the new content when pushed.
class CellEditCommand : public QUndoCommand {
public:
    CellEditCommand(QTreeWidgetItem *node, int row, int column, const TTableModel::Cell &before);
    void undo() override;
    void redo() override;

private:
    QTreeWidgetItem *m_node;
    int m_row;
    int m_column;
    TTableModel::Cell m_before;
    TTableModel::Cell m_after;
    bool m_done = true;
};

// A change of a table's rows (rows added, rows removed): done by `change`,
// which returns what happened to the rows; taken back by putting the table
// and its results back as they were.
class RowsCommand : public QUndoCommand {
public:
    using Change = std::function<TTableModel::RowChange(TTableModel &table)>;
    RowsCommand(const QString &text, QTreeWidgetItem *node, Change change);
    void undo() override;
    void redo() override;

private:
    QTreeWidgetItem *m_node;
    Change m_change;
    // The tables of the node and of its results as they were, by node.
    std::vector<std::pair<QTreeWidgetItem *, std::unique_ptr<TTableModel>>> m_before;
};

// A row's check mark; the table already holds the new mark when pushed.
class CheckRowCommand : public QUndoCommand {
public:
    CheckRowCommand(QTreeWidgetItem *node, int row, bool checked);
    void undo() override;
    void redo() override;

private:
    QTreeWidgetItem *m_node;
    int m_row;
    bool m_checked;
};

// New names of a source table's columns.
class RenameColumnsCommand : public QUndoCommand {
public:
    RenameColumnsCommand(QTreeWidgetItem *node, const QStringList &before, const QStringList &after);
    void undo() override;
    void redo() override;

private:
    QTreeWidgetItem *m_node;
    QStringList m_before;
    QStringList m_after;
};

// A node put into the tree (an imported table, a method's result, a table
// typed in; it is already there when pushed) or taken out of it with its
// results. A node out of the tree when the command goes is deleted with it.
class NodeCommand : public QUndoCommand {
public:
    enum Change { Added, Removed };
    NodeCommand(const QString &text, ProjectNodes &nodes, QTreeWidgetItem *node, Change change);
    ~NodeCommand() override;
    void undo() override;
    void redo() override;

private:
    void setInTree(bool inTree);

    ProjectNodes &m_nodes;
    QTreeWidgetItem *m_node;
    Change m_change;
    ProjectNodes::Place m_place;
    bool m_inTree;
};
