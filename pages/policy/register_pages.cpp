#include "policy_entry_page.h"
#include "policy_query_page.h"

#include "app/page_host.h"
#include "resources/templates/policy_entry_ids.h"
#include "resources/templates/query_ids.h"

void RegisterPolicyPages(PageFactories& factories) {
    factories.push_back({ids::entry::Template, [](PageHost*, QWidget* parent) -> CPage* { return new CPolicyEntryPage(parent); }});
    factories.push_back(
        {ids::query::Template, [](PageHost* host, QWidget* parent) -> CPage* { return new CPolicyQueryPage(host, parent); }});
}
