// What the agent's calendar file holds: the schedule entries, the birthdays
// of the people whose reminder switch is on and the renewal premiums of the
// next 12 months, as plain descriptions of events for a writer to format.
#pragma once

#include "reminder_switches.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <functional>

namespace vantorel {
struct DataBook;
}

namespace agenda {

struct CalendarEvent {
    enum class Kind { schedule, birthday, premium };
    enum class Repeat {
        none,
        yearly, // on the start's month and day
        // 29 February births: every year on February's last day, the 29th in
        // leap years and the 28th in the others.
        yearlyLastOfFebruary,
    };
    Kind kind = Kind::schedule;
    QDate date; // the all-day event's day; a birthday's first one is the birth date
    Repeat repeat = Repeat::none;
    QString summary;
    QString description;     // may be empty
    QByteArray uid;          // ASCII, stable across exports of the same records
    int alarmDaysBefore = 0; // 0: no alarm
};

struct CalendarCounts {
    int schedule = 0;
    int birthdays = 0;
    int premiums = 0;
    int Total() const { return schedule + birthdays + premiums; }
};

// Days before a renewal premium that its alarm rings.
inline constexpr int kPremiumAlarmDays = 3;

// Calls each(event) for every event of the book, one at a time so that a
// large book is never held twice: schedule entries (every one with a real
// date; identical entries, same day and same text, once), then birthdays
// (one per person, of the roles whose switch is on), then the renewal
// premiums due from `today` up to the same day 12 months later (not
// included), when that switch is on.
CalendarCounts ForEachCalendarEvent(const vantorel::DataBook& book, const ReminderSwitches& switches,
                                    const QDate& today, const std::function<void(const CalendarEvent&)>& each);

// A record's key as it may stand in a UID: ASCII letters, digits and "-._"
// as they are, every other byte of its UTF-8 as %XX ("%" too, so that two
// keys never give the same text).
QByteArray UidSafe(const QString& key);

} // namespace agenda
