#include "policy_fields.h"

#include "app/forms.h"
#include "app/gbk.h"
#include "resources/templates/policy_entry_ids.h"

#include <iterator>

using namespace vantorel;

void PolicyInfoValues::Bind(FormBinding& b) {
    namespace id = ids::policy_info;
    b.Text(id::PolicyNo, &policyNo, QStringLiteral("保险单号"));
    b.Text(id::ApplicationNo, &applicationNo, QStringLiteral("投保单号"));
    b.Text(id::Company, &company, QStringLiteral("保险公司"));
    b.Text(id::ProductName, &productName, QStringLiteral("险种名称"));
    b.Text(id::PaymentMethod, &paymentMethod, QStringLiteral("缴费方式"));
    b.Text(id::PaymentYears, &paymentYears, QStringLiteral("缴费期限"));
    b.Text(id::CoverageYears, &coverageYears, QStringLiteral("保险期限"));
    b.Number(id::SumInsured, &sumInsured, QStringLiteral("保险金额"));
    b.Text(id::BenefitMethod, &benefitMethod, QStringLiteral("保险给付领取方式"));
    b.Number(id::AnnualPremium, &annualPremium, QStringLiteral("年缴保费"));
    b.Text(id::BenefitAge, &benefitAge, QStringLiteral("保险给付领取年龄"));
    b.Date(id::EffectiveYear, id::EffectiveMonth, id::EffectiveDay, &effective, QStringLiteral("生效日期"));
    b.Date(id::LiabilityYear, id::LiabilityMonth, id::LiabilityDay, &liability, QStringLiteral("责任开始日"));
    b.Text(id::Remarks, &remarks, QStringLiteral("备注"));
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

namespace holder = ids::entry::holder;
const PersonIds kHolderIds = PersonBlock(
    {holder::Name,        holder::Sex,          holder::Nation,      holder::IdNumber,     holder::Marital,
     holder::BirthYear,   holder::BirthMonth,   holder::BirthDay,    holder::Education,    holder::Mobile,
     holder::Email,       holder::Occupation,   holder::Income,      holder::HomePhone,    holder::WorkPhone,
     holder::HomeAddress, holder::HomePostcode, holder::WorkAddress, holder::WorkPostcode, holder::Remarks});
namespace insured = ids::entry::insured;
const PersonIds kInsuredIds = PersonBlock(
    {insured::Name,        insured::Sex,          insured::Nation,      insured::IdNumber,     insured::Marital,
     insured::BirthYear,   insured::BirthMonth,   insured::BirthDay,    insured::Education,    insured::Mobile,
     insured::Email,       insured::Occupation,   insured::Income,      insured::HomePhone,    insured::WorkPhone,
     insured::HomeAddress, insured::HomePostcode, insured::WorkAddress, insured::WorkPostcode, insured::Remarks});

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
