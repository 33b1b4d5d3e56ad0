#include "tallies.h"

#include "gbk.h"

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
        // Nothing filled in reads as unknown, as a sex no form chose does.
        if (category.empty()) category = SexCategory(-1);
        // Most tallies have a handful of categories: a walk over so few rows
        // is quicker than hashing; past that the hash keeps it linear.
        if (rows_.size() <= kWalk) {
            for (Row& r : rows_)
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
    TallyRows Take() {
        TallyRows out;
        out.reserve(rows_.size());
        for (const Row& r : rows_) out.push_back({FromGbk(r.category), r.count});
        return out;
    }

private:
    static constexpr std::size_t kWalk = 12;
    struct Row {
        std::string category; // GBK bytes, compared whole and byte for byte
        int count = 0;
    };
    std::vector<Row> rows_;
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
    using T = Tally;
    static const std::vector<TallySpec> all = {
        {T::policyPayment, "缴费方式", POLICY(r.Text(kPayment))},
        {T::policyProduct, "险种名称", POLICY(r.Text(kProduct))},
        {T::policyBenefit, "领取方式", POLICY(r.Text(kBenefit))},
        {T::holderSex, "投保人性别", POLICY(SexCategory(r.Short(kHolderSex)))},
        {T::holderMarital, "投保人婚况", POLICY(MaritalCategory(r.Short(kHolderMarital)))},
        {T::holderEducation, "投保人文化程度", POLICY(r.Text(kHolderEducation))},
        {T::holderIncome, "投保人年收入", POLICY(r.Text(kHolderIncome))},
        {T::insuredSex, "被保险人性别", POLICY(SexCategory(r.Short(kInsuredSex)))},
        {T::insuredMarital, "被保险人婚况", POLICY(MaritalCategory(r.Short(kInsuredMarital)))},
        {T::insuredEducation, "被保险人文化程度", POLICY(r.Text(kInsuredEducation))},
        {T::insuredIncome, "被保险人年收入", POLICY(r.Text(kInsuredIncome))},
        {T::clientSex, "潜力客户性别", CLIENT(SexCategory(r.Short(kClientSex)))},
        {T::clientMarital, "潜力客户婚况", CLIENT(MaritalCategory(r.Short(kClientMarital)))},
        {T::clientEducation, "潜力客户文化程度", CLIENT(r.Text(kClientEducation))},
        {T::clientIncome, "潜力客户年收入", CLIENT(r.Text(kClientIncome))},
    };
    return all;
}

const TallySpec& Spec(Tally tally) { return Tallies()[std::size_t(tally)]; }

TallyRows Run(Tally tally, const vantorel::DataBook& book) {
    const TallySpec& t = Spec(tally);
    return t.policy ? Over(book.insurance, t.policy) : Over(book.clients, t.client);
}

} // namespace stats
