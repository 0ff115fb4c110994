#pragma once
// The measurement error of variables measured repeatedly on each subject,
// from the checked rows of one table: the user chooses, for each variable,
// the columns of its repeated measurements (columns named alike but for a
// trailing number or letter, "Výška 1" and "Výška 2", are offered together
// when the window opens), and reads n, K, the mean, TEM, the relative TEM, R
// and ICC(2,1) with its 95 % interval, for two measurements also the mean
// difference and the limits of agreement (MeasurementError.h). A target for
// the relative TEM may be set for each variable; it is remembered by the
// variable's name, and a variable over it has its relative TEM tinted and
// explained in a tooltip. For two measurements the Bland–Altman plot of the
// chosen variable is shown and can be saved as a PNG or an SVG picture. The
// table is copied (Ctrl+C) tab-separated with its header, as the statistics
// window copies, or saved as CSV of the export dialect with a header row.

#include "BlandAltmanPlot.h"
#include "MeasurementError.h"

#include <QDialog>

#include <memory>
#include <vector>

class TTableModel;

namespace Ui {
class MeasurementErrorDialog;
}

class MeasurementErrorDialog : public QDialog {
    Q_OBJECT

public:
    // The window keeps a copy of the table, so it may outlive the table's node.
    explicit MeasurementErrorDialog(const TTableModel &table, QWidget *parent = nullptr);
    ~MeasurementErrorDialog() override;

    struct Variable {
        QString name;
        std::vector<int> columns; // data columns of the table, one per measurement
        MeasurementError error;
        double target = MeasurementError::none; // relative TEM (%), NaN for none
    };
    const std::vector<Variable> &variables() const { return m_variables; }

    // A variable of these data columns (two or more), named by what their
    // names share, or by the names themselves.
    void addVariable(const std::vector<int> &columns);
    void removeVariable(int index);
    // The target of variable index's relative TEM (NaN: none), remembered by
    // its name for the next time.
    void setTarget(int index, double percent);
    // Whether the variable's relative TEM is over its target.
    bool isOverTarget(int index) const;

    // The Bland–Altman plot of variable index (two measurements only) on show.
    void showPlot(int index);
    // The plot on show; null when the chosen variable has no plot.
    const BlandAltmanPlot *plot() const;

    // The figures with their header, tab-separated, to the clipboard.
    void copyTable();
    // Asks for a file name and writes the figures there as CSV (".csv" added
    // to a name without an ending).
    void saveTable();
    // Asks for a file name and writes the plot there: an SVG picture for a
    // name ending in .svg, otherwise a PNG (".png" added to another ending).
    void savePlot();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class PlotView;

    void fillRow(int index);
    void targetEdited(int row);

    std::unique_ptr<Ui::MeasurementErrorDialog> m_ui;
    std::unique_ptr<TTableModel> m_table;
    std::vector<int> m_checkedRows;
    std::vector<Variable> m_variables;
    PlotView *m_plotView = nullptr;
    bool m_filling = false; // the table is being filled, not edited
};
