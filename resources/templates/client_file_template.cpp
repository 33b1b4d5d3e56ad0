#include "client_file_template.h"

#include "client_file_ids.h"

namespace tmpl {

// Lists leave 8 units to their right and below for their picture scroll bars.
const Window& ClientFileTemplate() {
    using K = Kind;
    namespace id = ids::client_file;
    static const Window w{id::Template,
                          410,
                          396,
                          "宋体",
                          9,
                          {
                              {0, K::Static, 5, 7, 18, 9, "查找"},
                              {id::Search, K::Edit, 24, 5, 150, 13},
                              {id::Find, K::Button, 178, 5, 30, 13, "查找"},
                              {id::Status, K::Static, 213, 7, 84, 9},
                              {id::Progress, K::Custom, 213, 6, 84, 10, "", Style::Hidden},
                              {id::Review, K::Button, 302, 5, 62, 13, "保单检视报告"},
                              {id::Print, K::Button, 368, 5, 32, 13, "打印"},
                              {id::People, K::ListView, 5, 22, 395, 76},

                              {0, K::Static, 5, 112, 20, 9, "姓名"},
                              {id::Name, K::Edit, 26, 110, 80, 12, "", Style::ReadOnly},
                              {0, K::Static, 111, 112, 34, 9, "身份证号"},
                              {id::IdNumber, K::Edit, 146, 110, 95, 12, "", Style::ReadOnly},
                              {0, K::Static, 246, 112, 20, 9, "性别"},
                              {id::Sex, K::Edit, 267, 110, 25, 12, "", Style::ReadOnly},
                              {0, K::Static, 297, 112, 34, 9, "出生日期"},
                              {id::Birth, K::Edit, 332, 110, 68, 12, "", Style::ReadOnly},
                              {0, K::Static, 5, 126, 20, 9, "手机"},
                              {id::Mobile, K::Edit, 26, 124, 80, 12, "", Style::ReadOnly},
                              {0, K::Static, 111, 126, 34, 9, "家庭电话"},
                              {id::HomePhone, K::Edit, 146, 124, 95, 12, "", Style::ReadOnly},
                              {0, K::Static, 246, 126, 34, 9, "单位电话"},
                              {id::WorkPhone, K::Edit, 281, 124, 48, 12, "", Style::ReadOnly},
                              {0, K::Static, 333, 126, 18, 9, "职业"},
                              {id::Occupation, K::Edit, 352, 124, 48, 12, "", Style::ReadOnly},
                              {0, K::Static, 5, 140, 20, 9, "地址"},
                              {id::Address, K::Edit, 26, 138, 215, 12, "", Style::ReadOnly},
                              {0, K::Static, 246, 140, 34, 9, "资料来源"},
                              {id::Source, K::Edit, 281, 138, 119, 12, "", Style::ReadOnly},
                              {id::Totals, K::Static, 5, 151, 395, 22},

                              {0, K::Static, 5, 173, 395, 9, "保单（保险金额单位：万元；双击一行在保单页上修改）"},
                              {id::Policies, K::ListView, 5, 183, 395, 59},
                              {0, K::Static, 5, 253, 125, 9, "关联人（双击打开其档案）"},
                              {0, K::Static, 138, 253, 150, 9, "保障一览（万元，“—”为缺口）"},
                              {0, K::Static, 296, 253, 104, 9, "今后90天"},
                              {id::Linked, K::ListView, 5, 263, 125, 98},
                              {id::Grid, K::Custom, 138, 263, 150, 98},
                              {id::Next90, K::ListView, 296, 263, 104, 98},
                              {id::Keywords, K::Static, 5, 373, 395, 20},
                          }};
    return w;
}

} // namespace tmpl
