#include "pot_client_page.h"
#include "team_member_page.h"

void RegisterPeoplePages(PageFactories& f) {
    f.push_back({140, [](PageHost*, QWidget* parent) -> CPage* { return new CPotClientPage(parent); }});
    f.push_back({174, [](PageHost*, QWidget* parent) -> CPage* { return new CTeamMemberPage(parent); }});
}
