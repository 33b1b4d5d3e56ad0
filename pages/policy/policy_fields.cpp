#include "policy_fields.h"

#include "app/forms.h"
#include "app/gbk.h"

using namespace vantorel;

void PolicyInfoValues::Bind(FormBinding& b) {
    b.Text(1040, &policyNo, QStringLiteral("保险单号"));
    b.Text(1048, &applicationNo, QStringLiteral("投保单号"));
    b.Text(1041, &company, QStringLiteral("保险公司"));
    b.Text(1049, &productName, QStringLiteral("险种名称"));
    b.Text(1043, &paymentMethod, QStringLiteral("缴费方式"));
    b.Text(1050, &paymentYears, QStringLiteral("缴费期限"));
    b.Text(1051, &coverageYears, QStringLiteral("保险期限"));
    b.Text(1044, &sumInsured, QStringLiteral("保险金额"));
    b.Text(1052, &benefitMethod, QStringLiteral("保险给付领取方式"));
    b.Text(1053, &annualPremium, QStringLiteral("年缴保费"));
    b.Text(1054, &benefitAge, QStringLiteral("保险给付领取年龄"));
    b.Text(1045, &effectiveYear, QStringLiteral("生效日期"));
    b.Index(1046, &effectiveMonth);
    b.Index(1047, &effectiveDay);
    b.Text(1059, &liabilityYear, QStringLiteral("责任开始日"));
    b.Index(1060, &liabilityMonth);
    b.Index(1061, &liabilityDay);
    b.Text(1042, &remarks, QStringLiteral("备注"));
}

PolicyInfo PolicyInfoValues::Build() const {
    PolicyInfo r;
    r.policyNo = ToGbk(policyNo);
    r.company = ToGbk(company);
    r.paymentMethod = ToGbk(paymentMethod);
    r.sumInsured = forms::TextToDouble(sumInsured);
    r.annualPremium = forms::TextToDouble(annualPremium);
    r.effectiveDate = ToGbk(forms::ComposeDate(effectiveYear, effectiveMonth, effectiveDay));
    r.applicationNo = ToGbk(applicationNo);
    r.productName = ToGbk(productName);
    r.paymentYears = ToGbk(paymentYears);
    r.coverageYears = ToGbk(coverageYears);
    r.benefitMethod = ToGbk(benefitMethod);
    r.benefitAge = ToGbk(benefitAge);
    r.liabilityStartDate = ToGbk(forms::ComposeDate(liabilityYear, liabilityMonth, liabilityDay));
    r.remarks = ToGbk(remarks);
    return r;
}

void PolicyInfoValues::Load(const PolicyInfo& r) {
    policyNo = FromGbk(r.policyNo);
    company = FromGbk(r.company);
    paymentMethod = FromGbk(r.paymentMethod);
    sumInsured = forms::FormatFixed(r.sumInsured);
    annualPremium = forms::FormatFixed(r.annualPremium);
    const forms::DateParts eff = forms::SplitDate(FromGbk(r.effectiveDate));
    effectiveYear = eff.year;
    effectiveMonth = eff.monthIndex;
    effectiveDay = eff.dayIndex;
    applicationNo = FromGbk(r.applicationNo);
    productName = FromGbk(r.productName);
    paymentYears = FromGbk(r.paymentYears);
    coverageYears = FromGbk(r.coverageYears);
    benefitMethod = FromGbk(r.benefitMethod);
    benefitAge = FromGbk(r.benefitAge);
    const forms::DateParts lia = forms::SplitDate(FromGbk(r.liabilityStartDate));
    liabilityYear = lia.year;
    liabilityMonth = lia.monthIndex;
    liabilityDay = lia.dayIndex;
    remarks = FromGbk(r.remarks);
}

const PersonIds kHolderIds{1055, 1057, 1058, 1062, 1063, 1064, 1065, 1066, 1186, 1071,
                           1072, 1109, 1121, 1067, 1068, 1069, 1073, 1070, 1074, 1056};
const PersonIds kInsuredIds{1075, 1077, 1079, 1088, 1089, 1090, 1091, 1092, 1187, 1093,
                            1094, 1111, 1123, 1095, 1096, 1097, 1098, 1099, 1100, 1101};

