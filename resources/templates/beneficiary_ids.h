// Control ids of the beneficiaries dialog (template 177).
#pragma once

#include "list_dialog_ids.h"

namespace ids::beneficiary {
using namespace list_dialog;
enum : int {
    Template = 177,
    Name = 1049,
    Sex = 1185,
    IdNumber = 1040,
    BirthYear = 1045,
    BirthMonth = 1046,
    BirthDay = 1047,
    Relation = 1104,
    Share = 1058,
};
} // namespace ids::beneficiary
