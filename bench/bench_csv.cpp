// Throughput of the two CSV dialects on a generated table: parsing fields
// (all of them, and only the two a method takes) by the project's reader and
// by the import's, and writing value rows.
#include "CsvImport.h"
#include "CsvReader.h"
#include "ValueRows.h"

#include <QBuffer>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

QByteArray table(int rows)
{
    QRandomGenerator random(3);
    QByteArray text("a;b;c;d;e;f;g;h;i;j\n");
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < 10; ++j) {
            if (j)
                text += ';';
            text += QByteArray::number(10 + random.generateDouble() * 190, 'f', 3).replace('.', ',');
        }
        text += '\n';
    }
    return text;
}

const QByteArray &sample()
{
    static const QByteArray bytes = table(100000);
    return bytes;
}

void parseAllFields(benchmark::State &state)
{
    std::vector<double> out;
    for (auto _ : state) {
        CsvImport import(sample());
        out.resize(size_t(import.rowCount()) * 10);
        import.readColumns({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, out.data());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * sample().size());
}
BENCHMARK(parseAllFields)->Unit(benchmark::kMillisecond);

void parseTwoColumns(benchmark::State &state)
{
    std::vector<double> out;
    for (auto _ : state) {
        CsvImport import(sample());
        out.resize(size_t(import.rowCount()) * 2);
        import.readColumns({0, 1}, out.data());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * sample().size());
}
BENCHMARK(parseTwoColumns)->Unit(benchmark::kMillisecond);

// The import's reader: every column, and the two a method takes (as
// kostimer-cli apply reads them), the others only counted.
void importTable(benchmark::State &state, const std::vector<int> &columns)
{
    CsvReadOptions options;
    options.columns = columns;
    for (auto _ : state) {
        CsvTable table;
        if (!readCsvTable(sample(), options, &table))
            state.SkipWithError("the table cannot be read");
        benchmark::DoNotOptimize(table.values.data);
    }
    state.SetBytesProcessed(state.iterations() * sample().size());
}

void importAllColumns(benchmark::State &state)
{
    importTable(state, {});
}
BENCHMARK(importAllColumns)->Unit(benchmark::kMillisecond);

void importTwoColumns(benchmark::State &state)
{
    importTable(state, {0, 1});
}
BENCHMARK(importTwoColumns)->Unit(benchmark::kMillisecond);

void writeValueRows(benchmark::State &state)
{
    QRandomGenerator random(9);
    std::vector<double> values(300000);
    for (double &v : values)
        v = random.generateDouble() * 100;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        ValueRowWriter writer(&buffer);
        for (size_t i = 0; i < values.size(); i += 3)
            writer.writeRow(values.data() + i, 3);
        writer.flush();
        benchmark::DoNotOptimize(buffer.data().size());
    }
    state.SetItemsProcessed(state.iterations() * qint64(values.size()));
}
BENCHMARK(writeValueRows)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
