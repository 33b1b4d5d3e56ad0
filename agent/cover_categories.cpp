#include "cover_categories.h"

#include "gbk.h"
#include "policy_search.h"

#include <string>
#include <vector>

namespace cover {

namespace {

// Tried in this order (see the header): the illnesses and accidents before
// the wider words of life cover.
const std::array<Keywords, kCategories - 1> kTable = {{
    {Category::criticalIllness, {"重疾", "重大疾病", nullptr}},
    {Category::accident, {"意外", nullptr, nullptr}},
    {Category::medical, {"医疗", "住院", nullptr}},
    {Category::annuity, {"年金", "养老", "教育"}},
    {Category::life, {"寿", "终身", "定期"}},
}};

struct GbkKeywords {
    Category category;
    std::vector<std::string> words;
};

const std::vector<GbkKeywords>& GbkTable() {
    static const std::vector<GbkKeywords> table = [] {
        std::vector<GbkKeywords> t;
        for (const Keywords& k : kTable) {
            GbkKeywords g{k.category, {}};
            for (const char* w : k.words)
                if (w) g.words.push_back(ToGbk(QString::fromUtf8(w)));
            t.push_back(std::move(g));
        }
        return t;
    }();
    return table;
}

} // namespace

QString Name(Category c) {
    switch (c) {
    case Category::life: return QStringLiteral("寿险");
    case Category::criticalIllness: return QStringLiteral("重疾");
    case Category::medical: return QStringLiteral("医疗");
    case Category::accident: return QStringLiteral("意外");
    case Category::annuity: return QStringLiteral("年金");
    case Category::other: break;
    }
    return QStringLiteral("其它");
}

const std::array<Keywords, kCategories - 1>& KeywordTable() { return kTable; }

QString KeywordTableText() {
    QStringList parts;
    for (const Keywords& k : kTable) {
        QStringList words;
        for (const char* w : k.words)
            if (w) words << QString::fromUtf8(w);
        parts << Name(k.category) + QStringLiteral("：") + words.join(QStringLiteral("、"));
    }
    return parts.join(QStringLiteral("；")) + QStringLiteral("；其余为其它");
}

Category Of(std::string_view gbkProductName) {
    for (const GbkKeywords& k : GbkTable())
        for (const std::string& w : k.words)
            if (policy_search::GbkContains(gbkProductName, w)) return k.category;
    return Category::other;
}

} // namespace cover
