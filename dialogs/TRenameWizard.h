#pragma once
// Gives the columns of a source table new names: the current titles stand in
// one row of editable cells, and OK writes every cell back as the header of
// its column. Only a source table takes the names (TTableModel decides).

#include <QDialog>

class QAbstractItemModel;
class QDialogButtonBox;
class QTableWidget;
class QVBoxLayout;

class TRenameWizard : public QDialog {
    Q_OBJECT

public:
    explicit TRenameWizard(QWidget *parent = nullptr);

    // Cell c holds the title of the model's column c + 1 (column 0 is the row number).
    void setModel(QAbstractItemModel *model);

public slots:
    void save();

private:
    struct {
        QVBoxLayout *verticalLayout = nullptr;
        QTableWidget *tableWidget = nullptr;
        QDialogButtonBox *buttonBox = nullptr;
    } ui;
    QAbstractItemModel *model = nullptr;
};
