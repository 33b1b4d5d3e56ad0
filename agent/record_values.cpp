#include "record_values.h"

#include "gbk.h"
#include "numbers.h"

using namespace vantorel;

namespace {

// Puts values into a record: every field into a new one; into a stored one,
// texts only where they differ from what the record shows.
class Put {
public:
    explicit Put(Into into) : keep_(into == Into::stored) {}
    void Text(std::string& to, const QString& value) const {
        if (keep_ && FromGbk(to) == value) return;
        to = ToGbk(value);
    }
    // A date is always composed again from its parts, as the form shows them.
    void Date(std::string& to, const DateParts& value) const { to = ComposedDate::FromParts(value).Stored(); }
    // A number is read from the text it shows as, in the field's unit; the
    // text has passed rules::CheckNumber.
    void Number(double& to, const QString& value, numbers::Unit unit) const {
        to = numbers::ReadNumber(value, unit).value;
    }
    void Choice(std::int16_t& to, int value) const { to = static_cast<std::int16_t>(value); }

private:
    bool keep_;
};

template <class P> void LoadPerson(PersonValues& v, const P& r) {
    v.name = FromGbk(r.name);
    v.sex = r.sex;
    v.nation = FromGbk(r.nation);
    v.idNumber = FromGbk(r.idNumber);
    v.marital = r.maritalStatus;
    v.birth = ComposedDate::FromStored(r.birthDate).Split();
    v.mobile = FromGbk(r.mobile);
    v.email = FromGbk(r.email);
    v.occupation = FromGbk(r.occupation);
    v.income = FromGbk(r.annualIncome);
    v.homePhone = FromGbk(r.homePhone);
    v.homeAddress = FromGbk(r.homeAddress);
    v.homePostcode = FromGbk(r.homePostcode);
    v.workPhone = FromGbk(r.workPhone);
    v.workAddress = FromGbk(r.workAddress);
    v.workPostcode = FromGbk(r.workPostcode);
    v.remarks = FromGbk(r.remarks);
    v.education = FromGbk(r.education);
}

template <class P> void StorePerson(const PersonValues& v, P& r, const Put& put) {
    using F = PersonField;
    auto text = [&](F field, std::string& to, const QString& from) {
        if (v.Holds(field)) put.Text(to, from);
    };
    text(F::name, r.name, v.name);
    if (v.Holds(F::sex)) put.Choice(r.sex, v.sex);
    text(F::nation, r.nation, v.nation);
    text(F::idNumber, r.idNumber, v.idNumber);
    if (v.Holds(F::marital)) put.Choice(r.maritalStatus, v.marital);
    if (v.Holds(F::birthYear)) put.Date(r.birthDate, v.birth);
    text(F::mobile, r.mobile, v.mobile);
    text(F::email, r.email, v.email);
    text(F::occupation, r.occupation, v.occupation);
    text(F::income, r.annualIncome, v.income);
    text(F::homePhone, r.homePhone, v.homePhone);
    text(F::homeAddress, r.homeAddress, v.homeAddress);
    text(F::homePostcode, r.homePostcode, v.homePostcode);
    text(F::workPhone, r.workPhone, v.workPhone);
    text(F::workAddress, r.workAddress, v.workAddress);
    text(F::workPostcode, r.workPostcode, v.workPostcode);
    text(F::remarks, r.remarks, v.remarks);
    text(F::education, r.education, v.education);
}

} // namespace

QString TextOf(std::string_view stored) { return FromGbk(stored); }
std::string StoredText(const QString& text) { return ToGbk(text); }
QString AmountText(double v) { return numbers::Shortest(v); }
QString MeasureText(double v) { return v == 0 ? QString() : numbers::Shortest(v); }
QString ShareText(double v) { return numbers::FormatRounded(v); }
QString DateText(std::string_view stored) { return ComposedDate::FromStored(stored).ListText(); }

