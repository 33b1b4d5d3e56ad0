#include "remind_settings_page.h"
#include "schedule_page.h"

#include "resources/templates/remind_settings_ids.h"
#include "resources/templates/schedule_ids.h"

void RegisterSchedulePages(PageFactories& f) {
    f.push_back({ids::schedule::Template, [](PageHost*, QWidget* parent) -> CPage* { return new CSchedulePage(parent); }});
    f.push_back({ids::remind::Template, [](PageHost*, QWidget* parent) -> CPage* { return new CRemindSettingsPage(parent); }});
}
