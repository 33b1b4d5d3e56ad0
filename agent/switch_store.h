// Where the reminder switches are kept: section AWOKE of the per-user
// settings store (QSettings: the registry on Windows, an INI file under
// ~/.config on Linux), under the organisation "Vantorel" and the program's
// name. The program and the data tool read them alike.
#pragma once

#include "reminder_switches.h"

#include <QSettings>
#include <QString>

// The name the program keeps its settings under: its executable's.
inline constexpr const char* kProgramName = "vantorel";

// The store of the program called `application`.
QSettings SwitchStore(const QString& application);
// A missing or unreadable value reads 1.
ReminderSwitches ReadSwitches(const QSettings& store);
void WriteSwitches(QSettings& store, const ReminderSwitches& switches);
