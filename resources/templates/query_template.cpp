#include "query_template.h"

namespace tmpl {

const Window& QueryTemplate() {
    using K = Kind;
    static const Window w{137, 355, 367, "新宋体", 10,
                          {
                              {1126, K::GroupBox, 6, 7, 121, 125, "快速查找资料"},
                              {1122, K::Edit, 11, 22, 76, 14},
                              {1124, K::Button, 91, 22, 31, 14, "查找"},
                              {1108, K::Radio, 11, 48, 48, 10, "保险单号", Style::Group},
                              {1110, K::Radio, 11, 61, 56, 10, "投保人姓名"},
                              {1120, K::Radio, 11, 74, 64, 10, "被保险人姓名"},
                              {1125, K::Radio, 11, 87, 48, 10, "投保险种"},
                              {1135, K::Radio, 11, 100, 113, 10, "生效时间(格式:2004-01-02)"},
                              {1137, K::Radio, 11, 113, 32, 10, "其它"},
                              {1150, K::Button, 6, 137, 121, 14, "显 示 所 有 保 单"},
                              {1149, K::Button, 6, 155, 121, 14, "修 改 指 定 保 单"},
                              {1160, K::Button, 6, 173, 121, 14, "删 除 指 定 保 单"},
                              {1161, K::Button, 6, 191, 121, 14, "删 除 所 有 保 单"},
                              {1136, K::ListView, 129, 11, 206, 337, "", Style::MultiSelect},
                          }};
    return w;
}

} // namespace tmpl
