#pragma once
// The methods' menu: the project tree's context menu and the "Funkce" menu
// are made from it, and the method reference lists the methods in its order.

#include <QList>
#include <QStringList>

// A run of methods in one submenu, in menu order.
struct MenuRun {
    QStringList path;     // the submenus from the top of the menu
    bool separatorBefore; // a separator in that submenu before the run
    QList<qint32> ids;
};

// Every run in menu order. A submenu stands where its path first appears.
const QList<MenuRun> &methodMenu();