void PersonValues::Bind(FormBinding& b, const PersonIds& id, const QString& group) {
    auto label = [&group](const char* field) { return group + QString::fromUtf8(field); };
    b.Text(id.name, &name, label("姓名"));
    b.Index(id.sex, &sex);
    b.Text(id.nation, &nation, label("民族"));
    b.Text(id.idNumber, &idNumber, label("身份证号"));
    b.Index(id.marital, &marital);
    b.Text(id.year, &birthYear, label("出生日期"));
    b.Index(id.month, &birthMonth);
    b.Index(id.day, &birthDay);
    b.Text(id.education, &education, label("文化程度"));
    b.Text(id.mobile, &mobile, label("手机"));
    b.Text(id.email, &email, label("EMAIL"));
    b.Text(id.occupation, &occupation, label("职业"));
    b.Text(id.income, &income, label("年收入"));
    b.Text(id.homePhone, &homePhone, label("家庭电话"));
    b.Text(id.workPhone, &workPhone, label("单位电话"));
    b.Text(id.homeAddress, &homeAddress, label("家庭地址"));
    b.Text(id.homePostcode, &homePostcode, label("邮编"));
    b.Text(id.workAddress, &workAddress, label("单位地址"));
    b.Text(id.workPostcode, &workPostcode, label("邮编"));
    b.Text(id.remarks, &remarks, label("备注"));
}

template <class P> void PersonValues::BuildInto(P& r) const {
    r.name = ToGbk(name);
    r.sex = static_cast<std::int16_t>(sex);
    r.maritalStatus = static_cast<std::int16_t>(marital);
    r.nation = ToGbk(nation);
    r.idNumber = ToGbk(idNumber);
    r.birthDate = ToGbk(forms::ComposeDate(birthYear, birthMonth, birthDay));
    r.mobile = ToGbk(mobile);
    r.email = ToGbk(email);
    r.occupation = ToGbk(occupation);
    r.annualIncome = ToGbk(income);
    r.homePhone = ToGbk(homePhone);
    r.homeAddress = ToGbk(homeAddress);
    r.homePostcode = ToGbk(homePostcode);
    r.workPhone = ToGbk(workPhone);
    r.workAddress = ToGbk(workAddress);
    r.workPostcode = ToGbk(workPostcode);
    r.remarks = ToGbk(remarks);
    r.education = ToGbk(education);
}

template <class P> void PersonValues::LoadFrom(const P& r) {
    name = FromGbk(r.name);
    sex = r.sex;
    marital = r.maritalStatus;
    nation = FromGbk(r.nation);
    idNumber = FromGbk(r.idNumber);
    const forms::DateParts d = forms::SplitDate(FromGbk(r.birthDate));
    birthYear = d.year;
    birthMonth = d.monthIndex;
    birthDay = d.dayIndex;
    mobile = FromGbk(r.mobile);
    email = FromGbk(r.email);
    occupation = FromGbk(r.occupation);
    income = FromGbk(r.annualIncome);
    homePhone = FromGbk(r.homePhone);
    homeAddress = FromGbk(r.homeAddress);
    homePostcode = FromGbk(r.homePostcode);
    workPhone = FromGbk(r.workPhone);
    workAddress = FromGbk(r.workAddress);
    workPostcode = FromGbk(r.workPostcode);
    remarks = FromGbk(r.remarks);
    education = FromGbk(r.education);
}

HolderInfo BuildHolder(const PersonValues& v) {
    HolderInfo r;
    v.BuildInto(r);
    r.relationToInsured = ToGbk(v.relation);
    return r;
}

PersonInfo BuildInsured(const PersonValues& v) {
    PersonInfo r;
    v.BuildInto(r);
    r.height = forms::TextToDouble(v.height);
    r.weight = forms::TextToDouble(v.weight);
    return r;
}

void LoadHolder(PersonValues& v, const HolderInfo& r) {
    v.LoadFrom(r);
    v.relation = FromGbk(r.relationToInsured);
}

void LoadInsured(PersonValues& v, const PersonInfo& r) {
    v.LoadFrom(r);
    v.height = forms::FormatRounded(r.height);
    v.weight = forms::FormatRounded(r.weight);
}
