#pragma once
// Long work off the interface thread. Importing a big CSV file, applying a
// method to a big table, saving and opening a project: the reading, parsing,
// computing or writing runs in a worker thread while the window goes on
// painting. After half a second a progress dialog appears ("Zrušit" cancels);
// the interface thread then applies the result, or drops it when cancelled.
//
// The work touches no widget and no model a view shows: it is given copies
// (a table's copy shares its values until one of them writes) or makes
// tables of its own, moved to the interface thread before it ends.

#include <QString>

#include <atomic>
#include <functional>

class QWidget;

// What the work sees of the window; safe from any thread.
class WorkControl {
public:
    // Reports done of total steps; false once the user has cancelled.
    bool report(qint64 done, qint64 total);
    bool cancelled() const { return m_cancelled; }
    void cancel() { m_cancelled = true; }
    // The share done in thousandths; -1 while unknown.
    int permille() const;

private:
    std::atomic<qint64> m_done{0};
    std::atomic<qint64> m_total{0};
    std::atomic<bool> m_cancelled{false};
};

namespace BackgroundWork {

// Runs work in a worker thread and waits for it. Until the progress dialog
// (label over its bar) appears the user's input waits too; the dialog is
// modal. False when the user cancelled: whatever the work made is to be dropped.
bool run(QWidget *parent, const QString &label, const std::function<void(WorkControl &)> &work);

// For tests alone: each work starts only after this many milliseconds, or
// at once when cancelled meanwhile, so that a test sees the dialog of a small
// job and cancels it.
void setStartDelayForTests(int milliseconds);

} // namespace BackgroundWork
