#include "policy_fields.h"

#include "resources/templates/policy_entry_ids.h"

#include <iterator>

void BindPolicyInfo(FormBinding& b, PolicyInfoValues& v) {
    namespace id = ids::policy_info;
    b.Text(id::PolicyNo, &v.policyNo, QStringLiteral("保险单号"));
    b.Text(id::ApplicationNo, &v.applicationNo, QStringLiteral("投保单号"));
    b.Text(id::Company, &v.company, QStringLiteral("保险公司"));
    b.Text(id::ProductName, &v.productName, QStringLiteral("险种名称"));
    b.Text(id::PaymentMethod, &v.paymentMethod, QStringLiteral("缴费方式"));
    b.Text(id::PaymentYears, &v.paymentYears, QStringLiteral("缴费期限"));
    b.Text(id::CoverageYears, &v.coverageYears, QStringLiteral("保险期限"));
    b.Number(id::SumInsured, &v.sumInsured, QStringLiteral("保险金额"), kSumInsuredUnit);
    b.Text(id::BenefitMethod, &v.benefitMethod, QStringLiteral("保险给付领取方式"));
    b.Number(id::AnnualPremium, &v.annualPremium, QStringLiteral("年缴保费"), kPremiumUnit);
    b.Text(id::BenefitAge, &v.benefitAge, QStringLiteral("保险给付领取年龄"));
    b.Date(id::EffectiveYear, id::EffectiveMonth, id::EffectiveDay, &v.effective, QStringLiteral("生效日期"));
    b.Date(id::LiabilityYear, id::LiabilityMonth, id::LiabilityDay, &v.liability, QStringLiteral("责任开始日"));
    b.Text(id::Remarks, &v.remarks, QStringLiteral("备注"));
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
