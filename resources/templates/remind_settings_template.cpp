#include "remind_settings_template.h"

#include "remind_settings_ids.h"

namespace tmpl {

const Window& RemindSettingsTemplate() {
    namespace id = ids::remind;
    static const Window w{
        id::Template,
        346,
        358,
        "宋体",
        9,
        {
            {0, Kind::GroupBox, 8, 8, 122, 75, "生日提醒"},
            {id::Holder, Kind::Check, 29, 25, 88, 10, "保单投保人生日提醒"},
            {id::Insured, Kind::Check, 29, 39, 96, 10, "保单被保险人生日提醒"},
            {id::Clients, Kind::Check, 29, 52, 80, 10, "潜力客户生日提醒"},
            {id::Members, Kind::Check, 29, 66, 80, 10, "团队成员生日提醒"},
        },
    };
    return w;
}

} // namespace tmpl
