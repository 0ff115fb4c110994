#pragma once
// Driving the main window offscreen: every prompt answered by the test, and
// context menus opened and chosen from without a person.

#include "FileDialog.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "PopupMenu.h"
#include "TestFiles.h"

#include <QMenu>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QTreeWidgetItem>

// Imports content as the file name through the window's import, as a user
// choosing it would, and returns its node.
inline QTreeWidgetItem *importThroughWindow(MainWindow &window, const QTemporaryDir &dir, const QByteArray &content,
                                            const QString &name = QStringLiteral("lide.csv"))
{
    FileDialog::setNextFileNames({writeFile(dir, name, content)});
    window.loadCSV();
    QTreeWidget *tree = window.tree();
    return tree->topLevelItem(tree->topLevelItemCount() - 1);
}

// The entry of the menu, or of one of its submenus, with that text.
inline QAction *findMenuEntry(QMenu &menu, const QString &text)
{
    for (QAction *action : menu.actions()) {
        if (action->text() == text)
            return action;
        if (action->menu())
            if (QAction *inner = findMenuEntry(*action->menu(), text))
                return inner;
    }
    return nullptr;
}

// Opens the tree's context menu on node (nullptr: empty space), node alone
// selected, and hands the menu to chooser.
inline void openContextMenu(MainWindow &window, QTreeWidgetItem *node, const PopupMenu::Chooser &chooser)
{
    QTreeWidget *tree = window.tree();
    PopupMenu::setNextChoice(chooser);
    const QPoint at = node ? tree->visualItemRect(node).center() : QPoint(5, tree->viewport()->height() - 5);
    if (node) {
        tree->clearSelection();
        node->setSelected(true);
    }
    window.treeContextMenu(at);
}

// Settings of their own, and a prompt nobody queued an answer for stops the test.
inline void requireQueuedAnswers()
{
    QStandardPaths::setTestModeEnabled(true);
    MessageBox::requireQueuedAnswers(true);
    FileDialog::requireQueuedAnswers(true);
}

// Clears the answers still queued; true when there were any, that is when a
// prompt the test expected was never asked.
inline bool takeLeftoverAnswers()
{
    const bool left = MessageBox::hasQueuedAnswer() || FileDialog::hasQueuedAnswer();
    MessageBox::clearQueuedAnswers();
    FileDialog::clearQueuedAnswers();
    return left;
}
