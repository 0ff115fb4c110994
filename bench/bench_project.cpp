// The project file with the 1,000,000-row, 10-column table: saving it against
// `zip -6` compressing the same table written as CSV, and opening it against
// importing that CSV.
#include "BenchData.h"
#include "MethodCatalog.h"
#include "ProjectArchive.h"
#include "TTableModel.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QTemporaryDir *folder;

TTableModel &table()
{
    static TTableModel *t = [] {
        auto *loaded = new TTableModel(nullptr);
        loaded->loadCsv(measurementCsv(folder->path()));
        return loaded;
    }();
    return *t;
}

ProjectTree borrowed()
{
    ProjectTree roots;
    roots.push_back(std::make_unique<ProjectNode>());
    roots[0]->table = &table();
    roots[0]->isDataNode = true;
    roots[0]->sourceFileName = QStringLiteral("measurements.csv");
    return roots;
}

QString savedProject()
{
    static const QString path = [] {
        const QString p = folder->filePath(QStringLiteral("project.kstx"));
        ProjectTree roots = borrowed();
        writeProjectFile(p, roots);
        return p;
    }();
    return path;
}

void saveProject(benchmark::State &state)
{
    ProjectTree roots = borrowed();
    const QString path = folder->filePath(QStringLiteral("saved.kstx"));
    for (auto _ : state)
        benchmark::DoNotOptimize(writeProjectFile(path, roots));
    state.counters["bytes"] = double(QFile(path).size());
}
BENCHMARK(saveProject)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same table as value rows (what CSV export writes), compressed by zip -6.
void zipSameTable(benchmark::State &state)
{
    const QString zip = QStandardPaths::findExecutable(QStringLiteral("zip"));
    if (zip.isEmpty()) {
        state.SkipWithError("zip is not installed");
        return;
    }
    const QString csv = folder->filePath(QStringLiteral("table.csv"));
    QFile file(csv);
    file.open(QIODevice::WriteOnly);
    table().writeCsv(&file, NumberDigits::Full);
    file.close();
    const QString archive = folder->filePath(QStringLiteral("table.zip"));
    for (auto _ : state) {
        QFile::remove(archive);
        QProcess::execute(zip, {QStringLiteral("-6"), QStringLiteral("-q"), QStringLiteral("-j"), archive, csv});
    }
}
BENCHMARK(zipSameTable)->Unit(benchmark::kMillisecond)->Iterations(3);

void openProject(benchmark::State &state)
{
    const QString path = savedProject();
    for (auto _ : state) {
        ProjectTree roots;
        benchmark::DoNotOptimize(readProjectFile(path, &roots));
    }
}
BENCHMARK(openProject)->Unit(benchmark::kMillisecond)->Iterations(3);

void importCsv(benchmark::State &state)
{
    const QString path = measurementCsv(folder->path());
    for (auto _ : state) {
        TTableModel imported(nullptr);
        benchmark::DoNotOptimize(imported.loadCsv(path));
    }
}
BENCHMARK(importCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    buildMethodCatalog();
    QTemporaryDir temporary;
    folder = &temporary;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
