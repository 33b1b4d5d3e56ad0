#include "calendar_file.h"

#include "records/data_files.h"
#include "records/platform_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <libical/ical.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

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

Component Event(const agenda::CalendarEvent& e, const icaltimetype& stamp) {
    using agenda::CalendarEvent;
    Component ev(icalcomponent_new(ICAL_VEVENT_COMPONENT));
    icalcomponent* c = ev.get();
    Add(c, icalproperty_new_uid(e.uid.constData()));
    Add(c, icalproperty_new_dtstamp(stamp));
    Add(c, icalproperty_new_dtstart(Day(e.date)));
    Add(c, icalproperty_new_dtend(Day(e.date.addDays(1))));
    if (e.repeat != CalendarEvent::Repeat::none) {
        icalrecurrencetype r;
        icalrecurrencetype_clear(&r);
        r.freq = ICAL_YEARLY_RECURRENCE;
        if (e.repeat == CalendarEvent::Repeat::yearlyLastOfFebruary) {
            // February's last day: the 29th in leap years, the 28th in the others.
            r.by_month[0] = 2;
            r.by_month[1] = ICAL_RECURRENCE_ARRAY_MAX;
            r.by_month_day[0] = -1;
            r.by_month_day[1] = ICAL_RECURRENCE_ARRAY_MAX;
        }
        Add(c, icalproperty_new_rrule(r));
    }
    Add(c, icalproperty_new_summary(e.summary.toUtf8().constData()));
    if (!e.description.isEmpty()) Add(c, icalproperty_new_description(e.description.toUtf8().constData()));
    // A day's reminder, not time taken: the day stays free for appointments.
    Add(c, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
    if (e.alarmDaysBefore > 0) {
        icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
        Add(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
        icaltriggertype trigger;
        trigger.time = icaltime_null_time();
        trigger.duration = icaldurationtype_null_duration();
        trigger.duration.is_neg = 1;
        trigger.duration.days = static_cast<unsigned>(e.alarmDaysBefore);
        Add(alarm, icalproperty_new_trigger(trigger));
        Add(alarm, icalproperty_new_description(e.summary.toUtf8().constData()));
        icalcomponent_add_component(c, alarm);
    }
    return ev;
}

} // namespace

vantorel::Result<CalendarFileOutcome> WriteCalendarFile(const QString& path, const vantorel::DataBook& book,
                                                        const ReminderSwitches& switches, const QDate& today,
                                                        const QDateTime& stamp, const CalendarProgress& progress) {
    auto fail = [&](const QString& why) {
        return vantorel::Failure{QStringLiteral("无法写入文件 %1：%2").arg(path, why).toStdString()};
    };
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
    // book would be one string of hundreds of megabytes.
    QByteArray buffer = whole.left(end);
    bool failed = false, stopped = false;
    int written = 0;
    const icaltimetype dtstamp =
        icaltime_from_timet_with_zone(stamp.toSecsSinceEpoch(), 0, icaltimezone_get_utc_timezone());
    auto flush = [&] {
        if (!failed && temp.write(buffer) != buffer.size()) failed = true;
        buffer.clear();
    };
    const agenda::CalendarCounts counts =
        agenda::ForEachCalendarEvent(book, switches, today, [&](const agenda::CalendarEvent& e) {
            if (failed || stopped) return;
            buffer += TextOf(Event(e, dtstamp).get());
            if (buffer.size() >= (1 << 20)) flush();
            if (++written % 4096 == 0 && progress && progress(written)) stopped = true;
        });
    if (stopped) return fail(QStringLiteral("已取消"));
    buffer += whole.mid(end);
    flush();
    if (failed || !temp.flush()) return fail(temp.errorString());

#ifdef Q_OS_UNIX
    if (::fsync(temp.handle()) != 0) return fail(QString::fromLocal8Bit(std::strerror(errno)));
#endif
    const qint64 bytes = temp.size();
    temp.close();
    if (const auto renamed = vantorel::ReplaceByRename(ToPath(temp.fileName()), ToPath(target)); !renamed)
        return fail(QString::fromStdString(renamed.Reason()));
    temp.setAutoRemove(false);
    // The file is whole either way; the folder's sync only makes the rename durable sooner.
    (void)vantorel::SyncDirectory(ToPath(info.absolutePath()));
    return CalendarFileOutcome{counts, bytes};
}
