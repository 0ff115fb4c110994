// The statistics of a table of 1,000,000 rows and 10 columns, as the
// statistics window and kostimer-cli stats compute them once the values are
// read: every row together, by two groups (sex), and by a column of a
// thousand distinct values (weight to 0.1 kg). Also one column's summary
// alone against a sort of the column, the plain way to its median.
#include "SampleStatistics.h"

#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr size_t tableRows = 1000000;
constexpr int tableColumns = 10;

const std::vector<std::vector<double>> &columns()
{
    static const std::vector<std::vector<double>> c = [] {
        QRandomGenerator random(11);
        std::vector<std::vector<double>> v(tableColumns, std::vector<double>(tableRows));
        for (auto &column : v)
            for (double &x : column)
                x = 40 + random.generateDouble() * 80;
        return v;
    }();
    return c;
}

GroupingColumn grouping(double distinct)
{
    QRandomGenerator random(12);
    GroupingColumn g{QStringLiteral("skupina"), std::vector<double>(tableRows), {}};
    for (double &key : g.keys)
        key = std::floor(random.generateDouble() * distinct);
    return g;
}

void statistics(benchmark::State &state, const GroupingColumn *by)
{
    const std::vector<char> included(tableRows, 1);
    for (auto _ : state) {
        SampleStatistics s(included, by);
        for (const std::vector<double> &column : columns())
            s.addColumn(QStringLiteral("x"), column);
        benchmark::DoNotOptimize(s.columns().data());
    }
    state.SetItemsProcessed(state.iterations() * qint64(tableRows) * tableColumns);
}

void allRows(benchmark::State &state)
{
    statistics(state, nullptr);
}
BENCHMARK(allRows)->Unit(benchmark::kMillisecond);

void twoGroups(benchmark::State &state)
{
    const GroupingColumn sex = grouping(2);
    statistics(state, &sex);
}
BENCHMARK(twoGroups)->Unit(benchmark::kMillisecond);

void thousandGroups(benchmark::State &state)
{
    const GroupingColumn weight = grouping(1000);
    statistics(state, &weight);
}
BENCHMARK(thousandGroups)->Unit(benchmark::kMillisecond);

void oneColumnSummary(benchmark::State &state)
{
    std::vector<double> scratch;
    for (auto _ : state) {
        scratch = columns().front();
        benchmark::DoNotOptimize(summarize(scratch.data(), scratch.data() + scratch.size()));
    }
    state.SetItemsProcessed(state.iterations() * qint64(tableRows));
}
BENCHMARK(oneColumnSummary)->Unit(benchmark::kMillisecond);

void oneColumnSorted(benchmark::State &state)
{
    std::vector<double> scratch;
    for (auto _ : state) {
        scratch = columns().front();
        std::sort(scratch.begin(), scratch.end());
        benchmark::DoNotOptimize(scratch[tableRows / 2]);
    }
    state.SetItemsProcessed(state.iterations() * qint64(tableRows));
}
BENCHMARK(oneColumnSorted)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
