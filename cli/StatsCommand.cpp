// kostimer-cli stats: the descriptive statistics of every column of a CSV
// file, by the groups of one column, as the program's statistics window gives
// them.

#include "StatsCommand.h"

#include "CliSupport.h"

#include "CsvImport.h"
#include "SampleStatistics.h"
#include "TextEncoding.h"
#include "ValueRows.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

namespace {

struct StatsRequest {
    QString inputPath;
    QString by; // empty: no groups
    OutputOptions output;
};

StatsRequest parseStats(const QStringList &args)
{
    StatsRequest request;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QStringLiteral("--by")) {
            request.by = optionValue(args, &i);
            if (request.by.isEmpty())
                throw UsageError{QStringLiteral("Přepínač --by potřebuje sloupec.")};
        } else if (arg == QStringLiteral("--output") || arg == QStringLiteral("--digits")) {
            takeOutputOption(args, &i, &request.output);
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            throw UsageError{QStringLiteral("Neznámý přepínač „%1“.").arg(arg)};
        } else {
            positional.append(arg);
        }
    }
    if (positional.size() != 1)
        throw UsageError{QStringLiteral("Příkaz stats potřebuje jeden soubor CSV.")};
    request.inputPath = positional.at(0);
    return request;
}

// The data rows of the text, line after line, by the rule of CsvImport (a
// row is a line after the header line). readColumns gives 0 for a field past
// the end of a short row; the row's line tells it from a 0 that was written.
class RowLines {
public:
    explicit RowLines(const QByteArray &text)
        : m_p(text.constData())
        , m_end(text.constData() + text.size())
    {
        next(); // the header line
        next();
    }

    // Moves to the next row; false past the last one.
    bool next()
    {
        if (m_p == m_end)
            return false;
        const void *lf = std::memchr(m_p, '\n', size_t(m_end - m_p));
        m_line = m_p;
        m_lineEnd = lf ? static_cast<const char *>(lf) : m_end;
        m_p = lf ? m_lineEnd + 1 : m_end;
        return true;
    }

    // The number of fields of the row.
    qsizetype fields() const { return std::count(m_line, m_lineEnd, ';') + 1; }

private:
    const char *m_p;
    const char *m_end;
    const char *m_line = nullptr;
    const char *m_lineEnd = nullptr;
};

// The columns of the file, whole, each value NaN where its row has no number
// (a field that held none, or a row too short). Read a block of rows at a
// time, so that only the values asked for are kept.
std::vector<std::vector<double>> readWholeColumns(const CsvImport &table, const QByteArray &text,
                                                  const std::vector<int> &columns)
{
    const size_t k = columns.size();
    const qsizetype rows = table.rowCount();
    std::vector<std::vector<double>> values(k, std::vector<double>(size_t(rows)));
    if (k == 0)
        return values;
    const int last = *std::max_element(columns.begin(), columns.end());
    std::vector<int> slotOf(size_t(last) + 1, -1);
    for (size_t j = 0; j < k; ++j)
        slotOf[size_t(columns[j])] = int(j);

    const qsizetype blockRows = std::max<qsizetype>(1, qsizetype(1 << 20) / qsizetype(k));
    std::vector<double> block(size_t(std::min(blockRows, std::max<qsizetype>(rows, 1))) * k);
    CsvImport::Position position;
    RowLines lines(text);
    QList<UnreadField> unread;
    constexpr double none = Summary::none;
    while (position.row < rows) {
        const qsizetype first = position.row;
        const qsizetype count = table.readColumns(columns, block.data(), blockRows, &position, &unread);
        for (qsizetype i = 0; i < count; ++i, lines.next()) {
            const double *row = block.data() + size_t(i) * k;
            qsizetype fields = -1; // counted when a 0 asks for it
            for (size_t j = 0; j < k; ++j) {
                double value = row[j];
                if (value == 0.0) {
                    if (fields < 0)
                        fields = lines.fields();
                    if (columns[j] >= fields)
                        value = none;
                }
                values[j][size_t(first + i)] = value;
            }
        }
        for (const UnreadField &field : unread)
            values[size_t(slotOf[size_t(field.column)])][size_t(field.row)] = none;
        unread.clear();
    }
    return values;
}

