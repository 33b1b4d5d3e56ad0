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
            // The group grows by one row for the fifth switch.
            {0, Kind::GroupBox, 8, 8, 122, 89, "生日提醒"},
            {id::Holder, Kind::Check, 29, 25, 88, 10, "保单投保人生日提醒"},
            {id::Insured, Kind::Check, 29, 39, 96, 10, "保单被保险人生日提醒"},
            {id::Clients, Kind::Check, 29, 52, 80, 10, "潜力客户生日提醒"},
            {id::Members, Kind::Check, 29, 66, 80, 10, "团队成员生日提醒"},
            {id::Premium, Kind::Check, 29, 80, 80, 10, "续期缴费提醒"},
            // The picture scroll bars take 12 pixels right of and below the list.
            {0, Kind::Static, 8, 104, 200, 10, "今天起30天内的续期缴费:"},
            {id::DueList, Kind::ListView, 8, 116, 322, 228},
        },
    };
    return w;
}

} // namespace tmpl
