#include "TDataWizard.h"

#include "MessageBox.h"
#include "MethodCatalog.h"
#include "TMethodReference.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalMapper>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// The preview shows at most this many rows of the table.
constexpr int previewRows = 9;
} // namespace

TDataWizard::TDataWizard(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TDataWizard"));
    resize(400, 300);
    ui.verticalLayout = new QVBoxLayout(this);
    ui.verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    ui.tableWidget = new QTableWidget(this);
    ui.tableWidget->setObjectName(QStringLiteral("tableWidget"));
    ui.tableWidget->setSelectionMode(QAbstractItemView::NoSelection);
    ui.verticalLayout->addWidget(ui.tableWidget);
    ui.buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    ui.buttonBox->setObjectName(QStringLiteral("buttonBox"));
    ui.verticalLayout->addWidget(ui.buttonBox);
    connect(ui.buttonBox, &QDialogButtonBox::accepted, this, &TDataWizard::aboutToAccept);
    connect(ui.buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    QPushButton *about = ui.buttonBox->addButton(QString::fromUtf8("Popis metody"), QDialogButtonBox::HelpRole);
    about->setObjectName(QStringLiteral("methodReferenceButton"));
    about->setEnabled(false);
    connect(about, &QPushButton::clicked, this, [this] {
        auto *reference = new TMethodReference(this);
        reference->setAttribute(Qt::WA_DeleteOnClose);
        reference->showMethod(methodId);
        reference->show();
    });
}

void TDataWizard::setSourceTable(const QAbstractItemModel *table)
{
    sourceTable = table;
}

void TDataWizard::setFunction(int id)
{
    setWindowTitle(QStringLiteral("Průvodce funkcí "));
    if (kindOf(id) == Custom || !isRegisteredMethod(id))
        return;
    const MethodRecord &record = MethodCatalog[id];
    methodId = id;
    if (QWidget *about = findChild<QWidget *>(QStringLiteral("methodReferenceButton")))
        about->setEnabled(true);
    setInputs(record.title, record.columns, record.inputCount);
}

void TDataWizard::setInputs(const QString &title, const QStringList &names, int count)
{
    inputCount = count;
    inputNames = names;
    setWindowTitle(QStringLiteral("Průvodce funkcí ") + title);
}

int TDataWizard::exec()
{
    buildGrid();
    return QDialog::exec();
}

void TDataWizard::buildGrid()
{
    QTableWidget *grid = ui.tableWidget;
    const int columns = sourceTable ? qMax(0, sourceTable->columnCount() - 1) : 0;
    const int tableRows = sourceTable ? sourceTable->rowCount() : 0;
    grid->clear();
    grid->setColumnCount(columns);
    grid->setRowCount(1 + qMin(tableRows, previewRows));

    delete mapper;
    mapper = new QSignalMapper(this);
    QStyledItemDelegate delegate; // the table view's own text for a number
    const QStringList offered = inputNames.mid(0, inputCount);
    for (int c = 0; c < columns; ++c) {
        grid->setHorizontalHeaderItem(
            c, new QTableWidgetItem(sourceTable->headerData(c + 1, Qt::Horizontal, Qt::DisplayRole).toString()));
        auto *list = new QComboBox(grid);
        list->addItem(QString());
        list->addItems(offered);
        grid->setCellWidget(0, c, list);
        connect(list, &QComboBox::currentIndexChanged, mapper, qOverload<>(&QSignalMapper::map));
        mapper->setMapping(list, c);
        for (int k = 1; k < grid->rowCount(); ++k) {
            const QVariant value = sourceTable->data(sourceTable->index(k - 1, c + 1), Qt::DisplayRole);
            auto *cell = new QTableWidgetItem(delegate.displayText(value, locale()));
            cell->setFlags(Qt::ItemIsEnabled);
            // A field that held no number shows so here as in the table.
            const QModelIndex source = sourceTable->index(k - 1, c + 1);
            cell->setData(Qt::BackgroundRole, sourceTable->data(source, Qt::BackgroundRole));
            cell->setData(Qt::ToolTipRole, sourceTable->data(source, Qt::ToolTipRole));
            grid->setItem(k, c, cell);
        }
    }
    connect(mapper, &QSignalMapper::mappedInt, this, &TDataWizard::comboBoxChanged);
    grid->resizeColumnsToContents();
    grid->resizeRowsToContents();
}

int TDataWizard::choiceOf(int column) const
{
    auto *list = qobject_cast<QComboBox *>(ui.tableWidget->cellWidget(0, column));
    return list ? list->currentIndex() : 0;
}

void TDataWizard::comboBoxChanged(int column)
{
    const int chosen = choiceOf(column);
    if (chosen <= 0)
        return;
    // An input belongs to one column: choosing it again takes it from the other.
    for (int c = 0; c < ui.tableWidget->columnCount(); ++c) {
        if (c != column && choiceOf(c) == chosen)
            qobject_cast<QComboBox *>(ui.tableWidget->cellWidget(0, c))->setCurrentIndex(0);
    }
}

void TDataWizard::aboutToAccept()
{
    std::vector<bool> assigned(size_t(qMax(0, inputCount)), false);
    for (int c = 0; c < ui.tableWidget->columnCount(); ++c) {
        const int chosen = choiceOf(c);
        if (chosen >= 1 && chosen <= inputCount)
            assigned[size_t(chosen - 1)] = true;
    }
    if (std::find(assigned.begin(), assigned.end(), false) == assigned.end()) {
        accept();
        return;
    }
    MessageBox::warning(this, QStringLiteral("Varování"), QStringLiteral("Nevyznačili jste všechny potřebné sloupce."));
}

std::vector<int> TDataWizard::selectedColumns() const
{
    std::vector<int> columns(size_t(qMax(0, inputCount)), -1);
    for (int c = 0; c < ui.tableWidget->columnCount(); ++c) {
        const int chosen = choiceOf(c);
        if (chosen >= 1 && chosen <= inputCount)
            columns[size_t(chosen - 1)] = c;
    }
    return columns;
}