// The file's column named as apply -c names one: a number from 1, or the exact
// text of its header.
int columnOf(const QString &named, const CsvImport &table, int columnCount, const QString &fileName)
{
    const bool isNumber =
        std::all_of(named.begin(), named.end(), [](QChar c) { return c.isDigit(); });
    bool ok = true;
    const int column = isNumber ? named.toInt(&ok) - 1 : int(table.headerIndex(named));
    if (!ok || column < 0 || column >= columnCount)
        throw UsageError{QStringLiteral("Soubor %1 nemá sloupec „%2“.").arg(fileName, named)};
    return column;
}

QString columnName(const CsvImport &table, int column)
{
    const QString header = table.header(column);
    return header.isEmpty() ? QString::number(column + 1) : header;
}

} // namespace

int runStatsCommand(const QStringList &args, std::FILE *out, std::FILE *err)
{
    const StatsRequest request = parseStats(args);
    InputFile input;
    if (!readInputFile(request.inputPath, &input, err))
        return FileFault;
    refuseOutputOverInput(request.output.path, input);
    // The rows' lines as CsvImport finds them: a file with a UTF-16 or UTF-32
    // byte-order mark turned into UTF-8 first. Any other file has its lines
    // where they stand (and is not checked for UTF-8 twice).
    QByteArray text = std::move(input.bytes);
    if (!text.isEmpty() && (text.at(0) == '\0' || uchar(text.at(0)) >= 0xFE))
        text = prepareImportText(std::move(text)).bytes;
    const CsvImport table(text);
    const QString fileName = QFileInfo(request.inputPath).fileName();
    // A table without rows still has the columns its header names.
    const int columnCount = table.rowCount() > 0 ? table.width() : int(table.headerCount());
    const int by = request.by.isEmpty() ? -1 : columnOf(request.by, table, columnCount, fileName);

    std::vector<int> columns;
    for (int c = 0; c < columnCount; ++c)
        if (c != by)
            columns.push_back(c);
    // As many columns at a time as fit in the input's own size (or 256 MB):
    // memory follows the file, and a usual file is read once.
    const qint64 budget = std::max<qint64>(qint64(text.size()), qint64(256) << 20);
    const qsizetype perPass =
        std::max<qsizetype>(1, qsizetype(budget / (qint64(sizeof(double)) * std::max<qint64>(table.rowCount(), 1))));

    std::vector<char> included(size_t(table.rowCount()), 1);
    std::optional<SampleStatistics> statistics;
    for (size_t start = 0; start < columns.size() || !statistics; start += size_t(perPass)) {
        std::vector<int> pass(columns.begin() + qsizetype(std::min(start, columns.size())),
                              columns.begin() + qsizetype(std::min(start + size_t(perPass), columns.size())));
        // The grouping column is read with the first columns.
        if (!statistics && by >= 0)
            pass.insert(pass.begin(), by);
        std::vector<std::vector<double>> values = readWholeColumns(table, text, pass);
        size_t j = 0;
        if (!statistics) {
            GroupingColumn grouping;
            if (by >= 0)
                grouping = {columnName(table, by), std::move(values[j++])};
            statistics.emplace(included, by >= 0 ? &grouping : nullptr);
        }
        for (; j < pass.size(); ++j)
            statistics->addColumn(columnName(table, pass[j]), std::move(values[j]));
    }

    OutputFile output(request.output.path, out);
    QString why;
    if (!output.open(&why)) {
        print(err, QStringLiteral("Do souboru „%1“ nelze zapsat: %2.\n").arg(request.output.path, why));
        return FileFault;
    }
    bool written;
    {
        ValueRowWriter writer(output.device());
        writer.writeLine(csvLine(summaryHeader()));
        const QStringList &groups = statistics->groupNames();
        for (qsizetype g = 0; g < groups.size(); ++g)
            for (const SampleStatistics::Column &column : statistics->columns())
                writer.writeLine(
                    csvLine(summaryFields(groups.at(g), column.name, column.byGroup[size_t(g)], request.output.digits)));
        written = writer.flush();
    }
    if (!(written && output.commit())) {
        const QString target = request.output.path.isEmpty()
                                   ? QStringLiteral("na standardní výstup")
                                   : QStringLiteral("do souboru „%1“").arg(request.output.path);
        print(err, QStringLiteral("Výsledek nelze zapsat %1 (plný disk?).\n").arg(target));
        return FileFault;
    }
    return Done;
}
