#include "TSheldonDialog.h"

#include "ExportPath.h"
#include "FileDialog.h"
#include "MessageBox.h"
#include "NumberFormat.h"
#include "TTableModel.h"
#include "TableText.h"
#include "ui_TSheldonDialog.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGuiApplication>
#include <QIcon>
#include <QSettings>

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

// "2,5–3–4", as papers write a somatotype.
QString somatotypeText(const Somatotype &s)
{
    return valueField(s.endomorphy) + u'–' + valueField(s.mesomorphy) + u'–' + valueField(s.ectomorphy);
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
            valueField(s.mean.endomorphy),
            valueField(s.mean.mesomorphy),
            valueField(s.mean.ectomorphy),
            valueField(s.x),
            valueField(s.y),
            valueField(s.sam),
            valueField(s.sdi),
            categoryName(s.category)};
}

} // namespace

TSheldonDialog::TSheldonDialog(QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::TSheldonDialog>())
{
    m_ui->setupUi(this);
    connect(m_ui->saveButton, &QPushButton::clicked, this, &TSheldonDialog::saveImage);
    connect(m_ui->copyButton, &QPushButton::clicked, this, &TSheldonDialog::copyTable);
    connect(m_ui->saveTableButton, &QPushButton::clicked, this, &TSheldonDialog::saveTable);
    connect(m_ui->chartButton, &QPushButton::clicked, this, &TSheldonDialog::showChart);
    connect(m_ui->tablesButton, &QPushButton::clicked, this, &TSheldonDialog::showTables);
    connect(m_ui->groupingBox, &QComboBox::activated, this, [this](int index) { groupBy(index - 1); });
    showChart();

    m_scene = new QGraphicsScene(this);
    m_ui->graphicsView->setScene(m_scene);
    const QPixmap chart = QIcon(QStringLiteral(":/icons/sheldon.png"))
                              .pixmap(QSize(SomatoChart::width, SomatoChart::height), devicePixelRatioF());
    m_background = m_scene->addPixmap(chart);
    m_background->setPos(0, 0);
    // The whole chart in view, with the row of the buttons under it.
    const QRectF bounds = m_background->boundingRect();
    resize(int(bounds.width()), int(bounds.height()) + m_ui->buttonRow->sizeHint().height());
    analyse();
}

TSheldonDialog::~TSheldonDialog() = default;

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
        if (!somatotypeOfRow(last, 3, &somatotype) || !isRating(somatotype))
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
    m_ui->groupingBox->clear();
    m_ui->groupingBox->addItem(QStringLiteral("bez skupin"));
    for (const GroupingColumn &column : m_columns)
        m_ui->groupingBox->addItem(column.name);
    m_ui->groupingBox->setEnabled(!m_columns.empty());
    groupBy(-1);
}

void TSheldonDialog::groupBy(int column)
{
    m_grouping = column >= 0 && size_t(column) < m_columns.size() ? column : -1;
    m_ui->groupingBox->setCurrentIndex(m_grouping + 1);
    analyse();
}

