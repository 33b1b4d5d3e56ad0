#include "rider_template.h"

#include "policy_entry_template.h"
#include "rider_ids.h"

namespace tmpl {

const Window& RiderTemplate() {
    using K = Kind;
    namespace id = ids::rider;
    static const Window w = [] {
        Window t{id::Template, 324, 291, "新宋体", 10, {}};
        auto& c = t.controls;
        c.push_back({0, K::GroupBox, 9, 23, 308, 135, "附加险资料"});
        for (const Control& f : PolicyInfoControls(9, 23)) c.push_back(f);
        c.push_back({id::List, K::ListView, 9, 161, 253, 114});
        c.push_back({id::Add, K::Button, 280, 162, 36, 14, "添加"});
        c.push_back({id::Modify, K::Button, 280, 183, 36, 14, "修改"});
        c.push_back({id::Delete, K::Button, 280, 204, 36, 14, "删除"});
        return t;
    }();
    return w;
}

} // namespace tmpl
