// The riders dialog (178).
#pragma once

#include "window_template.h"

namespace tmpl {
const Window& RiderTemplate();
}
