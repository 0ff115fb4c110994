// A method applied to a table of 1,000,000 rows and 10 columns (and computed
// again after an edit of its source): the checked
// rows out of the table, the body mass index of two of its columns, the result
// back into a table; measured against one hand-written loop that reads the
// same two values of every row and writes the same three. Also the parts on
// their own, and the memory that table takes inside the model.
//
// glibc hands large freed blocks back to the system and takes them again page
// by page; between iterations that costs more than the work itself. To see the
// work alone, keep freed memory in the process:
//   GLIBC_TUNABLES=glibc.malloc.mmap_threshold=33554432:glibc.malloc.trim_threshold=268435456 bench_tablemodel
#include "MatrixRules.h"
#include "MethodCatalog.h"
#include "TTableModel.h"

#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>
#include <vector>

namespace {

constexpr int tableRows = 1000000;
constexpr int tableColumns = 10;
// Weight and height (metres) are columns 3 and 7.
const std::vector<int> mapped{3, 7};

const cv::Mat &values()
{
    static const cv::Mat m = [] {
        QRandomGenerator random(5);
        cv::Mat v(tableRows, tableColumns, CV_64F);
        for (int r = 0; r < tableRows; ++r)
            for (int c = 0; c < tableColumns; ++c)
                v.at<double>(r, c) = c == 7 ? 1.4 + random.generateDouble() * 0.6 : 40 + random.generateDouble() * 80;
        return v;
    }();
    return m;
}

TTableModel &sourceTable()
{
    static TTableModel *table = [] {
        buildMethodCatalog();
        auto *t = new TTableModel();
        t->setMatrix(values());
        return t;
    }();
    return *table;
}

// What the program does for every method it applies: a copy of the table
// (sharing its values), applyMethod on it, the copy becoming the result.
void applyMethodToACopy(benchmark::State &state)
{
    TTableModel &source = sourceTable();
    for (auto _ : state) {
        TTableModel copy(&source);
        copy.applyMethod(2, mapped);
        benchmark::DoNotOptimize(copy.rowCount());
    }
    state.SetItemsProcessed(state.iterations() * tableRows);
}
BENCHMARK(applyMethodToACopy)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same steps through the public operations: every column out, two of
// them selected, the result copied into the table.
void checkedMatrixSelectSetMatrix(benchmark::State &state)
{
    TTableModel &source = sourceTable();
    const MethodRecord &bmi = MethodCatalog[2];
    TTableModel result(2, nullptr);
    for (auto _ : state) {
        const cv::Mat checked = source.checkedMatrix();
        result.setMatrix(computeResult(bmi, selectColumns(checked, mapped, bmi.inputCount)));
        benchmark::DoNotOptimize(result.rowCount());
    }
    state.SetItemsProcessed(state.iterations() * tableRows);
}
BENCHMARK(checkedMatrixSelectSetMatrix)->Unit(benchmark::kMillisecond)->UseRealTime();

// The compute routine on its own, on the two input columns ready.
void methodRoutineAlone(benchmark::State &state)
{
    sourceTable();
    const cv::Mat input = selectColumns(values(), mapped, 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(computeResult(MethodCatalog[2], input).data);
}
BENCHMARK(methodRoutineAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

void checkedMatrixAlone(benchmark::State &state)
{
    TTableModel &source = sourceTable();
    for (auto _ : state)
        benchmark::DoNotOptimize(source.checkedMatrix().data);
}
BENCHMARK(checkedMatrixAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

void setMatrixOfAResult(benchmark::State &state)
{
    const cv::Mat result(tableRows, 3, CV_64F, cv::Scalar(1.0));
    TTableModel table(2, nullptr);
    for (auto _ : state) {
        table.setMatrix(result);
        benchmark::DoNotOptimize(table.rowCount());
    }
}
BENCHMARK(setMatrixOfAResult)->Unit(benchmark::kMillisecond)->UseRealTime();

// A cell of the source edited: the body mass index made from it is computed
// again from its source rows (what the window does after every edit).
void resultFollowsAnEdit(benchmark::State &state)
{
    TTableModel &source = sourceTable();
    TTableModel result(&source);
    result.applyMethod(2, mapped);
    for (auto _ : state) {
        const std::optional<TTableModel::RowChange> change = result.follow(source, {});
        benchmark::DoNotOptimize(change->added);
    }
    state.SetItemsProcessed(state.iterations() * tableRows);
}
BENCHMARK(resultFollowsAnEdit)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick: the values in one row-major block, the result into a fresh one.
void handWrittenLoop(benchmark::State &state)
{
    const cv::Mat &v = values();
    const double *in = v.ptr<double>(0);
    for (auto _ : state) {
        std::unique_ptr<double[]> out(new double[size_t(tableRows) * 3]);
        for (size_t r = 0; r < size_t(tableRows); ++r) {
            const double weight = in[r * tableColumns + 3];
            const double height = in[r * tableColumns + 7];
            const double square = height * height;
            out[r * 3] = weight;
            out[r * 3 + 1] = height;
            out[r * 3 + 2] = square == 0.0 ? 0.0 : weight / square;
        }
        benchmark::DoNotOptimize(out.get());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * tableRows);
}
BENCHMARK(handWrittenLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Heap the model holds for the table, against the 80 MB of its raw values.
void memoryOfTheTable(benchmark::State &state)
{
    buildMethodCatalog();
    const cv::Mat &v = values();
    size_t held = 0;
    for (auto _ : state) {
        const size_t before = heapInUse();
        auto table = std::make_unique<TTableModel>();
        table->setMatrix(v);
        held = heapInUse() - before;
        benchmark::DoNotOptimize(table->rowCount());
    }
    const double raw = double(tableRows) * tableColumns * sizeof(double);
    state.counters["MB"] = double(held) / 1e6;
    state.counters["xRaw"] = double(held) / raw;
}
BENCHMARK(memoryOfTheTable)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
