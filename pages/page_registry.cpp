#include "page_registry.h"

// Each page folder that is built registers its pages.
#ifdef VANTOREL_HAS_POLICY_PAGES
void RegisterPolicyPages(PageFactories&);
#endif
#ifdef VANTOREL_HAS_PEOPLE_PAGES
void RegisterPeoplePages(PageFactories&);
#endif
#ifdef VANTOREL_HAS_SCHEDULE_PAGES
void RegisterSchedulePages(PageFactories&);
#endif
#ifdef VANTOREL_HAS_STATISTICS_PAGES
void RegisterStatisticsPages(PageFactories&);
#endif

PageFactories AllPageFactories() {
    PageFactories f;
#ifdef VANTOREL_HAS_POLICY_PAGES
    RegisterPolicyPages(f);
#endif
#ifdef VANTOREL_HAS_PEOPLE_PAGES
    RegisterPeoplePages(f);
#endif
#ifdef VANTOREL_HAS_SCHEDULE_PAGES
    RegisterSchedulePages(f);
#endif
#ifdef VANTOREL_HAS_STATISTICS_PAGES
    RegisterStatisticsPages(f);
#endif
    return f;
}
