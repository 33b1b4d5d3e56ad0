// Long work without a frozen window: a themed modal progress dialog with a
// bar and "取消" (Esc cancels too) while the work runs, either on a thread of
// its own (reading and checking files, writing a spreadsheet) or on the
// window thread in short steps between events (changes to the book, whose
// collections belong to this thread). The window keeps painting either way.
#pragma once

#include <QString>
#include <atomic>
#include <functional>
#include <mutex>

class QDialog;
class QWidget;

// What the work and the dialog share. Any thread may report and ask.
class JobProgress {
public:
    // The fraction done, 0 to 1; false once the user cancelled.
    bool Report(double fraction);
    bool Cancelled() const { return cancelled_.load(); }
    // The line above the bar.
    void SetText(const QString& text);

    double Fraction() const { return fraction_.load(); }
    QString Text() const;
    void Cancel() { cancelled_.store(true); }

private:
    std::atomic<double> fraction_{0};
    std::atomic<bool> cancelled_{false};
    mutable std::mutex mutex_;
    QString text_;
};

enum class JobEnd { finished, cancelled };

// Runs `work` on a thread of its own; returns once it returned, cancelled
// when the user asked to stop (the work decides how soon it does). `work`
// must not touch widgets nor the book's collections.
JobEnd RunInBackground(QWidget* parent, const QString& text, const std::function<void(JobProgress&)>& work);

// Calls `step` on the window thread again and again, letting the window
// paint between calls, until it returns true; each call should return
// within a few tens of milliseconds. After a cancel the steps go on (to
// take back what was done, say) until one returns true.
JobEnd RunInSteps(QWidget* parent, const QString& text, const std::function<bool(JobProgress&)>& step);

namespace progress {
// Tests: told on the window thread at every refresh of an open progress
// dialog (about every 50 ms and after each step), with its progress.
using Observer = std::function<void(QDialog* dialog, JobProgress& progress)>;
void SetObserver(Observer observer);
} // namespace progress
