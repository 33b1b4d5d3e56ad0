// The import dialog (182).
#pragma once

#include "window_template.h"

namespace tmpl {
const Window& ImportTemplate();
}
