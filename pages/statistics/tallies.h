// The fifteen tallies: one collection counted by one attribute, categories
// in the order each first occurs. Works on the records' GBK bytes.
#pragma once

#include "records/data_files.h"

#include <string>
#include <string_view>
#include <vector>

namespace stats {

struct TallyRow {
    std::string category; // GBK bytes, compared whole and byte for byte
    int count = 0;
};
using TallyRows = std::vector<TallyRow>;

// Each tally reads one field of the policies or of the potential clients;
// exactly one of the two readers is set. They give the category's bytes.
struct TallySpec {
    int button;          // the button that runs it
    const char* caption; // caption of the category column (UTF-8)
    int width;           // width of the category column in pixels
    std::string_view (*policy)(const vantorel::CInsurance::View&);
    std::string_view (*client)(const vantorel::CPotClient::View&);
};

// The fifteen, in the order of the page's buttons.
const std::vector<TallySpec>& Tallies();
const TallySpec* FindTally(int button);
TallyRows Run(const TallySpec& tally, const vantorel::DataBook& book);

// Category texts of the choice fields (GBK bytes). A marital status that
// no form can give (a damaged file) is counted as "其它".
const std::string& SexCategory(int sex);
const std::string& MaritalCategory(int status);

} // namespace stats
