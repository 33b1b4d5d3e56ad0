// The schedule page: calendar, memo, switch and the list of entries.
#pragma once

#include "window_template.h"

namespace tmpl {
const Window& ScheduleTemplate();
}
