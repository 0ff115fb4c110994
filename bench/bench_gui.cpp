// The window with a big table, offscreen: start-up to the window shown, the
// import of a 1,000,000-row CSV (10 columns, decimal commas) to its table
// shown, and a jump to the last row.
#include "BenchData.h"
#include "FileDialog.h"
#include "ImportDialog.h"
#include "MainWindow.h"
#include "MethodCatalog.h"

#include <QApplication>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QTemporaryDir *folder;

QString bigCsv()
{
    return measurementCsv(folder->path());
}

void startUp(benchmark::State &state)
{
    for (auto _ : state) {
        MainWindow window;
        window.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.isVisible());
    }
}
BENCHMARK(startUp)->Unit(benchmark::kMillisecond);

void importAndShow(benchmark::State &state)
{
    const QString path = bigCsv();
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<MainWindow>();
        window->show();
        QCoreApplication::processEvents();
        FileDialog::setNextFileNames({path});
        state.ResumeTiming();

        window->loadCSV();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window->tableView()->model()->rowCount());

        state.PauseTiming(); // the window and its table go outside the measure
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(importAndShow)->Unit(benchmark::kMillisecond)->Iterations(3);

void scrollToLastRow(benchmark::State &state)
{
    MainWindow window;
    window.show();
    FileDialog::setNextFileNames({bigCsv()});
    window.loadCSV();
    QCoreApplication::processEvents();
    QTableView *view = window.tableView();
    bool atEnd = false;
    for (auto _ : state) {
        if (atEnd)
            view->scrollToTop();
        else
            view->scrollToBottom();
        atEnd = !atEnd;
        view->viewport()->repaint();
    }
}
BENCHMARK(scrollToLastRow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    buildMethodCatalog();
    QApplication application(argc, argv);
    // Settings of its own: the user's remember the folders the user chose.
    QStandardPaths::setTestModeEnabled(true);
    // The import measured is the reading, not a person looking at the preview.
    ImportDialog::acceptDetectedWhenUnqueued(true);
    QTemporaryDir temporary;
    folder = &temporary;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
