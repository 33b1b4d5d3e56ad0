#include "policy_search.h"

#include "app/forms.h"
#include "app/gbk.h"
#include "app/pinyin.h"

#include <QRegularExpression>
#include <cstring>

using namespace vantorel;

namespace policy_search {

namespace {

// Finds the first text field of a policy containing the needle.
struct FieldMatcher {
    const std::string& needle;
    const std::string* found = nullptr;

    void operator()(const char*, const std::string& value) {
        if (!found && GbkContains(value, needle)) found = &value;
    }
    template <class T> void operator()(const char*, const T&) {}
    template <class T> void Again(const char*, const T&) {}
    template <class T> void Object(const char*, const T& sub) { VisitFields(*this, sub); }
    template <class T> void List(const char*, const std::vector<T>& list) {
        for (const T& item : list) VisitFields(*this, item);
    }
};

} // namespace

bool GbkContains(const std::string& hay, const std::string& needle) {
    if (needle.empty()) return true;
    if (needle.size() > hay.size()) return false;
    const std::size_t last = hay.size() - needle.size();
    std::size_t i = 0;
    while (i <= last) {
        if (hay[i] == needle[0] && std::memcmp(hay.data() + i, needle.data(), needle.size()) == 0) return true;
        // A lead byte (0x81-0xFE) takes its trail byte with it.
        const auto c = static_cast<unsigned char>(hay[i]);
        i += (c >= 0x81 && c <= 0xFE) ? 2 : 1;
    }
    return false;
}

QString DateAsStored(const QString& text) {
    static const QRegularExpression date(QStringLiteral("^\\s*(\\d{1,4})[-/](\\d{1,2})[-/](\\d{1,2})\\s*$"));
    const QRegularExpressionMatch m = date.match(text);
    if (!m.hasMatch()) return {};
    return forms::ComposeDate(m.captured(1), m.captured(2).toInt() - 1, m.captured(3).toInt() - 1);
}

QString KeyCaption(int mode) {
    switch (mode) {
    case kInsured: return QStringLiteral("被保险人姓名");
    case kProduct: return QStringLiteral("投保险种");
    case kDate: return QStringLiteral("生效时间");
    case kAnyField: return QStringLiteral("匹配内容");
    default: return QStringLiteral("投保人姓名");
    }
}

Result Search(const CInsurance& book, int mode, const QString& text, PinyinIndex* pinyin) {
    Result out;
    const std::vector<PolicyRecord>& all = book.Records();
    if (mode < kAll || mode > kAnyField) return out;

    // Records hold only what GBK can hold, so other text matches nothing.
    const bool storable = CanStoreAsGbk(text);
    std::string needle;
    if (mode == kDate) {
        const QString stored = DateAsStored(text);
        if (!text.isEmpty() && stored.isEmpty()) return out;
        needle = ToGbk(stored);
    } else if (mode != kAll) {
        if (!storable) return out;
        needle = ToGbk(text);
    }
    const bool everything = mode == kAll || (mode != kNumber && needle.empty());
    const std::string latin =
        pinyin && (mode == kHolder || mode == kInsured) ? PinyinIndex::LatinQuery(text) : std::string();
    auto nameMatches = [&](const std::string& name) {
        return everything || GbkContains(name, needle) || (!latin.empty() && pinyin->Matches(name, latin));
    };

    out.rows.reserve(everything ? all.size() : 64);
    out.keys.reserve(everything ? all.size() : 64);
    auto add = [&](const PolicyRecord& p, const std::string& shown) {
        out.rows.push_back({FromGbk(p.info.policyNo), FromGbk(shown)});
        out.keys.push_back(p.info.policyNo);
    };
    for (const PolicyRecord& p : all) {
        switch (mode) {
        case kAll: add(p, p.holder.name); break;
        case kNumber:
            if (p.info.policyNo == needle) add(p, p.holder.name);
            break;
        case kHolder:
            if (nameMatches(p.holder.name)) add(p, p.holder.name);
            break;
        case kInsured:
            if (nameMatches(p.insured.name)) add(p, p.insured.name);
            break;
        case kProduct:
            if (everything || GbkContains(p.info.productName, needle)) add(p, p.info.productName);
            break;
        case kDate:
            if (everything || p.info.effectiveDate == needle) add(p, p.info.effectiveDate);
            break;
        case kAnyField: {
            if (everything) {
                add(p, p.holder.name);
                break;
            }
            FieldMatcher m{needle};
            VisitFields(m, p);
            if (m.found) add(p, *m.found);
            break;
        }
        default: break;
        }
    }
    return out;
}

} // namespace policy_search
