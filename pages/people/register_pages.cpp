#include "pot_client_page.h"
#include "team_member_page.h"

#include "resources/templates/pot_client_ids.h"
#include "resources/templates/team_member_ids.h"

void RegisterPeoplePages(PageFactories& f) {
    f.push_back({ids::client::Template, [](PageHost*, QWidget* parent) -> CPage* { return new CPotClientPage(parent); }});
    f.push_back({ids::member::Template, [](PageHost*, QWidget* parent) -> CPage* { return new CTeamMemberPage(parent); }});
}
