// The welcome page (template 179): one centred picture.
#pragma once

#include "window_template.h"

namespace tmpl {
const Window& WelcomeTemplate();
}
