#include "pot_client_template.h"

#include "pot_client_ids.h"

namespace tmpl {

// Two field columns inside each group: labels at 13 and 106, fields at 49
// and 143, rows 16 units apart. The list fills the right half.
const Window& PotClientTemplate() {
    namespace id = ids::client;
    static const Window w{
        id::Template,
        410,
        392,
        "宋体",
        9,
        {
            {0, Kind::GroupBox, 7, 5, 196, 80, "基本资料"},
            {0, Kind::Static, 13, 21, 30, 11, "姓名"},
            {id::Name, Kind::Edit, 49, 19, 54, 12},
            {0, Kind::Static, 106, 21, 30, 11, "性别"},
            {id::Sex, Kind::List, 143, 19, 53, 12, "", Style::None, presets::sexes},
            {0, Kind::Static, 13, 37, 32, 11, "身份证号"},
            {id::IdNumber, Kind::Edit, 49, 35, 147, 12},
            {0, Kind::Static, 13, 53, 30, 11, "民族"},
            {id::Nation, Kind::Combo, 49, 51, 54, 12, "", Style::None, presets::nations},
            {0, Kind::Static, 106, 53, 30, 11, "婚况"},
            {id::Marital, Kind::List, 143, 51, 53, 12, "", Style::None, presets::marital},
            {0, Kind::Static, 13, 69, 32, 11, "出生日期"},
            {id::BirthYear, Kind::Combo, 49, 67, 40, 12},
            {0, Kind::Static, 91, 69, 10, 11, "年"},
            {id::BirthMonth, Kind::List, 102, 67, 30, 12, "", Style::None, presets::months},
            {0, Kind::Static, 134, 69, 10, 11, "月"},
            {id::BirthDay, Kind::List, 146, 67, 30, 12, "", Style::None, presets::days},
            {0, Kind::Static, 178, 69, 10, 11, "日"},

            {0, Kind::GroupBox, 7, 89, 196, 94, "联系方式"},
            {0, Kind::Static, 13, 105, 30, 11, "手机"},
            {id::Mobile, Kind::Edit, 49, 103, 54, 12},
            {0, Kind::Static, 106, 105, 30, 11, "EMAIL"},
            {id::Email, Kind::Edit, 143, 103, 53, 12},
            {0, Kind::Static, 13, 121, 32, 11, "家庭电话"},
            {id::HomePhone, Kind::Edit, 49, 119, 54, 12},
            {0, Kind::Static, 106, 121, 32, 11, "单位电话"},
            {id::WorkPhone, Kind::Edit, 143, 119, 53, 12},
            {0, Kind::Static, 13, 137, 30, 11, "传真"},
            {id::Fax, Kind::Edit, 49, 135, 54, 12},
            {0, Kind::Static, 13, 153, 32, 11, "家庭地址"},
            {id::HomeAddress, Kind::Edit, 49, 151, 96, 12},
            {0, Kind::Static, 148, 153, 18, 11, "邮编"},
            {id::HomePostcode, Kind::Edit, 166, 151, 30, 12},
            {0, Kind::Static, 13, 169, 32, 11, "单位地址"},
            {id::WorkAddress, Kind::Edit, 49, 167, 96, 12},
            {0, Kind::Static, 148, 169, 18, 11, "邮编"},
            {id::WorkPostcode, Kind::Edit, 166, 167, 30, 12},

            {0, Kind::GroupBox, 7, 187, 196, 198, "其它资料"},
            {0, Kind::Static, 13, 203, 30, 11, "职业"},
            {id::Occupation, Kind::Edit, 49, 201, 54, 12},
            {0, Kind::Static, 106, 203, 30, 11, "年收入"},
            {id::Income, Kind::Combo, 143, 201, 53, 12, "", Style::None, presets::incomeBands},
            {0, Kind::Static, 13, 219, 30, 11, "身高"},
            {id::Height, Kind::Edit, 49, 217, 40, 12},
            {0, Kind::Static, 91, 219, 12, 11, "cm"},
            {0, Kind::Static, 106, 219, 30, 11, "体重"},
            {id::Weight, Kind::Edit, 143, 217, 39, 12},
            {0, Kind::Static, 184, 219, 12, 11, "kg"},
            {0, Kind::Static, 13, 235, 30, 11, "爱好"},
            {id::Hobby, Kind::Edit, 49, 233, 54, 12},
            {0, Kind::Static, 106, 235, 32, 11, "文化程度"},
            {id::Education, Kind::Combo, 143, 233, 53, 12, "", Style::None, presets::educations},
            {0, Kind::Static, 13, 251, 30, 11, "备注"},
            {id::Remarks, Kind::Memo, 49, 249, 147, 128},

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
