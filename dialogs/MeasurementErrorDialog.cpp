#include "MeasurementErrorDialog.h"

#include "ExportPath.h"
#include "FileDialog.h"
#include "MessageBox.h"
#include "NumberReader.h"
#include "SampleStatistics.h"
#include "TTableModel.h"
#include "TableText.h"
#include "ui_MeasurementErrorDialog.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QSettings>

#include <cmath>

namespace {

// The columns of the table of figures.
enum Column {
    NameColumn,
    ColumnsColumn,
    FirstFigure, // n, K, mean, TEM, ..., as measurementErrorHeader()
    RelativeTemColumn = FirstFigure + 4,
    MeanDifferenceColumn = FirstFigure + 9,
    TargetColumn = MeanDifferenceColumn + 3,
    ColumnCount
};

const QColor overTarget(248, 212, 200);

QSettings programSettings()
{
    return QSettings(QStringLiteral("Veritek"), QStringLiteral("Kostimer"));
}

// Where a variable's target is kept: by its name, "/" and "\" being the
// settings' own separators.
QString targetKey(const QString &name)
{
    QString key = name;
    key.replace(u'/', u' ').replace(u'\\', u' ');
    return QStringLiteral("measurementErrorTargets/") + key;
}

} // namespace

// The plot of the chosen variable, drawn to the widget's size.
class MeasurementErrorDialog::PlotView : public QWidget {
public:
    using QWidget::QWidget;
    BlandAltmanPlot plot;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        drawBlandAltman(painter, plot, rect());
    }
};

MeasurementErrorDialog::MeasurementErrorDialog(const TTableModel &table, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::MeasurementErrorDialog>())
    , m_table(std::make_unique<TTableModel>(&table))
{
    m_ui->setupUi(this);
    m_plotView = new PlotView(m_ui->plotFrame);
    m_plotView->setObjectName(QStringLiteral("plotView"));
    m_plotView->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_ui->plotLayout->addWidget(m_plotView);

    m_checkedRows = m_table->checkedRowList();

    // Number columns are measurements; a text or verdict column is none.
    QStringList names;
    for (int c = 0; c < m_table->width(); ++c) {
        const bool measured = !m_table->isTextColumn(c) && !m_table->isVerdictColumn(c);
        names.append(measured ? columnName(*m_table, c) : QString());
        if (!measured)
            continue;
        auto *item = new QListWidgetItem(names.last(), m_ui->columnList);
        item->setData(Qt::UserRole, c);
    }

    QStringList header{QStringLiteral("proměnná"), QStringLiteral("sloupce")};
    header += measurementErrorHeader();
    header += QStringList{QStringLiteral("průměr rozdílů"), QStringLiteral("dolní mez shody"),
                          QStringLiteral("horní mez shody"), QStringLiteral("cíl relativního TEM (%)")};
    m_ui->resultTable->setColumnCount(ColumnCount);
    m_ui->resultTable->setHorizontalHeaderLabels(header);
    m_ui->resultTable->horizontalHeaderItem(TargetColumn)
        ->setToolTip(QStringLiteral("Nejvyšší přijatelný relativní TEM v procentech; zapamatuje se u názvu "
                                    "proměnné."));

    // Ctrl+C copies the whole table: the view would copy its current cell.
    m_ui->resultTable->installEventFilter(this);
    connect(m_ui->copyButton, &QPushButton::clicked, this, &MeasurementErrorDialog::copyTable);
    connect(m_ui->saveButton, &QPushButton::clicked, this, &MeasurementErrorDialog::saveTable);
    connect(m_ui->savePlotButton, &QPushButton::clicked, this, &MeasurementErrorDialog::savePlot);
    connect(m_ui->columnList, &QListWidget::itemSelectionChanged, this, [this] {
        m_ui->addVariableButton->setEnabled(m_ui->columnList->selectedItems().size() >= 2);
    });
    connect(m_ui->addVariableButton, &QPushButton::clicked, this, [this] {
        std::vector<int> columns;
        for (int i = 0; i < m_ui->columnList->count(); ++i)
            if (m_ui->columnList->item(i)->isSelected())
                columns.push_back(m_ui->columnList->item(i)->data(Qt::UserRole).toInt());
        addVariable(columns);
    });
    connect(m_ui->removeVariableButton, &QPushButton::clicked, this,
            [this] { removeVariable(m_ui->resultTable->currentRow()); });
    connect(m_ui->resultTable, &QTableWidget::currentCellChanged, this,
            [this](int row) { showPlot(row); });
    connect(m_ui->resultTable, &QTableWidget::cellChanged, this, [this](int row, int column) {
        if (!m_filling && column == TargetColumn)
            targetEdited(row);
    });
    m_ui->addVariableButton->setEnabled(false);

    for (const RepeatedColumns &repeated : repeatedColumns(names))
        addVariable(repeated.columns);
    m_ui->resultTable->setCurrentCell(m_variables.empty() ? -1 : 0, 0);
    showPlot(m_variables.empty() ? -1 : 0);
    m_ui->resultTable->resizeColumnsToContents();
}

