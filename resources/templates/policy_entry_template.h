// The policy entry page (136) and the policy-data fields it shares with the
// riders dialog.
#pragma once

#include "window_template.h"

#include <vector>

namespace tmpl {

const Window& PolicyEntryTemplate();

// The fields of one policy's own data (ids 1040-1061) laid out inside a
// group box whose top-left corner is (gx, gy); the group box itself is not
// included.
std::vector<Control> PolicyInfoControls(int gx, int gy);

} // namespace tmpl
