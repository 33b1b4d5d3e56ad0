// The page of the four birthday-reminder switches.
#pragma once

#include "window_template.h"

namespace tmpl {
const Window& RemindSettingsTemplate();
}
