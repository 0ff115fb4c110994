// kostimer-cli stats: the descriptive statistics of every number column of a
// CSV file, by the groups of one column, as the program's statistics window
// gives them.

#include "StatsCommand.h"

#include "CliSupport.h"
#include "InputTable.h"

#include "SampleStatistics.h"
#include "ValueRows.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

struct StatsRequest {
    QString inputPath;
    QString by; // empty: no groups
    std::optional<char> separator;
    OutputOptions output;
};

StatsRequest parseStats(const QStringList &args)
{
    StatsRequest request;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QStringLiteral("--by")) {
            request.by = groupingOption(args, &i);
        } else if (arg == QStringLiteral("--output") || arg == QStringLiteral("--digits")) {
            takeOutputOption(args, &i, &request.output);
        } else if (takeSeparatorOption(args, &i, &request.separator)) {
        } else {
            takePositional(arg, &positional);
        }
    }
    if (positional.size() != 1)
        throw UsageError{QStringLiteral("Příkaz stats potřebuje jeden soubor CSV.")};
    request.inputPath = positional.at(0);
    return request;
}

} // namespace

int runStatsCommand(const QStringList &args, std::FILE *out, std::FILE *err)
{
    const StatsRequest request = parseStats(args);
    CsvTable table;
    if (!readCommandInput(request.inputPath, request.separator, request.output.path, &table, err))
        return FileFault;
    const QString fileName = QFileInfo(request.inputPath).fileName();
    const int by = request.by.isEmpty() ? -1 : tableColumn(table, fileName, request.by, QStringLiteral("--by"));

    // Every number column but the grouping one is described; a text column
    // has no numbers to describe.
    std::vector<int> described;
    std::vector<int> numberColumns;
    for (int c = 0; c < table.width(); ++c) {
        if (table.kinds[size_t(c)] == ColumnKind::Text)
            continue;
        numberColumns.push_back(c);
        if (c != by)
            described.push_back(c);
    }
    reportReading(table, fileName, numberColumns, err);

    const std::vector<char> included(size_t(table.rows()), 1);
    const GroupingColumn grouping = by >= 0 ? groupingColumnOf(table, by) : GroupingColumn();
    SampleStatistics statistics(included, by >= 0 ? &grouping : nullptr);
    qsizetype missing = 0;
    QStringList missingByColumn;
    for (int c : described) {
        std::vector<double> values = columnOf(table, c);
        const qsizetype none = std::count_if(values.begin(), values.end(), [](double v) { return std::isnan(v); });
        if (none > 0)
            missingByColumn.append(QStringLiteral("%1 %2").arg(columnLabel(table, c)).arg(none));
        missing += none;
        statistics.addColumn(columnLabel(table, c), std::move(values));
    }

    const auto write = [&](QIODevice *device) {
        ValueRowWriter writer(device);
        writer.writeLine(textLine(summaryHeader()));
        const QStringList &groups = statistics.groupNames();
        for (qsizetype g = 0; g < groups.size(); ++g)
            for (const SampleStatistics::Column &column : statistics.columns())
                writer.writeLine(textLine(
                    summaryFields(groups.at(g), column.name, column.byGroup[size_t(g)], request.output.digits)));
        return writer.flush();
    };
    const int written = writeOutput(request.output.path, write, out, err);
    if (written != Done)
        return written;
    if (missing > 0) {
        constexpr qsizetype listed = 5;
        QString columns = missingByColumn.mid(0, listed).join(QStringLiteral(", "));
        if (missingByColumn.size() > listed)
            columns += QStringLiteral(", …");
        print(err, QStringLiteral("kostimer-cli: %1: chybějících hodnot, které se do n nepočítají: %2 (%3)\n")
                       .arg(fileName)
                       .arg(missing)
                       .arg(columns));
    }
    reportUngrouped(statistics.ungroupedRows(), fileName, grouping, err);
    return Done;
}
