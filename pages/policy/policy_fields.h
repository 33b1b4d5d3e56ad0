// The form fields of the policy's own data and of its two people, shared by
// the entry page and the riders dialog.
#pragma once

#include "agent/record_values.h"
#include "app/form_binding.h"

// Binds the policy-data controls (ids::policy_info) to `values`; a rider uses the same.
void BindPolicyInfo(FormBinding& b, PolicyInfoValues& values);

// Control ids of the entry page's two person blocks.
extern const PersonIds kHolderIds;
extern const PersonIds kInsuredIds;
