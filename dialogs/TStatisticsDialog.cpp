#include "TStatisticsDialog.h"

#include "ExportPath.h"
#include "MessageBox.h"
#include "TTableModel.h"
#include "TableText.h"
#include "Verdicts.h"

#include <QAbstractTableModel>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QVBoxLayout>

#include <climits>
#include <functional>

// A table of text fields, each row made when it is shown: grouping by a
// column of a million distinct values gives millions of rows.
class TStatisticsDialog::FieldTable : public QAbstractTableModel {
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

QTableView *makeView(QAbstractItemModel *model, const QString &name, QWidget *parent)
{
    auto *view = new QTableView(parent);
    view->setObjectName(name);
    view->setModel(model);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return view;
}

// The copy and save buttons under a table.
QHBoxLayout *tableButtons(QPushButton *copy, QPushButton *save)
{
    auto *row = new QHBoxLayout;
    row->addWidget(copy);
    row->addWidget(save);
    row->addStretch();
    return row;
}

// Why the file could not be written, in words for the user.
QString writeFailure(const QString &path)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return QString::fromUtf8("složka „%1“ neexistuje").arg(QDir::toNativeSeparators(folder.filePath()));
    if (file.isDir())
        return QString::fromUtf8("je to složka");
    if (!folder.isWritable() || (file.exists() && !file.isWritable()))
        return QString::fromUtf8("chybí oprávnění k zápisu");
    return QString::fromUtf8("zápis selhal (plný disk?)");
}

} // namespace

TStatisticsDialog::TStatisticsDialog(const TTableModel &table, std::vector<GroupingColumn> groupings,
                                     QWidget *parent)
    : QDialog(parent)
    , m_table(std::make_unique<TTableModel>(&table))
    , m_groupings(std::move(groupings))
    , m_statistics(std::vector<char>())
{
    setObjectName(QStringLiteral("TStatisticsDialog"));
    setWindowTitle(QString::fromUtf8("Statistika"));
    resize(760, 560);
    auto *layout = new QVBoxLayout(this);

    auto *groupingRow = new QHBoxLayout;
    auto *groupingLabel = new QLabel(QString::fromUtf8("Skupiny podle:"), this);
    m_groupingBox = new QComboBox(this);
    m_groupingBox->setObjectName(QStringLiteral("groupingBox"));
    m_groupingBox->addItem(QString::fromUtf8("bez skupin"));
    for (const GroupingColumn &grouping : m_groupings)
        m_groupingBox->addItem(grouping.name);
    groupingLabel->setBuddy(m_groupingBox);
    groupingRow->addWidget(groupingLabel);
    groupingRow->addWidget(m_groupingBox, 1);
    layout->addLayout(groupingRow);

    const QString copyText = QString::fromUtf8("Kopírovat tabulku");
    const QString saveText = QString::fromUtf8("Uložit jako CSV…");
    m_summaries = new FieldTable(summaryHeader(), 2, this);
    QTableView *summaryView = makeView(m_summaries, QStringLiteral("summaryView"), this);
    layout->addWidget(summaryView, 2);
    auto *copySummaries = new QPushButton(copyText, this);
    copySummaries->setObjectName(QStringLiteral("copySummaryButton"));
    auto *saveSummaries = new QPushButton(saveText, this);
    saveSummaries->setObjectName(QStringLiteral("saveSummaryButton"));
    layout->addLayout(tableButtons(copySummaries, saveSummaries));
    connect(copySummaries, &QPushButton::clicked, this, [this] { copy(m_summaries); });
    connect(saveSummaries, &QPushButton::clicked, this,
            [this] { save(m_summaries, QString::fromUtf8("Uložení statistiky do CSV")); });

    // Only a table with verdict columns has classes to count.
    bool hasVerdicts = false;
    for (int c = 0; c < m_table->width(); ++c)
        hasVerdicts = hasVerdicts || isVerdictColumn(m_table->type(), c);
    if (hasVerdicts) {
        layout->addWidget(new QLabel(QString::fromUtf8("Počty řádků ve třídách vyhodnocení:"), this));
        m_classes = new FieldTable(classCountHeader(), 3, this);
        layout->addWidget(makeView(m_classes, QStringLiteral("classView"), this), 1);
        auto *copyClasses = new QPushButton(copyText, this);
        copyClasses->setObjectName(QStringLiteral("copyClassesButton"));
        auto *saveClasses = new QPushButton(saveText, this);
        saveClasses->setObjectName(QStringLiteral("saveClassesButton"));
        layout->addLayout(tableButtons(copyClasses, saveClasses));
        connect(copyClasses, &QPushButton::clicked, this, [this] { copy(m_classes); });
        connect(saveClasses, &QPushButton::clicked, this,
                [this] { save(m_classes, QString::fromUtf8("Uložení počtů tříd do CSV")); });
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(m_groupingBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int item) { groupBy(item - 1); });
    groupBy(-1);
    summaryView->resizeColumnsToContents();
}

TStatisticsDialog::~TStatisticsDialog() = default;

void TStatisticsDialog::groupBy(int index)
{
    const bool grouped = index >= 0 && size_t(index) < m_groupings.size();
    if (m_groupingBox->currentIndex() != (grouped ? index + 1 : 0)) {
        m_groupingBox->setCurrentIndex(grouped ? index + 1 : 0); // comes back here
        return;
    }
    // The views let go of the old statistics before they are replaced.
    m_summaries->setRows(0, {});
    if (m_classes)
        m_classes->setRows(0, {});
    m_statistics = tableStatistics(*m_table, grouped ? &m_groupings[size_t(index)] : nullptr);
    const SampleStatistics &s = m_statistics;

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

void TStatisticsDialog::copy(const QAbstractItemModel *table)
{
    QGuiApplication::clipboard()->setText(tableAsText(*table));
}

void TStatisticsDialog::save(const FieldTable *table, const QString &title)
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
                            QString::fromUtf8("Tabulku se nepodařilo uložit do souboru „%1“: %2.")
                                .arg(QDir::toNativeSeparators(path), writeFailure(path)),
                            QMessageBox::Ok, detail);
    }
}
