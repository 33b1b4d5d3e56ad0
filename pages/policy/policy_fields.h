// Form values of the policy-data fields and of a person block, shared by the
// entry page and the riders dialog: binding, building a record, showing one.
#pragma once

#include "app/form_binding.h"
#include "app/person_form.h"
#include "records/policy_record.h"

#include <QString>

// The policy's own data (ids::policy_info); a rider uses the same fields.
struct PolicyInfoValues {
    QString policyNo, applicationNo, company, productName, paymentMethod, paymentYears, coverageYears, sumInsured,
        benefitMethod, annualPremium, benefitAge, remarks;
    forms::DateParts effective{{}, 0, 0}, liability{{}, 0, 0};

    void Bind(FormBinding& b);
    vantorel::PolicyInfo Build() const;
    void Load(const vantorel::PolicyInfo& r);
};

// Control ids of the entry page's two person blocks.
extern const PersonIds kHolderIds;
extern const PersonIds kInsuredIds;

// The policyholder or insured person; the entry page binds the holder's
// relation and the insured's height and weight itself.
struct PersonValues : PersonForm {
    QString relation;
    PersonValues() {
        nation = QStringLiteral("汉");
        birth.year = QStringLiteral("1977");
        education = QStringLiteral("本科");
    }
};

vantorel::HolderInfo BuildHolder(const PersonValues& v);
vantorel::PersonInfo BuildInsured(const PersonValues& v);
void LoadHolder(PersonValues& v, const vantorel::HolderInfo& r);
void LoadInsured(PersonValues& v, const vantorel::PersonInfo& r);