void PolicyInfoValues::Load(const PolicyInfo& r) {
    policyNo = FromGbk(r.policyNo);
    company = FromGbk(r.company);
    paymentMethod = FromGbk(r.paymentMethod);
    sumInsured = AmountText(r.sumInsured);
    annualPremium = AmountText(r.annualPremium);
    effective = ComposedDate::FromStored(r.effectiveDate).Split();
    applicationNo = FromGbk(r.applicationNo);
    productName = FromGbk(r.productName);
    paymentYears = FromGbk(r.paymentYears);
    coverageYears = FromGbk(r.coverageYears);
    benefitMethod = FromGbk(r.benefitMethod);
    benefitAge = FromGbk(r.benefitAge);
    liability = ComposedDate::FromStored(r.liabilityStartDate).Split();
    remarks = FromGbk(r.remarks);
}

void PolicyInfoValues::Store(PolicyInfo& r, Into into) const {
    const Put put(into);
    put.Text(r.policyNo, policyNo);
    put.Text(r.company, company);
    put.Text(r.paymentMethod, paymentMethod);
    put.Number(r.sumInsured, sumInsured, kSumInsuredUnit);
    put.Number(r.annualPremium, annualPremium, kPremiumUnit);
    put.Date(r.effectiveDate, effective);
    put.Text(r.applicationNo, applicationNo);
    put.Text(r.productName, productName);
    put.Text(r.paymentYears, paymentYears);
    put.Text(r.coverageYears, coverageYears);
    put.Text(r.benefitMethod, benefitMethod);
    put.Text(r.benefitAge, benefitAge);
    put.Date(r.liabilityStartDate, liability);
    put.Text(r.remarks, remarks);
}

void PersonValues::Load(const PersonInfo& r) {
    LoadPerson(*this, r);
    height = MeasureText(r.height);
    weight = MeasureText(r.weight);
}

void PersonValues::Load(const HolderInfo& r) {
    LoadPerson(*this, r);
    relation = FromGbk(r.relationToInsured);
}

void PersonValues::Store(PersonInfo& r, Into into) const {
    const Put put(into);
    StorePerson(*this, r, put);
    if (Holds(PersonField::height)) put.Number(r.height, height, kHeightUnit);
    if (Holds(PersonField::weight)) put.Number(r.weight, weight, kWeightUnit);
}

void PersonValues::Store(HolderInfo& r, Into into) const {
    const Put put(into);
    StorePerson(*this, r, put);
    if (Holds(PersonField::relation)) put.Text(r.relationToInsured, relation);
}

void BeneficiaryValues::Load(const BeneficiaryRecord& r) {
    name = FromGbk(r.name);
    idNumber = FromGbk(r.idNumber);
    sex = r.sex;
    share = ShareText(r.share);
    birth = ComposedDate::FromStored(r.birthDate).Split();
    relation = FromGbk(r.relationToInsured);
}

void BeneficiaryValues::Store(BeneficiaryRecord& r, Into into) const {
    const Put put(into);
    put.Text(r.name, name);
    put.Text(r.idNumber, idNumber);
    put.Choice(r.sex, sex);
    put.Number(r.share, share, kShareUnit);
    put.Date(r.birthDate, birth);
    put.Text(r.relationToInsured, relation);
}

void ClientValues::Load(const PotClientRecord& r) {
    person.Load(r.person);
    fax = FromGbk(r.fax);
    hobby = FromGbk(r.hobby);
}

void ClientValues::Store(PotClientRecord& r, Into into) const {
    person.Store(r.person, into);
    const Put put(into);
    put.Text(r.fax, fax);
    put.Text(r.hobby, hobby);
}

void MemberValues::Load(const MemberRecord& r) {
    person.Load(r.person);
    staffNo = FromGbk(r.staffNo);
    department = FromGbk(r.department);
    level = FromGbk(r.level);
    join = ComposedDate::FromStored(r.joinDate).Split();
    hobby = FromGbk(r.hobby);
}

void MemberValues::Store(MemberRecord& r, Into into) const {
    person.Store(r.person, into);
    const Put put(into);
    put.Text(r.staffNo, staffNo);
    put.Text(r.department, department);
    put.Text(r.level, level);
    put.Date(r.joinDate, join);
    put.Text(r.hobby, hobby);
}
