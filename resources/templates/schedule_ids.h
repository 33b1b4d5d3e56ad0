// Control ids of the schedule page (template 175).
#pragma once

namespace ids::schedule {
enum : int {
    Template = 175,
    Calendar = 1191,
    Memo = 1195,
    Switch = 1205, // "打开日程提醒"
    Add = 1196,
    List = 1193,
    Delete = 1160,
    ExportCalendar = 1206, // "导出日历"
};
} // namespace ids::schedule
