// Control ids of the reminder settings page (template 176).
#pragma once

namespace ids::remind {
enum : int {
    Template = 176,
    Holder = 1201,  // "保单投保人生日提醒"
    Insured = 1202, // "保单被保险人生日提醒"
    Clients = 1203, // "潜力客户生日提醒"
    Members = 1204, // "团队成员生日提醒"
    Premium = 1224, // "续期缴费提醒"
    DueList = 1225, // the renewal premiums due from today through today + 30 days
};
} // namespace ids::remind
