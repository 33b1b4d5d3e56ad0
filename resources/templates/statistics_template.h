// The statistics page: fifteen tally buttons in four groups, the result
// list and its bar chart (a Kind::Custom control the page makes).
#pragma once

#include "window_template.h"

namespace tmpl {
const Window& StatisticsTemplate();
}
