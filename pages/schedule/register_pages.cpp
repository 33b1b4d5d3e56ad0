#include "remind_settings_page.h"
#include "schedule_page.h"

void RegisterSchedulePages(PageFactories& f) {
    f.push_back({175, [](PageHost*, QWidget* parent) -> CPage* { return new CSchedulePage(parent); }});
    f.push_back({176, [](PageHost*, QWidget* parent) -> CPage* { return new CRemindSettingsPage(parent); }});
}
