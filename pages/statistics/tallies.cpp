#include "tallies.h"

#include "app/gbk.h"
#include "resources/templates/statistics_ids.h"

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

template <class Collection, class Category> TallyRows Over(const Collection& records, Category category) {
    Counter c;
    records.ForEach([&](int, const typename Collection::View& r) { c.Count(category(r)); });
    return c.Take();
}

using vantorel::Field;
using vantorel::PolicyRecord;
using vantorel::PotClientRecord;

const Field<PolicyRecord> kPayment([](auto& r) -> auto& { return r.info.paymentMethod; });
const Field<PolicyRecord> kProduct([](auto& r) -> auto& { return r.info.productName; });
const Field<PolicyRecord> kBenefit([](auto& r) -> auto& { return r.info.benefitMethod; });
const Field<PolicyRecord> kHolderSex([](auto& r) -> auto& { return r.holder.sex; });
const Field<PolicyRecord> kHolderMarital([](auto& r) -> auto& { return r.holder.maritalStatus; });
const Field<PolicyRecord> kHolderEducation([](auto& r) -> auto& { return r.holder.education; });
const Field<PolicyRecord> kHolderIncome([](auto& r) -> auto& { return r.holder.annualIncome; });
const Field<PolicyRecord> kInsuredSex([](auto& r) -> auto& { return r.insured.sex; });
const Field<PolicyRecord> kInsuredMarital([](auto& r) -> auto& { return r.insured.maritalStatus; });
const Field<PolicyRecord> kInsuredEducation([](auto& r) -> auto& { return r.insured.education; });
const Field<PolicyRecord> kInsuredIncome([](auto& r) -> auto& { return r.insured.annualIncome; });
const Field<PotClientRecord> kClientSex([](auto& r) -> auto& { return r.person.sex; });
const Field<PotClientRecord> kClientMarital([](auto& r) -> auto& { return r.person.maritalStatus; });
const Field<PotClientRecord> kClientEducation([](auto& r) -> auto& { return r.person.education; });
const Field<PotClientRecord> kClientIncome([](auto& r) -> auto& { return r.person.annualIncome; });

#define POLICY(expr) [](const vantorel::CInsurance::View& r) -> std::string_view { return expr; }, nullptr
#define CLIENT(expr) nullptr, [](const vantorel::CPotClient::View& r) -> std::string_view { return expr; }

} // namespace

const std::string& SexCategory(int sex) {
    static const std::string unknown = ToGbk(QStringLiteral("不详")), male = ToGbk(QStringLiteral("男")),
                             female = ToGbk(QStringLiteral("女"));
    return sex < 0 ? unknown : sex == 0 ? male : female;
}

const std::string& MaritalCategory(int status) {
    static const std::vector<std::string> words = {ToGbk(QStringLiteral("已婚")), ToGbk(QStringLiteral("未婚")),
                                                   ToGbk(QStringLiteral("离异")), ToGbk(QStringLiteral("丧偶")),
                                                   ToGbk(QStringLiteral("分居")), ToGbk(QStringLiteral("其它"))};
    return status >= 0 && status <= 4 ? words[std::size_t(status)] : words[5];
}

const std::vector<TallySpec>& Tallies() {
    namespace id = ids::statistics;
    static const std::vector<TallySpec> all = {
        {id::PolicyPayment, "缴费方式", 100, POLICY(r.Text(kPayment))},
        {id::PolicyProduct, "险种名称", 100, POLICY(r.Text(kProduct))},
        {id::PolicyBenefit, "领取方式", 100, POLICY(r.Text(kBenefit))},
        {id::HolderSex, "投保人性别", 100, POLICY(SexCategory(r.Short(kHolderSex)))},
        {id::HolderMarital, "投保人婚况", 100, POLICY(MaritalCategory(r.Short(kHolderMarital)))},
        {id::HolderEducation, "投保人文化程度", 120, POLICY(r.Text(kHolderEducation))},
        {id::HolderIncome, "投保人年收入", 120, POLICY(r.Text(kHolderIncome))},
        {id::InsuredSex, "被保险人性别", 100, POLICY(SexCategory(r.Short(kInsuredSex)))},
        {id::InsuredMarital, "被保险人婚况", 100, POLICY(MaritalCategory(r.Short(kInsuredMarital)))},
        {id::InsuredEducation, "被保险人文化程度", 120, POLICY(r.Text(kInsuredEducation))},
        {id::InsuredIncome, "被保险人年收入", 120, POLICY(r.Text(kInsuredIncome))},
        {id::ClientSex, "潜力客户性别", 100, CLIENT(SexCategory(r.Short(kClientSex)))},
        {id::ClientMarital, "潜力客户婚况", 100, CLIENT(MaritalCategory(r.Short(kClientMarital)))},
        {id::ClientEducation, "潜力客户文化程度", 120, CLIENT(r.Text(kClientEducation))},
        {id::ClientIncome, "潜力客户年收入", 120, CLIENT(r.Text(kClientIncome))},
    };
    return all;
}

TallyRows Run(const TallySpec& tally, const vantorel::DataBook& book) {
    return tally.policy ? Over(book.insurance, tally.policy) : Over(book.clients, tally.client);
}

const TallySpec* FindTally(int button) {
    for (const TallySpec& t : Tallies())
        if (t.button == button) return &t;
    return nullptr;
}

} // namespace stats
