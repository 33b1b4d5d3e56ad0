// The fifteen tallies: one collection counted by one attribute, categories
// in the order each first occurs. Categories are compared as the records
// hold them, byte for byte, and only then turned into text.
#pragma once

#include "records/data_files.h"

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace stats {

enum class Tally {
    policyPayment,
    policyProduct,
    policyBenefit,
    holderSex,
    holderMarital,
    holderEducation,
    holderIncome,
    insuredSex,
    insuredMarital,
    insuredEducation,
    insuredIncome,
    clientSex,
    clientMarital,
    clientEducation,
    clientIncome,
};

struct TallyRow {
    QString category;
    int count = 0;
};
using TallyRows = std::vector<TallyRow>;

// Each tally reads one field of the policies or of the potential clients;
// exactly one of the two readers is set. They give the category's bytes.
struct TallySpec {
    Tally tally;
    const char* caption; // caption of the category column (UTF-8)
    std::string_view (*policy)(const vantorel::CInsurance::View&);
    std::string_view (*client)(const vantorel::CPotClient::View&);
};

const std::vector<TallySpec>& Tallies();
const TallySpec& Spec(Tally tally);
TallyRows Run(Tally tally, const vantorel::DataBook& book);

// Category texts of the choice fields (GBK bytes). A marital status that
// no form can give (a damaged file) is counted as "其它".
const std::string& SexCategory(int sex);
const std::string& MaritalCategory(int status);

} // namespace stats
