#include "client_file_page.h"
#include "pot_client_page.h"
#include "team_member_page.h"

#include "records/data_files.h"
#include "resources/templates/client_file_ids.h"
#include "resources/templates/pot_client_ids.h"
#include "resources/templates/team_member_ids.h"

void RegisterPeoplePages(PageFactories& f) {
    f.push_back({ids::client::Template, [](PageHost* host, QWidget* parent) -> CPage* {
                     return new CPotClientPage(host->Book().clients, parent);
                 }});
    f.push_back({ids::member::Template, [](PageHost* host, QWidget* parent) -> CPage* {
                     return new CTeamMemberPage(host->Book().members, parent);
                 }});
    f.push_back({ids::client_file::Template, [](PageHost* host, QWidget* parent) -> CPage* {
                     return new CClientFilePage(host->Book(), host, parent);
                 }});
}
