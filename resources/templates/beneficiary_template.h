// The beneficiaries dialog (177).
#pragma once

#include "window_template.h"

namespace tmpl {
const Window& BeneficiaryTemplate();
}
