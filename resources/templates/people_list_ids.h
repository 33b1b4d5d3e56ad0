// The buttons the potential-client and team-member pages share.
#pragma once

namespace ids::people_list {
enum : int {
    Add = 1148,
    Modify = 1149,
    Delete = 1160,
    Report = 1020, // "输出WORD报表"
};
} // namespace ids::people_list
