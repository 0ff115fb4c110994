#pragma once
// The somatotypes of a Heath-Carter result on the somatochart: the chart's
// background with one small square per row of the table, and the somatotype
// analysis of the same rows in tables (each row's point and category, the
// summary of the sample and its groups, the comparison of the groups' means).
// The rows can be grouped by a number or text column the caller offers; each
// group's mean is then drawn as a mark of its own, with a legend naming the
// groups by their values or texts. Rows whose grouping cell is empty join no
// group: the tables say how many, and count them among all rows. The chart can be saved
// as a PNG or an SVG picture for a paper, a table copied or saved as CSV.
//
// A row of fewer than three values, or with a component that is no finite
// number (missing, infinity, a field of the file that held none), is neither
// drawn nor counted: the analysis counts it among the rows left out.

#include "SampleGroups.h"
#include "SomatoChart.h"
#include "SomatotypeAnalysis.h"

#include <QDialog>

#include <memory>
#include <vector>

class QGraphicsItem;
class QGraphicsPixmapItem;
class QGraphicsRectItem;
class QGraphicsScene;
class QTableWidget;
class TTableModel;

namespace Ui {
class TSheldonDialog;
}

class TSheldonDialog : public QDialog {
    Q_OBJECT

public:
    explicit TSheldonDialog(QWidget *parent = nullptr);
    ~TSheldonDialog() override;

    // One marker per row, checked or not. The last three values of a row are
    // its somatotype.
    void plot(const TTableModel *model);
    // The columns the rows can be grouped by, after "bez skupin" in the
    // "Skupiny podle:" box; their keys follow the rows of the plotted table.
    void setGroupingColumns(std::vector<GroupingColumn> columns);
    // Groups the rows by grouping column `column`; -1 for no groups.
    void groupBy(int column);

    QGraphicsScene *scene() const { return m_scene; }
    // The somatotypes drawn, in table order, and the table row of each.
    const std::vector<Somatotype> &somatotypes() const { return m_somatotypes; }
    const std::vector<int> &rowsOfSomatotypes() const { return m_rowOf; }
    const SomatotypeAnalysis &analysis() const { return m_analysis; }

    // Shows the chart, or the tables.
    void showChart();
    void showTables();

    // Asks for a file name and writes the chart there: an SVG picture for a
    // name ending in .svg, otherwise a PNG (".png" is added to a name that
    // does not end so).
    void saveImage();
    // The table on show, tab-separated with its header, to the clipboard.
    void copyTable();
    // Asks for a file name and writes the table on show there as CSV of the
    // export dialect with a header row (".csv" added to a name without an
    // ending).
    void saveTable();

private:
    void analyse();
    void fillTables();
    QTableWidget *currentTable() const;
    // The table's header and rows, fields joined by separator, a line each.

    std::unique_ptr<Ui::TSheldonDialog> m_ui;
    QGraphicsScene *m_scene = nullptr;
    QGraphicsPixmapItem *m_background = nullptr;
    std::vector<Somatotype> m_somatotypes;
    std::vector<int> m_rowOf;
    int m_leftOut = 0; // rows of the table without a somatotype rating (see isRating)
    std::vector<QGraphicsRectItem *> m_markers; // one per somatotype
    std::vector<QGraphicsItem *> m_groupItems;  // the means and the legend
    std::vector<GroupingColumn> m_columns;
    int m_grouping = -1;
    SomatotypeAnalysis m_analysis;
    std::vector<int> m_groupOf; // per somatotype: its group, -1 for none
};
