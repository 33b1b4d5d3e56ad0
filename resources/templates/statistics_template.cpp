#include "statistics_template.h"

namespace tmpl {

const Window& StatisticsTemplate() {
    static const Window w{
        180, 355, 367, "新宋体", 10,
        {
            {0, Kind::GroupBox, 6, 8, 156, 68, "保单"},
            {1208, Kind::Button, 12, 23, 70, 22, "缴费方式统计"},
            {1210, Kind::Button, 85, 23, 70, 22, "险种统计"},
            {1211, Kind::Button, 12, 47, 70, 22, "领取方式统计"},
            {0, Kind::GroupBox, 6, 84, 156, 68, "投保人"},
            {1206, Kind::Button, 12, 98, 70, 22, "性别统计"},
            {1209, Kind::Button, 85, 98, 70, 22, "婚况统计"},
            {1213, Kind::Button, 12, 123, 70, 22, "文化统计"},
            {1215, Kind::Button, 85, 123, 70, 22, "年收入统计"},
            {0, Kind::GroupBox, 6, 162, 156, 68, "被保险人"},
            {1207, Kind::Button, 12, 176, 70, 22, "性别统计"},
            {1212, Kind::Button, 85, 176, 70, 22, "婚况统计"},
            {1214, Kind::Button, 12, 201, 70, 22, "文化统计"},
            {1216, Kind::Button, 85, 201, 70, 22, "年收入统计"},
            {0, Kind::GroupBox, 6, 238, 156, 68, "潜力客户"},
            {1217, Kind::Button, 12, 252, 70, 22, "性别统计"},
            {1218, Kind::Button, 85, 252, 70, 22, "婚况统计"},
            {1219, Kind::Button, 12, 277, 70, 22, "文化统计"},
            {1220, Kind::Button, 85, 277, 70, 22, "年收入统计"},
            // The list keeps its place and width; it is shorter than the
            // page's 327 units because it shares the right side with a chart
            // of the same rows below it. The chart is as wide as the list with
            // its vertical picture scroll bar (12 pixels, 8 units) and starts
            // below the horizontal one.
            {1221, Kind::ListView, 166, 11, 167, 160},
            {kStatisticsChartId, Kind::Custom, 166, 182, 175, 178},
        },
    };
    return w;
}

} // namespace tmpl
