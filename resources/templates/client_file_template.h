// The client file page: a search row, the list of every person, and the
// chosen person's file under it.
#pragma once

#include "window_template.h"

namespace tmpl {
const Window& ClientFileTemplate();
}
