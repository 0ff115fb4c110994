#include "MethodReferenceDialog.h"

#include "MethodCatalog.h"
#include "MethodReferenceText.h"
#include "ui_MethodReferenceDialog.h"

#include <algorithm>
#include <functional>

namespace {
constexpr int idRole = Qt::UserRole;
constexpr int searchRole = Qt::UserRole + 1;
constexpr int topicRole = Qt::UserRole + 2;

bool isEntry(const QTreeWidgetItem *item)
{
    return item->data(0, idRole).isValid() || item->data(0, topicRole).isValid();
}

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

void forEach(QTreeWidgetItem *item, int role, const std::function<void(QTreeWidgetItem *)> &visit)
{
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem *child = item->child(i);
        if (child->data(0, role).isValid())
            visit(child);
        forEach(child, role, visit);
    }
}

void forEachMethod(QTreeWidgetItem *item, const std::function<void(QTreeWidgetItem *)> &visit)
{
    forEach(item, idRole, visit);
}

// Hidden with its submenu counts as hidden too.
bool isShown(const QTreeWidgetItem *item)
{
    for (const QTreeWidgetItem *up = item; up; up = up->parent())
        if (up->isHidden())
            return false;
    return true;
}
} // namespace

MethodReferenceDialog::MethodReferenceDialog(QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::MethodReferenceDialog>())
{
    m_ui->setupUi(this);
    buildTree();
    connect(m_ui->search, &QLineEdit::textChanged, this, &MethodReferenceDialog::setFilter);
    connect(m_ui->methods, &QTreeWidget::currentItemChanged, this, &MethodReferenceDialog::showEntry);
}

MethodReferenceDialog::~MethodReferenceDialog() = default;

