#include "query_template.h"

#include "query_ids.h"

namespace tmpl {

const Window& QueryTemplate() {
    using K = Kind;
    namespace id = ids::query;
    static const Window w{id::Template,
                          355,
                          367,
                          "新宋体",
                          10,
                          {
                              {id::QuickFind, K::GroupBox, 6, 7, 121, 125, "快速查找资料"},
                              {id::Text, K::Edit, 11, 22, 76, 14},
                              {id::Find, K::Button, 91, 22, 31, 14, "查找"},
                              {id::ByNumber, K::Radio, 11, 48, 48, 10, "保险单号", Style::Group},
                              {id::ByHolder, K::Radio, 11, 61, 56, 10, "投保人姓名"},
                              {id::ByInsured, K::Radio, 11, 74, 64, 10, "被保险人姓名"},
                              {id::ByProduct, K::Radio, 11, 87, 48, 10, "投保险种"},
                              {id::ByDate, K::Radio, 11, 100, 113, 10, "生效时间(格式:2004-01-02)"},
                              {id::ByAnyField, K::Radio, 11, 113, 32, 10, "其它"},
                              {id::ShowAll, K::Button, 6, 137, 121, 14, "显 示 所 有 保 单"},
                              {id::Modify, K::Button, 6, 155, 121, 14, "修 改 指 定 保 单"},
                              {id::DeleteOne, K::Button, 6, 173, 121, 14, "删 除 指 定 保 单"},
                              {id::DeleteAll, K::Button, 6, 191, 121, 14, "删 除 所 有 保 单"},
                              {id::List, K::ListView, 129, 11, 206, 337, "", Style::MultiSelect},
                          }};
    return w;
}

} // namespace tmpl
