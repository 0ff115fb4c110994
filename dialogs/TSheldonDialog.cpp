#include "TSheldonDialog.h"

#include "ExportPath.h"
#include "FileDialog.h"
#include "MessageBox.h"
#include "NumberFormat.h"
#include "TTableModel.h"
#include "TableText.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSettings>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace {

// A part of the chart drawn by the shared drawing code, so that the window
// shows what a saved picture shows.
class PaintedItem : public QGraphicsItem {
public:
    PaintedItem(const QRectF &bounds, std::function<void(QPainter &)> paint)
        : m_bounds(bounds)
        , m_paint(std::move(paint))
    {
    }
    QRectF boundingRect() const override { return m_bounds; }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override { m_paint(*painter); }

private:
    QRectF m_bounds;
    std::function<void(QPainter &)> m_paint;
};

QString number(double value)
{
    return std::isnan(value) ? QString() : QString::fromLatin1(formatValue(value));
}

// "2,5–3–4", as papers write a somatotype.
QString somatotypeText(const Somatotype &s)
{
    return number(s.endomorphy) + u'–' + number(s.mesomorphy) + u'–' + number(s.ectomorphy);
}

QTableWidget *newTable(QWidget *parent, const char *name)
{
    auto *table = new QTableWidget(parent);
    table->setObjectName(QLatin1String(name));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->setVisible(false);
    return table;
}

// A number in the form formatValue writes ("-1,5", "2e+06").
bool isNumberText(const QString &text)
{
    return !text.isEmpty() && text.at(0) != u'e' && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.isDigit() || c == u',' || c == u'-' || c == u'+' || c == u'e';
    });
}

void setRow(QTableWidget *table, int row, const QStringList &cells)
{
    for (int c = 0; c < cells.size(); ++c) {
        auto *item = new QTableWidgetItem(cells.at(c));
        // Numbers to the right, as in the program's tables.
        if (isNumberText(cells.at(c)))
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, c, item);
    }
}

void setHeader(QTableWidget *table, const QStringList &header, int rows)
{
    table->clear();
    table->setColumnCount(int(header.size()));
    table->setHorizontalHeaderLabels(header);
    table->setRowCount(rows);
}

QStringList summaryCells(const QString &group, const SomatotypeSummary &s)
{
    return {group,
            QString::number(s.n),
            number(s.mean.endomorphy),
            number(s.mean.mesomorphy),
            number(s.mean.ectomorphy),
            number(s.x),
            number(s.y),
            number(s.sam),
            number(s.sdi),
            categoryName(s.category)};
}

} // namespace

