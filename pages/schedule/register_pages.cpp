#include "remind_settings_page.h"
#include "schedule_page.h"

#include "records/data_files.h"

void RegisterSchedulePages(PageFactories& f) {
    f.push_back({175, [](PageHost* host, QWidget* parent) -> CPage* {
                      return new CSchedulePage(host->Book().calendar, host->StoredSwitches().calendar, host->Today(),
                                               parent);
                  }});
    f.push_back({176, [](PageHost* host, QWidget* parent) -> CPage* {
                      return new CRemindSettingsPage(host->StoredSwitches(), parent);
                  }});
}
