#include "TableClipboard.h"

#include "TableText.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QStyledItemDelegate>
#include <QTableView>

void copyTableToClipboard(const QAbstractItemModel *table, const QTableView *view)
{
    if (!table)
        return;
    QStyledItemDelegate fallback;
    const QStyledItemDelegate *delegate = view ? qobject_cast<const QStyledItemDelegate *>(view->itemDelegate()) : nullptr;
    if (!delegate)
        delegate = &fallback;
    const QLocale locale = view ? view->locale() : QLocale();
    QGuiApplication::clipboard()->setText(
        tableAsText(*table, [&](const QVariant &value) { return delegate->displayText(value, locale); }));
}

void installCopyShortcut(QTableView *view)
{
    auto *copy = new QAction(QStringLiteral("Kopírovat tabulku"), view);
    copy->setObjectName(QStringLiteral("copyTableAction"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(copy, &QAction::triggered, view, [view] { copyTableToClipboard(view->model(), view); });
    view->addAction(copy);
}
