// The team-member page: form on the left, list and buttons on the right.
#pragma once

#include "window_template.h"

namespace tmpl {
const Window& TeamMemberTemplate();
}
