#include "TDataWizard.h"

#include "MessageBox.h"
#include "MethodCatalog.h"
#include "TMethodReference.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QAbstractItemView>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSignalMapper>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// The preview shows at most this many rows of the table.
constexpr int previewRows = 9;

// A name as a person reads it: without a unit in parentheses, diacritics and case.
QString plainName(const QString &name)
{
    static const QRegularExpression unit(QStringLiteral("\\([^()]*\\)"));
    QString decomposed = QString(name).remove(unit).normalized(QString::NormalizationForm_D);
    QString plain;
    for (const QChar c : std::as_const(decomposed))
        if (c.category() != QChar::Mark_NonSpacing)
            plain += c;
    return plain.simplified().toCaseFolded();
}

// "1 sloupec", "3 sloupce", "5 sloupců".
QString counted(int n, const char *one, const char *few, const char *many)
{
    const char *word = n == 1 ? one : n >= 2 && n <= 4 ? few : many;
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(word));
}
} // namespace

TDataWizard::TDataWizard(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TDataWizard"));
    resize(400, 300);
    ui.verticalLayout = new QVBoxLayout(this);
    ui.verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    ui.guide = new QLabel(QString::fromUtf8("V prvním řádku vyberte ke každému vstupu metody sloupec tabulky, "
                                            "ze kterého se vstup vezme."),
                          this);
    ui.guide->setObjectName(QStringLiteral("guide"));
    ui.guide->setWordWrap(true);
    ui.verticalLayout->addWidget(ui.guide);
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
    methodTitle = title;
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
        // Narrow in the row, whole in the list that drops down and in the
        // tooltip, so that many inputs fit side by side.
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        list->setMinimumContentsLength(14);
        list->view()->setMinimumWidth(list->view()->sizeHintForColumn(0) + 2 * list->view()->frameWidth());
        connect(list, &QComboBox::currentTextChanged, list, &QComboBox::setToolTip);
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
    chooseByNames();
    connect(mapper, &QSignalMapper::mappedInt, this, &TDataWizard::comboBoxChanged);
    grid->resizeColumnsToContents();
    grid->resizeRowsToContents();

    if (columns < inputCount) {
        ui.guide->setText(QString::fromUtf8("Tabulka má jen %1, metoda „%2“ jich potřebuje %3: %4.")
                              .arg(counted(columns, "sloupec", "sloupce", "sloupců"), methodTitle)
                              .arg(inputCount)
                              .arg(offered.join(QStringLiteral(", "))));
        ui.guide->setStyleSheet(QStringLiteral("color: #b00000;"));
    }
    fitToGrid();
}

bool TDataWizard::namesMatch(const QString &name, const QString &header, bool exactly)
{
    if (exactly)
        return name == header;
    const QString plain = plainName(name);
    return !plain.isEmpty() && plain == plainName(header);
}

void TDataWizard::chooseByNames()
{
    // Exact titles first, so that "Výška" and "výška (m)" each find their own.
    QTableWidget *grid = ui.tableWidget;
    std::vector<bool> taken(size_t(grid->columnCount()), false);
    std::vector<bool> placed(size_t(qMax(0, inputCount)), false);
    for (bool exactly : {true, false}) {
        for (int input = 0; input < inputCount && input < inputNames.size(); ++input) {
            for (int c = 0; c < grid->columnCount() && !placed[size_t(input)]; ++c) {
                const QTableWidgetItem *header = grid->horizontalHeaderItem(c);
                if (taken[size_t(c)] || !header || !namesMatch(inputNames.at(input), header->text(), exactly))
                    continue;
                qobject_cast<QComboBox *>(grid->cellWidget(0, c))->setCurrentIndex(input + 1);
                taken[size_t(c)] = placed[size_t(input)] = true;
            }
        }
    }
}

void TDataWizard::fitToGrid()
{
    // Wide enough that the row of choices needs no scrolling, as far as the
    // screen allows.
    QTableWidget *grid = ui.tableWidget;
    int width = grid->verticalHeader()->width() + 2 * grid->frameWidth();
    for (int c = 0; c < grid->columnCount(); ++c)
        width += grid->columnWidth(c);
    width += grid->verticalScrollBar()->sizeHint().width();
    const QMargins margins = ui.verticalLayout->contentsMargins();
    width += margins.left() + margins.right();
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int available = screen ? screen->availableGeometry().width() * 9 / 10 : width;
    resize(qMax(this->width(), qMin(width, available)), height());
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
