// The reminder switches: which of today's reminders the agent wants.
#pragma once

// 1 on and 0 off, as the settings store keeps them.
struct ReminderSwitches {
    int calendar = 1; // "打开日程提醒" on the schedule page
    int holder = 1;   // policyholders' birthdays
    int insured = 1;  // insured persons' birthdays
    int clients = 1;  // potential clients' birthdays
    int members = 1;  // team members' birthdays
    int premium = 1;  // renewal premiums due today ("续期缴费提醒")
};
