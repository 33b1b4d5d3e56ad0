#include "schedule_template.h"

#include "schedule_ids.h"

namespace tmpl {

const Window& ScheduleTemplate() {
    namespace id = ids::schedule;
    static const Window w{
        id::Template,
        346,
        358,
        "宋体",
        9,
        {
            {id::Calendar, Kind::Custom, 8, 10, 169, 142},
            {id::Memo, Kind::Memo, 12, 157, 161, 183},
            {id::Switch, Kind::Check, 12, 343, 64, 10, "打开日程提醒"},
            {id::Add, Kind::Button, 123, 344, 51, 13, "添加日程"},
            {id::List, Kind::ListView, 182, 14, 150, 318, "", Style::MultiSelect},
            {id::Delete, Kind::Button, 182, 344, 51, 13, "删除日程"},
            {id::ExportCalendar, Kind::Button, 281, 344, 51, 13, "导出日历"},
        },
    };
    return w;
}

} // namespace tmpl
