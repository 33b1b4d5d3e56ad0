#include "policy_entry_template.h"

#include "policy_entry_ids.h"

namespace tmpl {

namespace {

using K = Kind;

// A year combo, month list and day list with their unit labels, 104 units
// wide, so that a label beside it keeps clear of its "日".
void AddDate(std::vector<Control>& c, int x, int y, int yearId, int monthId, int dayId) {
    c.push_back({yearId, K::Combo, x, y, 33, 12});
    c.push_back({0, K::Static, x + 33, y + 2, 7, 10, "年"});
    c.push_back({monthId, K::List, x + 40, y, 25, 12, "", Style::None, presets::months});
    c.push_back({0, K::Static, x + 65, y + 2, 7, 10, "月"});
    c.push_back({dayId, K::List, x + 72, y, 25, 12, "", Style::None, presets::days});
    c.push_back({0, K::Static, x + 97, y + 2, 7, 10, "日"});
}

struct PersonIds {
    int name, sex, nation, idNumber, marital, year, month, day, education, mobile, email, occupation, income, homePhone,
        workPhone, homeAddress, homePostcode, workAddress, workPostcode, remarks;
};

void AddPerson(std::vector<Control>& c, int gx, int gy, const PersonIds& id) {
    auto row = [gy](int k) { return gy + 12 + 14 * k; };
    auto label = [&](int x, int k, int w, const char* text) {
        c.push_back({0, K::Static, gx + x, row(k) + 2, w, 10, text});
    };
    label(5, 0, 18, "姓名");
    c.push_back({id.name, K::Edit, gx + 24, row(0), 44, 12});
    label(70, 0, 18, "性别");
    c.push_back({id.sex, K::List, gx + 88, row(0), 28, 12, "", Style::None, presets::sexes});
    label(118, 0, 18, "民族");
    c.push_back({id.nation, K::Combo, gx + 136, row(0), 28, 12, "", Style::None, presets::nations});

    label(5, 1, 36, "身份证号");
    c.push_back({id.idNumber, K::Edit, gx + 42, row(1), 68, 12});
    label(112, 1, 18, "婚况");
    c.push_back({id.marital, K::List, gx + 130, row(1), 34, 12, "", Style::None, presets::marital});

    label(5, 2, 36, "出生日期");
    AddDate(c, gx + 41, row(2), id.year, id.month, id.day);

    label(5, 3, 36, "文化程度");
    c.push_back({id.education, K::Combo, gx + 42, row(3), 64, 12, "", Style::None, presets::educations});

    label(5, 4, 36, "手机");
    c.push_back({id.mobile, K::Edit, gx + 42, row(4), 122, 12});
    label(5, 5, 36, "EMAIL");
    c.push_back({id.email, K::Edit, gx + 42, row(5), 122, 12});

    label(5, 6, 36, "职业");
    c.push_back({id.occupation, K::Edit, gx + 42, row(6), 48, 12});
    label(93, 6, 27, "年收入");
    c.push_back({id.income, K::Combo, gx + 120, row(6), 44, 12, "", Style::None, presets::incomeBands});

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
    namespace id = ids::policy_info;
    std::vector<Control> c;
    auto row = [gy](int k) { return gy + 12 + 16 * k; };
    auto label = [&](int x, int k, int w, const char* text) {
        c.push_back({0, K::Static, gx + x, row(k) + 2, w, 10, text});
    };
    // Left column.
    label(4, 0, 38, "*保险单号");
    c.push_back({id::PolicyNo, K::Edit, gx + 42, row(0), 100, 12});
    label(4, 1, 38, "保险公司");
    c.push_back({id::Company, K::Combo, gx + 42, row(1), 100, 12, "", Style::None, presets::insurers});
    label(4, 2, 38, "缴费方式");
    c.push_back({id::PaymentMethod, K::Combo, gx + 42, row(2), 100, 12, "", Style::None, presets::paymentMethods});
    label(4, 3, 38, "保险金额");
    c.push_back({id::SumInsured, K::Edit, gx + 42, row(3), 82, 12});
    label(125, 3, 18, "万元");
    label(4, 4, 38, "年缴保费");
    c.push_back({id::AnnualPremium, K::Edit, gx + 42, row(4), 82, 12});
    label(125, 4, 18, "元");
    label(4, 5, 38, "生效日期");
    AddDate(c, gx + 42, row(5), id::EffectiveYear, id::EffectiveMonth, id::EffectiveDay);

    // Right column.
    label(149, 0, 38, "投保单号");
    c.push_back({id::ApplicationNo, K::Edit, gx + 188, row(0), 106, 12});
    label(149, 1, 38, "险种名称");
    c.push_back({id::ProductName, K::Edit, gx + 188, row(1), 106, 12});
    label(149, 2, 35, "缴费期限");
    c.push_back({id::PaymentYears, K::Combo, gx + 184, row(2), 30, 12, "", Style::None, presets::twoDigits});
    label(215, 2, 8, "年");
    label(224, 2, 35, "保险期限");
    c.push_back({id::CoverageYears, K::Combo, gx + 259, row(2), 30, 12, "", Style::None, presets::twoDigits});
    label(290, 2, 8, "年");
    label(149, 3, 71, "保险给付领取方式");
    c.push_back({id::BenefitMethod, K::Combo, gx + 220, row(3), 74, 12, "", Style::None, presets::benefitMethods});
    label(149, 4, 71, "保险给付领取年龄");
    c.push_back({id::BenefitAge, K::Combo, gx + 220, row(4), 74, 12, "", Style::None, presets::benefitAges});
    label(150, 5, 42, "责任开始日");
    AddDate(c, gx + 192, row(5), id::LiabilityYear, id::LiabilityMonth, id::LiabilityDay);

    label(4, 6, 38, "备注");
    c.push_back({id::Remarks, K::Memo, gx + 42, row(6), 252, 22});
    return c;
}

const Window& PolicyEntryTemplate() {
    namespace id = ids::entry;
    static const Window w = [] {
        Window t{id::Template, 355, 367, "新宋体", 10, {}};
        auto& c = t.controls;
        c.push_back({0, K::GroupBox, 7, 7, 299, 133, "保单资料"});
        for (const Control& f : PolicyInfoControls(7, 7)) c.push_back(f);
        c.push_back({id::Beneficiaries, K::Button, 310, 12, 40, 16, "受益人"});
        c.push_back({id::Riders, K::Button, 310, 32, 40, 16, "附加险"});

        c.push_back({0, K::GroupBox, 7, 145, 168, 200, "投保人"});
        {
            namespace p = id::holder;
            AddPerson(c, 7, 145, {p::Name,        p::Sex,          p::Nation,      p::IdNumber,     p::Marital,
                                  p::BirthYear,   p::BirthMonth,   p::BirthDay,    p::Education,    p::Mobile,
                                  p::Email,       p::Occupation,   p::Income,      p::HomePhone,    p::WorkPhone,
                                  p::HomeAddress, p::HomePostcode, p::WorkAddress, p::WorkPostcode, p::Remarks});
        }
        c.push_back({0, K::Static, 12, 145 + 12 + 14 * 10 + 28, 90, 10, "投保人与被保险人关系"});
        c.push_back(
            {id::Relation, K::Combo, 103, 145 + 12 + 14 * 10 + 26, 68, 12, "", Style::None, presets::relations});

        c.push_back({0, K::GroupBox, 174, 145, 168, 200, "被保险人"});
        {
            namespace p = id::insured;
            AddPerson(c, 174, 145, {p::Name,        p::Sex,          p::Nation,      p::IdNumber,     p::Marital,
                                    p::BirthYear,   p::BirthMonth,   p::BirthDay,    p::Education,    p::Mobile,
                                    p::Email,       p::Occupation,   p::Income,      p::HomePhone,    p::WorkPhone,
                                    p::HomeAddress, p::HomePostcode, p::WorkAddress, p::WorkPostcode, p::Remarks});
        }
        const int y = 145 + 12 + 14 * 10 + 26;
        c.push_back({0, K::Static, 179, y + 2, 18, 10, "身高"});
        c.push_back({id::Height, K::Edit, 198, y, 36, 12});
        c.push_back({0, K::Static, 236, y + 2, 12, 10, "cm"});
        c.push_back({0, K::Static, 256, y + 2, 18, 10, "体重"});
        c.push_back({id::Weight, K::Edit, 275, y, 36, 12});
        c.push_back({0, K::Static, 313, y + 2, 12, 10, "kg"});

        c.push_back({id::Previous, K::Button, 7, 347, 50, 14, "上一记录", Style::Hidden});
        c.push_back({id::Next, K::Button, 62, 347, 50, 14, "下一记录", Style::Hidden});
        c.push_back({id::AddOrModify, K::Button, 226, 347, 50, 14, "添加"});
        c.push_back({id::Report, K::Button, 281, 347, 68, 14, "输出WORD报表"});
        return t;
    }();
    return w;
}

} // namespace tmpl
