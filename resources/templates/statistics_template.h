// The statistics page: fifteen tally buttons in four groups, the result
// list and its bar chart.
#pragma once

#include "window_template.h"

namespace tmpl {
const Window& StatisticsTemplate();
// The chart below the list (a Kind::Custom control).
constexpr int kStatisticsChartId = 1222;
}
