#include "StatisticsDialog.h"

#include "ExportPath.h"
#include "MessageBox.h"
#include "TTableModel.h"
#include "TableText.h"
#include "ui_StatisticsDialog.h"

#include <QAbstractTableModel>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QSaveFile>

#include <climits>
#include <functional>

// A table of text fields, each row made when it is shown: grouping by a
// column of a million distinct values gives millions of rows.
class StatisticsDialog::FieldTable : public QAbstractTableModel {
public:
    FieldTable(QStringList header, int firstNumberColumn, QObject *parent)
        : QAbstractTableModel(parent)
        , m_header(std::move(header))
        , m_firstNumberColumn(firstNumberColumn)
    {
    }

    void setRows(qsizetype count, std::function<QStringList(qsizetype row)> fields)
    {
        beginResetModel();
        m_count = int(std::min<qsizetype>(count, INT_MAX));
        m_fields = std::move(fields);
        m_cachedRow = -1;
        endResetModel();
    }

    const QStringList &header() const { return m_header; }
    // The fields of a row; the last row asked for is kept, as its cells are
    // asked for one by one.
    const QStringList &fields(qsizetype row) const
    {
        if (row != m_cachedRow) {
            m_cached = m_fields(row);
            m_cachedRow = row;
        }
        return m_cached;
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override { return parent.isValid() ? 0 : m_count; }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_header.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return QVariant();
        if (role == Qt::DisplayRole)
            return fields(index.row()).value(index.column());
        if (role == Qt::TextAlignmentRole && index.column() >= m_firstNumberColumn)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant();
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return m_header.value(section);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    QStringList m_header;
    int m_firstNumberColumn;
    int m_count = 0;
    std::function<QStringList(qsizetype)> m_fields;
    mutable qsizetype m_cachedRow = -1;
    mutable QStringList m_cached;
};

namespace {

// Why the file could not be written, in words for the user.
QString writeFailure(const QString &path)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("složka „%1“ neexistuje").arg(QDir::toNativeSeparators(folder.filePath()));
    if (file.isDir())
        return QStringLiteral("je to složka");
    if (!folder.isWritable() || (file.exists() && !file.isWritable()))
        return QStringLiteral("chybí oprávnění k zápisu");
    return QStringLiteral("zápis selhal (plný disk?)");
}

} // namespace

// A table in its view, every row one height (millions of rows are never
// measured one by one), with its copy and save buttons.
void StatisticsDialog::attachTable(FieldTable *table, QTableView *view, QPushButton *copyButton,
                                   QPushButton *saveButton,
                                   const QString &saveTitle)
{
    view->setModel(table);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    connect(copyButton, &QPushButton::clicked, this, [this, table] { copy(table); });
    connect(saveButton, &QPushButton::clicked, this, [this, table, saveTitle] { save(table, saveTitle); });
}

StatisticsDialog::StatisticsDialog(const TTableModel &table, std::vector<GroupingColumn> groupings, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::StatisticsDialog>())
    , m_table(std::make_unique<TTableModel>(&table))
    , m_groupings(std::move(groupings))
    , m_statistics(std::vector<char>())
{
    m_ui->setupUi(this);
    for (const GroupingColumn &grouping : m_groupings)
        m_ui->groupingBox->addItem(grouping.name);

    m_summaries = new FieldTable(summaryHeader(), 2, this);
    attachTable(m_summaries, m_ui->summaryView, m_ui->copySummaryButton, m_ui->saveSummaryButton,
                QStringLiteral("Uložení statistiky do CSV"));

    // Only a table with verdict columns has classes to count; for another,
    // the form's widgets for them go.
    bool hasVerdicts = false;
    for (int c = 0; c < m_table->width(); ++c)
        hasVerdicts = hasVerdicts || m_table->isVerdictColumn(c);
    if (hasVerdicts) {
        m_classes = new FieldTable(classCountHeader(), 3, this);
        attachTable(m_classes, m_ui->classView, m_ui->copyClassesButton, m_ui->saveClassesButton,
                    QStringLiteral("Uložení počtů tříd do CSV"));
    } else {
        delete m_ui->classLabel;
        delete m_ui->classView;
        delete m_ui->copyClassesButton;
        delete m_ui->saveClassesButton;
        delete m_ui->classButtons;
    }

    connect(m_ui->groupingBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int item) { groupBy(item - 1); });
    groupBy(-1);
    m_ui->summaryView->resizeColumnsToContents();
}

