#include "TInsertWizard.h"

#include "MessageBox.h"
#include "NumberReader.h"
#include "NumberValidator.h"
#include "MethodCatalog.h"
#include "TTableModel.h"
#include "ui_TInsertWizard.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace {

// Cells edited as numbers: a key that cannot be part of one is refused. A
// text column's cells take any text.
class NumberDelegate : public QStyledItemDelegate {
public:
    NumberDelegate(const TInsertWizard *wizard, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_wizard(wizard)
    {
    }
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor); line && !m_wizard->isTextColumn(index.column()))
            line->setValidator(new NumberValidator(line));
        return editor;
    }

private:
    const TInsertWizard *m_wizard;
};

bool isNumber(const QString &text)
{
    double value;
    return NumberReader().readText(text.trimmed(), &value);
}

} // namespace

TInsertWizard::TInsertWizard(QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::TInsertWizard>())
{
    m_ui->setupUi(this);
    m_ui->tableWidget->setRowCount(rowLimit);
    m_ui->tableWidget->setItemDelegate(new NumberDelegate(this, m_ui->tableWidget));
    connect(m_ui->tableWidget, &QTableWidget::cellChanged, this, &TInsertWizard::itemChanged);
}

TInsertWizard::~TInsertWizard() = default;

void TInsertWizard::setModel(const TTableModel *table)
{
    m_model = table;
    const int inputs = m_model ? qMax(0, m_model->inputCount()) : 0;
    QTableWidget *grid = m_ui->tableWidget;
    grid->setColumnCount(inputs + 1);
    grid->setHorizontalHeaderItem(0, new QTableWidgetItem(QStringLiteral("Přidat")));
    for (int c = 1; c <= inputs; ++c)
        grid->setHorizontalHeaderItem(
            c, new QTableWidgetItem(m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()));
    for (int r = 0; r < grid->rowCount(); ++r) {
        auto *mark = new QCheckBox(QStringLiteral("Ne"), grid);
        mark->setEnabled(false); // the row's cells decide, not the user
        grid->setCellWidget(r, 0, mark);
    }
}

bool TInsertWizard::isTextColumn(int gridColumn) const
{
    // A source table's inputs are its columns.
    return gridColumn > 0 && m_model && m_model->type() == SourceDataType && m_model->isTextColumn(gridColumn - 1);
}

QCheckBox *TInsertWizard::markOf(int row) const
{
    return qobject_cast<QCheckBox *>(m_ui->tableWidget->cellWidget(row, 0));
}

void TInsertWizard::itemChanged(int row, int)
{
    QCheckBox *mark = markOf(row);
    if (!mark)
        return;
    bool complete = m_ui->tableWidget->columnCount() > 1;
    bool begun = false;
    for (int c = 1; c < m_ui->tableWidget->columnCount() && complete; ++c) {
        begun = begun || !cellText(row, c).trimmed().isEmpty();
        complete = isTextColumn(c) || isNumber(cellText(row, c));
    }
    complete = complete && begun;
    mark->setChecked(complete);
    mark->setText(complete ? QStringLiteral("Ano") : QStringLiteral("Ne"));
}

QList<QList<double>> TInsertWizard::rows() const
{
    QList<QList<double>> taken;
    if (!m_model)
        return taken;
    const int inputs = m_ui->tableWidget->columnCount() - 1;
    const int width = qMax(m_model->width(), inputs);
    const NumberReader numbers;
    for (int r = 0; r < m_ui->tableWidget->rowCount(); ++r) {
        const QCheckBox *mark = markOf(r);
        if (!mark || !mark->isChecked())
            continue;
        QList<double> row(width, 0.0);
        for (int c = 1; c <= inputs; ++c)
            row[c - 1] = isTextColumn(c) ? qQNaN() : numbers.readText(cellText(r, c).trimmed());
        taken.append(row);
    }
    return taken;
}

QList<QStringList> TInsertWizard::texts() const
{
    QList<QStringList> taken;
    const int inputs = m_ui->tableWidget->columnCount() - 1;
    for (int r = 0; m_model && r < m_ui->tableWidget->rowCount(); ++r) {
        const QCheckBox *mark = markOf(r);
        if (!mark || !mark->isChecked())
            continue;
        QStringList row;
        for (int c = 1; c <= inputs; ++c)
            row.append(isTextColumn(c) ? cellText(r, c).trimmed() : QString());
        taken.append(row);
    }
    return taken;
}

QString TInsertWizard::cellText(int row, int column) const
{
    const QTableWidgetItem *cell = m_ui->tableWidget->item(row, column);
    return cell ? cell->text() : QString();
}

bool TInsertWizard::anythingTyped() const
{
    for (int r = 0; r < m_ui->tableWidget->rowCount(); ++r)
        for (int c = 1; c < m_ui->tableWidget->columnCount(); ++c)
            if (!cellText(r, c).trimmed().isEmpty())
                return true;
    return false;
}

QString TInsertWizard::problem() const
{
    const QTableWidget *grid = m_ui->tableWidget;
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList missing;
        bool begun = false;
        for (int c = 1; c < grid->columnCount(); ++c) {
            const QString text = cellText(r, c).trimmed();
            const QString column = grid->horizontalHeaderItem(c) ? grid->horizontalHeaderItem(c)->text()
                                                                 : QString::number(c);
            if (isTextColumn(c)) {
                begun = begun || !text.isEmpty();
                continue; // any text, or none
            }
            if (!text.isEmpty() && !isNumber(text))
                return QStringLiteral("V řádku %1 není ve sloupci „%2“ číslo: „%3“.").arg(r + 1).arg(column, text);
            begun = begun || !text.isEmpty();
            if (text.isEmpty())
                missing.append(QStringLiteral("„%1“").arg(column));
        }
        if (begun && !missing.isEmpty())
            return QStringLiteral("Řádek %1 není úplný: chybí %2.").arg(r + 1).arg(missing.join(QStringLiteral(", ")));
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
        && MessageBox::question(this, windowTitle(), QStringLiteral("Zahodit zapsané řádky?"),
                                QMessageBox::Discard | QMessageBox::Cancel)
               != QMessageBox::Discard)
        return;
    QDialog::reject();
}
