// Control ids of the riders dialog (template 178): the policy-data fields of
// the entry page and the list-dialog controls.
#pragma once

#include "list_dialog_ids.h"
#include "policy_entry_ids.h"

namespace ids::rider {
using namespace policy_info;
using namespace list_dialog;
enum : int { Template = 178 };
} // namespace ids::rider
