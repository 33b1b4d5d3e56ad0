// The main window (template 102): navigation tree, page area, clock, two buttons.
#pragma once

#include "window_template.h"

namespace tmpl {
const Window& MainTemplate();
}
