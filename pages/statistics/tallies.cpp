#include "tallies.h"

#include "app/gbk.h"

#include <string_view>
#include <unordered_map>

namespace stats {
namespace {

struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
};

// Counts categories in first-occurrence order; one hash look-up per record
// keeps a tally linear however many categories there are.
class Counter {
public:
    void Count(std::string_view category) {
        // Most tallies have a handful of categories: a walk over so few rows
        // is quicker than hashing; past that the hash keeps it linear.
        if (rows_.size() <= kWalk) {
            for (TallyRow& r : rows_)
                if (r.category == category) {
                    ++r.count;
                    return;
                }
        } else if (auto it = index_.find(category); it != index_.end()) {
            ++rows_[it->second].count;
            return;
        }
        index_.emplace(std::string(category), rows_.size());
        rows_.push_back({std::string(category), 1});
    }
    TallyRows Take() { return std::move(rows_); }

private:
    static constexpr std::size_t kWalk = 12;
    TallyRows rows_;
    std::unordered_map<std::string, std::size_t, Hash, std::equal_to<>> index_;
};

template <class Records, class Field> TallyRows Over(const Records& records, Field field) {
    Counter c;
    for (const auto& r : records) c.Count(field(r));
    return c.Take();
}

using vantorel::PolicyRecord;
using vantorel::PotClientRecord;

#define POLICY(expr) [](const PolicyRecord& r) -> std::string_view { return expr; }, nullptr
#define CLIENT(expr) nullptr, [](const PotClientRecord& r) -> std::string_view { return expr; }

} // namespace

const std::string& SexCategory(int sex) {
    static const std::string unknown = ToGbk(QStringLiteral("不详")), male = ToGbk(QStringLiteral("男")),
                             female = ToGbk(QStringLiteral("女"));
    return sex < 0 ? unknown : sex == 0 ? male : female;
}

const std::string& MaritalCategory(int status) {
    static const std::vector<std::string> words = {
        ToGbk(QStringLiteral("已婚")), ToGbk(QStringLiteral("未婚")), ToGbk(QStringLiteral("离异")),
        ToGbk(QStringLiteral("丧偶")), ToGbk(QStringLiteral("分居")), ToGbk(QStringLiteral("其它"))};
    return status >= 0 && status <= 4 ? words[std::size_t(status)] : words[5];
}

const std::vector<TallySpec>& Tallies() {
    static const std::vector<TallySpec> all = {
        {1208, "缴费方式", 100, POLICY(r.info.paymentMethod)},
        {1210, "险种名称", 100, POLICY(r.info.productName)},
        {1211, "领取方式", 100, POLICY(r.info.benefitMethod)},
        {1206, "投保人性别", 100, POLICY(SexCategory(r.holder.sex))},
        {1209, "投保人婚况", 100, POLICY(MaritalCategory(r.holder.maritalStatus))},
        {1213, "投保人文化程度", 120, POLICY(r.holder.education)},
        {1215, "投保人年收入", 120, POLICY(r.holder.annualIncome)},
        {1207, "被保险人性别", 100, POLICY(SexCategory(r.insured.sex))},
        {1212, "被保险人婚况", 100, POLICY(MaritalCategory(r.insured.maritalStatus))},
        {1214, "被保险人文化程度", 120, POLICY(r.insured.education)},
        {1216, "被保险人年收入", 120, POLICY(r.insured.annualIncome)},
        {1217, "潜力客户性别", 100, CLIENT(SexCategory(r.person.sex))},
        {1218, "潜力客户婚况", 100, CLIENT(MaritalCategory(r.person.maritalStatus))},
        {1219, "潜力客户文化程度", 120, CLIENT(r.person.education)},
        {1220, "潜力客户年收入", 120, CLIENT(r.person.annualIncome)},
    };
    return all;
}

TallyRows Run(const TallySpec& tally, const vantorel::DataBook& book) {
    return tally.policy ? Over(book.insurance.Records(), tally.policy) : Over(book.clients.Records(), tally.client);
}

const TallySpec* FindTally(int button) {
    for (const TallySpec& t : Tallies())
        if (t.button == button) return &t;
    return nullptr;
}

} // namespace stats
