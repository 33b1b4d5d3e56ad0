// The fifteen tallies: one collection counted by one attribute, categories
// in the order each first occurs. Works on the records' GBK bytes.
#pragma once

#include "records/data_files.h"

#include <string>
#include <utility>
#include <vector>

namespace stats {

struct TallyRow {
    std::string category; // GBK bytes, compared whole and byte for byte
    int count = 0;
};
using TallyRows = std::vector<TallyRow>;

struct TallySpec {
    int button;            // the button that runs it
    const char* caption;   // caption of the category column (UTF-8)
    int width;             // width of the category column in pixels
    TallyRows (*run)(const vantorel::DataBook& book);
};

// The fifteen, in the order of the page's buttons.
const std::vector<TallySpec>& Tallies();
const TallySpec* FindTally(int button);

// Category texts of the choice fields (GBK bytes). A marital status that
// no form can give (a damaged file) is counted as "其它".
const std::string& SexCategory(int sex);
const std::string& MaritalCategory(int status);

} // namespace stats
