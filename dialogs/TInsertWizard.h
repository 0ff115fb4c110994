#pragma once
// Rows typed in for a table: one value per input of its method (one per
// column of a source table) in a grid of 30 rows. A cell takes only a number
// (decimal comma or point), a text column's cell any text or none. A row is
// taken when every one of its number cells holds one, as the mark in front of
// it says; a row begun but not finished keeps
// the dialog open with a word on which row and cell, and closing it with rows
// typed asks first.

#include <QDialog>
#include <QList>

#include <memory>

class QCheckBox;
class TTableModel;

namespace Ui {
class TInsertWizard;
}

class TInsertWizard : public QDialog {
    Q_OBJECT

public:
    static constexpr int rowLimit = 30;

    explicit TInsertWizard(QWidget *parent = nullptr);
    ~TInsertWizard() override;

    void setModel(const TTableModel *model);

    // The complete rows in grid order, each as wide as the table: the typed
    // values first, then 0 for the columns a method computes.
    QList<QList<double>> rows() const;
    // The texts of those rows for a source table's text columns, one per
    // typed column (empty for the others and for a text not given); the
    // values of those columns in rows() are missing.
    QList<QStringList> texts() const;
    // A column of the grid (0: the marks) that takes text rather than a number.
    bool isTextColumn(int gridColumn) const;

    // What keeps the typed rows from being taken: the first row begun but
    // not complete, or a cell that is not a number; empty when there is none.
    QString problem() const;

    void accept() override;
    void reject() override;

public slots:
    void itemChanged(int row, int column);

private:
    QCheckBox *markOf(int row) const;
    bool anythingTyped() const;
    QString cellText(int row, int column) const;

    std::unique_ptr<Ui::TInsertWizard> m_ui;
    const TTableModel *m_model = nullptr;
};
