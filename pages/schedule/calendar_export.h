// "导出日历": the book's calendar written where the user chooses, and one box
// that says how it went.
#pragma once

#include "agent/reminder_switches.h"

#include <QDate>

class QWidget;

namespace vantorel {
struct DataBook;
}

// Asks for a file name through msg::SaveFileName (a name without a suffix
// gets ".ics"), writes the calendar file on a helper thread while a modal
// progress box (after a moment) keeps the book from changing, and tells the
// counts or the failure with msg::Info; nothing on cancel.
void ExportCalendarInteractive(QWidget* parent, const vantorel::DataBook& book, const ReminderSwitches& switches,
                               const QDate& today);
