#include "calendar_export.h"

#include "app/message_box.h"
#include "exchange/calendar_file.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>
#include <optional>

namespace {

// A small book is written before anyone could notice: no box flashes by.
constexpr int kQuietMs = 300;

} // namespace

void ExportCalendarInteractive(QWidget* parent, const vantorel::DataBook& book, const ReminderSwitches& switches,
                               const QDate& today) {
    const QString filter = QStringLiteral("iCalendar 日历 (*.ics)");
    QString chosen = filter;
    QString path =
        msg::SaveFileName(parent, QStringLiteral("导出日历"), QStringLiteral("Vantorel日程.ics"), filter, &chosen);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".ics");

    std::atomic<int> written{0};
    std::atomic<bool> cancel{false};
    std::optional<vantorel::Result<CalendarFileOutcome>> result;
    const QDateTime stamp = QDateTime::currentDateTimeUtc();
    std::unique_ptr<QThread> worker(QThread::create([&] {
        result.emplace(WriteCalendarFile(path, book, switches, today, stamp, [&](int n) {
            written = n;
            return cancel.load();
        }));
    }));
    QPointer<QWidget> owner(parent);
    worker->start();
    if (!worker->wait(QDeadlineTimer(kQuietMs))) {
        // The book is read while the box is up: its modality keeps every
        // page from changing it.
        QProgressDialog progress(QStringLiteral("正在导出日历……"), QStringLiteral("取消"), 0, 0, parent);
        progress.setWindowTitle(QStringLiteral("Vantorel"));
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setMinimumDuration(0);
        QEventLoop loop;
        QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
        QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&] { cancel = true; });
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, &progress, [&] {
            progress.setLabelText(QStringLiteral("正在导出日历……已写入 %1 项").arg(written.load()));
        });
        tick.start(200);
        progress.show();
        if (!worker->isFinished()) loop.exec();
        worker->wait();
    }
    if (!*result) {
        if (cancel) return; // the user knows: nothing was written
        msg::Info(owner, QString::fromStdString(result->Reason()));
        return;
    }
    const agenda::CalendarCounts& n = (*result)->counts;
    msg::Info(owner, QStringLiteral("日历已保存到 %1\n共 %2 个日程、%3 个生日、%4 个续期缴费日。")
                         .arg(QDir::toNativeSeparators(path))
                         .arg(n.schedule)
                         .arg(n.birthdays)
                         .arg(n.premiums));
}
