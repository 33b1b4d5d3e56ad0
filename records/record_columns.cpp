#include "record_columns.h"

#include <array>
#include <utility>

namespace vantorel {

namespace {

using Label = std::pair<std::string_view, std::string_view>;

// The forms' labels; units stand in brackets where the form has them beside
// the field, and the two postcodes say whose address they belong to.
constexpr std::array kFieldLabels = {
    // PolicyInfo and RiderRecord
    Label{"policyNo", "保险单号"},
    Label{"company", "保险公司"},
    Label{"sumInsured", "保险金额(万元)"},
    Label{"paymentMethod", "缴费方式"},
    Label{"annualPremium", "年缴保费(元)"},
    Label{"effectiveDate", "生效日期"},
    Label{"applicationNo", "投保单号"},
    Label{"productName", "险种名称"},
    Label{"paymentYears", "缴费期限(年)"},
    Label{"coverageYears", "保险期限(年)"},
    Label{"benefitMethod", "保险给付领取方式"},
    Label{"benefitAge", "保险给付领取年龄"},
    Label{"liabilityStartDate", "责任开始日"},
    // people
    Label{"name", "姓名"},
    Label{"sex", "性别"},
    Label{"nation", "民族"},
    Label{"idNumber", "身份证号"},
    Label{"maritalStatus", "婚况"},
    Label{"birthDate", "出生日期"},
    Label{"mobile", "手机"},
    Label{"email", "EMAIL"},
    Label{"occupation", "职业"},
    Label{"annualIncome", "年收入"},
    Label{"homePhone", "家庭电话"},
    Label{"homeAddress", "家庭地址"},
    Label{"homePostcode", "家庭邮编"},
    Label{"workPhone", "单位电话"},
    Label{"workAddress", "单位地址"},
    Label{"workPostcode", "单位邮编"},
    Label{"relationToInsured", "与被保险人关系"},
    Label{"height", "身高(cm)"},
    Label{"weight", "体重(kg)"},
    Label{"education", "文化程度"},
    Label{"share", "受益份额(%)"},
    Label{"remarks", "备注"},
    // potential clients, team members, schedule
    Label{"fax", "传真"},
    Label{"hobby", "爱好"},
    Label{"staffNo", "工号"},
    Label{"department", "部门"},
    Label{"level", "级别"},
    Label{"joinDate", "入司时间"},
    Label{"date", "时间"},
    Label{"text", "日程安排"},
};

constexpr std::array kGroupLabels = {
    Label{"info", ""},   Label{"holder", "投保人"},        Label{"insured", "被保险人"},
    Label{"person", ""}, Label{"beneficiaries", "受益人"}, Label{"riders", "附加险"},
};

template <std::size_t N> std::string_view Find(const std::array<Label, N>& table, std::string_view key) {
    for (const Label& l : table)
        if (l.first == key) return l.second;
    return key;
}

} // namespace

std::string_view FieldLabel(std::string_view field) { return Find(kFieldLabels, field); }
std::string_view GroupLabel(std::string_view group) { return Find(kGroupLabels, group); }

const char* SexWord(int index) {
    static const char* const words[] = {"男", "女"};
    return index >= 0 && index < 2 ? words[index] : nullptr;
}

const char* MaritalWord(int index) {
    static const char* const words[] = {"已婚", "未婚", "离异", "丧偶", "分居"};
    return index >= 0 && index < 5 ? words[index] : nullptr;
}

namespace columns_detail {

ValueKind TextKind(std::string_view field) {
    return field == "effectiveDate" || field == "liabilityStartDate" || field == "birthDate" || field == "joinDate"
               ? ValueKind::date
               : ValueKind::text;
}

ValueKind ChoiceKind(std::string_view field) { return field == "sex" ? ValueKind::sex : ValueKind::marital; }

} // namespace columns_detail

} // namespace vantorel
