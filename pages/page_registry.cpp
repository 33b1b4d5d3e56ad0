#include "page_registry.h"

// Each page folder registers its pages.
void RegisterPolicyPages(PageFactories&);
void RegisterPeoplePages(PageFactories&);
void RegisterSchedulePages(PageFactories&);
void RegisterStatisticsPages(PageFactories&);
void RegisterImportPages(PageFactories&);

PageFactories AllPageFactories() {
    PageFactories f;
    RegisterPolicyPages(f);
    RegisterPeoplePages(f);
    RegisterSchedulePages(f);
    RegisterStatisticsPages(f);
    RegisterImportPages(f);
    return f;
}
