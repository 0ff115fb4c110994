#include "PopupMenu.h"

#include <QAction>
#include <QList>
#include <QMenu>

namespace {
QList<PopupMenu::Chooser> queuedChoices;
bool choicesRequired = false;
} // namespace

QAction *PopupMenu::exec(QMenu &menu, const QPoint &position)
{
    if (!queuedChoices.isEmpty()) {
        // As a shown menu does, the chosen entry is triggered and returned.
        QAction *chosen = queuedChoices.takeFirst()(menu);
        if (chosen)
            chosen->trigger();
        return chosen;
    }
    if (choicesRequired)
        qFatal("Nečekaná nabídka");
    return menu.exec(position);
}

void PopupMenu::setNextChoice(const Chooser &chooser)
{
    queuedChoices.append(chooser);
}

void PopupMenu::requireQueuedChoices(bool required)
{
    choicesRequired = required;
}
