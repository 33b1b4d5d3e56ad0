// Today's reminders: which schedule entries fall on a day and whose birthday
// it is, as the texts of the boxes to show, in the order to show them.
#pragma once

#include "reminder_switches.h"

#include <QDate>
#include <QStringList>
#include <string_view>

namespace vantorel {
struct DataBook;
}

// One text per box: schedule entries of that exact date, then per policy
// its holder and its insured person, then potential clients, then team
// members, then the policies whose renewal premium falls due that day; each
// group only when its switch is on.
QStringList TodaysReminders(const vantorel::DataBook& book, const ReminderSwitches& switches, const QDate& today);

// A stored birth date ("year/month-day") falls on `today` when the part after
// its first "/" is today's "%d-%d"; the year is not looked at.
bool IsBirthday(std::string_view birthDate, const QDate& today);
