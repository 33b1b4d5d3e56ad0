// The reminder switches in section AWOKE of the per-user settings store
// (QSettings: the registry on Windows, an INI file under ~/.config on Linux).
// Read once when the program starts and written once when it closes; in
// between the pages hold them.
#pragma once

#include "agent/reminder_switches.h"

#include <QSettings>

class RemindSettings {
public:
    // The per-user store the switches live in (tests read it to check what was written).
    static QSettings Store();
    // A missing or unreadable value reads 1.
    static ReminderSwitches Load();
    static void Save(const ReminderSwitches& switches);
};
