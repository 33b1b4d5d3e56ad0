#include "remind_settings_template.h"

namespace tmpl {

const Window& RemindSettingsTemplate() {
    static const Window w{
        176, 346, 358, "宋体", 9,
        {
            {0, Kind::GroupBox, 8, 8, 122, 75, "生日提醒"},
            {1201, Kind::Check, 29, 25, 88, 10, "保单投保人生日提醒"},
            {1202, Kind::Check, 29, 39, 96, 10, "保单被保险人生日提醒"},
            {1203, Kind::Check, 29, 52, 80, 10, "潜力客户生日提醒"},
            {1204, Kind::Check, 29, 66, 80, 10, "团队成员生日提醒"},
        },
    };
    return w;
}

} // namespace tmpl
