#include "TRenameWizard.h"

#include <QAbstractItemModel>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

TRenameWizard::TRenameWizard(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TRenameWizard"));
    resize(528, 144);
    setWindowTitle(QString::fromUtf8("Průvodce přejmenováním sloupců"));
    ui.verticalLayout = new QVBoxLayout(this);
    ui.verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    ui.tableWidget = new QTableWidget(1, 0, this);
    ui.tableWidget->setObjectName(QStringLiteral("tableWidget"));
    ui.tableWidget->setMaximumHeight(85);
    ui.tableWidget->horizontalHeader()->setHighlightSections(false);
    ui.tableWidget->verticalHeader()->hide();
    ui.verticalLayout->addWidget(ui.tableWidget);
    ui.buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    ui.buttonBox->setObjectName(QStringLiteral("buttonBox"));
    ui.verticalLayout->addWidget(ui.buttonBox);
    connect(ui.buttonBox, &QDialogButtonBox::accepted, this, &TRenameWizard::save);
    connect(ui.buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TRenameWizard::setModel(QAbstractItemModel *table)
{
    model = table;
    const int columns = model ? qMax(0, model->columnCount() - 1) : 0;
    ui.tableWidget->setColumnCount(columns);
    for (int s = 1; s <= columns; ++s) {
        auto *cell = new QTableWidgetItem(model->headerData(s, Qt::Horizontal, Qt::DisplayRole).toString());
        cell->setFlags(Qt::ItemIsEditable | Qt::ItemIsEnabled);
        ui.tableWidget->setItem(0, s - 1, cell);
    }
}

void TRenameWizard::save()
{
    // Leaving the current cell hands over the text of a cell still being edited.
    ui.tableWidget->setCurrentIndex(QModelIndex());
    for (int s = 1; model && s <= ui.tableWidget->columnCount(); ++s) {
        const QTableWidgetItem *cell = ui.tableWidget->item(0, s - 1);
        model->setHeaderData(s, Qt::Horizontal, cell ? cell->text() : QString(), Qt::DisplayRole);
    }
    accept();
}
