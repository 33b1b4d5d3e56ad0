#include "statistics_template.h"

#include "statistics_ids.h"

namespace tmpl {

const Window& StatisticsTemplate() {
    namespace id = ids::statistics;
    static const Window w{
        id::Template,
        355,
        367,
        "新宋体",
        10,
        {
            {0, Kind::GroupBox, 6, 8, 156, 68, "保单"},
            {id::PolicyPayment, Kind::Button, 12, 23, 70, 22, "缴费方式统计"},
            {id::PolicyProduct, Kind::Button, 85, 23, 70, 22, "险种统计"},
            {id::PolicyBenefit, Kind::Button, 12, 47, 70, 22, "领取方式统计"},
            {0, Kind::GroupBox, 6, 84, 156, 68, "投保人"},
            {id::HolderSex, Kind::Button, 12, 98, 70, 22, "性别统计"},
            {id::HolderMarital, Kind::Button, 85, 98, 70, 22, "婚况统计"},
            {id::HolderEducation, Kind::Button, 12, 123, 70, 22, "文化统计"},
            {id::HolderIncome, Kind::Button, 85, 123, 70, 22, "年收入统计"},
            {0, Kind::GroupBox, 6, 162, 156, 68, "被保险人"},
            {id::InsuredSex, Kind::Button, 12, 176, 70, 22, "性别统计"},
            {id::InsuredMarital, Kind::Button, 85, 176, 70, 22, "婚况统计"},
            {id::InsuredEducation, Kind::Button, 12, 201, 70, 22, "文化统计"},
            {id::InsuredIncome, Kind::Button, 85, 201, 70, 22, "年收入统计"},
            {0, Kind::GroupBox, 6, 238, 156, 68, "潜力客户"},
            {id::ClientSex, Kind::Button, 12, 252, 70, 22, "性别统计"},
            {id::ClientMarital, Kind::Button, 85, 252, 70, 22, "婚况统计"},
            {id::ClientEducation, Kind::Button, 12, 277, 70, 22, "文化统计"},
            {id::ClientIncome, Kind::Button, 85, 277, 70, 22, "年收入统计"},
            // The list keeps its place and width; it is shorter than the
            // page's 327 units because it shares the right side with a chart
            // of the same rows below it. The chart is as wide as the list with
            // its vertical picture scroll bar (12 pixels, 8 units) and starts
            // below the horizontal one.
            {id::List, Kind::ListView, 166, 11, 167, 160},
            {id::Chart, Kind::Custom, 166, 182, 175, 178},
        },
    };
    return w;
}

} // namespace tmpl