TSheldonDialog::TSheldonDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TSheldonDialog"));
    setModal(true);
    resize(400, 300);
    ui.verticalLayout = new QVBoxLayout(this);
    ui.verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    ui.verticalLayout->setSpacing(0);
    ui.verticalLayout->setContentsMargins(0, 0, 0, 0);
    ui.pages = new QStackedWidget(this);
    ui.pages->setObjectName(QStringLiteral("pages"));
    ui.graphicsView = new QGraphicsView(ui.pages);
    ui.graphicsView->setObjectName(QStringLiteral("graphicsView"));
    ui.graphicsView->setFrameShape(QFrame::NoFrame);
    ui.pages->addWidget(ui.graphicsView);

    auto *tablesPage = new QWidget(ui.pages);
    auto *tablesLayout = new QVBoxLayout(tablesPage);
    ui.tables = new QTabWidget(tablesPage);
    ui.tables->setObjectName(QStringLiteral("tables"));
    ui.rowsTable = newTable(ui.tables, "rowsTable");
    ui.groupsTable = newTable(ui.tables, "groupsTable");
    ui.comparisonsTable = newTable(ui.tables, "comparisonsTable");
    ui.tables->addTab(ui.rowsTable, QString::fromUtf8("Somatotypy"));
    ui.tables->addTab(ui.groupsTable, QString::fromUtf8("Souhrn"));
    ui.tables->addTab(ui.comparisonsTable, QString::fromUtf8("Porovnání skupin"));
    tablesLayout->addWidget(ui.tables);
    ui.leftOutLabel = new QLabel(tablesPage);
    ui.leftOutLabel->setObjectName(QStringLiteral("leftOutLabel"));
    ui.leftOutLabel->setWordWrap(true);
    tablesLayout->addWidget(ui.leftOutLabel);
    ui.pages->addWidget(tablesPage);
    ui.verticalLayout->addWidget(ui.pages);

    auto *buttons = new QHBoxLayout();
    buttons->setContentsMargins(6, 6, 6, 6);
    auto button = [this, buttons](const char *name, const char *text) {
        auto *b = new QPushButton(QString::fromUtf8(text), this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    ui.chartButton = button("chartButton", "Graf");
    ui.tablesButton = button("tablesButton", "Tabulky");
    auto *pageButtons = new QButtonGroup(this);
    for (QPushButton *b : {ui.chartButton, ui.tablesButton}) {
        b->setCheckable(true);
        pageButtons->addButton(b);
    }
    ui.chartButton->setChecked(true);
    buttons->addSpacing(12);
    auto *groupingLabel = new QLabel(QString::fromUtf8("Skupiny podle:"), this);
    buttons->addWidget(groupingLabel);
    ui.groupingBox = new QComboBox(this);
    ui.groupingBox->setObjectName(QStringLiteral("groupingBox"));
    ui.groupingBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ui.groupingBox->setMinimumContentsLength(14);
    ui.groupingBox->addItem(QString::fromUtf8("bez skupin"));
    ui.groupingBox->setEnabled(false);
    groupingLabel->setBuddy(ui.groupingBox);
    buttons->addWidget(ui.groupingBox);
    buttons->addStretch(1);
    ui.copyButton = button("copyButton", "Kopírovat");
    ui.saveTableButton = button("saveTableButton", "Uložit jako CSV");
    ui.saveButton = button("saveButton", "Uložit obrázek");
    ui.copyButton->setVisible(false);
    ui.saveTableButton->setVisible(false);
    ui.verticalLayout->addLayout(buttons);
    connect(ui.saveButton, &QPushButton::clicked, this, &TSheldonDialog::saveImage);
    connect(ui.copyButton, &QPushButton::clicked, this, &TSheldonDialog::copyTable);
    connect(ui.saveTableButton, &QPushButton::clicked, this, &TSheldonDialog::saveTable);
    connect(ui.chartButton, &QPushButton::clicked, this, &TSheldonDialog::showChart);
    connect(ui.tablesButton, &QPushButton::clicked, this, &TSheldonDialog::showTables);
    connect(ui.groupingBox, &QComboBox::activated, this, [this](int index) { groupBy(index - 1); });

    setWindowTitle(QString::fromUtf8("Sheldonův trojúhelník"));
    m_scene = new QGraphicsScene(this);
    ui.graphicsView->setScene(m_scene);
    const QPixmap chart = QIcon(QStringLiteral(":/icons/sheldon.png"))
                              .pixmap(QSize(SomatoChart::width, SomatoChart::height), devicePixelRatioF());
    m_background = m_scene->addPixmap(chart);
    m_background->setPos(0, 0);
    // The whole chart in view, with the row of the buttons under it.
    const QRectF bounds = m_background->boundingRect();
    resize(int(bounds.width()), int(bounds.height()) + buttons->sizeHint().height());
    analyse();
}

void TSheldonDialog::plot(const TTableModel *model)
{
    if (!model)
        return;
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    QPen pen;
    pen.setColor(Qt::blue);
    for (int r = 0; r < model->rowCount(); ++r) {
        const int length = model->rowLength(r);
        if (length < 3)
            continue;
        // A field of the file that held no number is no value here, as in the statistics.
        const auto component = [&](int c) { return model->isUnread(r, c) ? none : model->value(r, c); };
        const double last[3] = {component(length - 3), component(length - 2), component(length - 1)};
        Somatotype somatotype;
        if (!somatotypeOfRow(last, 3, &somatotype) || !isComplete(somatotype))
            continue;
        m_somatotypes.push_back(somatotype);
        m_rowOf.push_back(r);
        QGraphicsRectItem *marker = m_scene->addRect(markerRect(somatotype), pen, Qt::NoBrush);
        m_markers.push_back(marker);
    }
    m_leftOut = model->rowCount() - int(m_somatotypes.size());
    analyse();
}

void TSheldonDialog::setGroupingColumns(std::vector<GroupingColumn> columns)
{
    m_columns = std::move(columns);
    ui.groupingBox->clear();
    ui.groupingBox->addItem(QString::fromUtf8("bez skupin"));
    for (const GroupingColumn &column : m_columns)
        ui.groupingBox->addItem(column.name);
    ui.groupingBox->setEnabled(!m_columns.empty());
    groupBy(-1);
}

void TSheldonDialog::groupBy(int column)
{
    m_grouping = column >= 0 && size_t(column) < m_columns.size() ? column : -1;
    ui.groupingBox->setCurrentIndex(m_grouping + 1);
    analyse();
}

void TSheldonDialog::analyse()
{
    std::vector<double> keys;
    if (m_grouping >= 0) {
        const std::vector<double> &columnKeys = m_columns[size_t(m_grouping)].keys;
        for (int row : m_rowOf)
            keys.push_back(size_t(row) < columnKeys.size() ? columnKeys[size_t(row)]
                                                           : std::numeric_limits<double>::quiet_NaN());
    }
    m_analysis = analyseSomatotypes(m_somatotypes, keys);
    m_groupOf.assign(m_somatotypes.size(), -1);
    for (size_t g = 0; g < m_analysis.groups.size(); ++g)
        for (qsizetype i : m_analysis.groups[g].rows)
            m_groupOf[size_t(i)] = int(g);

    for (QGraphicsItem *item : m_groupItems)
        delete item;
    m_groupItems.clear();
    for (size_t i = 0; i < m_markers.size(); ++i) {
        const int group = m_groupOf[i];
        QPen pen = m_markers[i]->pen();
        pen.setColor(group >= 0 ? groupColour(group) : QColor(Qt::blue));
        m_markers[i]->setPen(pen);
        const Somatotype &s = m_somatotypes[i];
        QString tip = QStringLiteral("Řádek %1: %2, %3")
                          .arg(m_rowOf[i] + 1)
                          .arg(somatotypeText(s), categoryName(somatotypeCategory(s)));
        if (group >= 0)
            tip += QStringLiteral("\nSkupina %1").arg(groupName(m_analysis.groups[size_t(group)].key));
        m_markers[i]->setToolTip(tip);
    }

    std::vector<ChartGroup> groups;
    for (const SomatotypeGroup &group : m_analysis.groups)
        groups.push_back({groupName(group.key), group.summary.mean});
    for (size_t g = 0; g < groups.size(); ++g) {
        const ChartGroup group = groups[g];
        auto *mean = new PaintedItem(groupMeanRect(group),
                                     [g, group](QPainter &p) { drawGroupMean(p, int(g), group); });
        const SomatotypeSummary &summary = m_analysis.groups[g].summary;
        mean->setToolTip(QStringLiteral("Průměr skupiny %1 (n = %2): %3, %4")
                             .arg(group.name)
                             .arg(summary.n)
                             .arg(somatotypeText(summary.mean), categoryName(summary.category)));
        mean->setData(0, QStringLiteral("groupMean"));
        mean->setZValue(1);
        m_scene->addItem(mean);
        m_groupItems.push_back(mean);
    }
    if (!groups.empty()) {
        auto *legend = new PaintedItem(groupLegendRect(groups), [groups](QPainter &p) { drawGroupLegend(p, groups); });
        legend->setData(0, QStringLiteral("legend"));
        legend->setZValue(2);
        m_scene->addItem(legend);
        m_groupItems.push_back(legend);
    }
    fillTables();
}

void TSheldonDialog::fillTables()
{
    const bool grouped = m_grouping >= 0;
    auto groupOfRow = [&](size_t i) {
        return m_groupOf.size() > i && m_groupOf[i] >= 0 ? groupName(m_analysis.groups[size_t(m_groupOf[i])].key)
                                                         : QString();
    };

    QStringList header{QString::fromUtf8("č.")};
    if (grouped)
        header << QStringLiteral("skupina");
    header << QStringLiteral("endomorfie") << QStringLiteral("mezomorfie") << QStringLiteral("ektomorfie")
           << QStringLiteral("X") << QStringLiteral("Y") << QStringLiteral("kategorie");
    setHeader(ui.rowsTable, header, int(m_somatotypes.size()));
    for (size_t i = 0; i < m_somatotypes.size(); ++i) {
        const Somatotype &s = m_somatotypes[i];
        QStringList cells{QString::number(m_rowOf[i] + 1)};
        if (grouped)
            cells << groupOfRow(i);
        cells << number(s.endomorphy) << number(s.mesomorphy) << number(s.ectomorphy) << number(somatochartX(s))
              << number(somatochartY(s)) << categoryName(somatotypeCategory(s));
        setRow(ui.rowsTable, int(i), cells);
    }

    // The columns of kostimer-cli somatotypes: the groups, then all rows.
    setHeader(ui.groupsTable,
              QString::fromUtf8("skupina;n;endomorfie;mezomorfie;ektomorfie;X;Y;SAM;SDI;kategorie").split(u';'),
              int(m_analysis.groups.size()) + 1);
    for (size_t g = 0; g < m_analysis.groups.size(); ++g)
        setRow(ui.groupsTable, int(g), summaryCells(groupName(m_analysis.groups[g].key), m_analysis.groups[g].summary));
    setRow(ui.groupsTable, int(m_analysis.groups.size()), summaryCells(QString(), m_analysis.all));
    ui.groupsTable->item(int(m_analysis.groups.size()), 0)->setToolTip(QString::fromUtf8("všechny řádky"));

    setHeader(ui.comparisonsTable, QString::fromUtf8("skupina A;skupina B;SDD;SAD;významný rozdíl").split(u';'),
              int(m_analysis.comparisons.size()));
    for (size_t i = 0; i < m_analysis.comparisons.size(); ++i) {
        const SomatotypeComparison &c = m_analysis.comparisons[i];
        setRow(ui.comparisonsTable, int(i),
               {groupName(m_analysis.groups[c.first].key), groupName(m_analysis.groups[c.second].key),
                number(c.sdd), number(c.sad), c.significant ? QStringLiteral("ano") : QStringLiteral("ne")});
    }
    ui.tables->setTabEnabled(2, !m_analysis.comparisons.empty());
    for (QTableWidget *table : {ui.rowsTable, ui.groupsTable, ui.comparisonsTable})
        table->resizeColumnsToContents();

    ui.leftOutLabel->setText(
        QString::fromUtf8("Řádků bez úplného somatotypu (méně než tři hodnoty, nebo složka, která není "
                          "číslo), které se nekreslí ani nepočítají: %1.")
            .arg(m_leftOut));
    ui.leftOutLabel->setVisible(m_leftOut > 0);
}

void TSheldonDialog::showChart()
{
    ui.pages->setCurrentIndex(0);
    ui.chartButton->setChecked(true);
    ui.saveButton->setVisible(true);
    ui.copyButton->setVisible(false);
    ui.saveTableButton->setVisible(false);
}

void TSheldonDialog::showTables()
{
    ui.pages->setCurrentIndex(1);
    ui.tablesButton->setChecked(true);
    ui.saveButton->setVisible(false);
    ui.copyButton->setVisible(true);
    ui.saveTableButton->setVisible(true);
}

QTableWidget *TSheldonDialog::currentTable() const
{
    return qobject_cast<QTableWidget *>(ui.tables->currentWidget());
}

void TSheldonDialog::copyTable()
{
    QGuiApplication::clipboard()->setText(tableAsText(*currentTable()->model()));
}

void TSheldonDialog::saveTable()
{
    const QString title = QString::fromUtf8("Uložit tabulku");
    const QString path = askExportPath(this, title);
    if (path.isEmpty())
        return;
    // Written beside the old file and put in its place only when complete.
    QSaveFile file(path);
    const QByteArray bytes = tableAsText(*currentTable()->model(), CellText(), u';').toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        MessageBox::warning(this, title,
                            QString::fromUtf8("Tabulku se nepodařilo uložit do souboru „%1“.")
                                .arg(QDir::toNativeSeparators(path)),
                            QMessageBox::Ok, reason);
    }
}

