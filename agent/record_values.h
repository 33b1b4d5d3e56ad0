// The records as forms and imports see them: Unicode texts, dates as their
// three form parts, numbers as the texts typed. GBK is converted here, at the
// record boundary.
//
// Values are stored into a record that is either new or the record as it is
// stored: over a stored record, a text that is what that record shows keeps
// its bytes, so a text the user did not touch comes back unchanged even
// where GBK would write it otherwise. Numbers are read again from the text
// they show as, and dates composed again from their parts.
#pragma once

#include "composed_date.h"
#include "numbers.h"
#include "records/people_records.h"
#include "records/policy_record.h"

#include <QString>
#include <cstdint>

// Where values are stored: a new record, or one as it is stored.
enum class Into { fresh, stored };

// A policy's own data; a rider has the same fields.
struct PolicyInfoValues {
    QString policyNo, applicationNo, company, productName, paymentMethod, paymentYears, coverageYears, sumInsured,
        benefitMethod, annualPremium, benefitAge, remarks;
    DateParts effective{{}, 0, 0}, liability{{}, 0, 0};

    void Load(const vantorel::PolicyInfo& r);
    void Store(vantorel::PolicyInfo& r, Into into) const;
};

// clang-format off
enum class PersonField {
    name, sex, nation, idNumber, marital, birthYear, birthMonth, birthDay, education, mobile, email,
    occupation, income, homePhone, workPhone, homeAddress, homePostcode, workAddress, workPostcode, height,
    weight, remarks, relation,
};
// clang-format on

// The person block that clients, team members and a policy's two people
// share. A form holds some of its fields (`Hold`); storing writes only those,
// the others keep what the record has.
struct PersonValues {
    QString name, nation, idNumber, education, mobile, email, occupation, income, homePhone, workPhone, homeAddress,
        homePostcode, workAddress, workPostcode, height, weight, remarks, relation;
    DateParts birth{{}, 0, 0};
    int sex = -1, marital = 0;

    void Hold(PersonField f) { held_ |= 1u << unsigned(f); }
    bool Holds(PersonField f) const { return held_ & (1u << unsigned(f)); }

    // Loads every field the record has.
    void Load(const vantorel::PersonInfo& r);
    void Load(const vantorel::HolderInfo& r);
    void Store(vantorel::PersonInfo& r, Into into) const;
    void Store(vantorel::HolderInfo& r, Into into) const;

private:
    std::uint32_t held_ = 0;
};

struct BeneficiaryValues {
    QString name, idNumber, relation, share;
    DateParts birth; // nothing chosen until the user picks
    int sex = -1;

    void Load(const vantorel::BeneficiaryRecord& r);
    void Store(vantorel::BeneficiaryRecord& r, Into into) const;
};

struct ClientValues {
    PersonValues person;
    QString fax, hobby;

    void Load(const vantorel::PotClientRecord& r);
    void Store(vantorel::PotClientRecord& r, Into into) const;
};

struct MemberValues {
    PersonValues person;
    QString staffNo, department, level, hobby;
    DateParts join{{}, 0, 0};

    void Load(const vantorel::MemberRecord& r);
    void Store(vantorel::MemberRecord& r, Into into) const;
};

// A record's text as the user reads it.
QString TextOf(std::string_view stored);
// The bytes a record keeps for a text; it must have passed rules::CheckText.
std::string StoredText(const QString& text);
// How the numbers of a record are shown: amounts and measures as the
// shortest text that reads back as the same number, so that a record stored
// again without retyping keeps its value exactly; an empty height or weight
// (0) shows empty; a beneficiary's share as a whole number.
QString AmountText(double v);
QString MeasureText(double v);
QString ShareText(double v);
// A stored composed date as lists and reports show it: a real date as
// yyyy-mm-dd, any other text as it is stored.
QString DateText(std::string_view stored);
// The unit each number field is kept in.
inline constexpr numbers::Unit kSumInsuredUnit = numbers::Unit::wanYuan; // 保险金额(万元)
inline constexpr numbers::Unit kPremiumUnit = numbers::Unit::yuan;       // 年缴保费(元)
inline constexpr numbers::Unit kHeightUnit = numbers::Unit::cm;
inline constexpr numbers::Unit kWeightUnit = numbers::Unit::kg;
inline constexpr numbers::Unit kShareUnit = numbers::Unit::percent;
