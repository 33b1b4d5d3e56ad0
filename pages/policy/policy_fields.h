// Form values of the policy-data fields and of a person block, shared by the
// entry page and the riders dialog: binding, building a record, showing one.
#pragma once

#include "app/form_binding.h"
#include "records/policy_record.h"

#include <QString>

// The policy's own data (ids 1040-1061); a rider uses the same fields.
struct PolicyInfoValues {
    QString policyNo, applicationNo, company, productName, paymentMethod, paymentYears, coverageYears, sumInsured,
        benefitMethod, annualPremium, benefitAge, effectiveYear, liabilityYear, remarks;
    int effectiveMonth = 0, effectiveDay = 0, liabilityMonth = 0, liabilityDay = 0;

    void Bind(FormBinding& b);
    vantorel::PolicyInfo Build() const;
    void Load(const vantorel::PolicyInfo& r);
};

// Control ids of one person block of the entry page.
struct PersonIds {
    int name, sex, nation, idNumber, marital, year, month, day, education, mobile, email, occupation, income,
        homePhone, workPhone, homeAddress, homePostcode, workAddress, workPostcode, remarks;
};
extern const PersonIds kHolderIds;
extern const PersonIds kInsuredIds;

// The policyholder or insured person; `extra` is the relation (holder) and
// height/weight (insured).
struct PersonValues {
    QString name, nation = QStringLiteral("汉"), idNumber, birthYear = QStringLiteral("1977"),
                  education = QStringLiteral("本科"), mobile, email, occupation, income, homePhone, workPhone,
                  homeAddress, homePostcode, workAddress, workPostcode, remarks;
    int sex = -1, marital = 0, birthMonth = 0, birthDay = 0;
    QString relation, height, weight;

    void Bind(FormBinding& b, const PersonIds& ids, const QString& group);
    template <class P> void BuildInto(P& r) const;
    template <class P> void LoadFrom(const P& r);
};

vantorel::HolderInfo BuildHolder(const PersonValues& v);
vantorel::PersonInfo BuildInsured(const PersonValues& v);
void LoadHolder(PersonValues& v, const vantorel::HolderInfo& r);
void LoadInsured(PersonValues& v, const vantorel::PersonInfo& r);