MeasurementErrorDialog::~MeasurementErrorDialog() = default;

bool MeasurementErrorDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->resultTable && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        copyTable();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void MeasurementErrorDialog::addVariable(const std::vector<int> &columns)
{
    if (columns.size() < 2)
        return;
    Variable variable;
    variable.columns = columns;
    QStringList names;
    for (int c : columns)
        names.append(columnName(*m_table, c));
    const std::vector<RepeatedColumns> repeated = repeatedColumns(names);
    variable.name = repeated.size() == 1 && repeated.front().columns.size() == columns.size()
                        ? repeated.front().name
                        : names.join(QStringLiteral(" / "));

    std::vector<std::vector<double>> measurements;
    for (int c : columns) {
        const std::vector<double> values = columnValues(*m_table, c);
        std::vector<double> checked;
        checked.reserve(m_checkedRows.size());
        for (int r : m_checkedRows)
            checked.push_back(values[size_t(r)]);
        measurements.push_back(std::move(checked));
    }
    variable.error = measurementError(measurements);
    const QVariant target = programSettings().value(targetKey(variable.name));
    variable.target = target.isValid() ? target.toDouble() : MeasurementError::none;
    m_variables.push_back(std::move(variable));

    const int row = int(m_variables.size()) - 1;
    m_ui->resultTable->setRowCount(row + 1);
    fillRow(row);
    m_ui->resultTable->setCurrentCell(row, 0);
}

void MeasurementErrorDialog::removeVariable(int index)
{
    if (index < 0 || size_t(index) >= m_variables.size())
        return;
    m_variables.erase(m_variables.begin() + index);
    m_ui->resultTable->removeRow(index);
    showPlot(m_ui->resultTable->currentRow());
}

void MeasurementErrorDialog::fillRow(int index)
{
    const Variable &variable = m_variables[size_t(index)];
    const MeasurementError &e = variable.error;
    QStringList columnNames;
    for (int c : variable.columns)
        columnNames.append(columnName(*m_table, c));
    QStringList fields{variable.name, columnNames.join(QStringLiteral(", "))};
    fields += measurementErrorFields(e);
    fields += QStringList{valueField(e.meanDifference), valueField(e.lowerLimit), valueField(e.upperLimit),
                          valueField(variable.target)};

    // The cells are kept and their texts set: the target's cell may be the
    // one whose edit brought us here.
    m_filling = true;
    for (int c = 0; c < ColumnCount; ++c) {
        QTableWidgetItem *item = m_ui->resultTable->item(index, c);
        if (!item) {
            item = new QTableWidgetItem;
            if (c >= FirstFigure)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (c != TargetColumn)
                item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            m_ui->resultTable->setItem(index, c, item);
        }
        item->setText(fields.value(c));
    }
    if (e.n < 2)
        m_ui->resultTable->item(index, FirstFigure)
            ->setToolTip(QStringLiteral("Řádků se všemi měřeními je méně než dva: chyba měření neexistuje."));
    QTableWidgetItem *relative = m_ui->resultTable->item(index, RelativeTemColumn);
    const bool over = isOverTarget(index);
    relative->setBackground(over ? QBrush(overTarget) : QBrush());
    relative->setToolTip(over ? QStringLiteral("Relativní TEM %1 % je nad cílem %2 %.")
                                    .arg(valueField(e.relativeTem), valueField(variable.target))
                              : QString());
    m_filling = false;
}

