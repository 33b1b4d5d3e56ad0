// The progress dialog of long work (183).
#pragma once

#include "window_template.h"

namespace tmpl {
const Window& ProgressTemplate();
}
