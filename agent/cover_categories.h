// Cover categories: each policy and rider is put in one by the keywords its
// product name (险种名称) holds. The table is shown to the agent as it is
// here, so that a category is never a guess the agent cannot check.
#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <string_view>

namespace cover {

// In the order the file and the review list them.
enum class Category { life, criticalIllness, medical, accident, annuity, other };
inline constexpr std::size_t kCategories = 6;

// A sum per category.
using Sums = std::array<double, kCategories>;
using Held = std::array<bool, kCategories>;

// "寿险", "重疾", "医疗", "意外", "年金", "其它".
QString Name(Category c);
inline QString Name(std::size_t c) { return Name(Category(c)); }

struct Keywords {
    Category category;
    std::array<const char*, 3> words; // UTF-8, unused ones null
};
// The table in the order it is tried: the first category with a keyword in
// the name wins, so "终身重大疾病保险" is 重疾 and "意外伤害医疗保险" is 意外,
// though the first holds 终身 and the second 医疗. A name with none is 其它.
const std::array<Keywords, kCategories - 1>& KeywordTable();
// The table as one line for the page and the review: "重疾：重疾、重大疾病；…".
QString KeywordTableText();

// The category of a product name as the records hold it (GBK).
Category Of(std::string_view gbkProductName);

} // namespace cover
