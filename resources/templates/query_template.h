// The policy query page (137).
#pragma once

#include "window_template.h"

namespace tmpl {
const Window& QueryTemplate();
}
