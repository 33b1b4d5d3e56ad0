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
// How forms show the numbers of a record.
QString AmountText(double v);  // amounts
QString MeasureText(double v); // heights, weights, shares