StatisticsDialog::~StatisticsDialog() = default;

void StatisticsDialog::groupBy(int index)
{
    const bool grouped = index >= 0 && size_t(index) < m_groupings.size();
    if (m_ui->groupingBox->currentIndex() != (grouped ? index + 1 : 0)) {
        m_ui->groupingBox->setCurrentIndex(grouped ? index + 1 : 0); // comes back here
        return;
    }
    // The views let go of the old statistics before they are replaced.
    m_summaries->setRows(0, {});
    if (m_classes)
        m_classes->setRows(0, {});
    const GroupingColumn *grouping = grouped ? &m_groupings[size_t(index)] : nullptr;
    m_statistics = tableStatistics(*m_table, grouping);
    const SampleStatistics &s = m_statistics;
    // Rows without a group are not lost: the line of all rows counts them.
    const qsizetype ungrouped = s.ungroupedRows();
    m_ui->ungroupedLabel->setVisible(grouping && ungrouped > 0);
    m_ui->ungroupedLabel->setText(
        grouping ? QStringLiteral("Řádků bez skupiny (prázdná buňka ve sloupci „%1“): %2; počítají se jen do "
                                  "řádku všech.")
                       .arg(grouping->name)
                       .arg(ungrouped)
                 : QString());

    // Group after group, each with every column, as kostimer-cli stats.
    const qsizetype columns = qsizetype(s.columns().size());
    m_summaries->setRows(s.groupNames().size() * columns, [&s, columns](qsizetype row) {
        const qsizetype group = row / columns;
        const SampleStatistics::Column &column = s.columns()[size_t(row % columns)];
        return summaryFields(s.groupNames().at(group), column.name, column.byGroup[size_t(group)]);
    });

    if (!m_classes)
        return;
    // Within a group, every class of the first verdict column, then of the next.
    qsizetype perGroup = 0;
    for (const SampleStatistics::ClassColumn &column : s.classColumns())
        perGroup += column.classes.size();
    m_classes->setRows(s.groupNames().size() * perGroup, [&s, perGroup](qsizetype row) {
        const qsizetype group = row / perGroup;
        qsizetype k = row % perGroup;
        for (const SampleStatistics::ClassColumn &column : s.classColumns()) {
            if (k < column.classes.size())
                return classCountFields(s.groupNames().at(group), column.name, column.classes.at(k),
                                        column.countsByGroup[size_t(group)][size_t(k)],
                                        column.rowsByGroup[size_t(group)]);
            k -= column.classes.size();
        }
        return QStringList();
    });
}

void StatisticsDialog::copy(const QAbstractItemModel *table)
{
    QGuiApplication::clipboard()->setText(tableAsText(*table));
}

void StatisticsDialog::save(const FieldTable *table, const QString &title)
{
    const QString path = askExportPath(this, title);
    if (path.isEmpty())
        return;

    // Written beside the old file and put in its place only when complete.
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        QByteArray text = csvLine(table->header()) + '\n';
        for (int r = 0; r < table->rowCount() && written; ++r) {
            text += csvLine(table->fields(r)) + '\n';
            if (text.size() >= (1 << 20) || r + 1 == table->rowCount()) {
                written = file.write(text) == text.size();
                text.clear();
            }
        }
        written = written && (text.isEmpty() || file.write(text) == text.size()) && file.commit();
    }
    if (!written) {
        const QString detail = file.errorString();
        file.cancelWriting();
        MessageBox::warning(this, title,
                            QStringLiteral("Tabulku se nepodařilo uložit do souboru „%1“: %2.")
                                .arg(QDir::toNativeSeparators(path), writeFailure(path)),
                            QMessageBox::Ok, detail);
    }
}
