#include "main_template.h"

namespace tmpl {

const Window& MainTemplate() {
    static const Window w{
        102,
        531,
        428,
        "宋体",
        9,
        {
            // Only the rectangle of the page area is used: every page is placed on it.
            {1003, Kind::Picture, 111, 22, 413, 399, "", Style::Hidden},
            {1171, Kind::Static, 6, 411, 102, 11, "Tessaly工作室   荣誉出品", Style::Center},
            {1001, Kind::Tree, 6, 22, 102, 265},
            {1223, Kind::Button, 5, 292, 102, 14, "今日提醒"},
            {1222, Kind::Button, 5, 309, 102, 14, "备份数据"},
            {1198, Kind::Static, 5, 344, 99, 13, "", Style::Center},
            {1199, Kind::Static, 5, 363, 99, 13, "", Style::Center},
            {1200, Kind::Static, 5, 382, 99, 13, "", Style::Center},
        },
    };
    return w;
}

} // namespace tmpl
