#include "schedule_template.h"

namespace tmpl {

const Window& ScheduleTemplate() {
    static const Window w{
        175, 346, 358, "宋体", 9,
        {
            {1191, Kind::Custom, 8, 10, 169, 142},
            {1195, Kind::Memo, 12, 157, 161, 183},
            {1205, Kind::Check, 12, 343, 64, 10, "打开日程提醒"},
            {1196, Kind::Button, 123, 344, 51, 13, "添加日程"},
            {1193, Kind::ListView, 182, 14, 150, 318, "", Style::MultiSelect},
            {1160, Kind::Button, 182, 344, 51, 13, "删除日程"},
        },
    };
    return w;
}

} // namespace tmpl
