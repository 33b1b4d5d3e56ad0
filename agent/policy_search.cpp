#include "policy_search.h"

#include "composed_date.h"
#include "gbk.h"
#include "pinyin.h"

#include <QRegularExpression>
#include <cstring>
#include <numeric>

using namespace vantorel;

namespace policy_search {

namespace {

using vantorel::Field;
const Field<PolicyRecord> kNumberField([](auto& p) -> auto& { return p.info.policyNo; });
const Field<PolicyRecord> kHolderField([](auto& p) -> auto& { return p.holder.name; });
const Field<PolicyRecord> kInsuredField([](auto& p) -> auto& { return p.insured.name; });
const Field<PolicyRecord> kProductField([](auto& p) -> auto& { return p.info.productName; });
const Field<PolicyRecord> kDateField([](auto& p) -> auto& { return p.info.effectiveDate; });

// The field a mode lists beside the number (all but "其它").
const Field<PolicyRecord>& ShownField(int mode) {
    switch (mode) {
    case kInsured: return kInsuredField;
    case kProduct: return kProductField;
    case kDate: return kDateField;
    default: return kHolderField;
    }
}

// The first text of a policy containing the needle, in the order of its
// fields; empty when none does.
std::string_view FirstMatch(const CInsurance::View& p, std::string_view needle) {
    std::string_view found;
    p.AnyText([&](std::string_view t) {
        if (!GbkContains(t, needle)) return false;
        found = t;
        return true;
    });
    return found;
}

// Whether a policy matches a search for a needle that is not empty.
bool Matches(const CInsurance::View& p, int mode, std::string_view needle) {
    switch (mode) {
    case kNumber: return p.Text(kNumberField) == needle;
    case kDate: return p.Text(kDateField) == needle;
    case kAnyField: return p.AnyText([&](std::string_view t) { return GbkContains(t, needle); });
    default: return GbkContains(p.Text(ShownField(mode)), needle);
    }
}

} // namespace

bool GbkContains(std::string_view hay, std::string_view needle) {
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
    return ComposedDate::FromParts({m.captured(1), m.captured(2).toInt() - 1, m.captured(3).toInt() - 1}).Text();
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
    out.mode = mode;
    if (mode < kAll || mode > kAnyField) return out;

    // Records hold only what GBK can hold, so other text matches nothing.
    const bool storable = CanStoreAsGbk(text);
    if (mode == kDate) {
        const QString stored = DateAsStored(text);
        if (!text.isEmpty() && stored.isEmpty()) return out;
        out.needle = ToGbk(stored);
    } else if (mode != kAll) {
        if (!storable) return out;
        out.needle = ToGbk(text);
    }
    const bool everything = mode == kAll || (mode != kNumber && out.needle.empty());
    if (everything) {
        out.records.resize(std::size_t(book.GetSize()));
        std::iota(out.records.begin(), out.records.end(), 0);
        return out;
    }
    const std::string latin =
        pinyin && (mode == kHolder || mode == kInsured) ? PinyinIndex::LatinQuery(text) : std::string();
    if (!latin.empty()) {
        const Field<PolicyRecord>& name = ShownField(mode);
        book.ForEach([&](int i, const CInsurance::View& p) {
            const std::string_view n = p.Text(name);
            if (GbkContains(n, out.needle) || pinyin->Matches(std::string(n), latin)) out.records.push_back(i);
        });
        return out;
    }
    book.ForEach([&](int i, const CInsurance::View& p) {
        if (Matches(p, mode, out.needle)) out.records.push_back(i);
    });
    return out;
}

QString CellText(const CInsurance& book, const Result& found, int record, int column) {
    if (record < 0 || record >= book.GetSize()) return {};
    const CInsurance::View p = book.ViewAt(record);
    if (column == 0) return FromGbk(p.Text(kNumberField));
    if (found.mode == kAnyField && !found.needle.empty()) return FromGbk(FirstMatch(p, found.needle));
    if (found.mode == kDate) return ComposedDate::FromStored(p.Text(kDateField)).ListText();
    return FromGbk(p.Text(ShownField(found.mode)));
}

} // namespace policy_search
