#include "BackgroundWork.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <exception>
#include <memory>

namespace {

// The dialog stays away from work this short.
constexpr int dialogDelay = 500;
std::atomic<int> startDelay{0};

} // namespace

bool WorkControl::report(qint64 done, qint64 total)
{
    m_total = total;
    m_done = done;
    return !m_cancelled;
}

int WorkControl::permille() const
{
    const qint64 total = m_total;
    if (total <= 0)
        return -1;
    return int(std::min<qint64>(m_done, total) * 1000 / total);
}

void BackgroundWork::setStartDelayForTests(int milliseconds)
{
    startDelay = milliseconds;
}

bool BackgroundWork::run(QWidget *parent, const QString &label, const std::function<void(WorkControl &)> &work)
{
    WorkControl control;
    const int delay = startDelay;
    std::exception_ptr failure; // thrown again here, as if the work had run here
    std::unique_ptr<QThread> thread(QThread::create([&control, &work, &failure, delay] {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < delay && !control.cancelled())
            QThread::msleep(10);
        try {
            work(control);
        } catch (...) {
            failure = std::current_exception();
        }
    }));

    QProgressDialog dialog(label, QStringLiteral("Zrušit"), 0, 0, parent);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    dialog.setMinimumDuration(dialogDelay);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&control] { control.cancel(); });

    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    bool inputWaits = true;
    QTimer ticks;
    ticks.setInterval(50);
    QObject::connect(&ticks, &QTimer::timeout, &loop, [&] {
        if (dialog.wasCanceled())
            control.cancel();
        const int permille = control.permille();
        // Not before the dialog shows: it would show early on a slow start.
        if (permille >= 0 && dialog.isVisible()) {
            dialog.setMaximum(1000);
            dialog.setValue(permille);
        }
        // Shown, the dialog takes the user's input; hidden by a cancel, the
        // window takes none until the work has stopped.
        if (inputWaits == dialog.isVisible())
            loop.quit();
    });
    dialog.setValue(0); // starts the dialog's wait
    ticks.start();
    thread->start();
    while (!thread->isFinished()) {
        inputWaits = !dialog.isVisible();
        loop.exec(inputWaits ? QEventLoop::ExcludeUserInputEvents : QEventLoop::AllEvents);
    }
    thread->wait();
    if (failure)
        std::rethrow_exception(failure);
    return !control.cancelled();
}
