#pragma once
// Rows typed in for a table: one value per input of its method (one per
// column of a source table) in a grid of 30 rows. A row is taken only when
// every one of its cells holds text; the mark in front of it says so.

#include <QDialog>
#include <QList>

class QCheckBox;
class QDialogButtonBox;
class QTableWidget;
class QVBoxLayout;
class TTableModel;

class TInsertWizard : public QDialog {
    Q_OBJECT

public:
    static constexpr int rowLimit = 30;

    explicit TInsertWizard(QWidget *parent = nullptr);

    void setModel(const TTableModel *model);

    // The complete rows in grid order, each as wide as the table: the typed
    // values first, then 0 for the columns a method computes. Text that is
    // not a number gives 0.
    QList<QList<double>> rows() const;

public slots:
    void itemChanged(int row, int column);

private:
    QCheckBox *markOf(int row) const;

    struct {
        QVBoxLayout *verticalLayout = nullptr;
        QTableWidget *tableWidget = nullptr;
        QDialogButtonBox *buttonBox = nullptr;
    } ui;
    const TTableModel *model = nullptr;
};
