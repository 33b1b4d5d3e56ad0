#include "policy_entry_page.h"
#include "policy_query_page.h"

#include "app/page_host.h"
#include "records/data_files.h"

void RegisterPolicyPages(PageFactories& factories) {
    factories.push_back({136, [](PageHost* host, QWidget* parent) -> CPage* {
                             return new CPolicyEntryPage(host->Book().insurance, parent);
                         }});
    factories.push_back({137, [](PageHost* host, QWidget* parent) -> CPage* {
                             return new CPolicyQueryPage(host->Book().insurance, host, parent);
                         }});
}
