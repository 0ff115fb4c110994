#include "TInsertWizard.h"

#include "NumberReader.h"
#include "TTableModel.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QTableWidget>
#include <QVBoxLayout>

TInsertWizard::TInsertWizard(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TInsertWizard"));
    resize(400, 300);
    setWindowTitle(QString::fromUtf8("Průvodce vkládáním řádků"));
    ui.verticalLayout = new QVBoxLayout(this);
    ui.verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    ui.tableWidget = new QTableWidget(this);
    ui.tableWidget->setObjectName(QStringLiteral("tableWidget"));
    ui.tableWidget->setRowCount(rowLimit);
    ui.verticalLayout->addWidget(ui.tableWidget);
    ui.buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    ui.buttonBox->setObjectName(QStringLiteral("buttonBox"));
    ui.verticalLayout->addWidget(ui.buttonBox);
    connect(ui.buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui.buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ui.tableWidget, &QTableWidget::cellChanged, this, &TInsertWizard::itemChanged);
}

void TInsertWizard::setModel(const TTableModel *table)
{
    model = table;
    const int inputs = model ? qMax(0, model->inputCount()) : 0;
    QTableWidget *grid = ui.tableWidget;
    grid->setColumnCount(inputs + 1);
    grid->setHorizontalHeaderItem(0, new QTableWidgetItem(QString::fromUtf8("Přidat")));
    for (int c = 1; c <= inputs; ++c)
        grid->setHorizontalHeaderItem(
            c, new QTableWidgetItem(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()));
    for (int r = 0; r < grid->rowCount(); ++r) {
        auto *mark = new QCheckBox(QStringLiteral("Ne"), grid);
        mark->setEnabled(false); // the row's cells decide, not the user
        grid->setCellWidget(r, 0, mark);
    }
}

QCheckBox *TInsertWizard::markOf(int row) const
{
    return qobject_cast<QCheckBox *>(ui.tableWidget->cellWidget(row, 0));
}

void TInsertWizard::itemChanged(int row, int)
{
    QCheckBox *mark = markOf(row);
    if (!mark)
        return;
    bool complete = true;
    for (int c = 1; c < ui.tableWidget->columnCount() && complete; ++c) {
        const QTableWidgetItem *cell = ui.tableWidget->item(row, c);
        complete = cell && !cell->text().isEmpty();
    }
    mark->setChecked(complete);
    mark->setText(complete ? QStringLiteral("Ano") : QStringLiteral("Ne"));
}

QList<QList<double>> TInsertWizard::rows() const
{
    QList<QList<double>> taken;
    if (!model)
        return taken;
    const int inputs = ui.tableWidget->columnCount() - 1;
    const int width = qMax(model->width(), inputs);
    const NumberReader numbers;
    for (int r = 0; r < ui.tableWidget->rowCount(); ++r) {
        const QCheckBox *mark = markOf(r);
        if (!mark || !mark->isChecked())
            continue;
        QList<double> row(width, 0.0);
        for (int c = 1; c <= inputs; ++c) {
            const QTableWidgetItem *cell = ui.tableWidget->item(r, c);
            row[c - 1] = cell ? numbers.readText(cell->text().trimmed()) : 0.0;
        }
        taken.append(row);
    }
    return taken;
}
