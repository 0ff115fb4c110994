#include "TableView.h"

void TableView::setModel(QAbstractItemModel *model)
{
    QTableView::setModel(model);
    emit modelChanged();
}
