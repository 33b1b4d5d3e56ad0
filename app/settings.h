// The reminder switches in section AWOKE of the per-user settings store
// (QSettings: the registry on Windows, an INI file under ~/.config on Linux).
// Read once when the program starts and written once when it closes; in
// between the pages hold them.
#pragma once

#include <QSettings>

// The reminder switches, 1 on and 0 off.
struct ReminderSwitches {
    int calendar = 1; // "打开日程提醒" on the schedule page
    int holder = 1;   // policyholders' birthdays
    int insured = 1;  // insured persons' birthdays
    int clients = 1;  // potential clients' birthdays
    int members = 1;  // team members' birthdays
    int premium = 1;  // renewal premiums due today ("续期缴费提醒")
};

class RemindSettings {
public:
    // The per-user store the switches live in (tests read it to check what was written).
    static QSettings Store();
    // A missing or unreadable value reads 1.
    static ReminderSwitches Load();
    static void Save(const ReminderSwitches& switches);
};
