#include "policy_entry_page.h"
#include "policy_query_page.h"

#include "app/page_host.h"

void RegisterPolicyPages(PageFactories& factories) {
    factories.push_back({136, [](PageHost*, QWidget* parent) -> CPage* { return new CPolicyEntryPage(parent); }});
    factories.push_back(
        {137, [](PageHost* host, QWidget* parent) -> CPage* { return new CPolicyQueryPage(host, parent); }});
}
