#include "gui_test_support.h"
#include "app/progress_job.h"
#include "exchange/xlsx_writer.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <thread>

namespace {

// Records what the open progress dialog shows; cancels once past `cancelAt`.
struct Watch {
    double cancelAt = 2;
    int refreshes = 0;
    QString objectName;
    bool modal = false;
    Watch() {
        progress::SetObserver([this](QDialog* dlg, JobProgress& p) {
            ++refreshes;
            objectName = dlg->objectName();
            modal = dlg->isModal() && dlg->isVisible();
            if (p.Fraction() >= cancelAt) dlg->reject();
        });
    }
    ~Watch() { progress::SetObserver({}); }
};

} // namespace

TEST(ProgressJob, BackgroundWorkShowsItsProgressAndStopsWhenCancelled) {
    Watch watch;
    std::thread::id workThread;
    const JobEnd done = RunInBackground(nullptr, QStringLiteral("正在读取"), [&](JobProgress& p) {
        workThread = std::this_thread::get_id();
        for (int i = 0; i <= 20; ++i) {
            p.Report(i / 20.0);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    EXPECT_EQ(done, JobEnd::finished);
    EXPECT_NE(workThread, std::this_thread::get_id()) << "off the window thread";
    EXPECT_EQ(watch.objectName, "183");
    EXPECT_TRUE(watch.modal);

    watch.cancelAt = 0.3;
    int reports = 0;
    const JobEnd cancelled = RunInBackground(nullptr, QStringLiteral("正在读取"), [&](JobProgress& p) {
        // Told through its reports; a minute of work if nobody stops it.
        for (int i = 0; i < 60000 && p.Report(i / 60000.0 + 0.3 * (i > 10)); ++i) {
            ++reports;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    EXPECT_EQ(cancelled, JobEnd::cancelled);
    EXPECT_LT(reports, 60000);
}

TEST(ProgressJob, StepsOnTheWindowThreadLetItPaintAndGoOnAfterACancel) {
    Watch watch;
    watch.cancelAt = 0.5;
    int steps = 0, undone = 0;
    QElapsedTimer clock;
    clock.start();
    qint64 widest = 0, last = 0;
    QTimer beat; // the window's own timers keep running between steps
    QObject::connect(&beat, &QTimer::timeout, [&] {
        widest = std::max(widest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    beat.start(5);
    const JobEnd end = RunInSteps(nullptr, QStringLiteral("正在导入"), [&](JobProgress& p) {
        if (p.Cancelled()) return ++undone == steps; // take back each step, then end
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        p.Report(++steps / 100.0);
        return steps == 100;
    });
    EXPECT_EQ(end, JobEnd::cancelled);
    EXPECT_GE(steps, 50);
    EXPECT_LT(steps, 100);
    EXPECT_EQ(undone, steps);
    EXPECT_LT(widest, 100) << "the event loop ran between the steps";
}

TEST(ProgressJob, ACancelledSpreadsheetLeavesTheOldFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.xlsx");
    SheetTable t;
    t.header = {QStringLiteral("姓名")};
    t.rows = 1000;
    t.row = [](std::size_t r, std::vector<SheetCell>& cells) { cells.push_back(SheetCell::Number(double(r))); };
    ASSERT_TRUE(WriteXlsx(path, t));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    double told = 0;
    t.progress = [&told](double fraction) {
        told = fraction;
        return fraction < 0.5;
    };
    const vantorel::Result<int> cancelled = WriteXlsx(path, t);
    ASSERT_FALSE(cancelled);
    EXPECT_EQ(cancelled.Reason(), kXlsxCancelled);
    EXPECT_GE(told, 0.5);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary file left";
}
