#pragma once
// Edits a table's cell and says why, when the table refuses what was typed
// (text that is no number in a number column).

#include <QStyledItemDelegate>

class CellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

signals:
    void refused(const QString &reason);
};