void MethodReferenceDialog::buildTree()
{
    QTreeWidgetItem *root = m_ui->methods->invisibleRootItem();
    const auto submenu = [root](const QStringList &path) {
        QTreeWidgetItem *parent = root;
        for (const QString &title : path) {
            // The last child of that title continues it; otherwise a new submenu.
            QTreeWidgetItem *found = nullptr;
            for (int i = parent->childCount() - 1; i >= 0 && !found; --i) {
                QTreeWidgetItem *child = parent->child(i);
                if (!isEntry(child) && child->text(0) == title)
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
        return parent;
    };
    for (const MethodReferenceGroup &group : methodReferenceGroups()) {
        QTreeWidgetItem *parent = submenu(group.path);
        for (int id : group.ids) {
            if (!isRegisteredMethod(id))
                continue;
            auto *item = new QTreeWidgetItem(parent, {MethodCatalog[size_t(id)].title});
            item->setData(0, idRole, id);
            item->setData(0, searchRole, folded(methodSearchText(id)));
            item->setToolTip(0, MethodCatalog[size_t(id)].description);
        }
    }
    QTreeWidgetItem *statistics = submenu(topicPath());
    for (ReferenceTopic topic : referenceTopics()) {
        auto *item = new QTreeWidgetItem(statistics, {topicTitle(topic)});
        item->setData(0, topicRole, int(topic));
        item->setData(0, searchRole, folded(topicSearchText(topic)));
    }
    m_ui->methods->expandAll();
}

void MethodReferenceDialog::setFilter(const QString &filter)
{
    if (m_ui->search->text() != filter)
        m_ui->search->setText(filter); // comes back here through textChanged
    const QStringList words = folded(filter).split(u' ', Qt::SkipEmptyParts);
    // A method is shown when its entry has every word; a submenu when anything under it is.
    std::function<bool(QTreeWidgetItem *)> apply = [&](QTreeWidgetItem *item) {
        bool shown = false;
        if (isEntry(item)) {
            const QString haystack = item->data(0, searchRole).toString();
            shown = std::all_of(words.begin(), words.end(), [&](const QString &w) { return haystack.contains(w); });
        }
        for (int i = 0; i < item->childCount(); ++i)
            shown = apply(item->child(i)) || shown;
        item->setHidden(!shown);
        return shown;
    };
    QTreeWidgetItem *root = m_ui->methods->invisibleRootItem();
    for (int i = 0; i < root->childCount(); ++i)
        apply(root->child(i));
    m_ui->methods->expandAll();
    QTreeWidgetItem *current = m_ui->methods->currentItem();
    if (!current || current->isHidden()) {
        const QList<int> shown = shownMethods();
        const QList<ReferenceTopic> topics = shownTopics();
        QTreeWidgetItem *first = !shown.isEmpty() ? itemOf(shown.first())
                                 : !topics.isEmpty() ? itemOf(topics.first())
                                                     : nullptr;
        m_ui->methods->setCurrentItem(first);
        if (!first)
            m_ui->entry->clear();
    }
}

QTreeWidgetItem *MethodReferenceDialog::itemOf(int id) const
{
    QTreeWidgetItem *found = nullptr;
    forEachMethod(m_ui->methods->invisibleRootItem(), [&](QTreeWidgetItem *item) {
        if (!found && item->data(0, idRole).toInt() == id)
            found = item;
    });
    return found;
}

QTreeWidgetItem *MethodReferenceDialog::itemOf(ReferenceTopic topic) const
{
    QTreeWidgetItem *found = nullptr;
    forEach(m_ui->methods->invisibleRootItem(), topicRole, [&](QTreeWidgetItem *item) {
        if (!found && item->data(0, topicRole).toInt() == int(topic))
            found = item;
    });
    return found;
}

void MethodReferenceDialog::select(QTreeWidgetItem *item)
{
    if (!item)
        return;
    if (item->isHidden())
        setFilter(QString());
    m_ui->methods->setCurrentItem(item);
    m_ui->methods->scrollToItem(item);
}

void MethodReferenceDialog::showMethod(int id)
{
    select(itemOf(id));
}

void MethodReferenceDialog::showTopic(ReferenceTopic topic)
{
    select(itemOf(topic));
}

QList<ReferenceTopic> MethodReferenceDialog::shownTopics() const
{
    QList<ReferenceTopic> topics;
    forEach(m_ui->methods->invisibleRootItem(), topicRole, [&](QTreeWidgetItem *item) {
        if (isShown(item))
            topics.append(ReferenceTopic(item->data(0, topicRole).toInt()));
    });
    return topics;
}

bool MethodReferenceDialog::isTopicCurrent(ReferenceTopic topic) const
{
    QTreeWidgetItem *item = m_ui->methods->currentItem();
    return item && item->data(0, topicRole).isValid() && item->data(0, topicRole).toInt() == int(topic);
}

QList<int> MethodReferenceDialog::listedMethods() const
{
    QList<int> ids;
    forEachMethod(m_ui->methods->invisibleRootItem(),
                  [&](QTreeWidgetItem *item) { ids.append(item->data(0, idRole).toInt()); });
    return ids;
}

QList<int> MethodReferenceDialog::shownMethods() const
{
    QList<int> ids;
    forEachMethod(m_ui->methods->invisibleRootItem(), [&](QTreeWidgetItem *item) {
        if (isShown(item))
            ids.append(item->data(0, idRole).toInt());
    });
    return ids;
}

int MethodReferenceDialog::currentMethod() const
{
    QTreeWidgetItem *item = m_ui->methods->currentItem();
    return item && item->data(0, idRole).isValid() ? item->data(0, idRole).toInt() : -1;
}

void MethodReferenceDialog::showEntry()
{
    QTreeWidgetItem *item = m_ui->methods->currentItem();
    if (item && item->data(0, topicRole).isValid()) {
        m_ui->entry->setHtml(topicReferenceHtml(ReferenceTopic(item->data(0, topicRole).toInt())));
        return;
    }
    const int id = currentMethod();
    if (id < 0)
        return;
    m_ui->entry->setHtml(methodReferenceHtml(id));
}