bool MeasurementErrorDialog::isOverTarget(int index) const
{
    if (index < 0 || size_t(index) >= m_variables.size())
        return false;
    const Variable &variable = m_variables[size_t(index)];
    return variable.error.relativeTem > variable.target;
}

void MeasurementErrorDialog::setTarget(int index, double percent)
{
    if (index < 0 || size_t(index) >= m_variables.size())
        return;
    Variable &variable = m_variables[size_t(index)];
    variable.target = std::isfinite(percent) && percent > 0 ? percent : MeasurementError::none;
    QSettings settings = programSettings();
    if (std::isnan(variable.target))
        settings.remove(targetKey(variable.name));
    else
        settings.setValue(targetKey(variable.name), variable.target);
    fillRow(index);
}

// A target typed into its cell: a number as files give them, or nothing.
void MeasurementErrorDialog::targetEdited(int row)
{
    const QString text = m_ui->resultTable->item(row, TargetColumn)->text().trimmed();
    double percent = MeasurementError::none;
    if (!text.isEmpty() && !NumberReader().readText(text, &percent))
        percent = MeasurementError::none;
    setTarget(row, percent);
}

void MeasurementErrorDialog::showPlot(int index)
{
    const bool valid = index >= 0 && size_t(index) < m_variables.size();
    const bool shown = valid && m_variables[size_t(index)].error.k == 2 && m_variables[size_t(index)].error.n >= 2;
    if (shown) {
        const Variable &variable = m_variables[size_t(index)];
        std::vector<double> first, second;
        const std::vector<double> a = columnValues(*m_table, variable.columns[0]);
        const std::vector<double> b = columnValues(*m_table, variable.columns[1]);
        for (int r : m_checkedRows) {
            first.push_back(a[size_t(r)]);
            second.push_back(b[size_t(r)]);
        }
        m_plotView->plot = {variable.name, blandAltmanPoints(first, second), variable.error.meanDifference,
                            variable.error.lowerLimit, variable.error.upperLimit};
        m_plotView->update();
    } else {
        m_plotView->plot = BlandAltmanPlot();
        m_ui->plotLabel->setText(valid ? QStringLiteral("Bland-Altmanův graf se kreslí jen pro proměnnou změřenou "
                                                        "dvakrát, s aspoň dvěma úplnými řádky.")
                                       : QStringLiteral("Vyberte proměnnou."));
    }
    m_plotView->setVisible(shown);
    m_ui->plotLabel->setVisible(!shown);
    m_ui->savePlotButton->setEnabled(shown);
}

const BlandAltmanPlot *MeasurementErrorDialog::plot() const
{
    return m_plotView->isHidden() ? nullptr : &m_plotView->plot;
}

void MeasurementErrorDialog::copyTable()
{
    QGuiApplication::clipboard()->setText(tableAsText(*m_ui->resultTable->model()));
}

void MeasurementErrorDialog::saveTable()
{
    const QString title = QStringLiteral("Uložení chyby měření do CSV");
    const QString path = askExportPath(this, title);
    if (path.isEmpty())
        return;
    const QTableWidget *table = m_ui->resultTable;
    QStringList header;
    for (int c = 0; c < table->columnCount(); ++c)
        header.append(table->horizontalHeaderItem(c)->text());
    QByteArray text = csvLine(header) + '\n';
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList fields;
        for (int c = 0; c < table->columnCount(); ++c)
            fields.append(table->item(r, c) ? table->item(r, c)->text() : QString());
        text += csvLine(fields) + '\n';
    }
    writeExport(this, title, path, text);
}

void MeasurementErrorDialog::savePlot()
{
    const BlandAltmanPlot *shown = plot();
    if (!shown)
        return;
    const QString title = QStringLiteral("Uložit graf");
    ChartFormat format = ChartFormat::Png;
    const QString path = askPicturePath(this, title, &format);
    if (path.isEmpty())
        return;
    QString why;
    if (!writeBlandAltman(path, format, *shown, &why))
        MessageBox::warning(this, title, QStringLiteral("Graf se nepodařilo uložit."), QMessageBox::Ok, why);
}
