#pragma once
// The order the table view shows a table in: the stored order, or sorted by
// one column as a click on its header asks. Only the view's order changes;
// the table, its check marks and what is saved keep the stored order.
//
// Numbers sort by value, texts in Czech order (ch after h), numbers before
// texts in a column that holds both; a missing cell comes last in either
// direction, as in a spreadsheet. Equal cells keep their stored order. The
// row number "č." sorts by number, which is the stored order itself.

#include <QCollator>
#include <QSortFilterProxyModel>

#include <vector>

class SortedTable : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit SortedTable(QObject *parent = nullptr);

    void setSourceModel(QAbstractItemModel *model) override;
    // Column -1 is the stored order, whichever direction is asked.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    // Every cell can be selected, for copying part of a table.
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A first click on a header sorts ascending.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;
    bool filterAcceptsRow(int, const QModelIndex &) const override { return true; }

private:
    enum Group : unsigned char { Number, Text, Missing };
    struct Key {
        Group group;
        double value; // the number, or the text's rank in Czech order
    };
    // Each row's key in column, worked out once per sort rather than once per
    // comparison: a million rows take some twenty million comparisons.
    const std::vector<Key> &keysOf(int column) const;
    void forgetKeys() { m_keysColumn = -1; }

    QCollator m_collator;
    mutable std::vector<Key> m_keys;
    mutable int m_keysColumn = -1;
    QList<QMetaObject::Connection> m_sourceConnections;
};
