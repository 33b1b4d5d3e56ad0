#include "main_template.h"

#include "main_ids.h"

namespace tmpl {

const Window& MainTemplate() {
    namespace id = ids::main_window;
    static const Window w{
        id::Template,
        531,
        428,
        "宋体",
        9,
        {
            // Only the rectangle of the page area is used: every page is placed on it.
            {id::PageArea, Kind::Picture, 111, 22, 413, 399, "", Style::Hidden},
            {id::Credit, Kind::Static, 6, 411, 102, 11, "Tessaly工作室   荣誉出品", Style::Center},
            {id::Tree, Kind::Tree, 6, 22, 102, 265},
            {id::Remind, Kind::Button, 5, 292, 102, 14, "今日提醒"},
            {id::Backup, Kind::Button, 5, 309, 102, 14, "备份数据"},
            {id::Import, Kind::Button, 5, 326, 102, 14, "导入数据"},
            {id::Date, Kind::Static, 5, 344, 99, 13, "", Style::Center},
            {id::Weekday, Kind::Static, 5, 363, 99, 13, "", Style::Center},
            {id::Time, Kind::Static, 5, 382, 99, 13, "", Style::Center},
        },
    };
    return w;
}

} // namespace tmpl
