#include "calendar_file.h"

#include "exchange/write_failure.h"
#include "records/data_files.h"
#include "records/platform_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <libical/ical.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <filesystem>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

fs::path ToPath(const QString& s) { return fs::path(QFile::encodeName(s).toStdString()); }
QString FromPath(const fs::path& p) { return QFile::decodeName(QByteArray::fromStdString(p.string())); }

struct FreeComponent {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, FreeComponent>;

// libical's text of a component, which the caller owns.
QByteArray TextOf(icalcomponent* c) {
    char* text = icalcomponent_as_ical_string_r(c);
    if (!text) return {};
    QByteArray out(text);
    icalmemory_free_buffer(text);
    return out;
}

icaltimetype Day(const QDate& d) {
    icaltimetype t = icaltime_null_date();
    t.year = d.year();
    t.month = d.month();
    t.day = d.day();
    return t;
}

void Add(icalcomponent* c, icalproperty* p) { icalcomponent_add_property(c, p); }

// Events made into text by one helper thread at a time.
constexpr std::size_t kBatch = 2048;

bool Write(QFile& file, const QByteArray& bytes) { return file.write(bytes) == bytes.size(); }

// The calendar's own properties; libical's text of it is the file's head and tail.
Component Calendar() {
    Component cal(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    Add(cal.get(), icalproperty_new_prodid("-//Vantorel//Vantorel//ZH"));
    Add(cal.get(), icalproperty_new_version("2.0"));
    Add(cal.get(), icalproperty_new_calscale("GREGORIAN"));
    Add(cal.get(), icalproperty_new_method(ICAL_METHOD_PUBLISH));
    // The name calendars give a subscribed or imported calendar.
    icalproperty* name = icalproperty_new_x(QStringLiteral("Vantorel 日程").toUtf8().constData());
    icalproperty_set_x_name(name, "X-WR-CALNAME");
    Add(cal.get(), name);
    return cal;
}

// libical's text of a property, which is then freed.
QByteArray TextOf(icalproperty* p) {
    char* text = icalproperty_as_ical_string_r(p);
    QByteArray out(text ? text : "");
    icalmemory_free_buffer(text);
    icalproperty_free(p);
    return out;
}

// libical's text of a component without its closing line, and that line.
std::pair<QByteArray, QByteArray> Split(Component c, const char* endLine) {
    const QByteArray text = TextOf(c.get());
    const qsizetype at = text.lastIndexOf(endLine);
    return {text.left(at), text.mid(at)};
}

// The text of events, as libical writes each of their properties. What every
// event has alike (DTSTAMP, the rules of repetition, the alarm's action and
// trigger) is written by libical once and used again: a large book has
// hundreds of thousands of events, and libical's writing takes most of the time.
class EventText {
public:
    explicit EventText(const icaltimetype& stamp) {
        std::tie(begin_, end_) = Split(Component(icalcomponent_new(ICAL_VEVENT_COMPONENT)), "END:VEVENT");
        stamp_ = TextOf(icalproperty_new_dtstamp(stamp));
        icalrecurrencetype r;
        icalrecurrencetype_clear(&r);
        r.freq = ICAL_YEARLY_RECURRENCE;
        yearly_ = TextOf(icalproperty_new_rrule(r));
        // February's last day: the 29th in leap years, the 28th in the others.
        r.by_month[0] = 2;
        r.by_month[1] = ICAL_RECURRENCE_ARRAY_MAX;
        r.by_month_day[0] = -1;
        r.by_month_day[1] = ICAL_RECURRENCE_ARRAY_MAX;
        lastOfFebruary_ = TextOf(icalproperty_new_rrule(r));
    }

    void Append(QByteArray& out, const agenda::CalendarEvent& e) {
        using agenda::CalendarEvent;
        out += begin_;
        out += TextOf(icalproperty_new_uid(e.uid.constData()));
        out += stamp_;
        out += Dates(e.date);
        if (e.repeat == CalendarEvent::Repeat::yearly) out += yearly_;
        if (e.repeat == CalendarEvent::Repeat::yearlyLastOfFebruary) out += lastOfFebruary_;
        const QByteArray summary = e.summary.toUtf8();
        out += TextOf(icalproperty_new_summary(summary.constData()));
        if (!e.description.isEmpty()) out += TextOf(icalproperty_new_description(e.description.toUtf8().constData()));
        if (e.alarmDaysBefore > 0) {
            const auto& [head, tail] = Alarm(e.alarmDaysBefore);
            out += head;
            out += TextOf(icalproperty_new_description(summary.constData())); // what the alarm shows
            out += tail;
        }
        out += end_;
    }

private:
    // DTSTART and DTEND of an all-day event on `day`: a book's events fall
    // on far fewer days than there are events.
    const QByteArray& Dates(const QDate& day) {
        QByteArray& text = dates_[day.toJulianDay()];
        if (text.isEmpty())
            text = TextOf(icalproperty_new_dtstart(Day(day))) + TextOf(icalproperty_new_dtend(Day(day.addDays(1))));
        return text;
    }

    // An alarm that days before the event shows a text: its head, where the
    // text goes, and its end.
    const std::pair<QByteArray, QByteArray>& Alarm(int days) {
        auto at = alarms_.find(days);
        if (at != alarms_.end()) return at->second;
        Component alarm(icalcomponent_new(ICAL_VALARM_COMPONENT));
        Add(alarm.get(), icalproperty_new_action(ICAL_ACTION_DISPLAY));
        icaltriggertype trigger;
        trigger.time = icaltime_null_time();
        trigger.duration = icaldurationtype_null_duration();
        trigger.duration.is_neg = 1;
        trigger.duration.days = static_cast<unsigned>(days);
        Add(alarm.get(), icalproperty_new_trigger(trigger));
        return alarms_.emplace(days, Split(std::move(alarm), "END:VALARM")).first->second;
    }

    QByteArray begin_, end_, stamp_, yearly_, lastOfFebruary_;
    std::map<int, std::pair<QByteArray, QByteArray>> alarms_;
    std::unordered_map<qint64, QByteArray> dates_;
};

// Helper threads that make batches of events into text, each with its own
// EventText; the texts come back in the order the batches were given.
class TextWorkers {
public:
    TextWorkers(const icaltimetype& stamp, std::size_t threads) {
        for (std::size_t i = 0; i < threads; ++i)
            threads_.emplace_back([this, stamp] {
                EventText writer(stamp);
                for (;;) {
                    std::unique_lock lock(mutex_);
                    wake_.wait(lock, [this] { return done_ || !jobs_.empty(); });
                    if (jobs_.empty()) return;
                    Job job = std::move(jobs_.front());
                    jobs_.pop_front();
                    lock.unlock();
                    try {
                        QByteArray text;
                        for (const agenda::CalendarEvent& e : job.events) writer.Append(text, e);
                        job.text.set_value(std::move(text));
                    } catch (...) { // out of memory: told where the text is awaited
                        job.text.set_exception(std::current_exception());
                    }
                }
            });
    }
    ~TextWorkers() {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        for (std::thread& t : threads_) t.join();
    }
    std::future<QByteArray> Give(std::vector<agenda::CalendarEvent> events) {
        Job job{std::move(events), {}};
        std::future<QByteArray> text = job.text.get_future();
        {
            const std::lock_guard lock(mutex_);
            jobs_.push_back(std::move(job));
        }
        wake_.notify_one();
        return text;
    }

private:
    struct Job {
        std::vector<agenda::CalendarEvent> events;
        std::promise<QByteArray> text;
    };
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool done_ = false;
    std::vector<std::thread> threads_;
};

} // namespace

vantorel::Result<CalendarFileOutcome> WriteCalendarFile(const QString& path, const vantorel::DataBook& book,
                                                        const ReminderSwitches& switches, const QDate& today,
                                                        const QDateTime& stamp, const CalendarProgress& progress) {
    auto fail = [&](const QString& why) { return vantorel::exchange::CannotWrite(path, why); };
    const QString target = FromPath(vantorel::SaveTarget(ToPath(path)));
    const QFileInfo info(target);
    // Beside the target, so that the rename cannot cross file systems; private until renamed.
    QTemporaryFile temp(info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(info.fileName())));
    if (!temp.open()) return fail(temp.errorString());
    if (info.exists()) temp.setPermissions(info.permissions());

