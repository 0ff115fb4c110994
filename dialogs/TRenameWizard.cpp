#include "TRenameWizard.h"

#include "ui_TRenameWizard.h"

#include <QAbstractItemModel>

TRenameWizard::TRenameWizard(QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::TRenameWizard>())
{
    m_ui->setupUi(this);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &TRenameWizard::save);
}

TRenameWizard::~TRenameWizard() = default;

void TRenameWizard::setModel(QAbstractItemModel *table)
{
    m_model = table;
    const int columns = m_model ? qMax(0, m_model->columnCount() - 1) : 0;
    m_ui->tableWidget->setColumnCount(columns);
    for (int s = 1; s <= columns; ++s) {
        auto *cell = new QTableWidgetItem(m_model->headerData(s, Qt::Horizontal, Qt::DisplayRole).toString());
        cell->setFlags(Qt::ItemIsEditable | Qt::ItemIsEnabled);
        m_ui->tableWidget->setItem(0, s - 1, cell);
    }
}

void TRenameWizard::save()
{
    // Leaving the current cell hands over the text of a cell still being edited.
    m_ui->tableWidget->setCurrentIndex(QModelIndex());
    for (int s = 1; m_model && s <= m_ui->tableWidget->columnCount(); ++s) {
        const QTableWidgetItem *cell = m_ui->tableWidget->item(0, s - 1);
        m_model->setHeaderData(s, Qt::Horizontal, cell ? cell->text() : QString(), Qt::DisplayRole);
    }
    accept();
}
