// The four birthday-reminder switches, as the settings store held them at
// start, held here while the program runs.
#pragma once

#include "app/page.h"

class CRemindSettingsPage : public CPage {
    Q_OBJECT
public:
    explicit CRemindSettingsPage(const ReminderSwitches& stored, QWidget* parent = nullptr);

    void CollectSwitches(ReminderSwitches& s) const override;

private:
    int insured_ = 0;
    int holder_ = 0;
    int clients_ = 0;
    int members_ = 0;
};
