#include "pot_client_page.h"
#include "team_member_page.h"

#include "records/data_files.h"

void RegisterPeoplePages(PageFactories& f) {
    f.push_back({140, [](PageHost* host, QWidget* parent) -> CPage* {
                      return new CPotClientPage(host->Book().clients, parent);
                  }});
    f.push_back({174, [](PageHost* host, QWidget* parent) -> CPage* {
                      return new CTeamMemberPage(host->Book().members, parent);
                  }});
}