void TSheldonDialog::analyse()
{
    // The grouping column's keys of the rows drawn, one per somatotype.
    GroupingColumn grouping;
    if (m_grouping >= 0) {
        const GroupingColumn &column = m_columns[size_t(m_grouping)];
        grouping = {column.name, {}, column.texts};
        for (int row : m_rowOf)
            grouping.keys.push_back(size_t(row) < column.keys.size() ? column.keys[size_t(row)]
                                                                     : std::numeric_limits<double>::quiet_NaN());
    }
    m_analysis = analyseSomatotypes(m_somatotypes, m_grouping >= 0 ? &grouping : nullptr);
    // Only ratings are drawn: the rows that are none were left out before
    // the analysis, and count among its rows left out.
    m_analysis.leftOut += m_leftOut;
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
            tip += QStringLiteral("\nSkupina %1").arg(m_analysis.groups[size_t(group)].name);
        m_markers[i]->setToolTip(tip);
    }

    std::vector<ChartGroup> groups;
    for (const SomatotypeGroup &group : m_analysis.groups)
        groups.push_back({group.name, group.summary.mean});
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
        return m_groupOf.size() > i && m_groupOf[i] >= 0 ? m_analysis.groups[size_t(m_groupOf[i])].name : QString();
    };

    QStringList header{QStringLiteral("č.")};
    if (grouped)
        header << QStringLiteral("skupina");
    header << QStringLiteral("endomorfie") << QStringLiteral("mezomorfie") << QStringLiteral("ektomorfie")
           << QStringLiteral("X") << QStringLiteral("Y") << QStringLiteral("kategorie");
    setHeader(m_ui->rowsTable, header, int(m_somatotypes.size()));
    for (size_t i = 0; i < m_somatotypes.size(); ++i) {
        const Somatotype &s = m_somatotypes[i];
        QStringList cells{QString::number(m_rowOf[i] + 1)};
        if (grouped)
            cells << groupOfRow(i);
        cells << valueField(s.endomorphy) << valueField(s.mesomorphy) << valueField(s.ectomorphy) << valueField(somatochartX(s))
              << valueField(somatochartY(s)) << categoryName(somatotypeCategory(s));
        setRow(m_ui->rowsTable, int(i), cells);
    }

    // The columns of kostimer-cli somatotypes: the groups, then all rows.
    setHeader(m_ui->groupsTable,
        QStringLiteral("skupina;n;endomorfie;mezomorfie;ektomorfie;X;Y;SAM;SDI;kategorie").split(u';'),
        int(m_analysis.groups.size()) + 1);
    for (size_t g = 0; g < m_analysis.groups.size(); ++g)
        setRow(
            m_ui->groupsTable, int(g), summaryCells(m_analysis.groups[g].name, m_analysis.groups[g].summary));
    setRow(m_ui->groupsTable, int(m_analysis.groups.size()), summaryCells(QString(), m_analysis.all));
    m_ui->groupsTable->item(int(m_analysis.groups.size()), 0)->setToolTip(QStringLiteral("všechny řádky"));

    setHeader(m_ui->comparisonsTable, QStringLiteral("skupina A;skupina B;SDD;SAD;významný rozdíl").split(u';'),
        int(comparisonCount(m_analysis)));
    int pair = 0;
    for (size_t a = 0; a < m_analysis.groups.size(); ++a)
        for (size_t b = a + 1; b < m_analysis.groups.size(); ++b) {
            const SomatotypeComparison c = compareGroups(m_analysis, a, b);
            setRow(m_ui->comparisonsTable, pair++,
                {m_analysis.groups[a].name, m_analysis.groups[b].name, valueField(c.sdd), valueField(c.sad),
                    c.significant ? QStringLiteral("ano") : QStringLiteral("ne")});
        }
    m_ui->tables->setTabEnabled(2, comparisonCount(m_analysis) > 0);
    for (QTableWidget *table : {m_ui->rowsTable, m_ui->groupsTable, m_ui->comparisonsTable})
        table->resizeColumnsToContents();

    m_ui->leftOutLabel->setText(
        QStringLiteral("Řádků bez úplného somatotypu (méně než tři hodnoty, složka, která není číslo, "
                          "nebo složka 0 či záporná), které se nekreslí ani nepočítají: %1.")
            .arg(m_analysis.leftOut));
    m_ui->leftOutLabel->setVisible(m_analysis.leftOut > 0);
    m_ui->ungroupedLabel->setText(
        grouped ? QStringLiteral("Řádků bez skupiny (prázdná buňka ve sloupci „%1“): %2; počítají se jen do "
                                 "řádku všech.")
                      .arg(m_columns[size_t(m_grouping)].name)
                      .arg(m_analysis.ungrouped)
                : QString());
    m_ui->ungroupedLabel->setVisible(grouped && m_analysis.ungrouped > 0);
}

void TSheldonDialog::showChart()
{
    m_ui->pages->setCurrentIndex(0);
    m_ui->chartButton->setChecked(true);
    m_ui->saveButton->setVisible(true);
    m_ui->copyButton->setVisible(false);
    m_ui->saveTableButton->setVisible(false);
}

void TSheldonDialog::showTables()
{
    m_ui->pages->setCurrentIndex(1);
    m_ui->tablesButton->setChecked(true);
    m_ui->saveButton->setVisible(false);
    m_ui->copyButton->setVisible(true);
    m_ui->saveTableButton->setVisible(true);
}

QTableWidget *TSheldonDialog::currentTable() const
{
    return qobject_cast<QTableWidget *>(m_ui->tables->currentWidget());
}

void TSheldonDialog::copyTable()
{
    QGuiApplication::clipboard()->setText(tableAsText(*currentTable()->model()));
}

void TSheldonDialog::saveTable()
{
    const QString title = QStringLiteral("Uložit tabulku");
    const QString path = askExportPath(this, title);
    if (path.isEmpty())
        return;
    writeExport(this, title, path, tableAsText(*currentTable()->model(), CellText(), u';').toUtf8());
}

void TSheldonDialog::saveImage()
{
    const QString title = QStringLiteral("Uložit obrázek");
    ChartFormat format = ChartFormat::Png;
    const QString path = askPicturePath(this, title, &format);
    if (path.isEmpty())
        return;
    ChartContent content{m_somatotypes, {}, {}};
    if (!m_analysis.groups.empty()) {
        content.groupOf = m_groupOf;
        for (const SomatotypeGroup &group : m_analysis.groups)
            content.groups.push_back({group.name, group.summary.mean});
    }
    QString why;
    if (!writeChart(path, format, content, &why))
        MessageBox::warning(this, title, QStringLiteral("Obrázek se nepodařilo uložit."), QMessageBox::Ok, why);
}
