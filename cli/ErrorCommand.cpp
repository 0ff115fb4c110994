// kostimer-cli error: the measurement error of a variable measured two or
// more times on each subject, one column per measurement, as the window
// "Chyba měření" gives it; for the whole file, or by the groups of a column.

#include "ErrorCommand.h"

#include "CliSupport.h"
#include "InputTable.h"

#include "MeasurementError.h"
#include "SampleGroups.h"
#include "ValueRows.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

struct ErrorRequest {
    QString inputPath;
    QStringList columns; // the measurements, two or more
    QString by;          // empty: no groups
    std::optional<char> separator;
    OutputOptions output;
};

ErrorRequest parseError(const QStringList &args)
{
    ErrorRequest request;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QStringLiteral("-c")) {
            request.columns.append(optionValue(args, &i));
        } else if (arg == QStringLiteral("--by")) {
            request.by = groupingOption(args, &i);
        } else if (arg == QStringLiteral("--output") || arg == QStringLiteral("--digits")) {
            takeOutputOption(args, &i, &request.output);
        } else if (takeSeparatorOption(args, &i, &request.separator)) {
        } else {
            takePositional(arg, &positional);
        }
    }
    if (positional.size() != 1)
        throw UsageError{QStringLiteral("Příkaz error potřebuje jeden soubor CSV.")};
    if (request.columns.size() < 2)
        throw UsageError{QStringLiteral("Příkaz error potřebuje aspoň dva sloupce opakovaného měření (-c SLOUPEC "
                                        "-c SLOUPEC).")};
    request.inputPath = positional.at(0);
    return request;
}

// The measurements of the given rows.
std::vector<std::vector<double>> rowsOf(const std::vector<std::vector<double>> &columns,
                                        const std::vector<qsizetype> &rows)
{
    std::vector<std::vector<double>> picked(columns.size(), std::vector<double>(rows.size()));
    for (size_t j = 0; j < columns.size(); ++j)
        for (size_t i = 0; i < rows.size(); ++i)
            picked[j][i] = columns[j][size_t(rows[i])];
    return picked;
}

} // namespace

int runErrorCommand(const QStringList &args, std::FILE *out, std::FILE *err)
{
    const ErrorRequest request = parseError(args);
    CsvTable table;
    if (!readCommandInput(request.inputPath, request.separator, request.output.path, &table, err))
        return FileFault;
    const QString fileName = QFileInfo(request.inputPath).fileName();

    std::vector<int> measured;
    for (const QString &named : request.columns) {
        const int column = tableColumn(table, fileName, named, QStringLiteral("-c"));
        if (std::find(measured.begin(), measured.end(), column) != measured.end())
            throw UsageError{QStringLiteral("Sloupec „%1“ je uveden dvakrát; každé měření je jiný sloupec.")
                                 .arg(columnLabel(table, column))};
        measured.push_back(column);
    }
    const int by = request.by.isEmpty() ? -1 : tableColumn(table, fileName, request.by, QStringLiteral("--by"));
    std::vector<int> read = measured;
    if (by >= 0)
        read.push_back(by);
    reportReading(table, fileName, read, err);

    std::vector<std::vector<double>> columns;
    for (int c : measured)
        columns.push_back(columnOf(table, c));
    const MeasurementError all = measurementError(columns);
    if (all.n < 2) {
        // Say why: a column without a single value makes every row incomplete.
        for (size_t j = 0; j < columns.size(); ++j)
            if (std::none_of(columns[j].begin(), columns[j].end(), [](double v) { return std::isfinite(v); }))
                throw UsageError{QStringLiteral("Sloupec „%1“ souboru %2 nemá žádnou hodnotu, takže žádný řádek "
                                                "nemá všechna měření.")
                                     .arg(columnLabel(table, measured[j]), fileName)};
        throw UsageError{QStringLiteral("Soubor %1 má řádků se všemi měřeními %2; chyba měření jich potřebuje "
                                        "aspoň 2.")
                             .arg(fileName)
                             .arg(all.n)};
    }

    const std::vector<char> included(size_t(table.rows()), 1);
    const GroupingColumn grouping = by >= 0 ? groupingColumnOf(table, by) : GroupingColumn();
    const std::vector<SampleGroup> groups = by >= 0 ? groupRows(grouping, included) : std::vector<SampleGroup>();

    const auto write = [&](QIODevice *device) {
        ValueRowWriter writer(device);
        QStringList header = measurementErrorHeader();
        if (by >= 0)
            header.prepend(QStringLiteral("skupina"));
        writer.writeLine(textLine(header));
        for (const SampleGroup &group : groups)
            writer.writeLine(textLine(QStringList{group.name}
                                      + measurementErrorFields(measurementError(rowsOf(columns, group.rows)),
                                                               request.output.digits)));
        QStringList line = measurementErrorFields(all, request.output.digits);
        if (by >= 0)
            line.prepend(QString());
        writer.writeLine(textLine(line));
        return writer.flush();
    };
    const int written = writeOutput(request.output.path, write, out, err);
    if (written != Done)
        return written;
    if (all.leftOut > 0)
        print(err, QStringLiteral("kostimer-cli: %1: řádků, kterým chybí některé měření a které se do n "
                                  "nepočítají: %2\n")
                       .arg(fileName)
                       .arg(all.leftOut));
    if (by >= 0)
        reportUngrouped(ungroupedRows(grouping, included), fileName, grouping, err);
    return Done;
}
