#include "CellDelegate.h"

#include "TTableModel.h"

#include <QAbstractProxyModel>
#include <QMetaProperty>

void CellDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    const QByteArray property = editor->metaObject()->userProperty().name();
    if (model->setData(index, editor->property(property.constData()), Qt::EditRole))
        return;
    // The table behind the sorted view has the reason.
    const QAbstractItemModel *behind = model;
    while (const auto *proxy = qobject_cast<const QAbstractProxyModel *>(behind))
        behind = proxy->sourceModel();
    if (const auto *table = qobject_cast<const TTableModel *>(behind))
        emit const_cast<CellDelegate *>(this)->refused(table->editError());
}
