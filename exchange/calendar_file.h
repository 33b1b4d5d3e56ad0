// The agent's calendar as an iCalendar file (RFC 5545) that phones and
// desktop calendars import or subscribe to, written with libical.
#pragma once

#include "agent/calendar_events.h"
#include "records/result.h"

#include <QDateTime>
#include <QString>
#include <functional>

namespace vantorel {
struct DataBook;
}

struct CalendarFileOutcome {
    agenda::CalendarCounts counts;
    qint64 bytes = 0; // the file's size
};

// Called now and then with the events written so far; true stops the
// writing, which then fails and leaves no file.
using CalendarProgress = std::function<bool(int written)>;

// Writes the events of ForEachCalendarEvent as one VCALENDAR: all-day
// events (VALUE=DATE, DTEND the next day), birthdays repeating yearly, the
// renewal premiums with an alarm 3 days before. Every event carries
// `stamp` as its DTSTAMP. The file goes to a temporary file beside `path`
// (links followed) and is renamed over it only when complete: a failure
// leaves an older file whole. A new file is private (0600), a replaced one
// keeps its permissions. The reason of a failure is UTF-8 text for the user
// that names the file.
vantorel::Result<CalendarFileOutcome> WriteCalendarFile(const QString& path, const vantorel::DataBook& book,
                                                        const ReminderSwitches& switches, const QDate& today,
                                                        const QDateTime& stamp = QDateTime::currentDateTimeUtc(),
                                                        const CalendarProgress& progress = {});
