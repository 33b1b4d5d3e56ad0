#include "beneficiary_template.h"

#include "beneficiary_ids.h"

namespace tmpl {

const Window& BeneficiaryTemplate() {
    using K = Kind;
    namespace id = ids::beneficiary;
    static const Window w{id::Template,
                          352,
                          149,
                          "新宋体",
                          10,
                          {
                              {0, K::GroupBox, 5, 19, 154, 125, "受益人资料"},
                              {0, K::Static, 10, 33, 36, 10, "姓名"},
                              {id::Name, K::Edit, 48, 31, 106, 12},
                              {0, K::Static, 10, 47, 36, 10, "性别"},
                              {id::Sex, K::List, 48, 45, 32, 12, "", Style::None, presets::sexes},
                              {0, K::Static, 10, 61, 36, 10, "身份证号"},
                              {id::IdNumber, K::Edit, 48, 59, 106, 12},
                              {0, K::Static, 10, 75, 36, 10, "出生日期"},
                              {id::BirthYear, K::Combo, 45, 73, 35, 12},
                              {0, K::Static, 80, 75, 7, 10, "年"},
                              {id::BirthMonth, K::List, 87, 73, 25, 12, "", Style::None, presets::months},
                              {0, K::Static, 112, 75, 7, 10, "月"},
                              {id::BirthDay, K::List, 119, 73, 25, 12, "", Style::None, presets::days},
                              {0, K::Static, 144, 75, 7, 10, "日"},
                              {0, K::Static, 10, 89, 64, 10, "与被保险人关系"},
                              {id::Relation, K::Combo, 75, 87, 79, 12, "", Style::None, presets::relations},
                              {0, K::Static, 10, 103, 36, 10, "受益份额"},
                              {id::Share, K::Edit, 48, 101, 50, 12},
                              {0, K::Static, 100, 103, 8, 10, "%"},
                              {id::Add, K::Button, 20, 121, 36, 14, "添加"},
                              {id::Modify, K::Button, 62, 121, 36, 14, "修改"},
                              {id::Delete, K::Button, 104, 121, 36, 14, "删除"},
                              {id::List, K::ListView, 163, 23, 170, 114},
                          }};
    return w;
}

} // namespace tmpl
