// The window with a big table, offscreen: start-up to the window shown, the
// import of a 1,000,000-row CSV (10 columns, decimal commas) to its table
// shown, and a jump to the last row.
#include "FileDialog.h"
#include "MainWindow.h"
#include "MethodCatalog.h"

#include <QApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QTemporaryDir *folder;

QString bigCsv()
{
    static const QString path = [] {
        const QString p = folder->filePath(QStringLiteral("people-1m.csv"));
        QFile file(p);
        file.open(QIODevice::WriteOnly);
        QRandomGenerator random(2026);
        QByteArray chunk = "Hmotnost;Vyska;M1;M2;M3;M4;M5;M6;M7;M8\n";
        for (int row = 0; row < 1000000; ++row) {
            chunk += QByteArray::number(40 + random.generateDouble() * 80, 'f', 1) + ';'
                     + QByteArray::number(1.45 + random.generateDouble() * 0.6, 'f', 3);
            for (int j = 0; j < 8; ++j)
                chunk += ';' + QByteArray::number(10 + random.generateDouble() * 189, 'f', 3);
            chunk += '\n';
            if (chunk.size() > (1 << 20)) {
                file.write(chunk.replace('.', ','));
                chunk.clear();
            }
        }
        file.write(chunk.replace('.', ','));
        return p;
    }();
    return path;
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
    QTemporaryDir temporary;
    folder = &temporary;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
