#pragma once
// How the project tree's nodes look and what they carry: column 0 holds the
// node's table under the user role, column 1 a result's parent node.

#include <QIcon>
#include <QVector>

class QTreeWidgetItem;
class TTableModel;

// A node that takes formulas has a result slot for each catalog id, 0 to
// MethodCatalogSize - 1; only the formula ids' slots are ever filled.
QVector<QTreeWidgetItem *> emptyResultSlots();

// The icon of a table of the given type: by the kind of its method.
QIcon iconOfType(qint32 type);

// A top-level node for a table imported from fileName: "Data ze souboru "…"" in bold.
QTreeWidgetItem *makeSourceNode(const QString &fileName, TTableModel *table);

void setNodeTable(QTreeWidgetItem *node, TTableModel *table);
void setParentNode(QTreeWidgetItem *node, QTreeWidgetItem *parent);
QTreeWidgetItem *parentNodeOf(QTreeWidgetItem *node);
