// The person block that clients, team members and a policy's two people share:
// its form values, their binding and the conversion to and from the records.
#pragma once

#include "app/form_binding.h"
#include "records/policy_record.h"

#include <QString>
#include <cstdint>
#include <vector>

// clang-format off
enum class PersonField {
    name, sex, nation, idNumber, marital, birthYear, birthMonth, birthDay, education, mobile, email,
    occupation, income, homePhone, workPhone, homeAddress, homePostcode, workAddress, workPostcode, height,
    weight, remarks,
};
// clang-format on

// One control of the block on a page; a page lists only the controls it has,
// in the order its form reads (a refused character names the first field).
struct PersonControl {
    PersonField field;
    int id;
};
using PersonIds = std::vector<PersonControl>;

struct PersonForm {
    QString name, nation, idNumber, education, mobile, email, occupation, income, homePhone, workPhone, homeAddress,
        homePostcode, workAddress, workPostcode, height, weight, remarks;
    forms::DateParts birth{{}, 0, 0};
    int sex = -1, marital = 0;

    // May be called more than once, so a page can put its own controls between.
    void Bind(FormBinding& b, const PersonIds& controls, const QString& labelPrefix = {});
    bool Binds(PersonField f) const { return bound_ & (1u << unsigned(f)); }

    // Writes the bound fields (the birth date with its year); the others keep
    // what the record holds.
    void ToRecord(vantorel::PersonInfo& r) const;
    void ToRecord(vantorel::HolderInfo& r) const;
    // Loads every field the record has.
    void FromRecord(const vantorel::PersonInfo& r);
    void FromRecord(const vantorel::HolderInfo& r);

private:
    std::uint32_t bound_ = 0;
};
