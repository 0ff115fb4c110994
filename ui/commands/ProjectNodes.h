#pragma once
// What the undoable changes need of the window that holds the project tree:
// taking a node (with its results) out of the tree and putting it back where
// it stood, with everything the window keeps about it.

#include <QString>

class QTreeWidgetItem;

class ProjectNodes {
public:
    // Where a node stood: under parent (none: the top level) at index, and for
    // an imported table its place among the source tables and its file name.
    struct Place {
        QTreeWidgetItem *parent = nullptr;
        int index = 0;
        qsizetype sourceIndex = -1;
        QString sourceFile;
    };

    virtual ~ProjectNodes() = default;
    // The node leaves the tree with its results; it is not deleted.
    virtual Place detachNode(QTreeWidgetItem *node) = 0;
    virtual void attachNode(QTreeWidgetItem *node, const Place &place) = 0;
};
