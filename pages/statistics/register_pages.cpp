#include "statistics_page.h"

void RegisterStatisticsPages(PageFactories& f) {
    f.push_back(
        {180, [](PageHost* host, QWidget* parent) -> CPage* { return new CStatisticsPage(host->Book(), parent); }});
}
