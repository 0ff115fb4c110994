#pragma once
// Gives the columns of a source table new names: the current titles stand in
// one row of editable cells, and OK writes every cell back as the header of
// its column. Only a source table takes the names (TTableModel decides).

#include <QDialog>

#include <memory>

class QAbstractItemModel;

namespace Ui {
class TRenameWizard;
}

class TRenameWizard : public QDialog {
    Q_OBJECT

public:
    explicit TRenameWizard(QWidget *parent = nullptr);
    ~TRenameWizard() override;

    // Cell c holds the title of the model's column c + 1 (column 0 is the row number).
    void setModel(QAbstractItemModel *model);

public slots:
    void save();

private:
    std::unique_ptr<Ui::TRenameWizard> m_ui;
    QAbstractItemModel *m_model = nullptr;
};
