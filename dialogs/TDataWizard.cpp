#include "TDataWizard.h"

#include "MessageBox.h"
#include "MethodCatalog.h"
#include "MethodReferenceDialog.h"
#include "ui_TDataWizard.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSignalMapper>
#include <QStyledItemDelegate>

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
    , m_ui(std::make_unique<Ui::TDataWizard>())
{
    m_ui->setupUi(this);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &TDataWizard::aboutToAccept);
    QPushButton *about = m_ui->buttonBox->addButton(QStringLiteral("Popis metody"), QDialogButtonBox::HelpRole);
    about->setObjectName(QStringLiteral("methodReferenceButton"));
    about->setEnabled(false);
    connect(about, &QPushButton::clicked, this, [this] {
        auto *reference = new MethodReferenceDialog(this);
        reference->setAttribute(Qt::WA_DeleteOnClose);
        reference->showMethod(m_methodId);
        reference->show();
    });
}

TDataWizard::~TDataWizard() = default;

void TDataWizard::setSourceTable(const QAbstractItemModel *table)
{
    m_sourceTable = table;
}

void TDataWizard::setFunction(int id)
{
    setWindowTitle(QStringLiteral("Průvodce funkcí "));
    if (kindOf(id) == Custom || !isRegisteredMethod(id))
        return;
    const MethodRecord &record = MethodCatalog[id];
    m_methodId = id;
    if (QWidget *about = findChild<QWidget *>(QStringLiteral("methodReferenceButton")))
        about->setEnabled(true);
    setInputs(record.title, record.columns, record.inputCount);
}

void TDataWizard::setInputs(const QString &title, const QStringList &names, int count)
{
    m_inputCount = count;
    m_inputNames = names;
    m_methodTitle = title;
    setWindowTitle(QStringLiteral("Průvodce funkcí ") + title);
}

int TDataWizard::exec()
{
    buildGrid();
    return QDialog::exec();
}

void TDataWizard::buildGrid()
{
    QTableWidget *grid = m_ui->tableWidget;
    const int columns = m_sourceTable ? qMax(0, m_sourceTable->columnCount() - 1) : 0;
    const int tableRows = m_sourceTable ? m_sourceTable->rowCount() : 0;
    grid->clear();
    grid->setColumnCount(columns);
    grid->setRowCount(1 + qMin(tableRows, previewRows));

    delete m_mapper;
    m_mapper = new QSignalMapper(this);
    QStyledItemDelegate delegate; // the table view's own text for a number
    const QStringList offered = m_inputNames.mid(0, m_inputCount);
    for (int c = 0; c < columns; ++c) {
        grid->setHorizontalHeaderItem(
            c, new QTableWidgetItem(m_sourceTable->headerData(c + 1, Qt::Horizontal, Qt::DisplayRole).toString()));
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
        connect(list, &QComboBox::currentIndexChanged, m_mapper, qOverload<>(&QSignalMapper::map));
        m_mapper->setMapping(list, c);
        for (int k = 1; k < grid->rowCount(); ++k) {
            const QVariant value = m_sourceTable->data(m_sourceTable->index(k - 1, c + 1), Qt::DisplayRole);
            auto *cell = new QTableWidgetItem(delegate.displayText(value, locale()));
            cell->setFlags(Qt::ItemIsEnabled);
            // A field that held no number shows so here as in the table.
            const QModelIndex source = m_sourceTable->index(k - 1, c + 1);
            cell->setData(Qt::BackgroundRole, m_sourceTable->data(source, Qt::BackgroundRole));
            cell->setData(Qt::ToolTipRole, m_sourceTable->data(source, Qt::ToolTipRole));
            grid->setItem(k, c, cell);
        }
    }
    chooseByNames();
    connect(m_mapper, &QSignalMapper::mappedInt, this, &TDataWizard::comboBoxChanged);
    grid->resizeColumnsToContents();
    grid->resizeRowsToContents();

    if (columns < m_inputCount) {
        m_ui->guide->setText(QStringLiteral("Tabulka má jen %1, metoda „%2“ jich potřebuje %3: %4.")
                                 .arg(counted(columns, "sloupec", "sloupce", "sloupců"), m_methodTitle)
                                 .arg(m_inputCount)
                                 .arg(offered.join(QStringLiteral(", "))));
        m_ui->guide->setStyleSheet(QStringLiteral("color: #b00000;"));
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
    QTableWidget *grid = m_ui->tableWidget;
    std::vector<bool> taken(size_t(grid->columnCount()), false);
    std::vector<bool> placed(size_t(qMax(0, m_inputCount)), false);
    for (bool exactly : {true, false}) {
        for (int input = 0; input < m_inputCount && input < m_inputNames.size(); ++input) {
            for (int c = 0; c < grid->columnCount() && !placed[size_t(input)]; ++c) {
                const QTableWidgetItem *header = grid->horizontalHeaderItem(c);
                if (taken[size_t(c)] || !header || !namesMatch(m_inputNames.at(input), header->text(), exactly))
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
    QTableWidget *grid = m_ui->tableWidget;
    int width = grid->verticalHeader()->width() + 2 * grid->frameWidth();
    for (int c = 0; c < grid->columnCount(); ++c)
        width += grid->columnWidth(c);
    width += grid->verticalScrollBar()->sizeHint().width();
    const QMargins margins = m_ui->verticalLayout->contentsMargins();
    width += margins.left() + margins.right();
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int available = screen ? screen->availableGeometry().width() * 9 / 10 : width;
    resize(qMax(this->width(), qMin(width, available)), height());
}

int TDataWizard::choiceOf(int column) const
{
    auto *list = qobject_cast<QComboBox *>(m_ui->tableWidget->cellWidget(0, column));
    return list ? list->currentIndex() : 0;
}

void TDataWizard::comboBoxChanged(int column)
{
    const int chosen = choiceOf(column);
    if (chosen <= 0)
        return;
    // An input belongs to one column: choosing it again takes it from the other.
    for (int c = 0; c < m_ui->tableWidget->columnCount(); ++c) {
        if (c != column && choiceOf(c) == chosen)
            qobject_cast<QComboBox *>(m_ui->tableWidget->cellWidget(0, c))->setCurrentIndex(0);
    }
}

void TDataWizard::aboutToAccept()
{
    std::vector<bool> assigned(size_t(qMax(0, m_inputCount)), false);
    for (int c = 0; c < m_ui->tableWidget->columnCount(); ++c) {
        const int chosen = choiceOf(c);
        if (chosen >= 1 && chosen <= m_inputCount)
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
    std::vector<int> columns(size_t(qMax(0, m_inputCount)), -1);
    for (int c = 0; c < m_ui->tableWidget->columnCount(); ++c) {
        const int chosen = choiceOf(c);
        if (chosen >= 1 && chosen <= m_inputCount)
            columns[size_t(chosen - 1)] = c;
    }
    return columns;
}
