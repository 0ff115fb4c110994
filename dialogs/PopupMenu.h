#pragma once
// Every context menu of the program is run through here, so that a test can
// look at its entries and pick one instead of a person.

#include <QPoint>

#include <functional>

class QAction;
class QMenu;

class PopupMenu {
public:
    // Runs the menu at the position; the chosen action, or nullptr.
    static QAction *exec(QMenu &menu, const QPoint &position);

    // Test seam: the next menu is handed to chooser instead of being shown.
    using Chooser = std::function<QAction *(QMenu &menu)>;
    static void setNextChoice(const Chooser &chooser);
    static void requireQueuedChoices(bool required);
};
