#include "statistics_page.h"

#include "resources/templates/statistics_ids.h"

void RegisterStatisticsPages(PageFactories& f) {
    f.push_back({ids::statistics::Template,
                 [](PageHost* host, QWidget* parent) -> CPage* { return new CStatisticsPage(host->Book(), parent); }});
}