void TSheldonDialog::saveImage()
{
    const QString title = QString::fromUtf8("Uložit obrázek");
    QSettings settings(QStringLiteral("Veritek"), QStringLiteral("Kostimer"));
    const QString folder = settings.value(QStringLiteral("chartImageFolder"), QDir::homePath()).toString();
    QString path = FileDialog::saveFileName(this, title, folder,
                                            QString::fromUtf8("Obrázek PNG (*.png);;Obrázek SVG (*.svg)"));
    if (path.isEmpty())
        return;
    const QString suffix = QFileInfo(path).suffix().toLower();
    const ChartFormat format = suffix == QLatin1String("svg") ? ChartFormat::Svg : ChartFormat::Png;
    if (format == ChartFormat::Png && suffix != QLatin1String("png"))
        path += QStringLiteral(".png");
    settings.setValue(QStringLiteral("chartImageFolder"), QFileInfo(path).absolutePath());
    ChartContent content{m_somatotypes, {}, {}};
    if (!m_analysis.groups.empty()) {
        content.groupOf = m_groupOf;
        for (const SomatotypeGroup &group : m_analysis.groups)
            content.groups.push_back({groupName(group.key), group.summary.mean});
    }
    if (!writeChart(path, format, content))
        MessageBox::warning(this, title, QString::fromUtf8("Obrázek se nepodařilo uložit."));
}
