// Importing the big table and applying the body mass index to it: the table
// of numbers alone, and the same table as a study holds it (a text column,
// 5 % of the cells empty). KOSTIMER_BENCH_DIR names the folder of the
// generated files (the system's temporary folder when unset).

#include "BenchData.h"
#include "MethodCatalog.h"
#include "TTableModel.h"

#include <QDir>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

QString folder()
{
    const QByteArray dir = qgetenv("KOSTIMER_BENCH_DIR");
    return dir.isEmpty() ? QDir::tempPath() : QString::fromLocal8Bit(dir);
}

void import(benchmark::State &state, const QString &path)
{
    for (auto _ : state) {
        TTableModel table;
        if (!table.loadCsv(path))
            state.SkipWithError("the file cannot be read");
        benchmark::DoNotOptimize(table.rowCount());
    }
}

// Weight and height are the first two number columns of both files.
void applyBmi(benchmark::State &state, const QString &path, std::vector<int> columns)
{
    buildMethodCatalog();
    TTableModel table;
    if (!table.loadCsv(path))
        state.SkipWithError("the file cannot be read");
    for (auto _ : state) {
        TTableModel result(&table);
        benchmark::DoNotOptimize(result.applyMethod(2, columns));
    }
}

void importNumbers(benchmark::State &state)
{
    import(state, measurementCsv(folder()));
}
void importStudy(benchmark::State &state)
{
    import(state, studyCsv(folder()));
}
void applyBmiToNumbers(benchmark::State &state)
{
    applyBmi(state, measurementCsv(folder()), {0, 1});
}
void applyBmiToStudy(benchmark::State &state)
{
    applyBmi(state, studyCsv(folder()), {1, 2});
}

} // namespace

BENCHMARK(importNumbers)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(importStudy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(applyBmiToNumbers)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(applyBmiToStudy)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