    // The calendar's text without its events: what comes before them and the closing line.
    const Component cal = Calendar();
    const QByteArray whole = TextOf(cal.get());
    const qsizetype end = whole.lastIndexOf("END:VCALENDAR");
    if (end < 0) return fail(QStringLiteral("无法生成日历"));

    // Written event by event: libical's text of a whole calendar of a large
    // book would be one string of hundreds of megabytes. Batches of events
    // are made into text on helper threads, most of the time it takes, and
    // written in order as they come back.
    bool failed = !Write(temp, whole.left(end)), stopped = false;
    int written = 0;
    const icaltimetype dtstamp =
        icaltime_from_timet_with_zone(stamp.toSecsSinceEpoch(), 0, icaltimezone_get_utc_timezone());
    const std::size_t threads = std::max(2u, std::thread::hardware_concurrency());
    const std::size_t inFlight = 2 * threads;
    std::deque<std::future<QByteArray>> pending;
    std::vector<agenda::CalendarEvent> batch;
    std::optional<TextWorkers> workers;
    auto send = [&] {
        if (batch.empty()) return;
        if (!workers) workers.emplace(dtstamp, threads);
        pending.push_back(workers->Give(std::move(batch)));
        batch = {};
        batch.reserve(kBatch);
        while (pending.size() > (stopped || failed ? 0 : inFlight)) {
            const QByteArray text = pending.front().get();
            pending.pop_front();
            if (!failed && !Write(temp, text)) failed = true;
        }
    };
    agenda::CalendarCounts counts;
    try {
        counts = agenda::ForEachCalendarEvent(book, switches, today, [&](const agenda::CalendarEvent& e) {
            if (failed || stopped) return;
            batch.push_back(e);
            if (batch.size() == kBatch) send();
            if (++written % 4096 == 0 && progress && progress(written)) stopped = true;
        });
        send();
        while (!pending.empty()) {
            const QByteArray text = pending.front().get();
            pending.pop_front();
            if (!failed && !Write(temp, text)) failed = true;
        }
    } catch (const std::exception& e) {
        // No thread to be had, or no memory: the helpers still running finish first.
        for (auto& f : pending) f.wait();
        return fail(QString::fromLocal8Bit(e.what()));
    }
    if (stopped) return fail(QStringLiteral("已取消"));
    if (failed || !Write(temp, whole.mid(end)) || !temp.flush()) return fail(temp.errorString());

#ifdef Q_OS_UNIX
    if (::fsync(temp.handle()) != 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
#endif
    // A stop asked for while the last events were written still leaves no file.
    if (progress && progress(written)) return fail(QStringLiteral("已取消"));
    const qint64 bytes = temp.size();
    temp.close();
    if (const auto renamed = vantorel::ReplaceByRename(ToPath(temp.fileName()), ToPath(target)); !renamed)
        return fail(QString::fromStdString(renamed.Reason()));
    temp.setAutoRemove(false);
    // The file is whole either way; the folder's sync only makes the rename durable sooner.
    (void)vantorel::SyncDirectory(ToPath(info.absolutePath()));
    return CalendarFileOutcome{counts, bytes};
}
