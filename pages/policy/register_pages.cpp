#include "policy_entry_page.h"
#include "policy_query_page.h"

#include "app/page_host.h"
#include "records/data_files.h"
#include "resources/templates/policy_entry_ids.h"
#include "resources/templates/query_ids.h"

void RegisterPolicyPages(PageFactories& factories) {
    factories.push_back({ids::entry::Template, [](PageHost* host, QWidget* parent) -> CPage* {
                             return new CPolicyEntryPage(host->Book().insurance, parent);
                         }});
    factories.push_back({ids::query::Template, [](PageHost* host, QWidget* parent) -> CPage* {
                             return new CPolicyQueryPage(host->Book().insurance, host, parent);
                         }});
}
