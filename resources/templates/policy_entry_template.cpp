#include "policy_entry_template.h"

namespace tmpl {

namespace {

using K = Kind;

// A year combo, month list and day list with their unit labels, 96 units wide.
void AddDate(std::vector<Control>& c, int x, int y, int yearId, int monthId, int dayId) {
    c.push_back({yearId, K::Combo, x, y, 28, 150});
    c.push_back({0, K::Static, x + 29, y + 2, 8, 10, "年"});
    c.push_back({monthId, K::List, x + 37, y, 22, 150, "", Style::None, presets::months});
    c.push_back({0, K::Static, x + 60, y + 2, 8, 10, "月"});
    c.push_back({dayId, K::List, x + 68, y, 22, 150, "", Style::None, presets::days});
    c.push_back({0, K::Static, x + 91, y + 2, 8, 10, "日"});
}

struct PersonIds {
    int name, sex, nation, idNumber, marital, year, month, day, education, mobile, email, occupation, income,
        homePhone, workPhone, homeAddress, homePostcode, workAddress, workPostcode, remarks;
};

void AddPerson(std::vector<Control>& c, int gx, int gy, const PersonIds& id) {
    auto row = [gy](int k) { return gy + 12 + 14 * k; };
    auto label = [&](int x, int k, int w, const char* text) {
        c.push_back({0, K::Static, gx + x, row(k) + 2, w, 10, text});
    };
    label(5, 0, 20, "姓名");
    c.push_back({id.name, K::Edit, gx + 28, row(0), 42, 12});
    label(73, 0, 18, "性别");
    c.push_back({id.sex, K::List, gx + 91, row(0), 24, 100, "", Style::None, presets::sexes});
    label(118, 0, 18, "民族");
    c.push_back({id.nation, K::Combo, gx + 136, row(0), 28, 100, "", Style::None, presets::nations});

    label(5, 1, 36, "身份证号");
    c.push_back({id.idNumber, K::Edit, gx + 42, row(1), 73, 12});
    label(118, 1, 18, "婚况");
    c.push_back({id.marital, K::List, gx + 136, row(1), 28, 100, "", Style::None, presets::marital});

    label(5, 2, 36, "出生日期");
    AddDate(c, gx + 42, row(2), id.year, id.month, id.day);

    label(5, 3, 36, "文化程度");
    c.push_back({id.education, K::Combo, gx + 42, row(3), 64, 120, "", Style::None, presets::educations});

    label(5, 4, 36, "手机");
    c.push_back({id.mobile, K::Edit, gx + 42, row(4), 122, 12});
    label(5, 5, 36, "EMAIL");
    c.push_back({id.email, K::Edit, gx + 42, row(5), 122, 12});

    label(5, 6, 36, "职业");
    c.push_back({id.occupation, K::Edit, gx + 42, row(6), 48, 12});
    label(93, 6, 27, "年收入");
    c.push_back({id.income, K::Combo, gx + 120, row(6), 44, 120, "", Style::None, presets::incomeBands});

    label(5, 7, 36, "家庭电话");
    c.push_back({id.homePhone, K::Edit, gx + 42, row(7), 40, 12});
    label(85, 7, 36, "单位电话");
    c.push_back({id.workPhone, K::Edit, gx + 121, row(7), 43, 12});

    label(5, 8, 36, "家庭地址");
    c.push_back({id.homeAddress, K::Edit, gx + 42, row(8), 77, 12});
    label(122, 8, 18, "邮编");
    c.push_back({id.homePostcode, K::Edit, gx + 140, row(8), 24, 12});

    label(5, 9, 36, "单位地址");
    c.push_back({id.workAddress, K::Edit, gx + 42, row(9), 77, 12});
    label(122, 9, 18, "邮编");
    c.push_back({id.workPostcode, K::Edit, gx + 140, row(9), 24, 12});

    label(5, 10, 36, "备注");
    c.push_back({id.remarks, K::Memo, gx + 42, row(10), 122, 22});
}

} // namespace

std::vector<Control> PolicyInfoControls(int gx, int gy) {
    std::vector<Control> c;
    auto row = [gy](int k) { return gy + 12 + 16 * k; };
    auto label = [&](int x, int k, int w, const char* text) {
        c.push_back({0, K::Static, gx + x, row(k) + 2, w, 10, text});
    };
    // Left column.
    label(5, 0, 40, "*保险单号");
    c.push_back({1040, K::Edit, gx + 46, row(0), 96, 12});
    label(5, 1, 40, "保险公司");
    c.push_back({1041, K::Combo, gx + 46, row(1), 96, 150, "", Style::None, presets::insurers});
    label(5, 2, 40, "缴费方式");
    c.push_back({1043, K::Combo, gx + 46, row(2), 96, 120, "", Style::None, presets::paymentMethods});
    label(5, 3, 40, "保险金额");
    c.push_back({1044, K::Edit, gx + 46, row(3), 78, 12});
    label(126, 3, 18, "万元");
    label(5, 4, 40, "年缴保费");
    c.push_back({1053, K::Edit, gx + 46, row(4), 78, 12});
    label(126, 4, 18, "元");
    label(5, 5, 40, "生效日期");
    AddDate(c, gx + 46, row(5), 1045, 1046, 1047);

    // Right column.
    label(152, 0, 40, "投保单号");
    c.push_back({1048, K::Edit, gx + 194, row(0), 98, 12});
    label(152, 1, 40, "险种名称");
    c.push_back({1049, K::Edit, gx + 194, row(1), 98, 12});
    label(152, 2, 36, "缴费期限");
    c.push_back({1050, K::Combo, gx + 188, row(2), 28, 150, "", Style::None, presets::twoDigits});
    label(217, 2, 8, "年");
    label(227, 2, 36, "保险期限");
    c.push_back({1051, K::Combo, gx + 263, row(2), 28, 150, "", Style::None, presets::twoDigits});
    label(292, 2, 6, "年");
    label(152, 3, 72, "保险给付领取方式");
    c.push_back({1052, K::Combo, gx + 224, row(3), 68, 120, "", Style::None, presets::benefitMethods});
    label(152, 4, 72, "保险给付领取年龄");
    c.push_back({1054, K::Combo, gx + 224, row(4), 68, 150, "", Style::None, presets::benefitAges});
    label(152, 5, 44, "责任开始日");
    AddDate(c, gx + 196, row(5), 1059, 1060, 1061);

    label(5, 6, 40, "备注");
    c.push_back({1042, K::Memo, gx + 46, row(6), 246, 22});
    return c;
}

const Window& PolicyEntryTemplate() {
    static const Window w = [] {
        Window t{136, 355, 367, "新宋体", 10, {}};
        auto& c = t.controls;
        c.push_back({0, K::GroupBox, 7, 7, 299, 133, "保单资料"});
        for (const Control& f : PolicyInfoControls(7, 7)) c.push_back(f);
        c.push_back({1105, K::Button, 310, 12, 40, 16, "受益人"});
        c.push_back({1106, K::Button, 310, 32, 40, 16, "附加险"});

        c.push_back({0, K::GroupBox, 7, 145, 168, 200, "投保人"});
        AddPerson(c, 7, 145,
                  {1055, 1057, 1058, 1062, 1063, 1064, 1065, 1066, 1186, 1071, 1072, 1109, 1121, 1067, 1068, 1069,
                   1073, 1070, 1074, 1056});
        c.push_back({0, K::Static, 12, 145 + 12 + 14 * 10 + 28, 90, 10, "投保人与被保险人关系"});
        c.push_back({1104, K::Combo, 103, 145 + 12 + 14 * 10 + 26, 68, 120, "", Style::None, presets::relations});

        c.push_back({0, K::GroupBox, 174, 145, 168, 200, "被保险人"});
        AddPerson(c, 174, 145,
                  {1075, 1077, 1079, 1088, 1089, 1090, 1091, 1092, 1187, 1093, 1094, 1111, 1123, 1095, 1096, 1097,
                   1098, 1099, 1100, 1101});
        const int y = 145 + 12 + 14 * 10 + 26;
        c.push_back({0, K::Static, 179, y + 2, 18, 10, "身高"});
        c.push_back({1102, K::Edit, 198, y, 36, 12});
        c.push_back({0, K::Static, 236, y + 2, 12, 10, "cm"});
        c.push_back({0, K::Static, 256, y + 2, 18, 10, "体重"});
        c.push_back({1103, K::Edit, 275, y, 36, 12});
        c.push_back({0, K::Static, 313, y + 2, 12, 10, "kg"});

        c.push_back({1021, K::Button, 7, 347, 50, 14, "上一记录", Style::Hidden});
        c.push_back({1022, K::Button, 62, 347, 50, 14, "下一记录", Style::Hidden});
        c.push_back({1019, K::Button, 226, 347, 50, 14, "添加"});
        c.push_back({1020, K::Button, 281, 347, 68, 14, "输出WORD报表"});
        return t;
    }();
    return w;
}

} // namespace tmpl
