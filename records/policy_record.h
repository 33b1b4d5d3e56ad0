// The policy and its parts, and CInsurance, the collection of all policies.
// Texts are GBK bytes exactly as the data files hold them.
#pragma once

#include "collection.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantorel {

// A policy's own data; a rider has exactly the same fields.
struct PolicyInfo {
    std::string policyNo;
    std::string company;
    std::string paymentMethod;
    double sumInsured = 0;
    double annualPremium = 0;
    std::string effectiveDate;
    std::string applicationNo;
    std::string productName;
    std::string paymentYears;
    std::string coverageYears;
    std::string benefitMethod;
    std::string benefitAge;
    std::string liabilityStartDate;
    std::string remarks;
    bool operator==(const PolicyInfo&) const = default;
};
using RiderRecord = PolicyInfo;

struct HolderInfo {
    std::string name;
    std::int16_t sex = 0;
    std::string nation;
    std::string idNumber;
    std::int16_t maritalStatus = 0;
    std::string birthDate;
    std::string mobile;
    std::string email;
    std::string occupation;
    std::string annualIncome;
    std::string homePhone;
    std::string homeAddress;
    std::string homePostcode;
    std::string workPhone;
    std::string workAddress;
    std::string workPostcode;
    std::string relationToInsured;
    std::string remarks;
    std::string education;
    bool operator==(const HolderInfo&) const = default;
};

struct PersonInfo {
    std::string name;
    std::int16_t sex = 0;
    std::string nation;
    std::string idNumber;
    std::int16_t maritalStatus = 0;
    std::string birthDate;
    std::string mobile;
    std::string email;
    std::string occupation;
    std::string annualIncome;
    std::string homePhone;
    std::string homeAddress;
    std::string homePostcode;
    std::string workPhone;
    std::string workAddress;
    std::string workPostcode;
    double height = 0;
    double weight = 0;
    std::string remarks;
    std::string education;
    bool operator==(const PersonInfo&) const = default;
};

struct BeneficiaryRecord {
    std::string name;
    std::int16_t sex = 0;
    std::string nation;
    std::string idNumber;
    std::int16_t maritalStatus = 0;
    std::string birthDate;
    std::string mobile;
    std::string email;
    std::string occupation;
    std::string annualIncome;
    std::string homePhone;
    std::string homeAddress;
    std::string homePostcode;
    std::string workPhone;
    std::string workAddress;
    double height = 0;
    double weight = 0;
    std::string remarks;
    std::string education;
    std::string relationToInsured;
    double share = 0;
    bool operator==(const BeneficiaryRecord&) const = default;
};

// The lists hold at most ten entries (kMaxListEntries); the count written to
// the file is the list's size.
struct PolicyRecord {
    PolicyInfo info;
    HolderInfo holder;
    PersonInfo insured;
    std::vector<BeneficiaryRecord> beneficiaries;
    std::vector<RiderRecord> riders;
    bool operator==(const PolicyRecord&) const = default;
};

// The field lists, in file order. One list drives writing, reading and the
// data tool's JSON; `v.Again` marks a value that repeats one already visited.
template <class V, RecordOf<PolicyInfo> R> void VisitFields(V& v, R& r) {
    v("policyNo", r.policyNo);
    v("company", r.company);
    v("sumInsured", r.sumInsured);
    v("paymentMethod", r.paymentMethod);
    v("annualPremium", r.annualPremium);
    v("effectiveDate", r.effectiveDate);
    v("applicationNo", r.applicationNo);
    v("productName", r.productName);
    v("paymentYears", r.paymentYears);
    v("coverageYears", r.coverageYears);
    v("benefitMethod", r.benefitMethod);
    v("benefitAge", r.benefitAge);
    v("liabilityStartDate", r.liabilityStartDate);
    v("remarks", r.remarks);
}

template <class V, RecordOf<HolderInfo> R> void VisitFields(V& v, R& r) {
    v("name", r.name);
    v("sex", r.sex);
    v("nation", r.nation);
    v("idNumber", r.idNumber);
    v("maritalStatus", r.maritalStatus);
    v("birthDate", r.birthDate);
    v("mobile", r.mobile);
    v("email", r.email);
    v("occupation", r.occupation);
    v("annualIncome", r.annualIncome);
    v("homePhone", r.homePhone);
    v("homeAddress", r.homeAddress);
    v("homePostcode", r.homePostcode);
    v("workPhone", r.workPhone);
    v("workAddress", r.workAddress);
    v("workPostcode", r.workPostcode);
    v("relationToInsured", r.relationToInsured);
    v("remarks", r.remarks);
    v("education", r.education);
}

template <class V, RecordOf<PersonInfo> R> void VisitFields(V& v, R& r) {
    v("name", r.name);
    v("sex", r.sex);
    v("nation", r.nation);
    v("idNumber", r.idNumber);
    v("maritalStatus", r.maritalStatus);
    v("birthDate", r.birthDate);
    v("mobile", r.mobile);
    v("email", r.email);
    v("occupation", r.occupation);
    v("annualIncome", r.annualIncome);
    v("homePhone", r.homePhone);
    v("homeAddress", r.homeAddress);
    v("homePostcode", r.homePostcode);
    v("workPhone", r.workPhone);
    v("workAddress", r.workAddress);
    v("workPostcode", r.workPostcode);
    v("height", r.height);
    v("remarks", r.remarks);
    v("weight", r.weight);
    v("education", r.education);
}

template <class V, RecordOf<BeneficiaryRecord> R> void VisitFields(V& v, R& r) {
    v("name", r.name);
    v("sex", r.sex);
    v("nation", r.nation);
    v("idNumber", r.idNumber);
    v("maritalStatus", r.maritalStatus);
    v("birthDate", r.birthDate);
    v("mobile", r.mobile);
    v("email", r.email);
    v("occupation", r.occupation);
    v("annualIncome", r.annualIncome);
    v("homePhone", r.homePhone);
    v("homeAddress", r.homeAddress);
    v("homePostcode", r.homePostcode);
    v("workPhone", r.workPhone);
    v("workAddress", r.workAddress);
    v("height", r.height);
    v("remarks", r.remarks);
    v("weight", r.weight);
    v("education", r.education);
    v("relationToInsured", r.relationToInsured);
    v("share", r.share);
}

template <class V, RecordOf<PolicyRecord> R> void VisitFields(V& v, R& r) {
    v.Object("info", r.info);
    v.Object("holder", r.holder);
    v.Object("insured", r.insured);
    v.List("beneficiaries", r.beneficiaries);
    v.List("riders", r.riders);
}

class CInsurance : public CCollection<PolicyRecord> {
public:
    // Index of the first policy whose number equals policyNo byte for byte, or -1.
    int Find(const std::string& policyNo) const;
    bool Exists(const std::string& policyNo) const { return Find(policyNo) >= 0; }
};

} // namespace vantorel
