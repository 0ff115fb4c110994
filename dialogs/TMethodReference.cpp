#include "TMethodReference.h"

#include "MethodCatalog.h"
#include "MethodReference.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QSplitter>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {
constexpr int idRole = Qt::UserRole;
constexpr int searchRole = Qt::UserRole + 1;

// Lower case without diacritics, so that "rizikovost" finds "Index rizikovosti"
// and "sirka" finds "šířka".
QString folded(const QString &text)
{
    const QString decomposed = text.toLower().normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            out += c;
    }
    return out;
}

void forEachMethod(QTreeWidgetItem *item, const std::function<void(QTreeWidgetItem *)> &visit)
{
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem *child = item->child(i);
        if (child->data(0, idRole).isValid())
            visit(child);
        forEachMethod(child, visit);
    }
}
} // namespace

TMethodReference::TMethodReference(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TMethodReference"));
    setWindowTitle(QString::fromUtf8("Přehled metod"));
    resize(900, 600);

    auto *layout = new QVBoxLayout(this);
    search = new QLineEdit(this);
    search->setObjectName(QStringLiteral("search"));
    search->setPlaceholderText(QString::fromUtf8("Hledat metodu, veličinu nebo vzorec…"));
    search->setClearButtonEnabled(true);
    layout->addWidget(search);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    tree = new QTreeWidget(splitter);
    tree->setObjectName(QStringLiteral("methods"));
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    text = new QTextBrowser(splitter);
    text->setObjectName(QStringLiteral("entry"));
    text->setOpenLinks(false);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    layout->addWidget(splitter);

    buildTree();
    connect(search, &QLineEdit::textChanged, this, &TMethodReference::setFilter);
    connect(tree, &QTreeWidget::currentItemChanged, this, &TMethodReference::showEntry);
}

void TMethodReference::buildTree()
{
    QTreeWidgetItem *root = tree->invisibleRootItem();
    for (const MethodReferenceGroup &group : methodReferenceGroups()) {
        QTreeWidgetItem *parent = root;
        for (const QString &title : group.path) {
            // The last child of that title continues it; otherwise a new submenu.
            QTreeWidgetItem *found = nullptr;
            for (int i = parent->childCount() - 1; i >= 0 && !found; --i) {
                QTreeWidgetItem *child = parent->child(i);
                if (!child->data(0, idRole).isValid() && child->text(0) == title)
                    found = child;
            }
            if (!found) {
                found = new QTreeWidgetItem(parent, {title});
                QFont bold = found->font(0);
                bold.setBold(true);
                found->setFont(0, bold);
            }
            parent = found;
        }
        for (int id : group.ids) {
            if (!isRegisteredMethod(id))
                continue;
            auto *item = new QTreeWidgetItem(parent, {MethodCatalog[size_t(id)].title});
            item->setData(0, idRole, id);
            item->setData(0, searchRole, folded(methodSearchText(id)));
            item->setToolTip(0, MethodCatalog[size_t(id)].description);
        }
    }
    tree->expandAll();
}

void TMethodReference::setFilter(const QString &filter)
{
    if (search->text() != filter)
        search->setText(filter); // comes back here through textChanged
    const QStringList words = folded(filter).split(u' ', Qt::SkipEmptyParts);
    // A method is shown when its entry has every word; a submenu when anything under it is.
    std::function<bool(QTreeWidgetItem *)> apply = [&](QTreeWidgetItem *item) {
        bool shown = false;
        if (item->data(0, idRole).isValid()) {
            const QString haystack = item->data(0, searchRole).toString();
            shown = std::all_of(words.begin(), words.end(), [&](const QString &w) { return haystack.contains(w); });
        }
        for (int i = 0; i < item->childCount(); ++i)
            shown = apply(item->child(i)) || shown;
        item->setHidden(!shown);
        return shown;
    };
    QTreeWidgetItem *root = tree->invisibleRootItem();
    for (int i = 0; i < root->childCount(); ++i)
        apply(root->child(i));
    tree->expandAll();
    QTreeWidgetItem *current = tree->currentItem();
    if (!current || current->isHidden()) {
        const QList<int> shown = shownMethods();
        tree->setCurrentItem(shown.isEmpty() ? nullptr : itemOf(shown.first()));
        if (shown.isEmpty())
            text->clear();
    }
}

QTreeWidgetItem *TMethodReference::itemOf(int id) const
{
    QTreeWidgetItem *found = nullptr;
    forEachMethod(tree->invisibleRootItem(), [&](QTreeWidgetItem *item) {
        if (!found && item->data(0, idRole).toInt() == id)
            found = item;
    });
    return found;
}

void TMethodReference::showMethod(int id)
{
    QTreeWidgetItem *item = itemOf(id);
    if (!item)
        return;
    if (item->isHidden())
        setFilter(QString());
    tree->setCurrentItem(item);
    tree->scrollToItem(item);
}

QList<int> TMethodReference::listedMethods() const
{
    QList<int> ids;
    forEachMethod(tree->invisibleRootItem(), [&](QTreeWidgetItem *item) { ids.append(item->data(0, idRole).toInt()); });
    return ids;
}

QList<int> TMethodReference::shownMethods() const
{
    QList<int> ids;
    forEachMethod(tree->invisibleRootItem(), [&](QTreeWidgetItem *item) {
        // Hidden with its submenu counts as hidden too.
        for (QTreeWidgetItem *up = item; up; up = up->parent())
            if (up->isHidden())
                return;
        ids.append(item->data(0, idRole).toInt());
    });
    return ids;
}

int TMethodReference::currentMethod() const
{
    QTreeWidgetItem *item = tree->currentItem();
    return item && item->data(0, idRole).isValid() ? item->data(0, idRole).toInt() : -1;
}

void TMethodReference::showEntry()
{
    const int id = currentMethod();
    if (id < 0)
        return;
    text->setHtml(methodReferenceHtml(id));
}
