// Control ids of the main window (template 102).
#pragma once

namespace ids::main_window {
enum : int {
    Template = 102,
    Tree = 1001,     // the navigation tree
    PageArea = 1003, // only its rectangle is used: every page is placed on it
    Credit = 1171,
    Remind = 1223, // "今日提醒"
    Backup = 1222, // "备份数据"
    Import = 1380, // "导入数据"
    Date = 1198,
    Weekday = 1199,
    Time = 1200,
};
} // namespace ids::main_window
