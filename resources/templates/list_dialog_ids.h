// What the beneficiaries and riders dialogs share: the list of their working
// copy and its three buttons.
#pragma once

namespace ids::list_dialog {
enum : int {
    List = 1136,
    Add = 1148,
    Modify = 1149,
    Delete = 1160,
};
} // namespace ids::list_dialog
