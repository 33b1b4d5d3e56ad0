#include "team_member_template.h"

#include "team_member_ids.h"

namespace tmpl {

// Laid out like the potential-client page: labels at 13 and 106, fields at
// 49 and 143, rows 16 units apart, the list on the right.
const Window& TeamMemberTemplate() {
    namespace id = ids::member;
    static const Window w{
        id::Template,
        410,
        392,
        "宋体",
        9,
        {
            {0, Kind::GroupBox, 7, 5, 196, 96, "基本资料"},
            {0, Kind::Static, 13, 21, 30, 11, "工号"},
            {id::StaffNo, Kind::Edit, 49, 19, 54, 12},
            {0, Kind::Static, 106, 21, 30, 11, "姓名"},
            {id::Name, Kind::Edit, 143, 19, 53, 12},
            {0, Kind::Static, 13, 37, 30, 11, "性别"},
            {id::Sex, Kind::List, 49, 35, 54, 12, "", Style::None, presets::sexes},
            {0, Kind::Static, 106, 37, 30, 11, "民族"},
            {id::Nation, Kind::Combo, 143, 35, 53, 12, "", Style::None, presets::nations},
            {0, Kind::Static, 13, 53, 32, 11, "身份证号"},
            {id::IdNumber, Kind::Edit, 49, 51, 147, 12},
            {0, Kind::Static, 13, 69, 30, 11, "婚况"},
            {id::Marital, Kind::List, 49, 67, 54, 12, "", Style::None, presets::marital},
            {0, Kind::Static, 13, 85, 32, 11, "出生日期"},
            {id::BirthYear, Kind::Combo, 49, 83, 40, 12},
            {0, Kind::Static, 91, 85, 10, 11, "年"},
            {id::BirthMonth, Kind::List, 102, 83, 30, 12, "", Style::None, presets::months},
            {0, Kind::Static, 134, 85, 10, 11, "月"},
            {id::BirthDay, Kind::List, 146, 83, 30, 12, "", Style::None, presets::days},
            {0, Kind::Static, 178, 85, 10, 11, "日"},

            {0, Kind::GroupBox, 7, 105, 196, 46, "工作资料"},
            {0, Kind::Static, 13, 121, 30, 11, "部门"},
            {id::Department, Kind::Edit, 49, 119, 54, 12},
            {0, Kind::Static, 106, 121, 30, 11, "级别"},
            {id::Level, Kind::Edit, 143, 119, 53, 12},
            {0, Kind::Static, 13, 137, 32, 11, "入司时间"},
            {id::JoinYear, Kind::Combo, 49, 135, 40, 12},
            {0, Kind::Static, 91, 137, 10, 11, "年"},
            {id::JoinMonth, Kind::List, 102, 135, 30, 12, "", Style::None, presets::months},
            {0, Kind::Static, 134, 137, 10, 11, "月"},
            {id::JoinDay, Kind::List, 146, 135, 30, 12, "", Style::None, presets::days},
            {0, Kind::Static, 178, 137, 10, 11, "日"},

            {0, Kind::GroupBox, 7, 155, 196, 62, "联系方式"},
            {0, Kind::Static, 13, 171, 30, 11, "手机"},
            {id::Mobile, Kind::Edit, 49, 169, 54, 12},
            {0, Kind::Static, 106, 171, 30, 11, "EMAIL"},
            {id::Email, Kind::Edit, 143, 169, 53, 12},
            {0, Kind::Static, 13, 187, 32, 11, "家庭电话"},
            {id::HomePhone, Kind::Edit, 49, 185, 54, 12},
            {0, Kind::Static, 13, 203, 32, 11, "家庭地址"},
            {id::HomeAddress, Kind::Edit, 49, 201, 96, 12},
            {0, Kind::Static, 148, 203, 18, 11, "邮编"},
            {id::HomePostcode, Kind::Edit, 166, 201, 30, 12},

            {0, Kind::GroupBox, 7, 221, 196, 164, "其它资料"},
            {0, Kind::Static, 13, 237, 30, 11, "身高"},
            {id::Height, Kind::Edit, 49, 235, 40, 12},
            {0, Kind::Static, 91, 237, 12, 11, "cm"},
            {0, Kind::Static, 106, 237, 30, 11, "体重"},
            {id::Weight, Kind::Edit, 143, 235, 39, 12},
            {0, Kind::Static, 184, 237, 12, 11, "kg"},
            {0, Kind::Static, 13, 253, 30, 11, "爱好"},
            {id::Hobby, Kind::Edit, 49, 251, 147, 12},
            {0, Kind::Static, 13, 269, 30, 11, "备注"},
            {id::Remarks, Kind::Memo, 49, 267, 147, 110},

            {id::List, Kind::ListView, 207, 10, 188, 345},
            {id::Add, Kind::Button, 207, 369, 40, 14, "添加"},
            {id::Modify, Kind::Button, 250, 369, 40, 14, "修改"},
            {id::Delete, Kind::Button, 293, 369, 40, 14, "删除"},
            {id::Report, Kind::Button, 336, 369, 65, 14, "输出WORD报表"},
        },
    };
    return w;
}

} // namespace tmpl
