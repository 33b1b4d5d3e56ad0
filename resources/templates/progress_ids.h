// Control ids of the progress dialog (183) of long work.
#pragma once

namespace ids::progress {
enum : int {
    Template = 183,
    Text = 1400,   // what is being done
    Bar = 1401,    // the progress bar (made by the dialog)
    Cancel = 1402, // "取消"
};
} // namespace ids::progress
