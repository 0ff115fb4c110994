// The columns a node's rows can be grouped by, for the statistics and the
// somatotype windows.

#include "MainWindow.h"

#include "SampleStatistics.h"
#include "TTableModel.h"
#include "TreeNodes.h"

#include <QTreeWidgetItem>

std::vector<GroupingColumn> MainWindow::groupingColumns(QTreeWidgetItem *node)
{
    std::vector<GroupingColumn> columns;
    const TTableModel *table = tableOf(node);
    if (!table)
        return columns;
    // Verdict columns keep no class of their own to group by; text columns
    // group by their texts, number columns by their values.
    for (int c = 0; c < table->width(); ++c)
        if (!table->isVerdictColumn(c))
            columns.push_back(groupingColumn(*table, c));

    // A result's rows are the rows of its parent that were checked when it was
    // computed, in order; nothing records which. Only when the result has as
    // many rows as its parent were all of them checked, so that its row i is
    // the parent's row i and the parent's columns group it too. The same holds
    // on up the tree as long as each table has as many rows as its parent.
    // (Rows are never removed; rows added to a table afterwards change the
    // counts, unless added to both alike.)
    const TTableModel *below = table;
    int level = 0;
    for (QTreeWidgetItem *up = parentNodeOf(node); up; up = parentNodeOf(up)) {
        const TTableModel *source = tableOf(up);
        if (!source || source->rowCount() != below->rowCount())
            break;
        ++level;
        const QString suffix = level == 1 ? QStringLiteral(" (zdroj)") : QStringLiteral(" (zdroj %1)").arg(level);
        for (int c = 0; c < source->width(); ++c) {
            if (source->isVerdictColumn(c))
                continue;
            columns.push_back(groupingColumn(*source, c));
            columns.back().name += suffix;
        }
        below = source;
    }
    return columns;
}
