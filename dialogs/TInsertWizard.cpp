#include "TInsertWizard.h"

#include "MessageBox.h"
#include "NumberReader.h"
#include "NumberValidator.h"
#include "TTableModel.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Cells edited as numbers: a key that cannot be part of one is refused.
class NumberDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor))
            line->setValidator(new NumberValidator(line));
        return editor;
    }
};

bool isNumber(const QString &text)
{
    double value;
    return NumberReader().readText(text.trimmed(), &value);
}

} // namespace

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
    ui.tableWidget->setItemDelegate(new NumberDelegate(ui.tableWidget));
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
    bool complete = ui.tableWidget->columnCount() > 1;
    for (int c = 1; c < ui.tableWidget->columnCount() && complete; ++c)
        complete = isNumber(cellText(row, c));
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
        for (int c = 1; c <= inputs; ++c)
            row[c - 1] = numbers.readText(cellText(r, c).trimmed());
        taken.append(row);
    }
    return taken;
}

QString TInsertWizard::cellText(int row, int column) const
{
    const QTableWidgetItem *cell = ui.tableWidget->item(row, column);
    return cell ? cell->text() : QString();
}

bool TInsertWizard::anythingTyped() const
{
    for (int r = 0; r < ui.tableWidget->rowCount(); ++r)
        for (int c = 1; c < ui.tableWidget->columnCount(); ++c)
            if (!cellText(r, c).trimmed().isEmpty())
                return true;
    return false;
}

QString TInsertWizard::problem() const
{
    const QTableWidget *grid = ui.tableWidget;
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList missing;
        bool begun = false;
        for (int c = 1; c < grid->columnCount(); ++c) {
            const QString text = cellText(r, c).trimmed();
            const QString column = grid->horizontalHeaderItem(c) ? grid->horizontalHeaderItem(c)->text()
                                                                 : QString::number(c);
            if (!text.isEmpty() && !isNumber(text))
                return QString::fromUtf8("V řádku %1 není ve sloupci „%2“ číslo: „%3“.").arg(r + 1).arg(column, text);
            begun = begun || !text.isEmpty();
            if (text.isEmpty())
                missing.append(QString::fromUtf8("„%1“").arg(column));
        }
        if (begun && !missing.isEmpty())
            return QString::fromUtf8("Řádek %1 není úplný: chybí %2.").arg(r + 1).arg(missing.join(QStringLiteral(", ")));
    }
    return QString();
}

void TInsertWizard::accept()
{
    const QString why = problem();
    if (!why.isEmpty()) {
        MessageBox::warning(this, windowTitle(), why);
        return;
    }
    QDialog::accept();
}

void TInsertWizard::reject()
{
    // Escape or "Cancel" with rows typed: they are the user's work.
    if (anythingTyped()
        && MessageBox::question(this, windowTitle(), QString::fromUtf8("Zahodit zapsané řádky?"),
                                QMessageBox::Discard | QMessageBox::Cancel)
               != QMessageBox::Discard)
        return;
    QDialog::reject();
}
