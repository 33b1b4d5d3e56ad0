#include "remind_settings_page.h"
#include "schedule_page.h"

#include "records/data_files.h"
#include "resources/templates/remind_settings_ids.h"
#include "resources/templates/schedule_ids.h"

void RegisterSchedulePages(PageFactories& f) {
    f.push_back({ids::schedule::Template, [](PageHost* host, QWidget* parent) -> CPage* {
                     return new CSchedulePage(host->Book().calendar, host->StoredSwitches().calendar, host->Today(),
                                              parent, host);
                 }});
    f.push_back({ids::remind::Template, [](PageHost* host, QWidget* parent) -> CPage* {
                     return new CRemindSettingsPage(host->StoredSwitches(), host->Book().insurance, host, parent);
                 }});
}
