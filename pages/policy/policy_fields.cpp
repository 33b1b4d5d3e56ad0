#include "policy_fields.h"

#include "app/forms.h"
#include "app/gbk.h"

#include <iterator>

using namespace vantorel;

void PolicyInfoValues::Bind(FormBinding& b) {
    b.Text(1040, &policyNo, QStringLiteral("保险单号"));
    b.Text(1048, &applicationNo, QStringLiteral("投保单号"));
    b.Text(1041, &company, QStringLiteral("保险公司"));
    b.Text(1049, &productName, QStringLiteral("险种名称"));
    b.Text(1043, &paymentMethod, QStringLiteral("缴费方式"));
    b.Text(1050, &paymentYears, QStringLiteral("缴费期限"));
    b.Text(1051, &coverageYears, QStringLiteral("保险期限"));
    b.Number(1044, &sumInsured, QStringLiteral("保险金额"));
    b.Text(1052, &benefitMethod, QStringLiteral("保险给付领取方式"));
    b.Number(1053, &annualPremium, QStringLiteral("年缴保费"));
    b.Text(1054, &benefitAge, QStringLiteral("保险给付领取年龄"));
    b.Date(1045, 1046, 1047, &effective, QStringLiteral("生效日期"));
    b.Date(1059, 1060, 1061, &liability, QStringLiteral("责任开始日"));
    b.Text(1042, &remarks, QStringLiteral("备注"));
}

PolicyInfo PolicyInfoValues::Build() const {
    PolicyInfo r;
    r.policyNo = ToGbk(policyNo);
    r.company = ToGbk(company);
    r.paymentMethod = ToGbk(paymentMethod);
    r.sumInsured = forms::TextToDouble(sumInsured);
    r.annualPremium = forms::TextToDouble(annualPremium);
    r.effectiveDate = ToGbk(forms::ComposeDate(effective));
    r.applicationNo = ToGbk(applicationNo);
    r.productName = ToGbk(productName);
    r.paymentYears = ToGbk(paymentYears);
    r.coverageYears = ToGbk(coverageYears);
    r.benefitMethod = ToGbk(benefitMethod);
    r.benefitAge = ToGbk(benefitAge);
    r.liabilityStartDate = ToGbk(forms::ComposeDate(liability));
    r.remarks = ToGbk(remarks);
    return r;
}

void PolicyInfoValues::Load(const PolicyInfo& r) {
    policyNo = FromGbk(r.policyNo);
    company = FromGbk(r.company);
    paymentMethod = FromGbk(r.paymentMethod);
    sumInsured = forms::FormatFixed(r.sumInsured);
    annualPremium = forms::FormatFixed(r.annualPremium);
    effective = forms::SplitDate(FromGbk(r.effectiveDate));
    applicationNo = FromGbk(r.applicationNo);
    productName = FromGbk(r.productName);
    paymentYears = FromGbk(r.paymentYears);
    coverageYears = FromGbk(r.coverageYears);
    benefitMethod = FromGbk(r.benefitMethod);
    benefitAge = FromGbk(r.benefitAge);
    liability = forms::SplitDate(FromGbk(r.liabilityStartDate));
    remarks = FromGbk(r.remarks);
}

namespace {
// Both blocks read in the same order; only their ids differ.
PersonIds PersonBlock(std::initializer_list<int> ids) {
    using F = PersonField;
    static const F order[] = {F::name,        F::sex,          F::nation,      F::idNumber,     F::marital,
                              F::birthYear,   F::birthMonth,   F::birthDay,    F::education,    F::mobile,
                              F::email,       F::occupation,   F::income,      F::homePhone,    F::workPhone,
                              F::homeAddress, F::homePostcode, F::workAddress, F::workPostcode, F::remarks};
    Q_ASSERT(ids.size() == std::size(order));
    PersonIds block;
    const int* id = ids.begin();
    for (F f : order) block.push_back({f, *id++});
    return block;
}
} // namespace

const PersonIds kHolderIds = PersonBlock({1055, 1057, 1058, 1062, 1063, 1064, 1065, 1066, 1186, 1071,
                                          1072, 1109, 1121, 1067, 1068, 1069, 1073, 1070, 1074, 1056});
const PersonIds kInsuredIds = PersonBlock({1075, 1077, 1079, 1088, 1089, 1090, 1091, 1092, 1187, 1093,
                                           1094, 1111, 1123, 1095, 1096, 1097, 1098, 1099, 1100, 1101});

HolderInfo BuildHolder(const PersonValues& v) {
    HolderInfo r;
    v.ToRecord(r);
    r.relationToInsured = ToGbk(v.relation);
    return r;
}

PersonInfo BuildInsured(const PersonValues& v) {
    PersonInfo r;
    v.ToRecord(r);
    r.height = forms::TextToDouble(v.height);
    r.weight = forms::TextToDouble(v.weight);
    return r;
}

void LoadHolder(PersonValues& v, const HolderInfo& r) {
    v.FromRecord(r);
    v.relation = FromGbk(r.relationToInsured);
}

void LoadInsured(PersonValues& v, const PersonInfo& r) { v.FromRecord(r); }
