#include "SortedTable.h"

#include <QHash>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <numeric>

SortedTable::SortedTable(QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_collator(QLocale(QLocale::Czech, QLocale::Czechia))
{
}

void SortedTable::setSourceModel(QAbstractItemModel *model)
{
    // Ours before the base class's own: a change of the table makes the keys
    // stale before the rows it touched are put in their places again.
    for (const QMetaObject::Connection &connection : std::as_const(m_sourceConnections))
        disconnect(connection);
    m_sourceConnections.clear();
    forgetKeys();
    if (model) {
        const auto forget = [this] { forgetKeys(); };
        m_sourceConnections = {
            connect(model, &QAbstractItemModel::dataChanged, this,
                    [this](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                        if (roles.isEmpty() || roles.contains(sortRole()))
                            forgetKeys();
                    }),
            connect(model, &QAbstractItemModel::rowsInserted, this, forget),
            connect(model, &QAbstractItemModel::rowsRemoved, this, forget),
            connect(model, &QAbstractItemModel::rowsMoved, this, forget),
            connect(model, &QAbstractItemModel::columnsInserted, this, forget),
            connect(model, &QAbstractItemModel::columnsRemoved, this, forget),
            connect(model, &QAbstractItemModel::columnsMoved, this, forget),
            connect(model, &QAbstractItemModel::modelReset, this, forget),
            connect(model, &QAbstractItemModel::layoutChanged, this, forget),
        };
    }
    QSortFilterProxyModel::setSourceModel(model);
}

void SortedTable::sort(int column, Qt::SortOrder order)
{
    // Without a column the base class would take the descending order as the
    // stored order reversed.
    forgetKeys();
    QSortFilterProxyModel::sort(column, column < 0 ? Qt::AscendingOrder : order);
    // The keys are kept no longer than the sort needs them.
    forgetKeys();
    m_keys = {};
}

Qt::ItemFlags SortedTable::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags own = QSortFilterProxyModel::flags(index);
    return index.isValid() ? own | Qt::ItemIsSelectable : own;
}

QVariant SortedTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::InitialSortOrderRole && orientation == Qt::Horizontal)
        return int(Qt::AscendingOrder);
    return QSortFilterProxyModel::headerData(section, orientation, role);
}

bool SortedTable::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    // Rows the keys do not reach yet were added since they were worked out.
    const size_t beyond = size_t(std::max(left.row(), right.row()));
    const std::vector<Key> &keys =
        m_keysColumn == left.column() && beyond < m_keys.size() ? m_keys : keysOf(left.column());
    const Key &a = keys[size_t(left.row())];
    const Key &b = keys[size_t(right.row())];
    if (a.group == Missing || b.group == Missing) {
        // Missing last in both directions: descending, the base class asks
        // whether right is less than left.
        if (a.group == b.group)
            return false;
        return (a.group == Missing) == (sortOrder() == Qt::DescendingOrder);
    }
    if (a.group != b.group)
        return a.group < b.group;
    return a.value < b.value;
}

const std::vector<SortedTable::Key> &SortedTable::keysOf(int column) const
{
    const QAbstractItemModel *source = sourceModel();
    const int rows = source ? source->rowCount() : 0;
    if (m_keysColumn == column && m_keys.size() == size_t(rows))
        return m_keys;
    m_keys.assign(size_t(rows), Key{Missing, 0});
    // Each distinct text once: its index first, its rank once all are known.
    QHash<QString, qsizetype> textIndex;
    QStringList texts;
    for (int row = 0; row < rows; ++row) {
        const QVariant value = source->data(source->index(row, column), sortRole());
        Key &key = m_keys[size_t(row)];
        switch (value.userType()) {
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong: {
            const double number = value.toDouble();
            if (!std::isnan(number))
                key = {Number, number};
            break;
        }
        default: {
            if (!value.isValid())
                break;
            const QString text = value.toString();
            if (text.isEmpty())
                break;
            auto found = textIndex.constFind(text);
            if (found == textIndex.constEnd()) {
                found = textIndex.insert(text, texts.size());
                texts.append(text);
            }
            key = {Text, double(*found)};
        }
        }
    }
    if (!texts.isEmpty()) {
        // Collation keys compare far faster than the collator compares texts.
        std::vector<QCollatorSortKey> collationKeys;
        collationKeys.reserve(size_t(texts.size()));
        for (const QString &text : std::as_const(texts))
            collationKeys.push_back(m_collator.sortKey(text));
        std::vector<qsizetype> order(size_t(texts.size()));
        std::iota(order.begin(), order.end(), qsizetype(0));
        std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            return collationKeys[size_t(a)].compare(collationKeys[size_t(b)]) < 0;
        });
        std::vector<double> rank(order.size());
        for (size_t i = 0; i < order.size(); ++i) {
            const bool same = i > 0 && collationKeys[size_t(order[i])].compare(collationKeys[size_t(order[i - 1])]) == 0;
            rank[size_t(order[i])] = same ? rank[size_t(order[i - 1])] : double(i);
        }
        for (Key &key : m_keys)
            if (key.group == Text)
                key.value = rank[size_t(key.value)];
    }
    m_keysColumn = column;
    return m_keys;
}
