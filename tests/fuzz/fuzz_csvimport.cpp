// libFuzzer target: both CSV readers on any bytes.
// The project file's dialect: reading a block of rows at a time must give
// what reading them all at once gives, and the header lookups what the header
// list says.
// The import reader: a rectangular table whatever the bytes, its texts and
// reports in bounds, and a preview of a few rows that reads as the first rows
// of the whole file.
#include "CsvImport.h"
#include "CsvReader.h"

#include <QSet>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void fuzzCsvImport(const QByteArray &bytes)
{
    const CsvImport table(bytes);

    const std::vector<int> columns{2, 0, 2};
    std::vector<double> whole(size_t(table.rowCount()) * columns.size());
    table.readColumns(columns, whole.data());
    std::vector<double> blocks(whole.size());
    CsvImport::Position position;
    while (table.readColumns(columns, blocks.data() + size_t(position.row) * columns.size(), 3, &position) > 0) {
    }
    check(position.row == table.rowCount()
          && (whole.empty() || std::memcmp(whole.data(), blocks.data(), whole.size() * sizeof(double)) == 0));
}

double value(const CsvTable &table, qsizetype row, int column)
{
    return table.values.ptr<double>(int(row))[column];
}

void checkTable(const CsvTable &table)
{
    const int width = table.width();
    const qsizetype rows = table.rows();
    check(table.values.empty() || (table.values.type() == CV_64F && table.values.isContinuous()
                                   && table.values.cols == width));
    check(table.kinds.size() == size_t(width));
    for (int c = 0; c < width; ++c)
        check((table.kinds[size_t(c)] == ColumnKind::Text) == (table.texts.count(c) == 1));
    for (const auto &[column, texts] : table.texts) {
        check(column >= 0 && column < width && texts.cells.size() == size_t(rows));
        check(QSet<QString>(texts.texts.begin(), texts.texts.end()).size() == texts.texts.size());
        for (qsizetype r = 0; r < rows; ++r) {
            const qint32 i = texts.cells[size_t(r)];
            check(i >= -1 && i < texts.texts.size() && std::isnan(value(table, r, column)));
        }
    }
    for (const UnreadField &field : table.unread) {
        check(field.row >= 0 && field.row < rows && field.column >= 0 && field.column < width);
        check(table.kinds[size_t(field.column)] == ColumnKind::Number
              && std::isnan(value(table, field.row, field.column)));
    }
    qsizetype line = 0;
    for (const RaggedRow &row : table.shortRows) {
        check(row.row >= 0 && row.row < rows && row.fields < width && row.line > line);
        line = row.line;
    }
    line = 0;
    for (const RaggedRow &row : table.longRows) {
        check(row.row >= 0 && row.row < rows && row.fields > width && row.line > line);
        line = row.line;
    }
}

QList<RaggedRow> before(const QList<RaggedRow> &rows, qsizetype count)
{
    QList<RaggedRow> first;
    for (const RaggedRow &row : rows)
        if (row.row < count)
            first.append(row);
    return first;
}

bool sameRagged(const QList<RaggedRow> &a, const QList<RaggedRow> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].row != b[i].row || a[i].line != b[i].line || a[i].fields != b[i].fields)
            return false;
    return true;
}

void fuzzCsvReader(const QByteArray &bytes)
{
    CsvTable whole;
    QString error;
    if (!readCsvTable(bytes, {}, &whole, &error)) {
        check(!error.isEmpty());
        return;
    }
    checkTable(whole);

    CsvReadOptions options;
    options.separator = whole.dialect.separator;
    options.decimal = whole.dialect.decimal;
    options.encoding = whole.dialect.encoding;
    options.header = whole.dialect.header;
    options.maxRows = 3;
    CsvTable preview;
    if (!readCsvTable(bytes, options, &preview, &error))
        return;
    checkTable(preview);
    const qsizetype rows = std::min<qsizetype>(whole.rows(), 3);
    check(preview.rows() == rows && preview.headers == whole.headers);
    for (int c = 0; c < whole.width(); ++c) {
        if (preview.kinds[size_t(c)] != whole.kinds[size_t(c)])
            continue;
        for (qsizetype r = 0; r < rows; ++r) {
            if (whole.kinds[size_t(c)] == ColumnKind::Text) {
                check(preview.texts.at(c).text(r) == whole.texts.at(c).text(r));
            } else {
                const double a = value(whole, r, c);
                const double b = value(preview, r, c);
                check(std::memcmp(&a, &b, sizeof a) == 0);
            }
        }
    }
    check(sameRagged(preview.shortRows, before(whole.shortRows, rows)));
    check(sameRagged(preview.longRows, before(whole.longRows, rows)));

    const char suggested = suggestedSeparator(bytes, whole.dialect);
    check(suggested == 0 || (suggested != whole.dialect.separator && std::strchr(";,\t|", suggested)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    fuzzCsvImport(bytes);
    fuzzCsvReader(bytes);
    return 0;
}
