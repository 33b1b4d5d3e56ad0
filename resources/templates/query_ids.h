// Control ids of the policy query page (template 137).
#pragma once

namespace ids::query {
enum : int {
    Template = 137,
    QuickFind = 1126, // the group box "快速查找资料"
    Text = 1122,
    Find = 1124,
    // The search options, in the order of the search modes.
    ByNumber = 1108,
    ByHolder = 1110,
    ByInsured = 1120,
    ByProduct = 1125,
    ByDate = 1135,
    ByAnyField = 1137,
    ShowAll = 1150,
    Modify = 1149,
    DeleteOne = 1160,
    DeleteAll = 1161,
    List = 1136,
};
} // namespace ids::query
