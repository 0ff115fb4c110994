#pragma once
// The main window's table view: says when it is given another table (or
// none), as every flow that shows or drops a table sets the model directly.

#include <QTableView>

class TableView : public QTableView {
    Q_OBJECT

public:
    using QTableView::QTableView;
    void setModel(QAbstractItemModel *model) override;

signals:
    void modelChanged();
};
